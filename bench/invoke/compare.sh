#!/usr/bin/env bash
# GetHexDump and GetString through Invoke: the Linux build (over the stand-in) against the
# Windows x64 build under Wine (over the platform's own DLLs), in one run on one machine.
# Goal: the Windows figure within 1.5 times the Linux figure.
# Usage: bench/invoke/compare.sh [CALLS]   (after building the default and windows-x64 presets)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
calls=${1:-200}
linux=$root/build/default/bench/invoke/orvex_invoke_bench
windows=$root/build/windows-x64/bench/invoke/orvex_invoke_bench.exe
export WINEPREFIX=${WINEPREFIX:-$root/build/windows-x64/wine-prefix-bench} WINEDEBUG=-all
[ -d "$WINEPREFIX" ] || wineboot -i >/dev/null 2>&1
"$linux" "$calls" > /tmp/orvex_invoke_linux.txt
wine "$windows" "$calls" 2>/dev/null | tr -d '\r' > /tmp/orvex_invoke_windows.txt
join /tmp/orvex_invoke_linux.txt /tmp/orvex_invoke_windows.txt |
  awk '{ printf "%-24s linux %8.2f us   windows-x64/wine %8.2f us   ratio %.2f (goal <= 1.5)\n", $1, $2, $4, $4 / $2 }'
