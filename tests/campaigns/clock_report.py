#!/usr/bin/env python3
"""How engines used their clock in `wintarvo-cli match` output: the figures docs/PERFORMANCE.md
quotes for the tournament engine.

    clock_report.py MATCH_OUTPUT [LONG_PLIES] [LOG]

For each engine: the games, the losses on time, the average think over all its moves as a
share of the period (byo-yomi) or of a move's time (--movetime), the largest think, and for
sudden death the share of the clock each game used, over all games and over the games of at
least LONG_PLIES plies (default 60) that lasted. With LOG, the match's --log of engines run
with `gtp --trace`: each traced engine's thinks as it timed them itself, apart for the moves
it searched and the split boards it solved at once."""
import re
import sys


def main():
    lines = open(sys.argv[1]).read().splitlines()
    long_plies = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    clock = next(l for l in lines if l.startswith("match\t"))
    kind, seconds = re.search(r"clock=(\S+) (\d+(?:\.\d+)?) ?m?s", clock).groups()
    seconds = float(seconds) / (1000 if "movetime" in kind else 1)
    opening = int(re.search(r"opening_plies=(\d+)", clock).group(1))
    stats = {1: dict(games=0, moves=0, time=0.0, largest=0.0, on_time=0, used=[], used_long=[]),
             2: dict(games=0, moves=0, time=0.0, largest=0.0, on_time=0, used=[], used_long=[])}
    for line in lines:
        if not line.startswith("game\t"):
            continue
        fields = dict(f.split("=", 1) for f in line.split("\t")[2:] if "=" in f)
        plies, white = int(fields["plies"]), int(fields["white"])
        for engine in (1, 2):
            s = stats[engine]
            # White makes the odd plies of the game; the opening's were not thought about.
            if white == engine:
                moves = (plies + 1) // 2 - (opening + 1) // 2
            else:
                moves = plies // 2 - opening // 2
            average, largest = float(fields[f"avg{engine}"]), float(fields[f"max{engine}"])
            s["games"] += 1
            s["moves"] += moves
            s["time"] += average * moves
            s["largest"] = max(s["largest"], largest)
            if "overran its time" in fields["reason"] and fields["winner"] != str(engine):
                s["on_time"] += 1
            if kind == "game":
                s["used"].append(average * moves / seconds)
                if plies >= long_plies:
                    s["used_long"].append(average * moves / seconds)
    for engine, s in stats.items():
        average = s["time"] / max(s["moves"], 1)
        share = "" if kind == "game" else f" ({100 * average / seconds:.1f}% of {seconds:g} s)"
        text = (f"engine {engine}: {s['games']} games, {s['on_time']} lost on time, average think "
                f"{average:.3f} s{share}, largest {s['largest']:.3f} s")
        if kind == "game" and s["used"]:
            mean = lambda v: 100 * sum(v) / len(v) if v else float("nan")
            text += (f", clock used {mean(s['used']):.1f}% over all games, "
                     f"{mean(s['used_long']):.1f}% over the {len(s['used_long'])} of "
                     f"{long_plies} plies or more")
        print(text)
    if len(sys.argv) > 3:
        traced(sys.argv[3], seconds if kind != "game" else None)


def traced(path, period):
    """The tournament engine's own timing of its thinks, from its trace lines in a match log."""
    thinks = {}
    pattern = re.compile(r"^game \d+ engine (\d+) ! (Move \S+ .*|Split board solved: .*)after "
                         r"(\d+) ms$")
    for line in open(path, errors="replace"):
        match = pattern.match(line.rstrip("\n"))
        if match:
            engine, text, ms = match.groups()
            kind = "solved" if text.startswith("Split") else "searched"
            thinks.setdefault(engine, {"searched": [], "solved": []})[kind].append(int(ms))
    for engine, kinds in sorted(thinks.items()):
        parts = []
        for kind in ("searched", "solved"):
            times = kinds[kind]
            if not times:
                continue
            average = sum(times) / len(times) / 1000
            share = f" ({100 * average / period:.1f}% of {period:g} s)" if period else ""
            parts.append(f"{len(times)} moves {kind}, average {average:.3f} s{share}, largest "
                         f"{max(times) / 1000:.3f} s")
        print(f"engine {engine} by its trace: " + "; ".join(parts))


if __name__ == "__main__":
    main()
