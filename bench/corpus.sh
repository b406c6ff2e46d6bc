#!/usr/bin/env bash
# Whole-process runs of `orvex` against peers over a corpus of real PE files (Wine's
# Windows-side DLLs and EXEs), timed side by side in one run with hyperfine, plus peak RSS
# with GNU time. Usage: bench/corpus.sh [CORPUS_DIR] (default: Wine's x86_64-windows folder).
set -euo pipefail
cd "$(dirname "$0")/.."

need=()
for p in wine64 hyperfine icoutils python3-pefile time; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if ((${#need[@]})); then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}"
fi

corpus=${1:-$(dpkg -L libwine 2>/dev/null | grep -m1 '/x86_64-windows$' || true)}
if [ -z "$corpus" ] || [ ! -d "$corpus" ]; then
  echo "corpus.sh: no corpus folder found (install wine64 or name a folder)" >&2
  exit 1
fi

[ -x build/default/tools/orvex/orvex ] || { cmake --preset default >/dev/null && cmake --build --preset default >/dev/null; }
orvex=$PWD/build/default/tools/orvex/orvex

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
files=$(find "$corpus" -maxdepth 1 -type f \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.ocx' \
          -o -iname '*.cpl' -o -iname '*.sys' -o -iname '*.drv' -o -iname '*.acm' \) | sort)
count=$(echo "$files" | wc -l)
echo "$files" > "$work/files"
echo "corpus: $corpus ($count files, $(du -sh "$corpus" | cut -f1))"

cat > "$work/pefile_list.py" <<'PY'
import sys, pefile
RES = pefile.DIRECTORY_ENTRY['IMAGE_DIRECTORY_ENTRY_RESOURCE']
for path in open(sys.argv[1]).read().split():
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

cat > "$work/per_file_orvex.sh" <<SH
while read -r f; do "$orvex" list "\$f" >/dev/null 2>&1 || true; done < "$work/files"
SH
cat > "$work/per_file_wrestool.sh" <<SH
while read -r f; do wrestool -l "\$f" >/dev/null 2>&1 || true; done < "$work/files"
SH

echo
echo "== whole corpus in one process =="
hyperfine -N --warmup 1 --runs 5 --ignore-failure --export-markdown "$work/whole.md" \
  -n "orvex scan" "$orvex scan $corpus" \
  -n "wrestool -l *" "wrestool -l $(echo $files)" \
  -n "python pefile" "python3 $work/pefile_list.py $work/files" >/dev/null
cat "$work/whole.md"

echo
echo "== one process per file =="
hyperfine --warmup 1 --runs 3 --ignore-failure --export-markdown "$work/perfile.md" \
  -n "orvex list FILE (each)" "bash $work/per_file_orvex.sh" \
  -n "wrestool -l FILE (each)" "bash $work/per_file_wrestool.sh" >/dev/null
cat "$work/perfile.md"

echo
echo "== peak RSS (KiB) =="
largest=$(ls -S $(echo $files) | head -1)
[ -f "$corpus/mshtml.dll" ] && largest=$corpus/mshtml.dll
echo "largest module: $largest ($(du -h "$largest" | cut -f1))"
printf 'orvex list:     '; /usr/bin/time -f %M "$orvex" list "$largest" 2>&1 >/dev/null | tail -1
printf 'wrestool -l:    '; /usr/bin/time -f %M wrestool -l "$largest" 2>&1 >/dev/null | tail -1
printf 'orvex scan all: '; /usr/bin/time -f %M "$orvex" scan "$corpus" 2>&1 >/dev/null | tail -1
