#!/usr/bin/env python3
"""Prints line and branch coverage per source folder from a gcovr JSON summary."""
import json
import sys

# A file belongs to the longest of these folders its path starts with.
FOLDERS = ["cwin/system", "cwin/window", "cwin/controls", "cwin/composite", "cwin/frame",
           "converter", "plugin/interface", "plugin/store", "plugin/window", "viewer"]


def folder_of(path):
    best = None
    for folder in FOLDERS:
        if path.startswith(folder + "/") and (best is None or len(folder) > len(best)):
            best = folder
    return best


def percent(covered, total):
    return "%5.1f %%" % (100.0 * covered / total) if total else "    -  "


def main():
    summary = json.load(open(sys.argv[1]))
    sums = {f: [0, 0, 0, 0] for f in FOLDERS}
    for entry in summary["files"]:
        folder = folder_of(entry["filename"])
        if folder is None:
            continue
        s = sums[folder]
        s[0] += entry["line_covered"]
        s[1] += entry["line_total"]
        s[2] += entry["branch_covered"]
        s[3] += entry["branch_total"]
    print("%-18s %14s %9s %16s %9s" % ("folder", "lines", "", "branches", ""))
    total = [0, 0, 0, 0]
    for folder in FOLDERS:
        s = sums[folder]
        total = [a + b for a, b in zip(total, s)]
        print("%-18s %7d/%-6d %9s %8d/%-7d %9s" % (folder, s[0], s[1], percent(s[0], s[1]),
                                                  s[2], s[3], percent(s[2], s[3])))
    print("%-18s %7d/%-6d %9s %8d/%-7d %9s" % ("all", total[0], total[1], percent(total[0], total[1]),
                                              total[2], total[3], percent(total[2], total[3])))


if __name__ == "__main__":
    main()
