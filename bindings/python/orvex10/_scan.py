"""orvex10.scan: the records of ``orvex scan``, as dicts.

The records come from the ``orvex`` program itself, so they are the command's records by
construction: the same files in the same order, the same reasons for skipped files.
"""
import json
import os
import shutil
import subprocess

# Arguments of one run of the program, in bytes: far below the system's limit.
_MAX_ARGUMENT_BYTES = 64 * 1024


class ScanError(RuntimeError):
    """``orvex scan`` failed as a whole (not one file: those give records)."""


def _program():
    """The ``orvex`` program: $ORVEX_PROGRAM, the build's own beside this package, or PATH."""
    given = os.environ.get("ORVEX_PROGRAM")
    if given:
        return given
    try:
        from orvex10._build_tree import ORVEX_PROGRAM
    except ImportError:
        ORVEX_PROGRAM = None
    if ORVEX_PROGRAM and os.path.exists(ORVEX_PROGRAM):
        return ORVEX_PROGRAM
    found = shutil.which("orvex")
    if not found:
        raise ScanError("the orvex program is neither installed nor named by $ORVEX_PROGRAM")
    return found


def _batches(paths):
    batch, size = [], 0
    for path in paths:
        if batch and size + len(path) + 1 > _MAX_ARGUMENT_BYTES:
            yield batch
            batch, size = [], 0
        batch.append(path)
        size += len(path) + 1
    if batch:
        yield batch


def scan(paths, jobs=None):
    """Yields one dict per file under the given files and folders, as ``orvex scan`` prints
    them (``{"path", "types": [{"type", "description", "items": [{"name", "size"}]}]}``, or
    ``{"path", "skipped": reason}``), in the same order.

    ``jobs``: the worker threads of each run (default: one per core). A path that does not
    exist gives a record with ``"skipped"`` and a line on stderr, as the command does.
    """
    if isinstance(paths, (str, bytes, os.PathLike)):
        paths = [paths]
    paths = [os.fsdecode(p) for p in paths]
    program = _program()
    for batch in _batches(paths):
        command = [program, "scan"]
        if jobs:
            command += ["-j", str(int(jobs))]
        # "--" ends the options: a path may start with "-".
        with subprocess.Popen(command + ["--"] + batch, stdout=subprocess.PIPE) as run:
            for line in run.stdout:
                yield json.loads(line)
            status = run.wait()
        # Status 1 means a path was missing; its record says so.
        if status not in (0, 1):
            raise ScanError("orvex scan ended with status %d" % status)
