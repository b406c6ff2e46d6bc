#!/usr/bin/env bash
# Installs every missing build and test dependency with apt-get (idempotent: packages
# already present are not touched, and apt-get runs only when something is missing).
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev clang-format clang-tidy
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev
  binutils-mingw-w64-x86-64
  g++-multilib python3
  pkg-config libcairo2-dev libpng-dev libgif-dev libjpeg62-turbo-dev libfreetype-dev fonts-wine
  pybind11-dev python3-dev python3-pytest icoutils python3-dask python3-distributed
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev libsndfile1-dev libsdl2-dev ffmpeg
  libcpp-httplib-dev chromium
  # The Windows cross builds and their tests under Wine.
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix gcc-mingw-w64-i686-posix
  g++-mingw-w64-i686-posix mingw-w64-tools googletest libwine-dev wine wine64 xvfb xauth ccache
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}" >&2
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The browser test's driver: playwright-core from npm (the browser is Debian's chromium).
if command -v npm >/dev/null && [ ! -d "$(dirname "$0")/../tests/browser/node_modules/playwright-core" ]; then
  npm ci --prefix "$(dirname "$0")/../tests/browser" --no-audit --no-fund >&2
fi
