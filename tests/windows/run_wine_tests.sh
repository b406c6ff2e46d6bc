#!/usr/bin/env bash
# Runs the Windows build's tests under Wine, as real clients see the DLLs: a fresh Wine
# prefix, the DLLs registered by Wine's regsvr32, scripts run by Wine's cscript, windows on
# a virtual display (Xvfb) when no display is given.
#
# Usage: run_wine_tests.sh BUILD_DIR SOURCE_DIR scripts     every tests/windows/scripts/*.vbs|js
#        run_wine_tests.sh BUILD_DIR SOURCE_DIR texts LINUX_BUILD_DIR
#                                   the reader texts of the fixtures equal the Linux build's
#        run_wine_tests.sh BUILD_DIR SOURCE_DIR exe PROGRAM [ARGS...]   a test program
# Exit status 77 (a skip) when the build's code cannot execute on this machine.
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
mode=$3
shift 3

server=$build/src/server/orvex10.dll
if objdump -f "$server" 2>/dev/null | grep -q 'pei-i386' ||
   x86_64-w64-mingw32-objdump -f "$server" 2>/dev/null | grep -q 'pei-i386'; then
  if [ ! -d /usr/lib/i386-linux-gnu/wine ]; then
    echo "SKIPPED: this is the 32-bit x86 build; this machine runs no 32-bit x86 code" \
         "(no 32-bit Wine, and 32-bit programs fail with \"Exec format error\")."
    exit 77
  fi
fi

export WINEPREFIX=$build/wine-prefix-$mode
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
# A crashing program ends with its exit status instead of waiting in Wine's debugger.
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d false /f \
  >/dev/null 2>&1
# The dialog faces, so that windows are measured with the platform's fonts.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true

xvfb_pid=
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      xvfb_pid=$!
      export DISPLAY=":$n"
      sleep 1
      break
    fi
  done
fi

winpath() { winepath -w "$1" 2>/dev/null; }
for dll in src/server/orvex10.dll src/framework/q7halden10.dll src/host/orvex10host.dll; do
  [ -f "$build/$dll" ] || continue
  if ! wine regsvr32 /s "$(winpath "$build/$dll")"; then
    echo "FAIL: regsvr32 could not register $dll"
    exit 1
  fi
done

run_script() {  # SCRIPT ARGS...: its output without Wine's own notices
  wine cscript //nologo "$(winpath "$1")" "${@:2}" 2> >(grep -v -e wine32 -e multiarch -e 'dpkg --add' -e 'apt-get install' >&2) | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

case "$mode" in
  scripts)
    fixtures=$(winpath "$source/tests/fixtures/rc")
    failed=0
    for script in "$source"/tests/windows/scripts/*.vbs "$source"/tests/windows/scripts/*.js; do
      [ "$(basename "$script")" = reader_texts.js ] && continue
      echo "== $(basename "$script")"
      if ! run_script "$script" "$fixtures"; then
        echo "FAIL: $(basename "$script")"
        failed=1
      fi
    done
    exit $failed
    ;;
  texts)
    linux=${1:-}
    python_module=$linux/bindings/python
    if [ -z "$linux" ] || ! ls "$python_module"/orvex10*.so >/dev/null 2>&1; then
      echo "SKIPPED: no Linux build with the Python module at ${linux:-<none>} to compare with"
      exit 77
    fi
    modules=()
    for m in "$source"/tests/fixtures/rc/*.dll; do modules+=("$m"); done
    wine_modules=()
    for m in "${modules[@]}"; do wine_modules+=("$(winpath "$m")"); done
    run_script "$source/tests/windows/scripts/reader_texts.js" "${wine_modules[@]}" \
      > "$build/reader_texts.windows.txt"
    PYTHONPATH=$python_module ORVEX_TEST=1 /usr/bin/python3 \
      "$source/tests/windows/reader_texts.py" "${modules[@]}" 2>/dev/null \
      > "$build/reader_texts.linux.txt"
    # Menu handles are the platform's own numbers: a popup's cmdID above 0xFFFF is its handle.
    normalise() { sed -E 's/cmdID = (6553[6-9]|655[4-9][0-9]|65[6-9][0-9]{2}|6[6-9][0-9]{3}|[7-9][0-9]{4}|[0-9]{6,})\)/cmdID = <menu handle>)/g' "$1"; }
    if ! diff <(normalise "$build/reader_texts.linux.txt") <(normalise "$build/reader_texts.windows.txt"); then
      echo "FAIL: the Windows build's reader texts differ from the Linux build's (< Linux, > Windows)"
      exit 1
    fi
    echo "ok: $(wc -l < "$build/reader_texts.windows.txt") lines equal for ${#modules[@]} modules"
    ;;
  exe)
    program=$1
    shift
    wine "$program" "$@" 2> >(grep -v -e wine32 -e multiarch -e 'dpkg --add' -e 'apt-get install' >&2)
    ;;
  *)
    echo "unknown mode $mode" >&2
    exit 2
    ;;
esac
