"""A UCI engine as a child process, for the measuring scripts: send lines,
read up to a line, and time one search to its answer. A script imports it
after `sys.dont_write_bytecode = True`, so that no compiled copy is left
in the tree."""
import subprocess
import time

# The bench's middlegames, for the scripts that time a fixed depth.
MIDDLEGAMES = [
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "2q1rr1k/3bbnnp/p2p1pp1/2pPp3/PpP1P1P1/1P2BNNP/2BQ1PRK/7R b - - 0 1",
    "r1b2rk1/2q1b1pp/p2ppn2/1p6/3QP3/1BN1B3/PPP3PP/R4RK1 w - - 0 1",
    "2r1nrk1/p2q1ppp/bp1p4/n1pPp3/P1P1P3/2PBB1N1/4QPPP/R4RK1 w - - 0 1",
    "r2q1rk1/1ppnbppp/p2p1nb1/3Pp3/2P1P1P1/2N2N1P/PPB1QP2/R1B2RK1 b - - 0 1",
    "r1bq1rk1/pp2ppbp/2np2p1/2n5/P3PP2/N1P2N2/1PB3PP/R1B1QRK1 b - - 0 1",
]


class Engine:
    def __init__(self, command, options=()):
        """Starts `command` and sets the (name, value) options before "isready"."""
        self.proc = subprocess.Popen([command], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)
        self.send("uci")
        identity = self.until("uciok")
        # "option name Move Overhead type spin ...": the names it offers.
        self.offers = {" ".join(w[2:w.index("type")]) for w in identity if w[:2] == ["option", "name"] and "type" in w}
        for name, value in options:
            self.send(f"setoption name {name} value {value}")
        self.sync()

    def send(self, line):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()

    def until(self, prefix):
        """The lines up to the one that starts with `prefix`, split into words."""
        seen = []
        for line in self.proc.stdout:
            seen.append(line.split())
            if line.startswith(prefix):
                return seen
        raise SystemExit("the engine ended without " + prefix)

    def sync(self):
        """Waits until the engine has done everything sent before."""
        self.send("isready")
        self.until("readyok")

    def think(self, go):
        """Sends `go`: the seconds to "bestmove", and every line up to it, split into words."""
        start = time.monotonic()
        self.send(go)
        lines = self.until("bestmove")
        return time.monotonic() - start, lines

    def search(self, fen, go):
        """Seconds from `go` to "bestmove", and the words of the last "info depth" line."""
        self.send("position fen " + fen)
        seconds, lines = self.think(go)
        infos = [words for words in lines if words[:2] == ["info", "depth"] and "nodes" in words]
        return seconds, infos[-1] if infos else []

    def quit(self):
        self.send("quit")
        self.proc.wait()
        self.proc.stdin.close()
        self.proc.stdout.close()


def field(words, name):
    """The number after `name` in an info line's words, or 0."""
    return int(words[words.index(name) + 1]) if name in words else 0
