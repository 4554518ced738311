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
