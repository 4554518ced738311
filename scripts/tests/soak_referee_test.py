#!/usr/bin/env python3
"""The soak referee catches each kind of fault: one game against an engine
that commits it (fake_engine.py) must count it and make the soak fail. A
Chess960 game tells the engine so and starts from its start position."""
import os
import re
import subprocess
import sys
import tempfile
import unittest

# No compiled copy of the rules is left in the source tree.
sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, ".."))
import soak_rules  # noqa: E402

SOAK = os.path.join(HERE, "..", "soak")
FAULT_COLUMNS = ["illegal", "time", "hangs", "crashes", "protocol"]


def soak_one_game(fault, *options):
    """The soak's exit status, its counts of the configuration's faults, and
    the texts of its PGN and its log."""
    with tempfile.TemporaryDirectory() as scratch:
        pgn, log = os.path.join(scratch, "games.pgn"), os.path.join(scratch, "faults.log")
        result = subprocess.run(
            [sys.executable, SOAK, "--games", "1", "--engine", os.path.join(HERE, "fake_engine.py"),
             "--clocks", "1+0.01", "--threads", "1", "--ponder", "off", "--pgn", pgn, "--log", log, *options],
            capture_output=True, text=True, timeout=60, env=dict(os.environ, FAKE_ENGINE_FAULT=fault))
        with open(pgn) as games, open(log) as exchanges:
            texts = games.read(), exchanges.read()
    row = next(line for line in result.stdout.splitlines() if line.startswith("all "))
    counts = [int(word) for word in row.split()[5:10]]
    return result.returncode, dict(zip(FAULT_COLUMNS, counts)), texts


class SoakReferee(unittest.TestCase):
    def test_each_fault_is_counted_and_fails_the_soak(self):
        # The fake ends each game with "bestmove 0000" after its first fault,
        # an illegal move too, except where the fault ends the game first.
        expected = {
            "illegal": {"illegal": 1},
            "late": {"time": 1},
            "silent": {"hangs": 1},
            "crash": {"crashes": 1},
            "twice": {"protocol": 1, "illegal": 1},
            "chatty": {"protocol": 1, "illegal": 1},
        }
        for fault, counted in expected.items():
            with self.subTest(fault=fault):
                code, counts, _ = soak_one_game(fault)
                self.assertEqual(code, 1)
                self.assertEqual({kind: n for kind, n in counts.items() if n}, counted)

    def test_a_chess960_game_starts_from_a_numbered_start_position(self):
        # The fake plays e2e4, then the illegal "0000" that puts the
        # exchanges in the log.
        code, counts, (pgn, log) = soak_one_game("", "--variant", "960", "--seed", "7")
        self.assertEqual((code, {kind: n for kind, n in counts.items() if n}), (1, {"illegal": 1}))
        number = int(re.search(r'\[Opening "Chess960 start position (\d+)"\]', pgn).group(1))
        fen = soak_rules.chess960_fen(number, shredder=number % 2 == 0)
        self.assertIn("< setoption name UCI_Chess960 value true", log)
        self.assertIn(f"< position fen {fen} moves e2e4", log)
        self.assertIn(f'[Variant "Chess960"]\n[SetUp "1"]\n[FEN "{fen}"]', pgn)

if __name__ == "__main__":
    unittest.main()
