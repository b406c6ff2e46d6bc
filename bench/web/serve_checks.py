#!/usr/bin/env python3
"""Checks and measures `orvex serve` on a folder of modules (default: Wine's corpus).

  serve_checks.py ORVEX [FOLDER] corpus   every file listed; /api/list answers each with 200 or 415
  serve_checks.py ORVEX [FOLDER] list     /api/list of 50 modules against `orvex list --json` as
                                          a process, paired (ratio of the medians; target <= 1.5)
  serve_checks.py ORVEX [FOLDER] load     100 concurrent clients asking for shell32.dll's group
                                          icons: all answered correctly within 10 s, peak RSS
                                          of the server under 100 MB
"""
import json
import os
import statistics
import subprocess
import sys
import threading
import time
import urllib.error
import urllib.parse
import urllib.request

CORPUS = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"


def start(orvex, folder):
    server = subprocess.Popen([orvex, "serve", folder, "--port", "0"], stdout=subprocess.PIPE, text=True)
    line = server.stdout.readline()
    base = line.split(" at ")[1].strip()
    return server, base


def get(base, path, params):
    url = base + path.lstrip("/") + "?" + urllib.parse.urlencode(params)
    try:
        with urllib.request.urlopen(url, timeout=30) as response:
            return response.status, response.read()
    except urllib.error.HTTPError as e:
        return e.code, e.read()


def corpus(orvex, folder, base):
    status, body = get(base, "/api/files", {"dir": ""})
    entries = json.loads(body)["entries"]
    files = [e["name"] for e in entries if e["type"] == "file"]
    on_disk = sorted(os.listdir(folder))
    print(f"/api/files: {len(entries)} entries ({len(files)} files); the folder holds {len(on_disk)}")
    counts = {}
    bad = []
    for name in files:
        status, _ = get(base, "/api/list", {"file": name})
        counts[status] = counts.get(status, 0) + 1
        if status not in (200, 415):
            bad.append((name, status))
    print("/api/list statuses:", dict(sorted(counts.items())))
    for name, status in bad:
        print("  unexpected", status, name)
    return 0 if not bad and len(entries) == len(on_disk) else 1


def list_pairs(orvex, folder, base):
    modules = sorted(n for n in os.listdir(folder) if n.endswith(".dll"))[:50]
    api, cli = [], []
    for name in modules:
        t0 = time.perf_counter()
        status, _ = get(base, "/api/list", {"file": name})
        t1 = time.perf_counter()
        subprocess.run([orvex, "list", os.path.join(folder, name), "--json"], stdout=subprocess.DEVNULL, check=False)
        t2 = time.perf_counter()
        api.append(t1 - t0)
        cli.append(t2 - t1)
    ratio = statistics.median(a / c for a, c in zip(api, cli))
    print(f"{len(modules)} modules: /api/list median {statistics.median(api)*1000:.2f} ms, "
          f"orvex list --json median {statistics.median(cli)*1000:.2f} ms, median of paired ratios {ratio:.2f}")
    return 0 if ratio <= 1.5 else 1


def load(orvex, folder, base, server):
    status, body = get(base, "/api/list", {"file": "shell32.dll"})
    groups = []
    for t in json.loads(body)["types"]:
        if t["Style"] == 14:
            for item in t["ResourceItems"]:
                n = item["NameLong"]
                groups.append("#" + n if n.isdigit() else n)
    groups = groups[:20]
    errors, latencies = [], []
    lock = threading.Lock()

    def client(k):
        for i in range(5):
            name = groups[(k + i) % len(groups)]
            t0 = time.perf_counter()
            status, data = get(base, "/api/resource", {"file": "shell32.dll", "type": "14", "name": name, "as": "png"})
            dt = time.perf_counter() - t0
            with lock:
                latencies.append(dt)
                if status != 200 or data[1:4] != b"PNG" or dt > 10:
                    errors.append((name, status, dt))

    threads = [threading.Thread(target=client, args=(k,)) for k in range(100)]
    start_time = time.perf_counter()
    for t in threads:
        t.start()
    for t in threads:
        t.join(timeout=60)
    total = time.perf_counter() - start_time
    with open(f"/proc/{server.pid}/status") as f:
        peak = next(line for line in f if line.startswith("VmHWM")).split()[1]
    print(f"100 clients x 5 requests: {len(latencies)} answered in {total:.2f} s, slowest "
          f"{max(latencies):.2f} s, {len(errors)} wrong or late; server peak RSS {int(peak)/1024:.1f} MB")
    return 0 if not errors and int(peak) < 100 * 1024 else 1


def main():
    orvex = sys.argv[1]
    folder = sys.argv[2] if len(sys.argv) > 3 else CORPUS
    what = sys.argv[-1]
    server, base = start(orvex, folder)
    try:
        if what == "corpus":
            return corpus(orvex, folder, base)
        if what == "list":
            return list_pairs(orvex, folder, base)
        if what == "load":
            return load(orvex, folder, base, server)
        print(__doc__)
        return 2
    finally:
        server.terminate()
        server.wait()


if __name__ == "__main__":
    sys.exit(main())
