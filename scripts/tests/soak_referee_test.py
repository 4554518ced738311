#!/usr/bin/env python3
"""The soak referee catches each kind of fault: one game against an engine
that commits it (fake_engine.py) must count it and make the soak fail. A
Chess960 game tells the engine so and starts from its start position.
Against another engine (--opponent, the fake again, named otherwise) the
opponent's faults are counted apart and do not fail the soak; ours do."""
import os
import re
import shlex
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


def soak_one_game(fault, *options, opponent=None):
    """The soak's exit status, its counts of the configuration's faults, and
    the texts of its PGN, its log and its report. `opponent`: the settings
    (FAKE_ENGINE_...) of a fake to play as --opponent, its faults counted
    in the column "opponent"."""
    with tempfile.TemporaryDirectory() as scratch:
        pgn, log = os.path.join(scratch, "games.pgn"), os.path.join(scratch, "faults.log")
        columns = FAULT_COLUMNS
        if opponent is not None:
            columns = FAULT_COLUMNS + ["opponent"]
            options += ("--opponent", fake_with(os.path.join(scratch, "opponent"), {"FAKE_ENGINE_FAULT": "", **opponent}))
        result = subprocess.run(
            [sys.executable, SOAK, "--games", "1", "--engine", os.path.join(HERE, "fake_engine.py"),
             "--clocks", "1+0.01", "--threads", "1", "--ponder", "off", "--pgn", pgn, "--log", log, *options],
            capture_output=True, text=True, timeout=60, env=dict(os.environ, FAKE_ENGINE_FAULT=fault))
        with open(pgn) as games, open(log) as exchanges:
            texts = games.read(), exchanges.read(), result.stdout
    row = next(line for line in result.stdout.splitlines() if line.startswith("all "))
    counts = [int(word) for word in row.split()[5:5 + len(columns)]]
    return result.returncode, dict(zip(columns, counts)), texts


def fake_with(path, settings):
    """Writes at `path` a command that starts the fake with `settings`."""
    with open(path, "w") as script:
        script.write("#!/bin/sh\n" + "".join(f"export {name}={shlex.quote(value)}\n" for name, value in settings.items()) +
                     f"exec {shlex.quote(sys.executable)} {shlex.quote(os.path.join(HERE, 'fake_engine.py'))}\n")
    os.chmod(path, 0o755)
    return path


def nonzero(counts):
    return {kind: n for kind, n in counts.items() if n}


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
                self.assertEqual(nonzero(counts), counted)

    def test_a_chess960_game_starts_from_a_numbered_start_position(self):
        # The fake plays e2e4, then the illegal "0000" that puts the
        # exchanges in the log.
        code, counts, (pgn, log, _) = soak_one_game("", "--variant", "960", "--seed", "7")
        self.assertEqual((code, nonzero(counts)), (1, {"illegal": 1}))
        number = int(re.search(r'\[Opening "Chess960 start position (\d+)"\]', pgn).group(1))
        fen = soak_rules.chess960_fen(number, shredder=number % 2 == 0)
        self.assertIn("< setoption name UCI_Chess960 value true", log)
        self.assertIn(f"< position fen {fen} moves e2e4", log)
        self.assertIn(f'[Variant "Chess960"]\n[SetUp "1"]\n[FEN "{fen}"]', pgn)

    def test_an_opponents_faults_are_counted_apart_and_do_not_fail_the_soak(self):
        # A Chess960 game has no opening moves: ours (White) plays e2e4,
        # then the opponent answers with its fault. Its stray lines pass;
        # a second answer is still a fault, but its own. The fake offers no
        # Threads option, so the report gives none for it.
        expected = {
            "illegal": ["illegal moves"],
            "chatty": ["illegal moves"],
            "twice": ["illegal moves", "protocol errors"],
            "crash": ["crashes"],
        }
        for fault, kinds in expected.items():
            with self.subTest(fault=fault):
                code, counts, (pgn, _, report) = soak_one_game(
                    "", "--variant", "960", opponent=dict(FAKE_ENGINE_FAULT=fault, FAKE_ENGINE_NAME="Fake Opponent 2"))
                self.assertEqual((code, nonzero(counts)), (0, {"opponent": len(kinds)}))
                self.assertEqual(re.findall(r"opponent ([a-z ]+): Fake Opponent 2", report), kinds)
                self.assertIn('[White "Vostrak A"]\n[Black "Fake Opponent 2"]', pgn)
                self.assertIn("Vostrak A (Threads 1) scored ", report)
                self.assertIn(" against Fake Opponent 2\n", report)
                self.assertIn("soak: 1 passed, 0 failed", report)
                if fault != "crash":
                    self.assertIn('[Result "1-0"]', pgn)

    def test_our_faults_still_fail_against_an_opponent(self):
        # The opponent offers no options: it is set none, and the Chess960
        # half of the run is skipped, not failed.
        code, counts, (pgn, log, report) = soak_one_game(
            "illegal", "--variant", "standard,960", opponent=dict(FAKE_ENGINE_NAME="Plain", FAKE_ENGINE_PLAIN="1"))
        self.assertEqual((code, nonzero(counts)), (1, {"illegal": 1}))
        self.assertIn("Plain offers no UCI_Chess960 option: its Chess960 games are skipped", report)
        self.assertIn('[White "Vostrak A"]\n[Black "Plain"]', pgn)
        self.assertNotIn("Variant", pgn)
        self.assertIn("Vostrak A < setoption name Threads value 1", log)
        self.assertIn("Plain < ucinewgame", log)
        self.assertNotIn("Plain < setoption", log)
        self.assertIn("scored 0 of 1 (0.0 %) against Plain\n", report)
        self.assertIn("soak: 0 passed, 1 failed", report)

if __name__ == "__main__":
    unittest.main()
