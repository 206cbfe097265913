#!/usr/bin/env python3
"""Writes a drawing and compares its container structure (sections, their
numbers, storage, encryption, kinds of pages, checksums) with the
AutoCAD-made reference drawings. Exit 77 (skipped) without the references.

usage: structure_test.py TOOL SCRIPT XML REFERENCE_DIR OUT
"""
import os
import subprocess
import sys


def main():
    tool, script, xml, reference, out = sys.argv[1:6]
    refs = ["autocad-AC1018-line.dwg", "autocad-AC1018-arc.dwg"]
    if not all(os.path.exists(os.path.join(reference, r)) for r in refs):
        print("SKIP: reference drawings not found in " + reference)
        return 77
    if subprocess.call([tool, xml, out]) != 0:
        print("writing %s failed" % out)
        return 1
    for ref in refs:
        result = subprocess.run([sys.executable, script, "--compare", os.path.join(reference, ref), out],
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        print("%s: %s" % (ref, result.stdout))
        if result.returncode != 0:
            print("structure differs from " + ref)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
