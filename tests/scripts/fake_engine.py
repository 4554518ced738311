#!/usr/bin/env python3
"""A UCI engine that commits one fault on its first search, for the soak
referee's tests: FAKE_ENGINE_FAULT names it (illegal, late, silent, crash,
twice, chatty). Its later searches answer "0000", so that the game ends at
once on an illegal move. Without a fault its first search reports a few
lines of analysis, as the measuring scripts' client reads them."""
import os
import sys
import time

FAULT = os.environ.get("FAKE_ENGINE_FAULT", "")


def say(line):
    sys.stdout.write(line + "\n")
    sys.stdout.flush()


def first_search(words):
    clock = int(words[words.index("wtime") + 1]) if "wtime" in words else 1000
    if FAULT == "illegal":
        say("bestmove a1a1")
    elif FAULT == "late":
        time.sleep(clock / 1000 + 0.2)
        say("bestmove 0000")
    elif FAULT == "silent":
        return
    elif FAULT == "crash":
        sys.exit(3)
    elif FAULT == "twice":
        say("bestmove 0000")
        say("bestmove 0000")
    elif FAULT == "chatty":
        say("thinking hard")
        say("bestmove 0000")
    else:
        say("info depth 1 seldepth 1 score cp 20 time 1 nodes 21 nps 21000 pv e2e4")
        say("info depth 2 seldepth 3 score cp 12 time 2 nodes 340 nps 170000 pv e2e4 e7e5")
        say("info depth 3 currmove d2d4 currmovenumber 2")
        say("info nodes 400 nps 180000")
        say("bestmove e2e4")


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
