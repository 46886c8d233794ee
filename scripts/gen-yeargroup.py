#!/usr/bin/env python3
"""Writes a year group of varied .fld files for before/after comparisons of fachlese-check.

    scripts/gen-yeargroup.py FOLDER [COUNT] [SEED]

Deterministic for a given COUNT and SEED: valid choices, choices changed in a few random
places (so that every stage and rule fails now and then), unknown and oddly blanked subjects,
empty grids, the foreign-language LK, and broken files (bad signature, NUL bytes, long lines,
missing lines, LF line ends, CP1252 bytes, a folder named *.fld).
"""
import os
import random
import sys

SUBJECTS = ["Deutsch", "Englisch", "Französisch", "Spanisch", "Latein", "Türkisch", "Kunst",
            "Musik", "Geschichte", "Erdkunde", "Politik", "Pädagogik", "Religion",
            "Werte u. Normen", "Mathematik", "Physik", "Biologie", "Chemie", "Informatik",
            "Sport", "Sport-Theorie"]
UNKNOWN = ["Mathe", "Quark", "deutsch", "unbekannt", "Sport Theorie", "\tKunst", "Deutsch\x1b",
           "Bio", "x" * 300, "Fran\u00e7ais", "  ", "\u00a0Kunst"]

# Rows 1 ... 11 (LK 1, LK 2, PK 3, PK 4, GK 3 ... GK 9): one subject for all four
# semesters, or four texts separated by "|".
VALID = [
    ["Deutsch", "Mathematik", "Englisch", "Geschichte", "Physik", "Sport", "Politik",
     "Religion|Religion|Kunst|Kunst", "Biologie", "", ""],
    ["Englisch", "Mathematik", "Deutsch", "Geschichte", "Physik", "Sport", "Politik",
     "Religion|Religion|Kunst|Kunst", "Biologie", "", ""],
    ["Deutsch", "Sport", "Mathematik", "Geschichte", "Englisch", "Physik", "Politik",
     "Sport-Theorie", "Religion|Religion|Musik|Musik", "Biologie", ""],
    ["Biologie", "Latein", "Religion", "Deutsch", "Mathematik", "Sport", "Politik",
     "Geschichte", "Erdkunde|Erdkunde||", "Informatik", ""],
    ["Deutsch", "Mathematik", "Englisch", "Geschichte", "Physik", "Sport", "Politik|Politik||",
     "Werte u. Normen|Werte u. Normen||", "Musik|Musik||", "Biologie|Biologie|Biologie|", ""],
    ["Französisch", "Chemie", "Deutsch", "Politik", "Mathematik", "Sport", "Geschichte",
     "Religion|Religion|Kunst|Kunst", "Englisch", "Physik|Physik||", ""],
]


# Examination subjects (LK 1, LK 2, PK 3, PK 4) put over a choice now and then, so that the
# rarer exam rules fail as well.
EXAMS = [
    ["Mathematik", "Kunst", "Geschichte", "Physik"],      # rule 7
    ["Mathematik", "Musik", "Politik", "Biologie"],       # rule 7
    ["Kunst", "Physik", "Geschichte", "Biologie"],        # rules 3 and 6
    ["Deutsch", "Geschichte", "Kunst", "Physik"],         # rule 2
    ["Physik", "Mathematik", "Sport", "Deutsch"],         # rule 4
    ["Deutsch", "Mathematik", "Sport-Theorie", "Politik"],  # rule 5
    ["Englisch", "Religion", "Mathematik", "Politik"],    # rule 8
    ["Deutsch", "Physik", "Werte u. Normen", "Englisch"],  # rule 9
    ["Kunst", "Musik", "Politik", "Erdkunde"],            # rule 1
    ["Türkisch", "Englisch", "Mathematik", "Geschichte"],  # rule 8
    ["Spanisch", "Biologie", "Deutsch", "Pädagogik"],     # valid with a language LK
]


def grid_of(rows):
    grid = [["" for _ in range(4)] for _ in range(12)]
    for r, row in enumerate(rows):
        texts = row.split("|") if "|" in row else [row] * 4
        for s in range(4):
            grid[r][s] = texts[s]
    return grid


def vary(grid, rnd):
    for _ in range(rnd.randrange(7)):
        s, r = rnd.randrange(4), rnd.randrange(11)
        kind = rnd.randrange(9)
        if kind in (3, 6) and rnd.randrange(3):
            kind = 0
        if kind <= 1:
            grid[r][s] = rnd.choice(SUBJECTS)
        elif kind == 2:
            grid[r][s] = ""
        elif kind == 3:
            grid[r][s] = rnd.choice(UNKNOWN)
        elif kind == 4:
            grid[r][s] = " " + grid[r][s] + "  "
        elif kind == 5:
            subject = rnd.choice(SUBJECTS)
            row = rnd.randrange(4)
            for k in range(4):
                grid[row][k] = subject
        elif kind == 6:
            grid[r][s] = grid[r][s].upper()
        else:
            subject = "" if rnd.randrange(3) == 0 else rnd.choice(SUBJECTS)
            row = rnd.randrange(4, 11)
            for k in range(4):
                grid[row][k] = subject
    if rnd.randrange(15) == 0:  # the spare row 12 holds something
        grid[11] = [rnd.choice(SUBJECTS) for _ in range(4)]
    return grid


def encode(grid, eol=b"\r\n"):
    lines = [b"Fachlese"]
    for row in grid:
        lines.append(b"\t".join(t.encode("cp1252", errors="replace") for t in row))
    return eol.join(lines) + eol


def broken(rnd, good):
    kind = rnd.randrange(9)
    if kind == 0:
        return b"Fachlesen\r\n" + good.split(b"\r\n", 1)[1]
    if kind == 1:
        return good[: rnd.randrange(len(good))]
    if kind == 2:
        return good.replace(b"Mathematik", b"Mathe\x00matik", 1) or b"Fachlese\r\n\x00"
    if kind == 3:
        return b"Fachlese\r\n" + b"A" * (64 * 1024 + rnd.randrange(3) - 1) + b"\r\n"
    if kind == 4:
        return good.replace(b"\r\n", b"\n")
    if kind == 5:
        return b""
    if kind == 6:
        return bytes(rnd.randrange(256) for _ in range(rnd.randrange(1, 200)))
    if kind == 7:
        return good.replace(b"Deutsch", b"Deutsch\x81\x9d\x80", 1)
    return b"\xef\xbb\xbf" + good


def main():
    folder = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 4000
    rnd = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 21)
    os.makedirs(folder, exist_ok=True)
    for i in range(count):
        sub = os.path.join(folder, "kurs-%02d" % (i % 12))
        os.makedirs(sub, exist_ok=True)
        grid = grid_of(rnd.choice(VALID))
        roll = rnd.randrange(100)
        if roll < 3:
            grid = [[rnd.choice(["", " ", "  "]) for _ in range(4)] for _ in range(12)]
        elif roll >= 20:
            if rnd.randrange(6) == 0:
                exams = rnd.choice(EXAMS)
                for r in range(4):
                    grid[r] = [exams[r]] * 4
            grid = vary(grid, rnd)
        data = encode(grid)
        if roll in (3, 4, 5):
            data = broken(rnd, data)
        name = "schueler-%05d.fld" % i
        if i % 97 == 0:
            name = "schüler-%05d.FLD" % i
        with open(os.path.join(sub, name), "wb") as f:
            f.write(data)
    os.makedirs(os.path.join(folder, "ordner.fld"), exist_ok=True)


if __name__ == "__main__":
    main()
