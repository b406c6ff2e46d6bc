#!/usr/bin/env python3
"""scripts/check_includes.py on small source trees: which files may test the operating system.

Usage: check_includes_test.py PATH/TO/check_includes.py
"""
import pathlib
import subprocess
import sys
import tempfile
import unittest

SCRIPT = None

# (file, text, faults expected); file names are made distinct per case (a.cpp -> a3.cpp).
CASES = [
    # Above the platform, each kind of condition that names an operating system.
    ("src/catalogue/a.cpp", "#ifdef _WIN32\n#endif\n", 1),
    ("src/dyncall/a.cpp", "#if defined(_WIN64)\n#endif\n", 1),
    ("src/server/a.cpp", "#if 1\n#elif defined(__linux__)\n#endif\n", 1),
    ("src/readers/a.h", "#ifndef __unix__\n#endif\n", 1),
    ("tools/orvex/a.cpp", "#if __APPLE__\n#endif\n", 1),
    ("bindings/python/a.cpp", "#  if !defined(__MINGW32__) && defined(__CYGWIN__)\n#endif\n", 2),
    ("src/host/a.cpp", "#if defined(__x86_64__) && \\\n    defined(_WIN32)\n#endif\n", 1),
    # src/base lies below the platform but serves both of its backends: it stays portable.
    ("src/base/a.h", "#if defined(__linux__)\n#endif\n", 1),
    # The platform layer picks its backend: it may.
    ("src/platform/ole/a.h", "#if defined(_WIN32) && defined(__i386__)\n#endif\n", 0),
    ("src/platform/dyncall/win/a.cpp", "#ifdef _WIN64\n#endif\n", 0),
    # Not a test of the operating system: a processor, a comment, text, another macro.
    ("src/dyncall/a.cpp", "#if defined(__x86_64__) || defined(__i386__)\n#endif\n", 0),
    ("src/catalogue/a.cpp", "// _WIN32 is never tested here\nint x;\n", 0),
    ("src/catalogue/a.cpp", "#if 1  // not _WIN32\n#endif\n", 0),
    ("src/catalogue/a.cpp", "#if 1 /* __linux__ */\n#endif\n", 0),
    ("src/catalogue/a.cpp", 'const char* kName = "_WIN32";\n', 0),
    ("src/catalogue/a.cpp", "#define ORVEX_WIN32 1\n#if ORVEX_WIN32\n#endif\n", 0),
]


def write_cases(root, cases):
    """Writes each case's file under a name of its own; returns the names."""
    files = []
    for index, (rel, text, _) in enumerate(cases):
        path = pathlib.PurePosixPath(rel)
        rel = str(path.with_stem(f"{path.stem}{index}"))
        (root / rel).parent.mkdir(parents=True, exist_ok=True)
        (root / rel).write_text(text)
        files.append(rel)
    return files


def run(root):
    return subprocess.run(
        [sys.executable, SCRIPT, str(root)], capture_output=True, text=True, check=False
    )


class OperatingSystemTests(unittest.TestCase):
    def test_cases(self):
        with tempfile.TemporaryDirectory() as temp:
            root = pathlib.Path(temp)
            files = write_cases(root, CASES)
            result = run(root)
            faults = [line for line in result.stdout.splitlines() if "operating system" in line]
            for rel, (_, text, expected) in zip(files, CASES):
                with self.subTest(file=rel, text=text):
                    mine = [fault for fault in faults if fault.startswith(rel + ":")]
                    self.assertEqual(len(mine), expected, result.stdout)
            self.assertEqual(len(faults), sum(case[2] for case in CASES), result.stdout)
            self.assertEqual(result.returncode, 1, result.stdout)

    def test_a_tree_without_such_tests_passes(self):
        with tempfile.TemporaryDirectory() as temp:
            root = pathlib.Path(temp)
            write_cases(root, [case for case in CASES if case[2] == 0])
            result = run(root)
            self.assertEqual(result.returncode, 0, result.stdout)

    def test_fault_names_the_line_and_the_macro(self):
        with tempfile.TemporaryDirectory() as temp:
            root = pathlib.Path(temp)
            (root / "src/media").mkdir(parents=True)
            (root / "src/media/a.cpp").write_text("int x;\n\n#ifdef __linux__\n#endif\n")
            result = run(root)
            self.assertIn("src/media/a.cpp:3: tests the operating system (__linux__)", result.stdout)


if __name__ == "__main__":
    SCRIPT = sys.argv.pop(1)
    unittest.main()
