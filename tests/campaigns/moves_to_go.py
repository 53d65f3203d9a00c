#!/usr/bin/env python3
"""The moves a side still makes in real games, by the number of empty squares: the data behind
search/moves_to_go.cpp, which shares a clock among the moves a side is expected still to think
about.

    moves_to_go.py FILE_OR_FOLDER...

Reads games as SGF (the files `wintarvo-cli match --sgf DIR` writes: one W[..] or B[..] per
move, from, to and arrow as two letters each) or as text files of moves written D1-D4-D7, one
game a line. For every position of every game it counts the moves the side to move still made
to the end of the game and, while the board had not split yet (some region of squares an
amazon can reach still held amazons of both sides), the moves it made until the board split.
Prints, for each number of empty squares: the positions, the median moves to the end, and
the positions not yet split with their median and least moves until the split."""
import collections
import os
import re
import statistics
import sys


def square(text):
    return 10 * (10 - int(text[1:])) + (ord(text[0].upper()) - ord("A"))


def sgf_point(pair):
    return 10 * (ord(pair[1]) - ord("a")) + (ord(pair[0]) - ord("a"))


def games(path):
    if os.path.isdir(path):
        for name in sorted(os.listdir(path)):
            yield from games(os.path.join(path, name))
        return
    text = open(path, encoding="utf-8", errors="replace").read()
    if text.lstrip().startswith("("):
        moves = re.findall(r";\s*[WB]\[([a-j]{6})\]", text)
        yield [tuple(sgf_point(m[i:i + 2]) for i in (0, 2, 4)) for m in moves]
        return
    for line in text.splitlines():
        if line.strip():
            yield [tuple(square(s) for s in m.split("-")) for m in line.split()]


def start():
    cells = [0] * 100
    for s in ("A4", "D1", "G1", "J4"):
        cells[square(s)] = 2
    for s in ("A7", "D10", "G10", "J7"):
        cells[square(s)] = 3
    return cells


def split(cells):
    """No region of squares that are not arrows (queens pass diagonally) holds both colours."""
    seen = [False] * 100
    for s in range(100):
        if seen[s] or cells[s] == 1:
            continue
        stack, colours, seen[s] = [s], set(), True
        while stack:
            x = stack.pop()
            if cells[x] in (2, 3):
                colours.add(cells[x])
            r, c = divmod(x, 10)
            for dr in (-1, 0, 1):
                for dc in (-1, 0, 1):
                    y = 10 * (r + dr) + c + dc
                    if (dr or dc) and 0 <= r + dr < 10 and 0 <= c + dc < 10 and not seen[y] \
                            and cells[y] != 1:
                        seen[y] = True
                        stack.append(y)
        if len(colours) == 2:
            return False
    return True


def main():
    to_end = collections.defaultdict(list)
    to_split = collections.defaultdict(list)
    for path in sys.argv[1:]:
        for moves in games(path):
            cells, states, split_at = start(), [], None
            for i, (f, t, a) in enumerate(moves):
                is_split = split(cells)
                if split_at is None and is_split:
                    split_at = i
                states.append((cells.count(0), is_split))
                cells[t], cells[f], cells[a] = cells[f], 0, 1
            n = len(moves)
            split_at = n if split_at is None else split_at
            for i, (empty, is_split) in enumerate(states):
                to_end[empty].append((n - i + 1) // 2)
                if not is_split:
                    to_split[empty].append((split_at - i + 1) // 2)
    print("empty\tpositions\tto_end\tnot_split\tto_split\tleast")
    for empty in sorted(to_end, reverse=True):
        s = to_split.get(empty, [])
        print(f"{empty}\t{len(to_end[empty])}\t{statistics.median(to_end[empty])}\t{len(s)}\t"
              f"{statistics.median(s) if s else '-'}\t{min(s) if s else '-'}")


if __name__ == "__main__":
    main()
