#!/usr/bin/env bash
# `orvex avi -o DIR/` against `ffmpeg -i clip.avi DIR/%03d.png` on the same 500-frame
# uncompressed 320 × 240 clip (made by make_clip_module), paired in one hyperfine run. Both
# write one PNG per frame; orvex plays the clip through PlayAVI on its stepped clock.
#
#   bench/media/avi_frames.sh            (ORVEX=..., MAKE_CLIP=... to point elsewhere)
#
# Goal: orvex no slower than ffmpeg.
set -euo pipefail
cd "$(dirname "$0")/../.."

source bench/require_packages.sh
require_packages hyperfine ffmpeg

orvex=${ORVEX:-build/default/tools/orvex/orvex}
make_clip=${MAKE_CLIP:-build/default/bench/media/make_clip_module}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$make_clip" "$work"

# Each run starts without its output folder; removing it is not part of the timed work.
hyperfine --warmup 1 --runs 10 --export-json "$work/avi.json" \
  --prepare "rm -rf $work/f && mkdir $work/f" -n ffmpeg \
  "ffmpeg -v error -i $work/clip.avi $work/f/%03d.png" \
  --prepare "rm -rf $work/o" -n orvex "$orvex avi $work/clip.dll '#1' -o $work/o/"
/usr/bin/python3 - "$work/avi.json" <<'PY'
import json, sys
r = {x["command"]: x["mean"] for x in json.load(open(sys.argv[1]))["results"]}
print(f"orvex avi: {r['ffmpeg'] / r['orvex']:.2f}x the speed of ffmpeg (goal at least 1.00x)")
PY
n=$(ls "$work/o" | wc -l)
[ "$n" -eq 500 ] || { echo "orvex wrote $n frames, not 500" >&2; exit 1; }
