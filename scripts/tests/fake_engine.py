#!/usr/bin/env python3
"""A UCI engine that commits the fault FAKE_ENGINE_FAULT names on its first
search; later searches answer "0000", so the game ends on an illegal move.
Without a fault the first search reports a few lines of analysis."""
import os
import sys
import time

FAULT = os.environ.get("FAKE_ENGINE_FAULT", "")


def say(line):
    sys.stdout.write(line + "\n")
    sys.stdout.flush()


# What the first search answers, by fault.
ANSWERS = {
    "illegal": ["bestmove a1a1"],
    "late": ["bestmove 0000"],  # after its clock has run out
    "silent": [],
    "twice": ["bestmove 0000", "bestmove 0000"],
    "chatty": ["thinking hard", "bestmove 0000"],
    "": ["info depth 1 seldepth 1 score cp 20 time 1 nodes 21 nps 21000 pv e2e4",
         "info depth 2 seldepth 3 score cp 12 time 2 nodes 340 nps 170000 pv e2e4 e7e5",
         "info depth 3 currmove d2d4 currmovenumber 2",
         "info nodes 400 nps 180000",
         "bestmove e2e4"],
}


def first_search(words):
    if FAULT == "late":
        time.sleep(int(words[words.index("wtime") + 1]) / 1000 + 0.2)
    elif FAULT == "crash":
        sys.exit(3)
    for line in ANSWERS[FAULT]:
        say(line)


def main():
    searches = 0
    for line in sys.stdin:
        words = line.split()
        if words == ["uci"]:
            say("id name Fake")
            say("option name Hash type spin default 16 min 1 max 1024")
            say("option name Move Overhead type spin default 30 min 0 max 5000")
            say("uciok")
        elif words == ["isready"]:
            say("readyok")
        elif words[:1] == ["go"]:
            searches += 1
            if searches == 1:
                first_search(words)
            else:
                say("bestmove 0000")
        elif words == ["quit"]:
            return


if __name__ == "__main__":
    main()
