#!/usr/bin/python3
"""The orvex10 Python module against pefile, paired in one run: a property read through
Invoke (goal under 1.5 us), and listing every type and item with sizes of Wine's
shell32.dll through the objects against pefile parsing the resource directory alone
(goal at least 5x faster).

    PYTHONPATH=build/default/bindings/python /usr/bin/python3 bench/python_listing.py [MODULE]
"""
import sys
import time

import orvex10
import pefile

MODULE = sys.argv[1] if len(sys.argv) > 1 else "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/shell32.dll"


def listing():
    c = orvex10.Dispatch("Orvex10.clsQ7ResfResourceTypesA")
    c.Filename = MODULE
    c.EnumResourceTypesStart()
    out = []
    for i in range(1, c.Count + 1):
        record = c.Item(i)
        items = record.ResourceItems
        for j in range(1, items.Count + 1):
            item = items.Item(j)
            out.append((record.NameLong, item.NameLong, item.Size))
    return out


def pefile_directory():
    pe = pefile.PE(MODULE, fast_load=True)
    pe.parse_data_directories(
        directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    return pe


def mean(f, runs=5):
    f()
    start = time.perf_counter()
    for _ in range(runs):
        f()
    return (time.perf_counter() - start) / runs


c = orvex10.Dispatch("Orvex10.clsQ7ResfResourceTypesA")
c.Filename = MODULE
c.EnumResourceTypesStart()
item = c.Item(1).ResourceItems.Item(1)
reads = 100000
start = time.perf_counter()
for _ in range(reads):
    item.Size
print(f"property read: {(time.perf_counter() - start) / reads * 1e6:.2f} us (goal under 1.5 us)")
ours, theirs = mean(listing), mean(pefile_directory)
print(f"listing: orvex10 {ours * 1e3:.1f} ms, pefile {theirs * 1e3:.1f} ms: "
      f"{theirs / ours:.1f}x faster (goal 5x)")
