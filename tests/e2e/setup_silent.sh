#!/usr/bin/env bash
# Wine test of the setup program (64-bit build):
#
#   setup_silent.sh <LumaglimpseSetup.exe> <zorpack.exe> <stage folder> <lumaglimpse_testkit.exe>
#
# Packs the staged demo product ("Common", the "System" file into the system
# folder, and "English") behind the setup program with zorpack, runs it with
# "-s" and checks the result log, the installed files, the registry, the
# shortcuts and the payloads start-up writes; then a second run with "-f2",
# and a damaged package. Everything it makes is removed before and after.
#
# The prefix is the Wine tests' one (ZOR_WINE_PREFIX, as tests/wine/run.sh
# uses it), made by run.sh when it is missing.
set -u

here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../wine/run.sh
prefix=${ZOR_WINE_PREFIX:-$here/../../build/win64/wine/prefix}
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
export ZOR_WINE_PREFIX=$prefix

die() { echo "setup_silent: $*" >&2; exit 2; }
command -v wine >/dev/null || die "wine is not installed"
[[ $# -eq 4 && -f $1 && -f $2 && -d $3 && -f $4 ]] ||
  die "usage: setup_silent.sh <LumaglimpseSetup.exe> <zorpack.exe> <stage folder> <lumaglimpse_testkit.exe>"
setup_exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
zorpack=$2
stage=$(cd "$3" && pwd)
testkit=$4

"$wine_run" "$testkit" folders 23 >/dev/null || die "no Wine prefix at $prefix"

if [[ -z ${HOME:-} ]]; then
  HOME=$(getent passwd "$(id -u)" | cut -d: -f6)
  export HOME=${HOME:-/tmp}
fi
export WINEPREFIX=$prefix
export WINEARCH=win64
export WINEDEBUG=${ZOR_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The tests run in the C locale, which Wine reports as US English: the
# "English" group and language row 1.
# No display: message boxes return at once instead of waiting for a click.
unset DISPLAY

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
run() { wine "$@" 2>&1 | tr -d '\r'; return "${PIPESTATUS[0]}"; }
unix_path() { local rest=${1#[Cc]:\\}; echo "$prefix/drive_c/${rest//\\//}"; }

# Each run is followed by wineserver -w: the setup starts RegSvr32 and
# returns, and results are complete only once every program has ended.
trap 'wineserver -k >/dev/null 2>&1' EXIT

drive=$prefix/drive_c
install=$drive/'Program Files/Tarvex/Lumaglimpse'
system=$drive/windows/system32
windows=$drive/windows
mapfile -t folders < <(run "$testkit" folders 23 25 35)
[[ ${#folders[@]} -eq 3 ]] || die "shell folders not found: ${folders[*]}"
programs=$(unix_path "${folders[0]}")
desktop=$(unix_path "${folders[1]}")
common_data=$(unix_path "${folders[2]}")
log=$drive/Lumaglimpse.log
second_log=$drive/second.log
work=$(mktemp -d)

product_key='Software\Tarvex\Lumaglimpse'
keys=(
  32 'Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumaglimpse3.0'
  64 'Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumaglimpse3.0'
  32 'Software\Tarvex' 64 'Software\Tarvex'
  64 'System\CurrentControlSet\Services\vcapfx'
  64 'Software\Classes\CLSID\{DC920F00-EFF4-48B0-8A57-EC3399338E78}'
  64 'Software\Classes\Vizorel.FrameSource' 64 'Software\Classes\Vizorel.FrameSource.1'
)
cleanup() {
  rm -rf "$drive/Program Files/Tarvex" "$programs/Tarvex Lumaglimpse" "$common_data/Lumaglimpse"
  rm -f "$desktop"/*.lnk "$system/Vizorel.dll" "$system/drivers/vcapfx.sys" "$log" "$second_log"
  rm -f "$windows/StreamAid.dll" "$windows/msvcr80.dll" "$windows/Microsoft.VC80.CRT.manifest"
  # Our renderer libraries only: the prefix's own d3dx9_35.dll is Wine's.
  rm -f "$system/DevIL.dll" "$system/ILU.dll" "$system/ILUT.dll" "$system/Orbiscene.dll"
  run "$testkit" delete-keys "${keys[@]}" >/dev/null || die "cannot clean the registry"
}
cleanup

# --- The package ---------------------------------------------------------------
cat >"$work/demo.json" <<EOF
{
  "product": {"name": "Lumaglimpse", "version": "3.0.0", "company": "Orvantel"},
  "fileGroups": [
    {"name": "Common", "tree": {"kind": "predefined", "name": "Destination Computer", "children": [
      {"kind": "predefined", "systemFolder": "[ProgramFilesFolder]", "children": [
        {"kind": "folder", "name": "Tarvex", "children": [
          {"kind": "folder", "name": "Lumaglimpse", "destination": true, "fromFolder": "Z:$stage/Common"}]}]},
      {"kind": "predefined", "systemFolder": "[SystemFolder]", "fromFolder": "Z:$stage/System"}]}},
    {"name": "English", "tree": {"kind": "folder", "destination": true, "fromFolder": "Z:$stage/English"}}
  ]
}
EOF
run "$zorpack" build "Z:$work/demo.json" -o "Z:$work/package.exe" --engine "Z:$setup_exe" >/dev/null ||
  die "zorpack could not build the package"

# --- Silent installation -------------------------------------------------------------
run "$work/package.exe" -s >/dev/null
wineserver -w
if [[ $(tr -d '\r' <"$log" 2>/dev/null) == $'[ResponseResult]\nResultCode=0' ]]; then
  pass "the result log holds the silent success lines"
else
  fail "result log: $(cat -A "$log" 2>&1)"
fi
missing=""
for f in Lumaglimpse.exe Uninstall.exe Lumaglimpse.CHM vcapfx.xp vcapfx.vst vcapfx.x64 StreamAid.dll; do
  cmp -s "$stage/Common/$f" "$install/$f" || missing+=" $f"
done
cmp -s "$stage/System/Vizorel.dll" "$system/Vizorel.dll" || missing+=" Vizorel.dll"
cmp -s "$stage/English/gui/main.ini" "$common_data/Lumaglimpse/main.ini" || missing+=" main.ini"
cmp -s "$stage/Common/vcapfx.x64" "$system/drivers/vcapfx.sys" || missing+=" vcapfx.sys"
cmp -s "$stage/Common/StreamAid.dll" "$windows/StreamAid.dll" || missing+=" Windows/StreamAid.dll"
if [[ -z $missing ]]; then
  pass "the product's files, the driver, the runtime files and the settings file are in place"
else
  fail "files missing or different:$missing"
fi

product=$(wine reg query "HKLM\\$product_key" /reg:32 2>&1 | tr -d '\r')
if grep -q 'InstallDir *REG_SZ *C:\\Program Files\\Tarvex\\Lumaglimpse\\$' <<<"$product" &&
   grep -q 'Lang *REG_DWORD *0x1$' <<<"$product" && grep -q 'Version *REG_SZ *3.0.0$' <<<"$product"; then
  pass "the product key holds the folder, the language row and the version"
else
  fail "product key: $product"
fi
uninstall=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumaglimpse3.0' /reg:32 2>&1 |
  tr -d '\r')
if grep -q 'UninstallString *REG_SZ *C:\\Program Files\\Tarvex\\Lumaglimpse\\Uninstall.exe$' <<<"$uninstall"; then
  pass "the uninstall entry names the uninstaller"
else
  fail "uninstall entry: $uninstall"
fi
if [[ -f "$programs/Tarvex Lumaglimpse/Tarvex Lumaglimpse.lnk" && -f "$desktop/Tarvex Lumaglimpse.lnk" ]]; then
  pass "the start-menu and desktop shortcuts exist"
else
  fail "shortcuts missing"
fi
modules=$(ls "$drive"/users/*/Temp/Install*.dll 2>/dev/null | wc -l)
if [[ $modules -eq 22 && -f $system/Orbiscene.dll && -f $system/DevIL.dll ]]; then
  pass "start-up wrote the 22 language modules and our renderer libraries"
else
  fail "payloads: $modules modules; $(ls "$system"/Orbiscene.dll "$system"/DevIL.dll 2>&1)"
fi

# --- A second run, its outcome elsewhere -------------------------------------------
run "$work/package.exe" -s '-f2C:\second.log' >/dev/null
wineserver -w
if [[ $(tr -d '\r' <"$second_log" 2>/dev/null) == $'[ResponseResult]\nResultCode=0' &&
      $(wc -l <"$log") -eq 2 ]]; then
  pass "-f2 sends the second run's lines to its own log"
else
  fail "second run: $(cat -A "$second_log" 2>&1) / $(wc -l <"$log") lines in the default log"
fi

# --- A damaged package --------------------------------------------------------------
head -c $(($(stat -c %s "$work/package.exe") - 40)) "$work/package.exe" >"$work/damaged.exe"
rm -f "$log"
run "$work/damaged.exe" -s >/dev/null
wineserver -w
if [[ $(tr -d '\r' <"$log" 2>/dev/null) == $'[ResponseResult]\nResultCode = -1' ]]; then
  pass "a damaged package reports ResultCode = -1"
else
  fail "damaged package: $(cat -A "$log" 2>&1)"
fi

cleanup
rm -rf "$work"
[[ $failures -eq 0 ]] || exit 1
