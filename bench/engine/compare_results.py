"""Compares the result files of the benchmark's sides cell by cell: each line is a row (area,
agent, then the twelve months; "*" for a subtotal or total key; an empty cell counts as 0). Keys
are compared without trailing blanks, values to the cent (every fact value is a whole number of
cents, so sums taken in another order agree far below that). Prints one line per side and exits
with status 1 at the first difference, so that no figure is printed for results that differ.

    python3 compare_results.py NAME=FILE NAME=FILE ...
"""
import sys


def read(path):
    cells = {}
    for line in open(path, encoding="latin-1"):
        parts = line.rstrip("\n").split("\t")
        if len(parts) < 2:
            continue
        area, agent = parts[0].rstrip(), parts[1].rstrip()
        for m, text in enumerate(parts[2:], start=1):
            value = float(text) if text.strip() else 0.0
            if value != 0.0:
                cells[(area, agent, m)] = value
    return cells


sides = [arg.split("=", 1) for arg in sys.argv[1:]]
reference_name, reference = sides[0][0], read(sides[0][1])
ok = True
for name, path in sides[1:]:
    cells = read(path)
    differ = [k for k in sorted(set(reference) | set(cells)) if abs(reference.get(k, 0.0) - cells.get(k, 0.0)) >= 0.005]
    if differ:
        ok = False
        print(f"  RESULTS DIFFER: {name} against {reference_name} in {len(differ)} cells, e.g.")
        for k in differ[:5]:
            print(f"    {k}: {reference_name} {reference.get(k)} {name} {cells.get(k)}")
if ok:
    print(f"  results equal cell for cell: {len(reference):,} non-zero cells, sides {', '.join(n for n, _ in sides)}")
sys.exit(0 if ok else 1)
