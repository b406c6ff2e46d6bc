#!/usr/bin/env python3
"""Checks that a shared library's dynamic symbol table defines exactly the names that its
version script lists as global: test seams and internal functions stay inside.

Usage: scripts/check_exports.py NM LIBRARY VERSION_SCRIPT   (exit status 1 and one line per fault)
"""
import re
import subprocess
import sys


def listed(version_script):
    text = open(version_script, encoding="utf-8").read()
    match = re.search(r"global:(.*?)(?:local:|})", text, re.S)
    if not match:
        return set()
    return {name.strip() for name in match.group(1).split(";") if name.strip()}


def exported(nm, library):
    out = subprocess.run(
        [nm, "-D", "--defined-only", library], check=True, capture_output=True, text=True
    ).stdout
    names = set()
    for line in out.splitlines():
        fields = line.split()
        if len(fields) >= 3:
            names.add(fields[2].split("@")[0])
    return names


def main():
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    nm, library, version_script = sys.argv[1:]
    wanted = listed(version_script)
    found = exported(nm, library)
    faults = [f"{library}: exports {name}, which {version_script} does not list"
              for name in sorted(found - wanted)]
    faults += [f"{library}: does not export {name}" for name in sorted(wanted - found)]
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
