#!/usr/bin/env python3
"""The measuring scripts' UCI client (scripts/uci_engine.py) against a
scripted engine (fake_engine.py)."""
import os
import sys
import unittest

# No compiled copy of the client is left in the source tree.
sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, ".."))
from uci_engine import Engine, field  # noqa: E402

FAKE = os.path.join(HERE, "fake_engine.py")
FEN = "4k3/8/8/8/8/8/4P3/4K3 w - - 0 1"


class Client(unittest.TestCase):
    def setUp(self):
        os.environ.pop("FAKE_ENGINE_FAULT", None)

    def test_options_offered_keep_names_of_several_words(self):
        engine = Engine(FAKE, [("Hash", 32)])
        engine.quit()
        self.assertEqual(engine.offers, {"Hash", "Move Overhead", "UCI_Chess960"})

    def test_search_figures_come_from_the_last_completed_depth(self):
        # Neither the current-move line nor the closing speed line counts as
        # a depth; a script that wants the speed line reads every line.
        engine = Engine(FAKE)
        _, last = engine.search(FEN, "go depth 3")
        engine.quit()
        self.assertEqual((field(last, "depth"), field(last, "nodes"), field(last, "nps")), (2, 340, 170000))

    def test_every_line_of_the_search_up_to_its_answer(self):
        engine = Engine(FAKE)
        engine.send("position fen " + FEN)
        _, lines = engine.think("go movetime 10")
        engine.quit()
        self.assertEqual(lines[-1], ["bestmove", "e2e4"])
        self.assertEqual([field(words, "nps") for words in lines if "nps" in words], [21000, 170000, 180000])

    def test_an_engine_that_dies_mid_search_ends_the_run(self):
        os.environ["FAKE_ENGINE_FAULT"] = "crash"
        engine = Engine(FAKE)
        with self.assertRaises(SystemExit):
            engine.search(FEN, "go depth 3")
        self.assertEqual(engine.proc.wait(), 3)
        engine.proc.stdin.close()
        engine.proc.stdout.close()


if __name__ == "__main__":
    unittest.main()
