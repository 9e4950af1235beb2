#!/usr/bin/env python3
"""Prints the contract's results (tests/platform/contract_test.cpp) as one
table, desktop by case, from the JSON files its runs wrote (one a desktop,
in each FOLDER given: build/release/contract, build/win64/contract).

  scripts/contract-table.py FOLDER...

A cell is "ok", "n/a" (the desktop cannot do what the case checks), "FAIL",
or "-" when the case did not run there; a letter after it, (a), points to
the note below the table that says why, or what the desktop does its own
way.
Exits 1 when a case failed somewhere.
"""
import glob
import json
import os
import re
import sys


def version_key(desktop):
    """Sorts desktops by name, then version."""
    parts = re.split(r"(\d+)", desktop.lower())
    return [int(p) if p.isdigit() else p for p in parts]


def main(folders):
    results = {}  # desktop -> case -> (cell, note)
    cases = []
    for folder in folders:
        for path in sorted(glob.glob(os.path.join(folder, "*.json"))):
            with open(path, encoding="utf-8") as f:
                run = json.load(f)
            for suite in run.get("testsuites", []):
                for test in suite.get("testsuite", []):
                    case = test["name"].split("/")[-1]
                    if case not in cases:
                        cases.append(case)
                    desktop = test.get("desktop", os.path.basename(path))
                    cell = ("FAIL" if test.get("failures")
                            else "n/a" if "cannot" in test
                            else "ok" if test.get("result") == "COMPLETED"
                            else "-")
                    note = test.get("cannot") or test.get("note") or ""
                    results.setdefault(desktop, {})[case] = (cell, note)
    if not results:
        print("The contract: no results (" + ", ".join(folders) + ")")
        return 0
    notes = []  # each distinct note once, lettered
    desktops = sorted(results, key=version_key)
    width = max(len(d) for d in desktops)
    print("The contract every backend keeps, desktop by case:")
    for i, case in enumerate(cases, 1):
        print(f"  {i:2} {case}")
    print(" " * width + "".join(f"{i:>8}" for i in range(1, len(cases) + 1)))
    failed = False
    for desktop in desktops:
        row = desktop.ljust(width)
        for case in cases:
            cell, note = results[desktop].get(case, ("-", ""))
            failed |= cell == "FAIL"
            mark = ""
            if note:
                if note not in notes:
                    notes.append(note)
                mark = chr(ord("a") + notes.index(note) % 26)
            row += f"{cell + (f'({mark})' if mark else ''):>8}"
        print(row)
    for i, note in enumerate(notes):
        print(f"  {chr(ord('a') + i % 26)}: {note}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
