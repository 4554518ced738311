#!/usr/bin/env python3
"""A UCI engine that commits the fault FAKE_ENGINE_FAULT names on its first
search; later searches answer "0000", so the game ends on an illegal move.
Without a fault the first search reports a few lines of analysis.
FAKE_ENGINE_NAME is the name it gives ("Fake" by default); with
FAKE_ENGINE_PLAIN set it offers no options, as some engines do.
As "fake_engine.py perft --chess960 DEPTH FEN" it counts the move tree by
the soak referee's rules, printed as the engine prints it; the fault
"miscount" adds one to the total, "crash" ends it with nothing printed."""
import os
import sys
import time

FAULT = os.environ.get("FAKE_ENGINE_FAULT", "")
NAME = os.environ.get("FAKE_ENGINE_NAME", "Fake")
OPTIONS = [] if os.environ.get("FAKE_ENGINE_PLAIN") else [
    "option name Hash type spin default 16 min 1 max 1024",
    "option name Move Overhead type spin default 30 min 0 max 5000",
    "option name UCI_Chess960 type check default false",
]


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
            say(f"id name {NAME}")
            for offer in OPTIONS:
                say(offer)
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


def perft(args):
    if FAULT == "crash":
        sys.exit(3)
    if args[:1] != ["--chess960"] or len(args) < 3 or not args[1].isdigit():
        sys.exit("usage: fake_engine.py perft --chess960 DEPTH FEN")
    sys.dont_write_bytecode = True
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    import soak_rules
    depth, position = int(args[1]), soak_rules.Position(" ".join(args[2:]), chess960=True)
    total = 0
    for move in position.legal_moves():
        count = soak_rules.perft(position.play(move), depth - 1) if depth > 1 else 1
        say(f"{move.uci()}: {count}")
        total += count
    say(f"\nTotal: {total + (FAULT == 'miscount')}\nTime: 0 ms\nNodes/s: 0")


if __name__ == "__main__":
    if sys.argv[1:2] == ["perft"]:
        perft(sys.argv[2:])
    else:
        main()
