#!/usr/bin/env python3
"""Checks that a shared library's dynamic symbol table defines exactly the names that its
version script lists as global: test seams and internal functions stay inside. For a DLL
the export table is read with objdump and the names come from the module-definition file.

Usage: scripts/check_exports.py NM LIBRARY VERSION_SCRIPT   (exit status 1 and one line per fault)
       scripts/check_exports.py OBJDUMP LIBRARY.dll EXPORTS.def
"""
import re
import subprocess
import sys


def listed(version_script):
    text = open(version_script, encoding="utf-8").read()
    if version_script.endswith(".def"):
        lines = [line.split(";")[0].strip() for line in text.splitlines()]
        names = lines[lines.index("EXPORTS") + 1:] if "EXPORTS" in lines else []
        return {line.split()[0] for line in names if line}
    match = re.search(r"global:(.*?)(?:local:|})", text, re.S)
    if not match:
        return set()
    return {name.strip() for name in match.group(1).split(";") if name.strip()}


def exported_by_dll(objdump, library):
    out = subprocess.run(
        [objdump, "-p", library], check=True, capture_output=True, text=True
    ).stdout
    table = out.split("[Ordinal/Name Pointer] Table", 1)
    if len(table) < 2:
        return set()
    names = set()
    for line in table[1].splitlines()[1:]:
        if not line.strip():
            break
        names.add(line.split("]", 1)[1].strip())
    return names


def exported(nm, library):
    if library.endswith(".dll"):
        return exported_by_dll(nm, library)
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
