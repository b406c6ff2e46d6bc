#!/usr/bin/env python3
"""Checks that every project include points down the layer order.

Layers, bottom to top: base < platform < renderers < server/frame < catalogue < readers,
presentation, media, dyncall < server < tools, bindings. The framework component and the host
kit see only base and platform. The renderers (hex dump lines, icon files) are pure functions
that the members and the hosts share. The command-line client is a host: it reaches the
library through its automation objects, so it includes neither the frame nor a subsystem
folder; it may include the renderers. Test seams
("*_testing.h") are included only by tests, benchmarks and the source that defines them.

Only the platform layer knows which operating system it runs on: a file outside
src/platform (src/base too, which both of its backends share) that tests an operating
system's macro in a preprocessor condition is a fault.

Usage: scripts/check_includes.py [ROOT]   (exit status 1 and one line per fault)
"""
import pathlib
import re
import sys

# Each unit: the folder it lives in (relative to the root) and the include prefix that names
# its headers. Longer prefixes win, so server/frame is not taken for server.
UNITS = {
    "base": ("src/base", "base/"),
    "platform": ("src/platform", "platform/"),
    "renderers": ("src/renderers", "renderers/"),
    "frame": ("src/server/frame", "server/frame/"),
    "catalogue": ("src/catalogue", "catalogue/"),
    "readers": ("src/readers", "readers/"),
    "presentation": ("src/presentation", "presentation/"),
    "media": ("src/media", "media/"),
    "dyncall": ("src/dyncall", "dyncall/"),
    "server": ("src/server", "server/"),
    "framework": ("src/framework", "framework/"),
    "host": ("src/host", "host/"),
    "pe_writer": ("tools/pe_writer", "pe_writer/"),
    "own_resources": ("tools/own_resources", None),
    "idl_writer": ("tools/idl_writer", None),
    "sample_module": ("tools/sample_module", None),
    "orvex": ("tools/orvex", None),
    "bindings": ("bindings", None),
}

LOW = {"base", "platform"}
LIBRARY = LOW | {"frame"}
SUBSYSTEMS = {"readers", "presentation", "media", "dyncall"}

# What each unit may include besides its own headers.
ALLOWED = {
    "base": set(),
    "platform": {"base"},
    "renderers": LOW,
    "frame": LOW,
    "catalogue": LIBRARY,
    **{s: LIBRARY | {"catalogue", "renderers"} for s in SUBSYSTEMS},
    "server": LIBRARY | {"catalogue", "renderers"} | SUBSYSTEMS,
    "framework": LOW,
    "host": LOW,
    # The writer stores names in the order the platform's case rule gives (platform/text).
    "pe_writer": {"base", "platform"},
    "own_resources": {"base", "platform", "frame", "pe_writer"},
    # The type library's IDL is written from the class table (and the frame's enumerations).
    "idl_writer": {"base", "platform", "frame", "server"},
    "sample_module": {"base", "pe_writer"},
    # Hosts: the platform, the top of the library (registration), the shared renderers, the
    # framework component and the host kit; never the frame or a subsystem.
    "orvex": LOW | {"server", "renderers", "framework", "host"},
    "bindings": LOW | {"server", "renderers", "framework", "host"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')

# Macros that name an operating system (or its compiler environment), and the preprocessor
# conditions that could test them.
OS_MACROS = (
    "_WIN32", "_WIN64", "__linux__", "__linux", "__gnu_linux__", "__unix__", "__unix",
    "__APPLE__", "__MINGW32__", "__MINGW64__", "__CYGWIN__",
)
OS_MACRO = re.compile(r"\b(" + "|".join(OS_MACROS) + r")\b")
CONDITION = re.compile(r"^\s*#\s*(if|ifdef|ifndef|elif|elifdef|elifndef)\b(.*)$")
# Where the operating system may be tested: the platform layer, which picks its backend.
OS_AWARE = ("src/platform/",)


def unit_of_file(rel):
    best = None
    for name, (folder, _) in UNITS.items():
        if rel.startswith(folder + "/") and (best is None or len(folder) > len(UNITS[best][0])):
            best = name
    return best


def unit_of_include(path):
    best = None
    for name, (_, prefix) in UNITS.items():
        if prefix and path.startswith(prefix) and (
            best is None or len(prefix) > len(UNITS[best][1])
        ):
            best = name
    return best


def os_tests(text):
    """(line number, macro) of each operating-system macro a preprocessor condition names,
    continued lines included; comments are not conditions."""
    found = []
    lines = text.splitlines()
    number = 0
    while number < len(lines):
        first = number
        logical = lines[number]
        while logical.endswith("\\") and number + 1 < len(lines):
            number += 1
            logical = logical[:-1] + " " + lines[number]
        number += 1
        match = CONDITION.match(logical)
        if not match:
            continue
        condition = re.sub(r"/\*.*?\*/", " ", match.group(2)).split("//", 1)[0]
        found += [(first + 1, macro.group(1)) for macro in OS_MACRO.finditer(condition)]
    return found


def is_foreign_test_seam(rel, path):
    """A "*_testing.h" header is for tests and benchmarks; in the shipped code only the
    source that defines it (drive.cpp for drive_testing.h) includes it."""
    if not path.endswith("_testing.h"):
        return False
    return "src/" + path[: -len("_testing.h")] != rel.rsplit(".", 1)[0]


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    faults = []
    for top in ("src", "tools", "bindings"):
        for file in sorted((root / top).rglob("*")):
            if file.suffix not in (".h", ".hpp", ".cpp", ".cc"):
                continue
            rel = file.relative_to(root).as_posix()
            unit = unit_of_file(rel)
            if unit is None:
                faults.append(f"{rel}: not in any layer of the include order")
                continue
            text = file.read_text(errors="replace")
            if not rel.startswith(OS_AWARE):
                for number, macro in os_tests(text):
                    faults.append(
                        f"{rel}:{number}: tests the operating system ({macro}): only "
                        "src/platform may"
                    )
            for number, line in enumerate(text.splitlines(), 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                if is_foreign_test_seam(rel, match.group(1)):
                    faults.append(
                        f"{rel}:{number}: \"{match.group(1)}\" is a test seam: only tests and "
                        "benchmarks include it"
                    )
                    continue
                target = unit_of_include(match.group(1))
                if target is None:
                    # A header beside the file (the client's own), not a layer.
                    if UNITS[unit][1] is None:
                        continue
                    faults.append(f"{rel}:{number}: \"{match.group(1)}\" names no layer")
                elif target != unit and target not in ALLOWED[unit]:
                    faults.append(
                        f"{rel}:{number}: {unit} may not include {target} (\"{match.group(1)}\")"
                    )
    for fault in faults:
        print(fault)
    if faults:
        print(f"check_includes: {len(faults)} fault(s) against the layer order", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
