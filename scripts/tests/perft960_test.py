#!/usr/bin/env python3
"""scripts/perft960 against a fake engine that counts by the soak referee's
rules: right totals pass; a wrong total, a crash or a depth the file has no
count for fail the run."""
import os
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
PERFT960 = os.path.join(HERE, "..", "perft960")


def perft960(fault, depth, first):
    """The script's exit status and its ok/FAIL lines and summary."""
    result = subprocess.run(
        [sys.executable, PERFT960, "--engine", os.path.join(HERE, "fake_engine.py"),
         "--depth", str(depth), "--first", str(first)],
        capture_output=True, text=True, timeout=120, env=dict(os.environ, FAKE_ENGINE_FAULT=fault))
    lines = result.stdout.splitlines()
    return result.returncode, [line.split()[0] for line in lines[:-2]], lines[-1]


class Perft960(unittest.TestCase):
    def test_totals_are_checked_against_the_file(self):
        self.assertEqual(perft960("", 2, 3), (0, ["ok", "ok", "ok"], "3 passed, 0 failed"))
        for fault, depth in (("miscount", 1), ("crash", 1), ("", 7)):
            with self.subTest(fault=fault, depth=depth):
                self.assertEqual(perft960(fault, depth, 2), (1, ["FAIL", "FAIL"], "0 passed, 2 failed"))


if __name__ == "__main__":
    unittest.main()
