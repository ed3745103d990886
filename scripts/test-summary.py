#!/usr/bin/env python3
"""One line per test program of each run (passed or failed, time) from the JUnit
reports CTest wrote, then the totals.

Usage: test-summary.py LABEL=REPORT.xml...   (a missing report is skipped)
"""
import os
import sys
import xml.etree.ElementTree as ET


def main(args):
    rows, passed, failed = [], 0, 0
    for arg in args:
        label, _, path = arg.partition("=")
        if not os.path.exists(path):
            continue
        for case in ET.parse(path).getroot().iter("testcase"):
            ok = case.get("status") == "run" and case.find("failure") is None and case.find("error") is None
            passed, failed = passed + ok, failed + (not ok)
            rows.append((label, case.get("name"), "passed" if ok else "FAILED", float(case.get("time") or 0)))
    if not rows:
        print("No test reports found.")
        return 1
    width = max(len(r[1]) for r in rows)
    for label, name, result, seconds in rows:
        print(f"  {label:<12} {name:<{width}}  {result:<6} {seconds:7.1f} s")
    print(f"Tests: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
