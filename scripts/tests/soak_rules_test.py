#!/usr/bin/env python3
"""The soak referee's rules (scripts/soak_rules.py): it judges the engine's
moves, so its perft counts, algebraic text and game ends must be right."""
import os
import sys
import unittest

# No compiled copy of the rules is left in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import soak_rules as rules  # noqa: E402


class MoveGeneration(unittest.TestCase):
    # Published counts; the positions hold castling through and out of
    # check, en passant, promotions and pins between them.
    PERFT = [
        (rules.START_FEN, 3, 8902),
        ("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3, 97862),
        ("8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 4, 43238),
        ("r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3, 9467),
        ("rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3, 62379),
        ("r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 2, 2079),
    ]

    def test_published_perft_counts_and_fen_round_trip(self):
        for fen, depth, count in self.PERFT:
            with self.subTest(fen=fen):
                self.assertEqual(rules.perft(rules.Position(fen), depth), count)
                self.assertEqual(rules.Position(fen).fen(), fen)

    def test_en_passant_that_exposes_the_king_is_refused(self):
        position = rules.Position("8/8/8/K2pP2q/8/8/8/7k w - d6 0 1")
        self.assertIsNone(position.find_move("e5d6"))
        self.assertIsNotNone(rules.Position("8/8/8/3pP3/8/8/K7/7k w - d6 0 1").find_move("e5d6"))


class Chess960(unittest.TestCase):
    EPD = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "data", "chess960-perft.epd")

    def test_published_counts(self):
        # Every position one ply deep (201 of them may castle), a sample two
        # plies deep, and three plies deep two that castle at once, king and
        # rook swapping (line 403) and the king ending on its rook's square
        # (line 624).
        # Each FEN, castling as the rooks' files, reads back unchanged.
        with open(self.EPD) as epd:
            lines = epd.read().splitlines()
        for number, line in enumerate(lines):
            fen, *fields = [field.strip() for field in line.split(";")]
            counts = {int(field.split()[0][1:]): int(field.split()[1]) for field in fields}
            depths = [1] + ([2] if number % 24 == 0 else []) + ([3] if number in (402, 623) else [])
            position = rules.Position(fen, chess960=True)
            self.assertEqual(position.fen(shredder=True), fen)
            for depth in depths:
                self.assertEqual(rules.perft(position, depth), counts[depth], f"line {number + 1} depth {depth}")

    def test_start_positions_by_number(self):
        self.assertEqual(rules.chess960_back_rank(518), "RNBQKBNR")
        self.assertEqual(rules.chess960_back_rank(0), "BBQNNRKR")
        self.assertEqual(rules.chess960_fen(518), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w HAha - 0 1")
        ranks = {rules.chess960_back_rank(number) for number in range(960)}
        self.assertEqual(len(ranks), 960)
        for rank in ranks:
            self.assertEqual(sorted(rank), sorted("RNBQKBNR"))
            self.assertTrue(rank.index("R") < rank.index("K") < rank.rindex("R"), rank)
            self.assertEqual({rank.index("B") % 2, rank.rindex("B") % 2}, {0, 1}, rank)
        # Both castling fields read as the same position, with its four rights.
        for number in (0, 518, 959):
            files = rules.Position(rules.chess960_fen(number), chess960=True)
            letters = rules.Position(rules.chess960_fen(number, shredder=False), chess960=True)
            self.assertEqual(files.repetition_key(), letters.repetition_key())
            self.assertEqual(len(files.castling), 4)

    def test_castling_is_the_king_taking_its_own_rook(self):
        def after(fen, move, chess960=True):
            position = rules.Position(fen, chess960=chess960)
            found = position.find_move(move)
            return found and position.play(found).fen()

        standard = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1"
        self.assertEqual(after(standard, "e1h1"), "r3k2r/8/8/8/8/8/8/R4RK1 b kq - 1 1")
        self.assertEqual(after(standard, "e1a1"), "r3k2r/8/8/8/8/8/8/2KR3R b kq - 1 1")
        self.assertIsNone(after(standard, "e1g1"))
        self.assertEqual(after(standard, "e1g1", chess960=False), "r3k2r/8/8/8/8/8/8/R4RK1 b kq - 1 1")
        self.assertIsNone(after(standard, "e1h1", chess960=False))
        # The king that stays, the rook that stays, king and rook swapping.
        self.assertEqual(after("1r4kr/8/8/8/8/8/8/1R4KR w KQkq - 0 1", "g1h1"), "1r4kr/8/8/8/8/8/8/1R3RK1 b kq - 1 1")
        self.assertEqual(after("4k3/8/8/8/8/8/8/3RK2R w D - 0 1", "e1d1"), "4k3/8/8/8/8/8/8/2KR3R b - - 1 1")
        self.assertEqual(after("4k3/8/8/8/8/8/8/R4KR1 w KQ - 0 1", "f1g1"), "4k3/8/8/8/8/8/8/R4RK1 b - - 1 1")
        self.assertEqual(after("4k3/8/8/8/8/8/8/R2KR3 w KQ - 0 1", "d1a1"), "4k3/8/8/8/8/8/8/2KRR3 b - - 1 1")
        position = rules.Position("4k3/8/8/8/8/8/8/R4KR1 w KQ - 0 1", chess960=True)
        self.assertEqual(position.san(position.find_move("f1g1")), "O-O")

    def test_castling_refused(self):
        def refused(fen, move):
            return rules.Position(fen, chess960=True).find_move(move) is None

        # A man of either side on the king's or the rook's way.
        self.assertTrue(refused("4k3/8/8/8/8/8/8/RN2K3 w Q - 0 1", "e1a1"))
        self.assertTrue(refused("4k3/8/8/8/8/8/8/1RnK4 w Q - 0 1", "d1b1"))
        self.assertFalse(refused("4k3/8/8/8/8/8/8/1R1K4 w Q - 0 1", "d1b1"))
        # The king in check, passing an attacked square, or reaching one.
        self.assertTrue(refused("3rk3/8/8/8/8/8/8/1R1K4 w Q - 0 1", "d1b1"))
        self.assertTrue(refused("2k5/8/8/4r3/8/8/8/1RK3R1 w G - 0 1", "c1g1"))
        self.assertTrue(refused("2k5/8/8/6r1/8/8/8/1RK3R1 w G - 0 1", "c1g1"))
        self.assertFalse(refused("2k5/8/8/8/8/8/8/1RK3R1 w G - 0 1", "c1g1"))
        # The rook that leaves opens the rank to the king's end square.
        self.assertTrue(refused("4k3/8/8/8/8/8/8/rR1K4 w B - 0 1", "d1b1"))
        self.assertFalse(refused("4k3/8/8/8/8/8/r7/1R1K4 w B - 0 1", "d1b1"))

    def test_rights_and_castling_field(self):
        # Two rooks on the king's side: KQkq names the outer one, a file
        # the inner one, and the field is written that way back.
        inner = rules.Position("4k3/8/8/8/8/8/8/4K1RR w G - 0 1", chess960=True)
        self.assertEqual(inner.fen().split()[2], "G")
        outer = rules.Position("4k3/8/8/8/8/8/8/4K1RR w K - 0 1", chess960=True)
        self.assertEqual(outer.fen(shredder=True).split()[2], "H")
        self.assertIsNotNone(inner.find_move("e1g1"))
        self.assertIsNone(inner.find_move("e1h1"))
        # Rights go with the king, with the rook that moves, with a rook taken.
        start = rules.Position("1r2k1r1/8/8/8/8/8/8/1R2K1R1 w GBgb - 0 1", chess960=True)
        self.assertEqual(start.play(start.find_move("e1e2")).fen(shredder=True).split()[2], "gb")
        position = start
        for move, field in (("b1b2", "Ggb"), ("g8g1", "b")):
            position = position.play(position.find_move(move))
            self.assertEqual(position.fen(shredder=True).split()[2], field)
        with self.assertRaises(ValueError):
            rules.Position("4k3/8/8/8/8/8/8/4K1N1 w G - 0 1", chess960=True)


class AlgebraicText(unittest.TestCase):
    def san(self, fen, move):
        position = rules.Position(fen)
        return position.san(position.find_move(move))

    def test_algebraic_text(self):
        kiwipete = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"
        self.assertEqual(self.san(kiwipete, "e1g1"), "O-O")
        self.assertEqual(self.san(kiwipete, "e1c1"), "O-O-O")
        self.assertEqual(self.san(kiwipete, "d5e6"), "dxe6")
        self.assertEqual(self.san(kiwipete, "e5f7"), "Nxf7")
        # Two knights reach d3 from different files; two rooks on one file.
        self.assertEqual(self.san("4k3/8/8/8/8/8/8/1N2KN2 w - - 0 1", "b1d2"), "Nbd2")
        self.assertEqual(self.san("4k3/R7/8/8/8/8/8/R3K3 w - - 0 1", "a1a4"), "R1a4")
        self.assertEqual(self.san("7k/P7/8/8/8/8/8/K7 w - - 0 1", "a7a8q"), "a8=Q+")
        self.assertEqual(self.san("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "a1a8"), "Ra8#")


class GameEnds(unittest.TestCase):
    def test_mate_stalemate_fifty_moves_and_material(self):
        self.assertEqual(self.end("R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1"), ("1-0", "checkmate"))
        self.assertEqual(self.end("k7/2Q5/1K6/8/8/8/8/8 b - - 0 1"), ("1/2-1/2", "stalemate"))
        self.assertEqual(self.end("4k3/8/8/8/8/8/4P3/4K3 w - - 100 80"), ("1/2-1/2", "fifty-move rule"))
        self.assertEqual(self.end("4k3/8/8/8/8/8/8/4KN2 w - - 0 1"), ("1/2-1/2", "insufficient material"))
        self.assertEqual(self.end("4kb2/8/8/8/8/8/8/2B1K3 w - - 0 1"), ("1/2-1/2", "insufficient material"))
        self.assertIsNone(self.end("4k1b1/8/8/8/8/8/8/2B1K3 w - - 0 1"))
        self.assertIsNone(self.end("4k3/8/8/8/8/8/8/3NKN2 w - - 0 1"))

    def test_threefold_repetition(self):
        position = rules.Position()
        keys = [position.repetition_key()]
        ends = []
        for text in "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8".split():
            position = position.play(position.find_move(text))
            keys.append(position.repetition_key())
            ends.append(rules.game_end(position, keys))
        self.assertEqual(ends[-1], ("1/2-1/2", "threefold repetition"))
        self.assertTrue(all(end is None for end in ends[:-1]))

    def end(self, fen):
        position = rules.Position(fen)
        return rules.game_end(position, [position.repetition_key()])


if __name__ == "__main__":
    unittest.main()
