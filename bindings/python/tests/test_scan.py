"""orvex10.scan and orvex10.dask.scan give the records of `orvex scan`."""
import glob
import json
import os
import shutil
import subprocess

import pytest

import orvex10
from orvex10._scan import _program

SAMPLE = os.environ["ORVEX_SAMPLE_MODULE"]
FIXTURES = os.path.join(os.path.dirname(__file__), "..", "..", "..", "tests", "fixtures", "rc")
WINE = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"


@pytest.fixture
def tree(tmp_path):
    """A folder of modules, a file that is none, a subfolder, a link to a folder (not
    followed), a link to a module (followed) and a dangling link; the paths to scan name
    it, one module of Wine's when Wine is there, and a path that does not exist."""
    for path in sorted(glob.glob(os.path.join(FIXTURES, "*.dll"))):
        shutil.copy(path, tmp_path)
    (tmp_path / "notes.txt").write_text("not a module")
    (tmp_path / "sub").mkdir()
    shutil.copy(SAMPLE, tmp_path / "sub" / "sample.dll")
    (tmp_path / "sub" / "-dash.dll").write_bytes(b"MZ")
    os.symlink(tmp_path / "sub", tmp_path / "loop")
    os.symlink(tmp_path / "sub" / "sample.dll", tmp_path / "alias.dll")
    os.symlink(tmp_path / "gone.dll", tmp_path / "dangling.dll")
    paths = [str(tmp_path), str(tmp_path / "missing.dll")]
    if os.path.exists(os.path.join(WINE, "winecfg.exe")):
        paths.insert(1, os.path.join(WINE, "winecfg.exe"))
    return paths


def orvex_scan(paths):
    run = subprocess.run([_program(), "scan", "--"] + paths, capture_output=True, check=False)
    assert run.returncode in (0, 1), run.stderr
    return [json.loads(line) for line in run.stdout.splitlines()]


def test_scan_yields_the_records_of_the_command(tree):
    expected = orvex_scan(tree)
    records = list(orvex10.scan(tree))
    assert records == expected
    by_path = {r["path"]: r for r in records}
    assert by_path[tree[0] + "/notes.txt"]["skipped"]
    assert by_path[tree[-1]] == {"path": tree[-1], "skipped": "no such file or folder"}
    assert tree[0] + "/alias.dll" in by_path and tree[0] + "/sub/-dash.dll" in by_path
    assert not any("/loop/" in path for path in by_path)
    # One path as well as a list; files scanned in batches give the same lines.
    assert list(orvex10.scan(tree[0] + "/text.dll")) == [by_path[tree[0] + "/text.dll"]]


def test_dask_bag_on_two_worker_processes_gives_the_records_of_the_command(tree):
    distributed = pytest.importorskip("distributed")
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, \
            distributed.Client(cluster) as client:
        worker_pids = set(client.run(os.getpid).values())
        assert os.getpid() not in worker_pids and len(worker_pids) == 2
        bag = orvex10.dask.scan(tree, client=client)
        assert bag.npartitions > 2
        # The files are listed when the bag computes, on the cluster, not when it is built.
        shutil.copy(SAMPLE, os.path.join(tree[0], "late.dll"))
        expected = orvex_scan(tree)
        records = client.compute(bag).result()
        assert records == expected
        assert any(r["path"].endswith("/late.dll") for r in records)
