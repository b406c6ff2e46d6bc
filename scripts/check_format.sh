#!/usr/bin/env bash
# Fails when a C++ file of the repository is not as clang-format writes it (.clang-format).
# Usage: scripts/check_format.sh   (run `clang-format -i FILE` on the files it names)
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
