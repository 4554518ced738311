"""The rules of chess for the soak referee (scripts/soak), written apart from
the engine so that the engine's own move generator is not the judge of its
moves: positions from and to FEN, legal moves, coordinate and algebraic
move text, and the ends of a game, in standard chess and in Chess960.
Speed does not matter here.
Squares are numbered 0 (a1) to 63 (h8); White's men are upper case."""

KNIGHT_STEPS = [(1, 2), (2, 1), (2, -1), (1, -2), (-1, -2), (-2, -1), (-2, 1), (-1, 2)]
KING_STEPS = [(1, 0), (1, 1), (0, 1), (-1, 1), (-1, 0), (-1, -1), (0, -1), (1, -1)]
ROOK_LINES = [(1, 0), (-1, 0), (0, 1), (0, -1)]
BISHOP_LINES = [(1, 1), (1, -1), (-1, 1), (-1, -1)]
LINES = {"R": ROOK_LINES, "B": BISHOP_LINES, "Q": ROOK_LINES + BISHOP_LINES}
START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
# Standard chess: the kings' squares (by colour, White True) and the rook
# square each castling letter names, whatever stands there.
STANDARD_KINGS = {True: 4, False: 60}
STANDARD_ROOKS = {"K": 7, "Q": 0, "k": 63, "q": 56, "H": 7, "A": 0, "h": 63, "a": 56}
# Chess960 start positions by number: the knights' places among the five
# squares left after the bishops and the queen.
KNIGHT_PLACES = [(0, 1), (0, 2), (0, 3), (0, 4), (1, 2), (1, 3), (1, 4), (2, 3), (2, 4), (3, 4)]


def square_name(square):
    return "abcdefgh"[square % 8] + str(square // 8 + 1)


def parse_square(text):
    if len(text) != 2 or text[0] not in "abcdefgh" or text[1] not in "12345678":
        raise ValueError(f"not a square: {text!r}")
    return "abcdefgh".index(text[0]) + 8 * (int(text[1]) - 1)


def step(square, file_step, rank_step):
    """The square one step away, or None off the board."""
    file, rank = square % 8 + file_step, square // 8 + rank_step
    return file + 8 * rank if 0 <= file < 8 and 0 <= rank < 8 else None


def is_white(man):
    return man.isupper()


def chess960_back_rank(number):
    """White's back rank, a1 to h1, of Chess960 start position `number`
    (0..959; 518 is the standard array): the bishops on a light and a dark
    square from the number's last two base-4 digits, the queen on one of the
    six squares left, the knights on two of the five left after her, then
    rook, king and rook on the last three."""
    if not 0 <= number < 960:
        raise ValueError(f"no Chess960 start position {number}")
    rank = [""] * 8
    number, light = divmod(number, 4)
    rank[2 * light + 1] = "B"
    number, dark = divmod(number, 4)
    rank[2 * dark] = "B"
    number, queen = divmod(number, 6)
    rank[[f for f in range(8) if not rank[f]][queen]] = "Q"
    empty = [f for f in range(8) if not rank[f]]
    for place in KNIGHT_PLACES[number]:
        rank[empty[place]] = "N"
    for file, man in zip([f for f in range(8) if not rank[f]], "RKR"):
        rank[file] = man
    return "".join(rank)


def chess960_fen(number, shredder=True):
    """The FEN of Chess960 start position `number`, its castling field the
    rooks' files (HAha) or, with shredder false, KQkq."""
    rank = chess960_back_rank(number)
    files = "".join("abcdefgh"[f] for f in range(7, -1, -1) if rank[f] == "R")
    castling = files.upper() + files if shredder else "KQkq"
    return f"{rank.lower()}/pppppppp/8/8/8/8/PPPPPPPP/{rank} w {castling} - 0 1"


class Move:
    """A move as origin, destination and promotion kind (upper case, or '')."""

    __slots__ = ("origin", "target", "promotion")

    def __init__(self, origin, target, promotion=""):
        self.origin, self.target, self.promotion = origin, target, promotion

    def uci(self):
        return square_name(self.origin) + square_name(self.target) + self.promotion.lower()

    def __eq__(self, other):
        return (self.origin, self.target, self.promotion) == (other.origin, other.target, other.promotion)

    def __hash__(self):
        return hash((self.origin, self.target, self.promotion))

    def __repr__(self):
        return self.uci()


class Position:
    """One position; play() returns the next one and leaves this one alone.
    With chess960 the castling rooks may stand anywhere beside their king
    and a castling move is the king taking its own rook (e1h1); without, a
    castling move is the king's two-square step (e1g1). Castling rights are
    kept as the squares of the rooks that may castle."""

    def __init__(self, fen=START_FEN, chess960=False):
        fields = fen.split()
        if len(fields) < 4:
            raise ValueError(f"a FEN needs at least 4 fields: {fen!r}")
        self.board = [""] * 64
        ranks = fields[0].split("/")
        if len(ranks) != 8:
            raise ValueError(f"a FEN placement needs 8 ranks: {fen!r}")
        for row, text in enumerate(ranks):
            file = 0
            for char in text:
                if char.isdigit():
                    file += int(char)
                elif char.upper() in "PNBRQK" and file < 8:
                    self.board[file + 8 * (7 - row)] = char
                    file += 1
                else:
                    raise ValueError(f"bad placement: {fen!r}")
            if file != 8:
                raise ValueError(f"a rank without 8 squares: {fen!r}")
        self.white_to_move = fields[1] == "w"
        self.chess960 = chess960
        self.castling_kings = dict(STANDARD_KINGS)
        self.castling = self._read_castling(fields[2], fen)
        self.en_passant = None if fields[3] == "-" else parse_square(fields[3])
        self.halfmove_clock = int(fields[4]) if len(fields) > 4 else 0
        self.move_number = int(fields[5]) if len(fields) > 5 else 1

    def _read_castling(self, field, fen):
        """The rook squares of the castling field: KQkq, the rooks' files
        (HAha) or both mixed (KQkq for the outermost rook on that side). In
        standard chess a letter names a corner whatever stands there."""
        if field == "-":
            return ()
        rooks = set()
        for letter in field:
            white = letter.isupper()
            if not self.chess960:
                if letter not in STANDARD_ROOKS:
                    raise ValueError(f"bad castling field: {fen!r}")
                rooks.add(STANDARD_ROOKS[letter])
                continue
            rank = 0 if white else 56
            rook = "R" if white else "r"
            king = self.board.index("K" if white else "k") if ("K" if white else "k") in self.board else -1
            if not rank <= king < rank + 8 or letter.lower() not in "kqabcdefgh":
                raise ValueError(f"bad castling field: {fen!r}")
            self.castling_kings[white] = king
            if letter in "KkQq":
                side = range(rank + 7, king, -1) if letter in "Kk" else range(rank, king)
                square = next((s for s in side if self.board[s] == rook), None)
            else:
                square = rank + "abcdefgh".index(letter.lower())
            if square is None or self.board[square] != rook:
                raise ValueError(f"no rook for castling letter {letter}: {fen!r}")
            rooks.add(square)
        return tuple(sorted(rooks, key=lambda s: (s >= 56, -s)))

    def _castling_field(self, shredder):
        """KQkq letters; in Chess960 a rook's file where it is not the
        outermost on its side, or always with shredder."""
        letters = ""
        for rook in self.castling:
            white = rook < 8
            king = self.castling_kings[white]
            outer = range(rook + 1, (rook | 7) + 1) if rook > king else range(rook & 56, rook)
            if self.chess960 and (shredder or any(self.board[s] == ("R" if white else "r") for s in outer)):
                letter = "abcdefgh"[rook % 8]
            else:
                letter = "k" if rook > king else "q"
            letters += letter.upper() if white else letter
        return letters or "-"

    def copy(self):
        other = Position.__new__(Position)
        other.board = self.board[:]
        other.white_to_move = self.white_to_move
        other.chess960 = self.chess960
        other.castling_kings = self.castling_kings
        other.castling = self.castling
        other.en_passant = self.en_passant
        other.halfmove_clock = self.halfmove_clock
        other.move_number = self.move_number
        return other

    def fen(self, shredder=False):
        """The FEN; in Chess960 its castling field as X-FEN (KQkq where that
        is plain) or, with shredder, the rooks' files."""
        rows = []
        for rank in range(7, -1, -1):
            row, empty = "", 0
            for file in range(8):
                man = self.board[file + 8 * rank]
                if man:
                    row += (str(empty) if empty else "") + man
                    empty = 0
                else:
                    empty += 1
            rows.append(row + (str(empty) if empty else ""))
        en_passant = square_name(self.en_passant) if self.en_passant is not None else "-"
        return " ".join(["/".join(rows), "w" if self.white_to_move else "b", self._castling_field(shredder), en_passant,
                         str(self.halfmove_clock), str(self.move_number)])

    def own(self, man):
        return bool(man) and is_white(man) == self.white_to_move

    def king_square(self, white):
        return self.board.index("K" if white else "k")

    def attacked(self, square, by_white):
        """Is the square attacked by a man of the given colour?"""
        def holds(at, kinds):
            man = self.board[at] if at is not None else ""
            return bool(man) and is_white(man) == by_white and man.upper() in kinds

        pawn_rank = -1 if by_white else 1  # an attacking pawn stands one rank behind
        if any(holds(step(square, f, pawn_rank), "P") for f in (-1, 1)):
            return True
        if any(holds(step(square, f, r), "N") for f, r in KNIGHT_STEPS):
            return True
        if any(holds(step(square, f, r), "K") for f, r in KING_STEPS):
            return True
        for lines, kinds in ((ROOK_LINES, "RQ"), (BISHOP_LINES, "BQ")):
            for f, r in lines:
                at = step(square, f, r)
                while at is not None and not self.board[at]:
                    at = step(at, f, r)
                if holds(at, kinds):
                    return True
        return False

    def in_check(self):
        return self.attacked(self.king_square(self.white_to_move), not self.white_to_move)

    def _pawn_moves(self, square):
        forward = 1 if self.white_to_move else -1
        last_rank = 7 if self.white_to_move else 0
        start_rank = 1 if self.white_to_move else 6
        targets = []
        ahead = step(square, 0, forward)
        if ahead is not None and not self.board[ahead]:
            targets.append(ahead)
            twice = step(ahead, 0, forward)
            if square // 8 == start_rank and not self.board[twice]:
                targets.append(twice)
        for f in (-1, 1):
            at = step(square, f, forward)
            if at is not None and (at == self.en_passant or (self.board[at] and not self.own(self.board[at]))):
                targets.append(at)
        for target in targets:
            if target // 8 == last_rank:
                yield from (Move(square, target, kind) for kind in "QRBN")
            else:
                yield Move(square, target)

    @staticmethod
    def castling_squares(king, rook):
        """Where the king and the rook of a castling end: the g- and f-files
        when the rook stands on the king's h-side, else the c- and d-files."""
        rank = king & 56
        return (rank + 6, rank + 5) if rook > king else (rank + 2, rank + 3)

    def castling_rook(self, move):
        """The square of the rook a castling move takes along, else None."""
        man = self.board[move.origin]
        if man.upper() != "K":
            return None
        if self.chess960:
            return move.target if self.board[move.target] == ("R" if is_white(man) else "r") else None
        if abs(move.target - move.origin) != 2:
            return None
        return (move.origin | 7) if move.target > move.origin else (move.origin & 56)

    def _castling_moves(self, square):
        white = self.white_to_move
        rooks = [rook for rook in self.castling if (rook < 8) == white and self.board[rook] == ("R" if white else "r")]
        if not rooks or square != self.castling_kings[white] or self.in_check():
            return
        for rook in rooks:
            king_to, rook_to = self.castling_squares(square, rook)
            # Empty but for these two: the squares from the king's start to
            # its end and from the rook's start to its end.
            path = set(range(min(square, king_to), max(square, king_to) + 1))
            path |= set(range(min(rook, rook_to), max(rook, rook_to) + 1))
            if any(self.board[s] for s in path - {square, rook}):
                continue
            # No square the king passes or reaches attacked (its own square
            # is checked above); legal_moves() checks the end once more with
            # the rook gone from its square, where it may have blocked a line.
            if any(self.attacked(s, not white) for s in range(min(square, king_to), max(square, king_to) + 1)):
                continue
            yield Move(square, rook if self.chess960 else king_to)

    def pseudo_legal_moves(self):
        for square, man in enumerate(self.board):
            if not self.own(man):
                continue
            kind = man.upper()
            if kind == "P":
                yield from self._pawn_moves(square)
            elif kind in "NK":
                for f, r in KNIGHT_STEPS if kind == "N" else KING_STEPS:
                    at = step(square, f, r)
                    if at is not None and not self.own(self.board[at]):
                        yield Move(square, at)
                if kind == "K":
                    yield from self._castling_moves(square)
            else:
                for f, r in LINES[kind]:
                    at = step(square, f, r)
                    while at is not None and not self.own(self.board[at]):
                        yield Move(square, at)
                        if self.board[at]:
                            break
                        at = step(at, f, r)

    def legal_moves(self):
        mover = self.white_to_move
        legal = []
        for move in self.pseudo_legal_moves():
            after = self.play(move)
            if not after.attacked(after.king_square(mover), not mover):
                legal.append(move)
        return legal

    def play(self, move):
        """The position after the move (which must be pseudo-legal)."""
        after = self.copy()
        board = after.board
        man = board[move.origin]
        kind = man.upper()
        rook_from = self.castling_rook(move)
        captures = bool(board[move.target]) and rook_from is None
        if kind == "P" and move.target == self.en_passant:
            board[move.target + (-8 if self.white_to_move else 8)] = ""
            captures = True
        if rook_from is not None:
            # Both leave first: in Chess960 either may end on the other's square.
            king_to, rook_to = self.castling_squares(move.origin, rook_from)
            rook = board[rook_from]
            board[move.origin] = board[rook_from] = ""
            board[king_to], board[rook_to] = man, rook
        else:
            board[move.target] = (move.promotion if self.white_to_move else move.promotion.lower()) or man
            board[move.origin] = ""
        # A right is lost when a man leaves or lands on its king's or rook's
        # square (a castling move lands on its rook's).
        touched = (move.origin, move.target)
        after.castling = tuple(rook for rook in self.castling
                               if rook not in touched and self.castling_kings[rook < 8] not in touched)
        after.en_passant = (move.origin + move.target) // 2 if kind == "P" and abs(move.target - move.origin) == 16 else None
        after.halfmove_clock = 0 if kind == "P" or captures else self.halfmove_clock + 1
        after.move_number = self.move_number + (0 if self.white_to_move else 1)
        after.white_to_move = not self.white_to_move
        return after

    def find_move(self, text):
        """The legal move the coordinate text names, or None."""
        for move in self.legal_moves():
            if move.uci() == text:
                return move
        return None

    def san(self, move):
        """Algebraic text of a legal move, with + or # when it checks or mates."""
        kind = self.board[move.origin].upper()
        rook = self.castling_rook(move)
        if rook is not None:
            text = "O-O" if rook > move.origin else "O-O-O"
        else:
            captures = bool(self.board[move.target]) or (kind == "P" and move.target == self.en_passant)
            target = square_name(move.target)
            if kind == "P":
                text = (square_name(move.origin)[0] + "x" if captures else "") + target
                text += "=" + move.promotion if move.promotion else ""
            else:
                rivals = [m.origin for m in self.legal_moves()
                          if m.target == move.target and m.origin != move.origin and self.board[m.origin].upper() == kind]
                origin = square_name(move.origin)
                if not rivals:
                    which = ""
                elif all(r % 8 != move.origin % 8 for r in rivals):
                    which = origin[0]
                elif all(r // 8 != move.origin // 8 for r in rivals):
                    which = origin[1]
                else:
                    which = origin
                text = kind + which + ("x" if captures else "") + target
        after = self.play(move)
        if after.in_check():
            text += "#" if not after.legal_moves() else "+"
        return text

    def repetition_key(self):
        """What a repetition compares: placement, side, rights, and an
        en-passant square only when the capture is possible."""
        en_passant = self.en_passant
        if en_passant is not None and not any(
                m.target == en_passant and self.board[m.origin].upper() == "P" for m in self.legal_moves()):
            en_passant = None
        return ("".join(man or "." for man in self.board), self.white_to_move, self.castling, en_passant)

    def insufficient_material(self):
        """No mate is possible: bare kings, one minor piece, or bishops all
        on squares of one colour."""
        men = [(square, man.upper()) for square, man in enumerate(self.board) if man and man.upper() != "K"]
        if len(men) <= 1 and all(kind in "NB" for _, kind in men):
            return True
        if all(kind == "B" for _, kind in men):
            return len({(square % 8 + square // 8) % 2 for square, _ in men}) == 1
        return False


def game_end(position, keys):
    """(result, reason) when the game is over in this position, else None.
    `keys` are the repetition keys of every position of the game so far,
    this one included."""
    if not position.legal_moves():
        if position.in_check():
            return ("0-1" if position.white_to_move else "1-0"), "checkmate"
        return "1/2-1/2", "stalemate"
    if position.halfmove_clock >= 100:
        return "1/2-1/2", "fifty-move rule"
    if keys.count(keys[-1]) >= 3:
        return "1/2-1/2", "threefold repetition"
    if position.insufficient_material():
        return "1/2-1/2", "insufficient material"
    return None


def perft(position, depth):
    """Leaf count of the legal move tree, to check the rules on known counts."""
    moves = position.legal_moves()
    if depth <= 1:
        return len(moves)
    return sum(perft(position.play(m), depth - 1) for m in moves)
