#!/usr/bin/env bash
# Runs clang-tidy (the checks of .clang-tidy, findings are errors) over every source file of
# the library, its tools and its bindings, from a build's compilation database.
# Usage: scripts/run_clang_tidy.sh [BUILD_DIR]   (default build/default, configured first)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
root=$(pwd)
run-clang-tidy -p "$build" -j "$(nproc)" -quiet "^$root/(src|tools|bindings)/"
