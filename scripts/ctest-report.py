#!/usr/bin/env python3
"""Reads the output of a ctest run (as scripts/test.sh keeps it in ctest.log).

  ctest-report.py retries LOG      names every test that passed only on a later try
  ctest-report.py slowest LOG [N]  the N slowest tests (20 unless given), by their last try
"""
import re
import sys

# "  3/120 Test  #17: Suite.Name ......   Passed    1.23 sec" and the lines of
# repeated tries, which have no count in front. Names may hold spaces
# ("Rates/Case/8000  # GetParam() = 8000").
RESULT = re.compile(r"^\s*(?:\d+/\d+\s+)?Test\s+#\d+:\s(.+?)\s\.{3,}\s*(\**)\s*(.+?)\s+([\d.]+) sec\s*$")


def results(path):
    tries = {}
    with open(path, errors="replace") as f:
        for line in f:
            m = RESULT.match(line)
            if m:
                name, stars, status, secs = m.groups()
                name = name.split("  # ")[0].strip()
                tries.setdefault(name, []).append((status.strip(), float(secs)))
    return tries


def retries(path):
    tries = results(path)
    again = {n: t for n, t in tries.items() if len(t) > 1}
    if not again:
        print(f"No test needed a retry ({len(tries)} tests).")
        return
    print(f"Tests that needed a retry: {len(again)} of {len(tries)}")
    for name, t in sorted(again.items()):
        print(f"  {name}: " + ", ".join(f"{s} {sec:.1f} s" for s, sec in t))


def slowest(path, n):
    tries = results(path)
    rows = sorted(((t[-1][1], name, t[-1][0]) for name, t in tries.items()), reverse=True)
    total = sum(sec for t in tries.values() for _, sec in t)
    print(f"Slowest {min(n, len(rows))} of {len(rows)} tests (all tries add up to {total:.0f} s):")
    for sec, name, status in rows[:n]:
        print(f"  {sec:7.1f} s  {name}" + ("" if status == "Passed" else f"  ({status})"))


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in ("retries", "slowest"):
        sys.exit(__doc__)
    if sys.argv[1] == "retries":
        retries(sys.argv[2])
    else:
        slowest(sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 20)


if __name__ == "__main__":
    main()
