#!/usr/bin/env bash
# Shows the language and agreement pages standalone under Wine, drives them
# (system languages, list choices, Browse through the system's folder
# browser, printing to a PostScript file), checks what they left behind and
# saves a screenshot of each run.
#
#   tests/ui/page_host/show_pages.sh [BUILD]   (BUILD defaults to build/win64)
#
# Needs DISPLAY (an Xvfb display will do), ImageMagick's import, localedef,
# and the target zor_page_host built. Screenshots and outputs go to
# BUILD/ui-shots.
set -u
cd "$(dirname "$0")/../../.."
build=$(cd "${1:-build/win64}" && pwd)
host=$build/tests/ui/page_host/zor_page_host.exe
modules=$build/resources/lang
shots=$build/ui-shots
locales=$build/ui-locales
export ZOR_WINE_PREFIX=$build/wine/ui-prefix
[[ -n ${DISPLAY:-} ]] || { echo "show_pages: DISPLAY is not set" >&2; exit 2; }
[[ -f $host ]] || { echo "show_pages: build zor_page_host first" >&2; exit 2; }
mkdir -p "$shots" "$locales"
for l in de_DE zh_CN th_TH; do
  [[ -d $locales/$l.UTF-8 ]] || localedef -i $l -f UTF-8 "$locales/$l.UTF-8" 2>/dev/null
done
failures=0

# run NAME LOCALE PAGE MODULE [host options]: runs the host, photographs its
# frame after it has been up a second, leaves the output in $shots/NAME.txt.
run() {
  local name=$1 loc=$2 page=$3 module=$4
  shift 4
  rm -f "$shots/$name.txt"
  local lang=()
  [[ $loc == - ]] || lang=(LOCPATH="$locales" LC_ALL="$loc.UTF-8" LANG="$loc.UTF-8")
  env "${lang[@]}" timeout 120 tests/wine/run.sh "$host" "$page" "Z:$modules/$module" --out "Z:$shots/$name.txt" \
    "$@" >"$shots/$name.log" 2>&1 &
  local pid=$!
  for _ in $(seq 1 100); do
    xwininfo -root -tree 2>/dev/null | grep -q "Page host" && break
    sleep 0.3
  done
  sleep 1
  import -window root "$shots/$name.png"
  wait $pid
}

# expect NAME LINE: the run's output has LINE.
expect() {
  if grep -qxF -- "$2" "$shots/$1.txt" 2>/dev/null; then
    echo "ok   $1: $2"
  else
    echo "FAIL $1: wanted \"$2\", got:"
    sed 's/^/       /' "$shots/$1.txt" 2>/dev/null
    failures=$((failures + 1))
  fi
}

run sellang_en - sellang InstallEn.dll --hold 2500
expect sellang_en "field: C:\\Program Files\\Tarvex\\Lumaglimpse\\"
expect sellang_en "install-folder: C:\\Program Files\\Tarvex\\Lumaglimpse\\"
expect sellang_en "selection: 1"
expect sellang_en "lang-index: 1"

run sellang_choose - sellang InstallEn.dll --hold 1500 --select 21
expect sellang_choose "lang-index: 21"

run sellang_browse_windows - sellang InstallEn.dll --hold 4000 --browse-to 'C:\windows'
expect sellang_browse_windows "field: C:\\windows\\Lumaglimpse\\"
expect sellang_browse_windows "install-folder: C:\\windows\\Lumaglimpse\\"

run sellang_browse_root - sellang InstallEn.dll --hold 2000 --browse-to 'C:\'
expect sellang_browse_root "field: C:\\Lumaglimpse\\"

run sellang_de de_DE sellang InstallGe.dll --hold 2000
expect sellang_de "selection: 3"
expect sellang_de "lang-index: 3"

run sellang_zh zh_CN sellang Install.dll --hold 2000
expect sellang_zh "selection: 0"

run sellang_th th_TH sellang InstallEn.dll --hold 2000
expect sellang_th "selection: -1"
expect sellang_th "lang-index: 0"

run agreement_de de_DE agreement InstallGe.dll --hold 2000
expect agreement_de "selection: 3"
expect agreement_de "lang-index: 0"
expect agreement_de "agreement-first: 65279"

run agreement_zh zh_CN agreement Install.dll --hold 2000
expect agreement_zh "selection: 0"

run agreement_th th_TH agreement InstallEn.dll --hold 2000
expect agreement_th "selection: -1"
# No selection shows agreement 139, the first row's.
first=$(grep '^agreement-units' "$shots/agreement_zh.txt")
expect agreement_th "$first"

run agreement_tr - agreement InstallEn.dll --hold 1500 --select 21
expect agreement_tr "agreement-start: TARVEX LUMAGLIMPSE||SON KULLANICI LİSANS"
run agreement_sv - agreement InstallEn.dll --hold 1500 --select 20
expect agreement_sv "agreement-start: TARVEX LUMAGLIMPSE||LICENSAVTAL FÖR SLUT"

# Printing: a PostScript printer writing to a file, then count its pages.
# An A4 page of that printer holds 71 lines of the agreement's font, so 75
# do not fit and each page takes 71.
ps=$build/ui-print.ps
declare -A want_pages=([100]=2 [142]=2 [30]=1)
for lines in 100 142 30; do
  rm -f "$ps"
  run "print_$lines" - agreement InstallEn.dll --hold 3000 --print --print-lines $lines \
    --add-printer "$ps"
  expect "print_$lines" "print: true"
  pages=$(grep -c '%%Page:' "$ps" 2>/dev/null)
  if [[ ${pages:-0} == "${want_pages[$lines]}" ]]; then
    echo "ok   print_$lines: $pages pages"
  else
    echo "FAIL print_$lines: ${pages:-no} pages, wanted ${want_pages[$lines]}"
    failures=$((failures + 1))
  fi
  cp "$ps" "$shots/print_$lines.ps" 2>/dev/null
done

WINEPREFIX=$ZOR_WINE_PREFIX wineserver -k 2>/dev/null
echo "show_pages: $failures failure(s); screenshots in $shots"
exit $((failures > 0))
