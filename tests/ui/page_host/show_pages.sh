#!/usr/bin/env bash
# The CTest test ui.pages: shows the language and agreement pages standalone
# under Wine on a display of its own, plays the user on them (system
# languages, list choices, typing into the folder field, Browse through the
# system's folder browser, printing to a PostScript printer on a file port),
# checks what they left behind and saves a screenshot of each run.
#
#   tests/ui/page_host/show_pages.sh [BUILD]   (BUILD defaults to build/win64)
#
# Needs Xvfb, ImageMagick's import, xwininfo, localedef and the target
# zor_page_host built. Runs in a prefix of its own, BUILD/wine/page-host, a
# copy of the test run's prefix (ZOR_WINE_PREFIX, made when missing), which
# is removed when every check passed and kept for a look otherwise.
# Screenshots, the host's outputs and logs and the printed PostScript go to
# BUILD/ui-shots.
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../wine/session.sh"
e2e_with_display "$@"

e2e_name=ui.pages
die() { echo "$e2e_name: $*" >&2; exit 2; }
build=$(cd "${1:-$here/../../../build/win64}" && pwd) || die "no build folder ${1:-build/win64}"
host=$build/tests/ui/page_host/zor_page_host.exe
modules=$build/resources/lang
shots=$build/ui-shots
[[ -f $host ]] || die "build zor_page_host first ($host is missing)"
for tool in wine import xwininfo; do
  command -v $tool >/dev/null || die "$tool is not installed (scripts/install-deps installs it)"
done
rm -rf "$shots"
mkdir -p "$shots"

# The system languages the runs start in; English is the C locale, which
# Wine takes as US English whatever the caller's shell has.
for l in de_DE zh_CN th_TH; do e2e_locale $l.UTF-8 "$build/wine/locales"; done

template=${ZOR_WINE_PREFIX:-$build/wine/prefix}
if [[ ! -f $template/.zor-ready ]]; then
  ZOR_WINE_PREFIX=$template "$here/../../wine/run.sh" --setup >/dev/null || die "cannot make the prefix $template"
fi
source "$here/../../wine/env.sh"
zor_wine_env "$build/wine/page-host"
# A server of an earlier, interrupted run would hold the old copy's files.
if [[ -d $WINEPREFIX ]]; then
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
fi
rm -rf "$WINEPREFIX"
cp -a "$template" "$WINEPREFIX" || die "cannot copy the prefix $template"
# A folder whose name has the product's name in it already.
mkdir -p "$WINEPREFIX/drive_c/Lumaglimpse Data"
# One server for every run: starting one per run and waiting for each to go
# would take longer than the runs. Its helpers start on /dev/null so that
# they never hold CTest's output open.
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k >/dev/null 2>&1' EXIT
# The display has no window manager: Wine would wait two seconds for one to
# withdraw each frame that closes, and nobody would draw the captions. Its
# own unmanaged windows have neither problem.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 ||
  die "cannot turn off the window manager's part in $WINEPREFIX"

failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
pass() { echo "ok   $*"; }

# run NAME LOCALE PAGE MODULE [host options]: runs the host in LOCALE,
# photographs the screen once its frame is up, leaves the output in
# $shots/NAME.txt and the host's messages in $shots/NAME.log.
run() {
  local name=$1 loc=$2 page=$3 module=$4 n shown=0 rc
  shift 4
  env LC_ALL="$loc" LANG="$loc" timeout 30 wine "$host" "$page" "Z:$modules/$module" --out "Z:$shots/$name.txt" \
    "$@" </dev/null >"$shots/$name.log" 2>&1 &
  local pid=$!
  for ((n = 0; n < 150; n++)); do
    if xwininfo -root -tree 2>/dev/null | grep -qF '"Page host: '; then
      shown=1
      break
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  # Time for the page (and a system dialog opened at once) to paint.
  ((shown)) && sleep 0.8 && import -window root "$shots/$name.png"
  wait "$pid"
  rc=$?
  if ((rc == 124)); then
    fail "$name: the page host did not end within 30 s"
  elif ((rc != 0)); then
    fail "$name: the page host ended with exit code $rc: $(tr -d '\r' <"$shots/$name.log" | tr '\n' ' ')"
  elif ((!shown)); then
    fail "$name: the page host's frame never showed on the display"
  fi
}

# expect NAME LINE: the run's output has LINE.
expect() {
  if [[ ! -f $shots/$1.txt ]]; then
    fail "$1: wanted \"$2\", but the page host wrote no output"
  elif grep -qxF -- "$2" "$shots/$1.txt"; then
    pass "$1: $2"
  else
    fail "$1: wanted \"$2\", got:"
    sed 's/^/       /' "$shots/$1.txt"
  fi
}

# value NAME KEY: the value the run's output gives KEY.
value() { sed -n "s/^$2: //p" "$shots/$1.txt" 2>/dev/null; }

# The language page: the system language picks the row and the current
# language index; a row chosen sets the index; the field starts with the
# default folder, and what is typed into it is the install folder as it is.
default_folder='C:\Program Files\Tarvex\Lumaglimpse\'
run sellang_en C sellang InstallEn.dll --hold 1200
expect sellang_en "field: $default_folder"
expect sellang_en "install-folder: $default_folder"
expect sellang_en "selection: 1"
expect sellang_en "lang-index: 1"

typed='D:\Capture\Luma'
run sellang_choose_type C sellang InstallEn.dll --hold 1000 --select 21 --type "$typed"
expect sellang_choose_type "selection: 21"
expect sellang_choose_type "lang-index: 21"
expect sellang_choose_type "field: $typed"
expect sellang_choose_type "install-folder: $typed"

# Browse: the folder chosen in the system's folder browser lands in the field
# and the install folder, "Lumaglimpse\" added unless its path has the name.
# The first run keeps the browser up long enough for its screenshot.
browse_cases=(
  'C:\windows|C:\windows\Lumaglimpse\|2000'
  'C:\|C:\Lumaglimpse\|1000'
  'C:\Lumaglimpse Data|C:\Lumaglimpse Data\|1000'
)
n=0
for c in "${browse_cases[@]}"; do
  IFS='|' read -r chosen want hold <<<"$c"
  n=$((n + 1))
  run sellang_browse_$n C sellang InstallEn.dll --hold "$hold" --browse-to "$chosen"
  if grep -q 'system dialog "' "$shots/sellang_browse_$n.log"; then
    pass "sellang_browse_$n: Browse opened the folder browser"
  else
    fail "sellang_browse_$n: Browse opened no folder browser: $(tr -d '\r' <"$shots/sellang_browse_$n.log" | tr '\n' ' ')"
  fi
  expect sellang_browse_$n "field: $want"
  expect sellang_browse_$n "install-folder: $want"
done

run sellang_de de_DE.UTF-8 sellang InstallGe.dll --hold 1200 --lang-index 7
expect sellang_de "selection: 3"
expect sellang_de "lang-index: 3"

run sellang_zh zh_CN.UTF-8 sellang Install.dll --hold 1200 --lang-index 7
expect sellang_zh "selection: 0"
expect sellang_zh "lang-index: 0"

# Thai has no row: nothing is chosen and the index stays as it was.
run sellang_th th_TH.UTF-8 sellang InstallEn.dll --hold 1200 --lang-index 7
expect sellang_th "selection: -1"
expect sellang_th "lang-index: 7"

# The agreement page: the system language picks the row whose agreement is
# shown; choosing another row shows that agreement, whole, and leaves the
# current language index (the installed language group) alone.
run agreement_de de_DE.UTF-8 agreement InstallGe.dll --hold 1200 --lang-index 5
expect agreement_de "selection: 3"
expect agreement_de "lang-index: 5"
expect agreement_de "agreement-first: 65279"

run agreement_zh zh_CN.UTF-8 agreement Install.dll --hold 1200
expect agreement_zh "selection: 0"

# No selection shows the first row's agreement.
run agreement_th th_TH.UTF-8 agreement InstallEn.dll --hold 1200
expect agreement_th "selection: -1"
expect agreement_th "agreement-units: $(value agreement_zh agreement-units)"

agreement_cases=(
  '21|TARVEX LUMAGLIMPSE||SON KULLANICI LİSANS'
  '20|TARVEX LUMAGLIMPSE||LICENSAVTAL FÖR SLUT'
)
for c in "${agreement_cases[@]}"; do
  row=${c%%|*} start=${c#*|}
  run agreement_$row C agreement InstallEn.dll --hold 1000 --lang-index 5 --select "$row"
  expect agreement_$row "selection: $row"
  expect agreement_$row "lang-index: 5"
  expect agreement_$row "agreement-start: $start"
  # The text field shows the whole agreement.
  expect agreement_$row "field-units: $(value agreement_$row agreement-units)"
done

# Printing: a PostScript printer writing to a file, added to the prefix by
# the first run, then its pages counted. An A4 page of that printer holds 71
# lines of the agreement's font: 100 lines take two pages, 142 exactly two,
# 30 one.
ps=$shots/print.ps
add=(--add-printer "$ps")
for c in 100:2 142:2 30:1; do
  lines=${c%:*} want=${c#*:}
  rm -f "$ps"
  run print_$lines C agreement InstallEn.dll --hold 1000 --print --print-lines "$lines" "${add[@]}"
  if ((${#add[@]})); then
    printer=$(value print_$lines printer)
    if [[ $printer == added ]]; then
      pass "print_$lines: the PostScript file printer was added and made the default"
    else
      fail "print_$lines: the PostScript file printer could not be set up in the prefix: ${printer:-no answer}" \
        "(host log: $(tr -d '\r' <"$shots/print_$lines.log" | tr '\n' ' '))"
      break
    fi
    add=()
  fi
  expect print_$lines "print: true"
  if [[ ! -f $ps ]]; then
    fail "print_$lines: the printer wrote no file $ps"
    continue
  fi
  pages=$(grep -c '^%%Page:' "$ps")
  if [[ $pages == "$want" ]]; then
    pass "print_$lines: $pages page(s)"
  else
    fail "print_$lines: $pages page(s) printed, wanted $want"
  fi
  cp "$ps" "$shots/print_$lines.ps"
done

wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
trap - EXIT
if ((failures > 0)); then
  echo "$e2e_name: $failures check(s) failed; screenshots and logs in $shots, the prefix stays in $WINEPREFIX" >&2
  exit 1
fi
rm -rf "$WINEPREFIX"
echo "$e2e_name: all checks passed; screenshots in $shots"
