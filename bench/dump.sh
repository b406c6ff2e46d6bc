#!/usr/bin/env bash
# `orvex dump` against the pipeline that extracts the same module with today's tools:
# `wrestool -x` of every resource type (group icons and cursors as .ico/.cur, the rest as
# stored) and then `icotool -x` of every icon and cursor file (one PNG per image), side by
# side in one hyperfine run. orvex writes more than they do: PNG previews of bitmaps and
# dialogs, texts, an index and a resource script.
#
#   bench/dump.sh [MODULE]     (default: Wine's shell32.dll)
#   ORVEX=path/to/orvex bench/dump.sh
#
# Goal: orvex within 2x the time of the pipeline.
set -euo pipefail
cd "$(dirname "$0")/.."

source bench/require_packages.sh
require_packages wine64 hyperfine icoutils

corpus=$(dpkg -L libwine 2>/dev/null | grep -m1 '/x86_64-windows$' || true)
module=${1:-$corpus/shell32.dll}
orvex=${ORVEX:-build/default/tools/orvex/orvex}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Each run starts with an empty output folder; emptying it is not part of the timed work.
pipeline="wrestool -x -o $work/p '$module' && \
for f in $work/p/*.ico $work/p/*.cur; do [ -e \"\$f\" ] && icotool -x -o $work/p \"\$f\"; done; true"
ours="$orvex dump '$module' -o $work/o 2>/dev/null"

hyperfine --warmup 1 --runs 5 --export-json "$work/dump.json" \
  --prepare "rm -rf $work/p && mkdir $work/p" -n pipeline "$pipeline" \
  --prepare "rm -rf $work/o" -n orvex "$ours"
/usr/bin/python3 - "$work/dump.json" <<'PY'
import json, sys
r = {x["command"]: x["mean"] for x in json.load(open(sys.argv[1]))["results"]}
ratio = r["orvex"] / r["pipeline"]
print(f"orvex dump: {ratio:.2f}x the time of wrestool + icotool (goal at most 2x)")
PY
"$orvex" dump "$module" -o "$work/count" >/dev/null 2>&1 || true
rm -rf "$work/p" && mkdir "$work/p" && eval "$pipeline" >/dev/null 2>&1
echo "files written: orvex $(find "$work/count" -type f | wc -l)," \
  "wrestool + icotool $(find "$work/p" -type f | wc -l)"
