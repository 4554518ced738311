#!/usr/bin/env python3
"""The soak referee catches each kind of fault: one game against an engine
that commits it (fake_engine.py) must count it and make the soak fail."""
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SOAK = os.path.join(HERE, "..", "soak")
FAULT_COLUMNS = ["illegal", "time", "hangs", "crashes", "protocol"]


def soak_one_game(fault):
    """The soak's exit status and its counts of the configuration's faults."""
    with tempfile.TemporaryDirectory() as scratch:
        result = subprocess.run(
            [sys.executable, SOAK, "--games", "1", "--engine", os.path.join(HERE, "fake_engine.py"),
             "--clocks", "1+0.01", "--threads", "1", "--ponder", "off",
             "--pgn", os.path.join(scratch, "games.pgn"), "--log", os.path.join(scratch, "faults.log")],
            capture_output=True, text=True, timeout=60, env=dict(os.environ, FAKE_ENGINE_FAULT=fault))
    row = next(line for line in result.stdout.splitlines() if line.startswith("all "))
    counts = [int(word) for word in row.split()[5:10]]
    return result.returncode, dict(zip(FAULT_COLUMNS, counts))


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
                code, counts = soak_one_game(fault)
                self.assertEqual(code, 1)
                self.assertEqual({kind: n for kind, n in counts.items() if n}, counted)


if __name__ == "__main__":
    unittest.main()
