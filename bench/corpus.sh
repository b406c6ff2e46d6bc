#!/usr/bin/env bash
# Whole-process runs of `orvex` against peers over a corpus of real PE files (Wine's
# Windows-side DLLs and EXEs), timed side by side in one run with hyperfine, plus peak RSS
# with GNU time. Every tool gets the same files.
#
#   bench/corpus.sh [CORPUS_DIR]     (default: Wine's x86_64-windows folder)
#   ORVEX=path/to/orvex bench/corpus.sh   (default: build/default/tools/orvex/orvex)
#
# Goals checked at the end: `orvex scan` of the whole corpus at least 5x faster than
# `wrestool -l` of every file in one process; `orvex list FILE` once per file in at most
# half the time of `wrestool -l FILE` once per file; `orvex list` of mshtml.dll under 10 MB
# peak RSS.
set -euo pipefail
cd "$(dirname "$0")/.."

source bench/require_packages.sh
require_packages wine64 hyperfine icoutils python3-pefile time

corpus=${1:-$(dpkg -L libwine 2>/dev/null | grep -m1 '/x86_64-windows$' || true)}
if [ -z "$corpus" ] || [ ! -d "$corpus" ]; then
  echo "corpus.sh: no corpus folder found (install wine64 or name a folder)" >&2
  exit 1
fi

orvex=${ORVEX:-$PWD/build/default/tools/orvex/orvex}
if [ ! -x "$orvex" ]; then
  cmake --preset default >/dev/null && cmake --build --preset default --target orvex >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Every file of the folder, PE or not, in one list for every tool.
find "$corpus" -maxdepth 1 -type f | sort > "$work/files"
count=$(wc -l < "$work/files")
mapfile -t files < "$work/files"
echo "corpus: $corpus ($count files, $(du -sh "$corpus" | cut -f1)); orvex: $orvex"
echo "cores: $(nproc); $(uname -sr)"

cat > "$work/pefile_list.py" <<'PY'
import sys, pefile
RES = pefile.DIRECTORY_ENTRY['IMAGE_DIRECTORY_ENTRY_RESOURCE']
for path in open(sys.argv[1]).read().splitlines():
    try:
        pe = pefile.PE(path, fast_load=True)
        pe.parse_data_directories(directories=[RES])
    except Exception as e:
        print(path, "skipped", e)
        continue
    root = getattr(pe, 'DIRECTORY_ENTRY_RESOURCE', None)
    for t in (root.entries if root else []):
        for n in (t.directory.entries if hasattr(t, 'directory') else []):
            for lang in (n.directory.entries if hasattr(n, 'directory') else []):
                print(path, t.name or t.id, n.name or n.id, lang.data.struct.Size)
PY

# One process per file; the loop itself costs the same for both tools.
cat > "$work/per_file_orvex.sh" <<SH
while read -r f; do "$orvex" list "\$f" >/dev/null 2>&1 || true; done < "$work/files"
SH
cat > "$work/per_file_wrestool.sh" <<SH
while read -r f; do wrestool -l "\$f" >/dev/null 2>&1 || true; done < "$work/files"
SH
# The floor: starting a process that does nothing, once per file.
cat > "$work/per_file_true.sh" <<SH
while read -r f; do /bin/true "\$f" >/dev/null 2>&1 || true; done < "$work/files"
SH

# A command line with every file, for the tools that take files one by one.
printf '%q ' "${files[@]}" > "$work/args"
all=$(cat "$work/args")

echo
echo "== whole corpus in one process =="
hyperfine -N --warmup 1 --runs 10 --ignore-failure \
  --export-markdown "$work/whole.md" --export-json "$work/whole.json" \
  -n "orvex scan" "$orvex scan $corpus" \
  -n "orvex scan -j 1" "$orvex scan -j 1 $corpus" \
  -n "wrestool -l (all files)" "wrestool -l $all" \
  -n "python pefile (one process)" "/usr/bin/python3 $work/pefile_list.py $work/files" >/dev/null
cat "$work/whole.md"

echo
echo "== one process per file =="
hyperfine --warmup 1 --runs 5 --ignore-failure \
  --export-markdown "$work/perfile.md" --export-json "$work/perfile.json" \
  -n "orvex list FILE (each)" "bash $work/per_file_orvex.sh" \
  -n "wrestool -l FILE (each)" "bash $work/per_file_wrestool.sh" \
  -n "/bin/true FILE (each, the floor)" "bash $work/per_file_true.sh" >/dev/null
cat "$work/perfile.md"

echo
echo "== peak RSS (KiB) =="
largest=$(xargs -d '\n' stat -c '%s %n' < "$work/files" | sort -n | tail -n 1 | cut -d' ' -f2-)
[ -f "$corpus/mshtml.dll" ] && largest=$corpus/mshtml.dll
echo "module: $largest ($(du -h "$largest" | cut -f1))"
rss() { /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null 2>&1 || true; cat "$work/rss"; }
orvexListRss=$(rss "$orvex" list "$largest")
echo "orvex list:       $orvexListRss"
echo "wrestool -l:      $(rss wrestool -l "$largest")"
echo "orvex scan (all): $(rss "$orvex" scan "$corpus")"

echo
echo "== goals =="
python3 - "$work/whole.json" "$work/perfile.json" "$orvexListRss" <<'PY'
import json, sys
whole = {r["command"]: r["mean"] for r in json.load(open(sys.argv[1]))["results"]}
each = {r["command"]: r["mean"] for r in json.load(open(sys.argv[2]))["results"]}
rss = int(sys.argv[3])
speedup = whole["wrestool -l (all files)"] / whole["orvex scan"]
ratio = each["orvex list FILE (each)"] / each["wrestool -l FILE (each)"]
floor = each["/bin/true FILE (each, the floor)"]
net = (each["orvex list FILE (each)"] - floor) / (each["wrestool -l FILE (each)"] - floor)
def verdict(ok): return "met" if ok else "MISSED"
print(f"orvex scan vs wrestool -l, whole corpus: {speedup:.2f}x faster (goal 5x): {verdict(speedup >= 5)}")
print(f"orvex list vs wrestool -l, per file: {ratio:.2f} of wrestool's time (goal <= 0.5): {verdict(ratio <= 0.5)}")
print(f"  above the floor of starting a process: {net:.2f} of wrestool's time")
print(f"orvex list mshtml.dll peak RSS: {rss / 1024:.1f} MB (goal < 10 MB): {verdict(rss < 10 * 1024)}")
PY
