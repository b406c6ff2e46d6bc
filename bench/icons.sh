#!/usr/bin/env bash
# `orvex icons` against the pipeline users run today for the same result: `wrestool -x -t 14`
# (every group icon as an .ico) and then `icotool -x` on every .ico (one PNG per image),
# side by side in one hyperfine run, plus the peak RSS of `orvex icons` with GNU time.
#
#   bench/icons.sh [MODULE]     (default: Wine's shell32.dll)
#   ORVEX=path/to/orvex bench/icons.sh
#
# Goals: orvex at least 3x faster than the pipeline; peak RSS under 32 MB.
set -euo pipefail
cd "$(dirname "$0")/.."

source bench/require_packages.sh
require_packages wine64 hyperfine icoutils time

corpus=$(dpkg -L libwine 2>/dev/null | grep -m1 '/x86_64-windows$' || true)
module=${1:-$corpus/shell32.dll}
orvex=${ORVEX:-build/default/tools/orvex/orvex}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Each run starts with an empty output folder; emptying it is not part of the timed work.
pipeline="wrestool -x -t 14 -o $work/p '$module' && \
for f in $work/p/*.ico; do icotool -x -o $work/p \"\$f\"; done"
ours="$orvex icons '$module' -o $work/o"

hyperfine --warmup 1 --runs 10 --export-json "$work/icons.json" \
  --prepare "rm -rf $work/p && mkdir $work/p" -n pipeline "$pipeline" \
  --prepare "rm -rf $work/o" -n orvex "$ours"
/usr/bin/python3 - "$work/icons.json" <<'PY'
import json, sys
r = {x["command"]: x["mean"] for x in json.load(open(sys.argv[1]))["results"]}
ratio = r["pipeline"] / r["orvex"]
print(f"orvex icons: {ratio:.2f}x faster than wrestool + icotool (goal 3x)")
PY
/usr/bin/time -f '%M' -o "$work/rss.txt" "$orvex" icons "$module" -o "$work/rss" >/dev/null 2>&1
rss=$(tail -1 "$work/rss.txt")
echo "orvex icons peak RSS: $((rss / 1024)) MB (goal under 32 MB)"
