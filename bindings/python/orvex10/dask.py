"""orvex10.dask.scan: the records of ``orvex scan`` as a Dask bag.

The bag lists the files under each path and scans them in Dask's worker processes; Dask
schedules the tasks and moves the records. Nothing here schedules or moves data.
"""
import os

import dask.bag

import orvex10._scan

# Partitions each listing is split into, per worker thread of the cluster.
PIECES_PER_THREAD = 4


def _entries_under(path):
    """The files ``orvex scan PATH`` visits, in its order: a folder's files depth first in
    name order, symbolic links to folders not followed, only regular files (links to them
    included). A path that cannot be listed is kept as it is: the scan of it gives its
    record (a folder that cannot be read, a path that does not exist)."""
    try:
        is_folder = os.path.isdir(path)
    except OSError:
        is_folder = False
    if not is_folder:
        return [path]
    try:
        with os.scandir(path) as it:
            children = sorted(it, key=lambda e: os.fsencode(e.path))
    except OSError:
        return [path]
    out = []
    for child in children:
        try:
            if child.is_dir():
                if not child.is_symlink():
                    out.extend(_entries_under(child.path))
            elif child.is_file():
                out.append(child.path)
        except OSError:
            pass
    return out


def _list_partition(paths):
    return [entry for path in paths for entry in _entries_under(path)]


def _scan_partition(paths):
    return list(orvex10._scan.scan(list(paths), jobs=1))


def scan(paths, client=None):
    """A Dask bag of the records ``orvex scan PATHS`` gives (dicts), in the same order.

    Each path is listed in a task of its own, in a worker; its files are split into as many
    partitions as the cluster has worker threads (``PIECES_PER_THREAD`` times over), and each
    partition is scanned by ``orvex scan`` in a worker. ``client``: the
    ``distributed.Client`` the bag is sized for (default: this machine's cores); the bag
    is returned unevaluated and computes on Dask's current scheduler (a client made last
    is that scheduler).
    """
    if isinstance(paths, (str, bytes, os.PathLike)):
        paths = [paths]
    paths = [os.fsdecode(p) for p in paths]
    if not paths:
        return dask.bag.from_sequence([], npartitions=1)
    listed = dask.bag.from_sequence(paths, npartitions=len(paths)).map_partitions(_list_partition)
    # The number of files is known only once listed: each listing's partition is split into
    # pieces in proportion to the cluster's worker threads.
    threads = sum(client.nthreads().values()) if client is not None else (os.cpu_count() or 1)
    pieces = max(1, PIECES_PER_THREAD * threads)
    split = listed.repartition(npartitions=listed.npartitions * pieces)
    return split.map_partitions(_scan_partition)
