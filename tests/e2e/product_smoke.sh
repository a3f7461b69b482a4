#!/usr/bin/env bash
# Wine tests of the demo product (64-bit build):
#
#   product_smoke.sh unit <lumaglimpse_unit_tests.exe>
#   product_smoke.sh e2e <stage folder> <lumaglimpse_testkit.exe>
#
# "e2e" registers and unregisters Vizorel.dll with regsvr32, lays out an
# installation by hand the way the setup leaves it (files, registry entries,
# shortcuts, runtime files, driver, settings file, COM registration), checks
# what Lumaglimpse.exe --print reports, runs Uninstall.exe -s and checks that
# everything is gone and nothing else changed.
#
# The prefix is LUMA_WINE_PREFIX (default: build/win64/product/wine-prefix);
# it is made once and reused, and every run starts by removing what an
# earlier, interrupted run may have left.
set -u

here=$(cd "$(dirname "$0")" && pwd)
prefix=${LUMA_WINE_PREFIX:-$here/../../build/win64/product/wine-prefix}
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")

export WINEPREFIX=$prefix
export WINEARCH=win64
export WINEDEBUG=${LUMA_WINEDEBUG:--all}
# No Mono/Gecko downloads; no menu entries on the host for the shortcuts we make.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY

die() { echo "product_smoke: $*" >&2; exit 2; }
command -v wine >/dev/null || die "wine is not installed"

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

ensure_prefix() {
  [[ -f $prefix/.luma-ready ]] && return
  if [[ -d $prefix && -n $(ls -A "$prefix") && ! -f $prefix/.luma-prefix ]]; then
    die "$prefix exists and was not made by this script; not replacing it"
  fi
  # A server left from an interrupted run would keep the old files open.
  [[ -d $prefix ]] && wineserver -k >/dev/null 2>&1
  rm -rf "$prefix" && mkdir -p "$prefix" && touch "$prefix/.luma-prefix"
  wineboot -i >"$prefix.log" 2>&1 || { cat "$prefix.log" >&2; die "wineboot -i failed"; }
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$prefix.log" 2>&1 ||
    die "could not turn off the crash dialog"
  wineserver -w
  touch "$prefix/.luma-ready"
}

run() {  # run a Windows program; output as Unix text
  wine "$@" 2>&1 | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

reg_has() {  # reg_has KEY [/reg:32|/reg:64]
  wine reg query "$@" >/dev/null 2>&1
}

unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }

mode=${1:-}
case "$mode" in
  unit)
    [[ $# -eq 2 && -f $2 ]] || die "usage: product_smoke.sh unit <lumaglimpse_unit_tests.exe>"
    ensure_prefix
    run "$2"
    rc=$?
    wineserver -w
    exit $rc
    ;;
  e2e)
    [[ $# -eq 3 && -d $2 && -f $3 ]] || die "usage: product_smoke.sh e2e <stage folder> <lumaglimpse_testkit.exe>"
    stage=$(cd "$2" && pwd)
    testkit=$3
    ;;
  *) die "usage: product_smoke.sh unit <exe> | e2e <stage> <testkit.exe>" ;;
esac

ensure_prefix
drive=$prefix/drive_c
clsid='{DC920F00-EFF4-48B0-8A57-EC3399338E78}'
install_win='C:\Program Files\Tarvex\Lumaglimpse\'
install=$drive/'Program Files/Tarvex/Lumaglimpse'
system=$drive/windows/system32
windows=$drive/windows
programs=$(unix_path "$(run "$testkit" folder 23)")
desktop=$(unix_path "$(run "$testkit" folder 25)")
appdata=$(unix_path "$(run "$testkit" folder 26)")
common_data=$(unix_path "$(run "$testkit" folder 35)")
quick=$appdata/'Microsoft/Internet Explorer/Quick Launch'
[[ -d $programs && -d $desktop && -d $appdata && -d $common_data ]] || die "shell folders not found"

# Whatever an interrupted run left behind.
cleanup() {
  rm -rf "$drive/Program Files/Tarvex" "$programs/Tarvex Lumaglimpse" "$common_data/Lumaglimpse"
  rm -f "$desktop"/*.lnk "$quick"/*Lumaglimpse*.lnk "$system/Vizorel.dll" "$system/drivers/vcapfx.sys"
  rm -f "$windows/StreamAid.dll" "$windows/msvcr80.dll" "$windows/Microsoft.VC80.CRT.manifest"
  rm -rf "$drive/decoy"
  for view in /reg:32 /reg:64; do
    wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumaglimpse3.0' /f $view >/dev/null 2>&1
    wine reg delete 'HKLM\Software\Tarvex' /f $view >/dev/null 2>&1
  done
  wine reg delete 'HKLM\System\CurrentControlSet\Services\vcapfx' /f >/dev/null 2>&1
  wine reg delete "HKLM\\Software\\Classes\\CLSID\\$clsid" /f >/dev/null 2>&1
  wine reg delete 'HKLM\Software\Classes\Vizorel.FrameSource' /f >/dev/null 2>&1
  wine reg delete 'HKLM\Software\Classes\Vizorel.FrameSource.1' /f >/dev/null 2>&1
  wineserver -w
}
cleanup

snapshot() {  # the files of the prefix, without the temp folders that Wine and the helper use
  (cd "$drive" && find . -path ./users/*/Temp -prune -o -path ./windows/temp -prune -o -print | sort)
}
before=$(snapshot)

# --- COM registration with the system's regsvr32 -----------------------------
cp "$stage/System/Vizorel.dll" "$system/Vizorel.dll"
run regsvr32 /s 'C:\windows\system32\Vizorel.dll' >/dev/null
server=$(wine reg query "HKCR\\CLSID\\$clsid\\InprocServer32" 2>/dev/null | tr -d '\r')
if grep -qi 'Vizorel.dll' <<<"$server" && grep -q 'ThreadingModel.*Both' <<<"$server" &&
   reg_has 'HKCR\Vizorel.FrameSource.1\CLSID'; then
  pass "regsvr32 /s registers the class, its server, threading model and ProgID"
else
  fail "regsvr32 /s did not register Vizorel: $server"
fi
run regsvr32 /u /s 'C:\windows\system32\Vizorel.dll' >/dev/null
if ! reg_has "HKCR\\CLSID\\$clsid" && ! reg_has 'HKCR\Vizorel.FrameSource'; then
  pass "regsvr32 /u /s removes the registration"
else
  fail "regsvr32 /u /s left keys behind"
fi

# --- an installation as the setup leaves it (Russian language group) ---------
mkdir -p "$install"
cp "$stage"/Common/* "$install/"
mkdir -p "$common_data/Lumaglimpse"
cp "$stage/Russia/gui/main.ini" "$common_data/Lumaglimpse/main.ini"  # moved there by the setup
cp "$install/StreamAid.dll" "$install/Microsoft.VC80.CRT.manifest" "$windows/"
# Another program's msvcr80.dll has replaced ours in the Windows folder: it must stay.
printf 'another program'\''s runtime\n' >"$windows/msvcr80.dll"
mkdir -p "$system/drivers" && cp "$install/vcapfx.x64" "$system/drivers/vcapfx.sys"
run regsvr32 /s 'C:\windows\system32\Vizorel.dll' >/dev/null
add() { wine reg add "$@" /f >/dev/null 2>&1 || fail "reg add $*"; }
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumaglimpse3.0'
add "$uninstall_key" /v DisplayName /d Lumaglimpse /reg:32
add "$uninstall_key" /v UninstallString /d "${install_win}Uninstall.exe" /reg:32
add "$uninstall_key" /v Publisher /d Tarvex /reg:32
product_key='HKLM\Software\Tarvex\Lumaglimpse'
add "$product_key" /v Name /d Lumaglimpse /reg:32
add "$product_key" /v Version /d 3.0.7 /reg:32
add "$product_key" /v InstallPath /d "${install_win}Lumaglimpse.exe" /reg:32
add "$product_key" /v InstallDir /d "$install_win" /reg:32
add "$product_key" /v company /d Orvantel /reg:32
add "$product_key" /v Lang /t REG_DWORD /d 4 /reg:32
service_key='HKLM\System\CurrentControlSet\Services\vcapfx'
add "$service_key" /v Start /t REG_DWORD /d 1
add "$service_key" /v Type /t REG_DWORD /d 1
add "$service_key" /v ErrorControl /t REG_DWORD /d 0
add "$service_key" /v Group /d 'Extended base'
add "$service_key\\Enum" /v Count /t REG_DWORD /d 0   # what a loaded driver gets from the system
# Shortcuts; the link names come from the language module, so two are translated.
link() { run "$testkit" link "$@" >/dev/null || fail "could not create link $2"; }
link 23 'Tarvex Lumaglimpse\Tarvex Lumaglimpse.lnk' "${install_win}Lumaglimpse.exe" "$install_win"
link 25 'Tarvex Lumaglimpse.lnk' "${install_win}Lumaglimpse.exe" "$install_win"
link 26 'Microsoft\Internet Explorer\Quick Launch\Tarvex Lumaglimpse.lnk' "${install_win}Lumaglimpse.exe"
link 23 'Tarvex Lumaglimpse\Справка.lnk' "${install_win}Lumaglimpse.CHM"
link 23 'Tarvex Lumaglimpse\Удалить.lnk' "${install_win}Uninstall.exe"
# A desktop shortcut of another program must survive.
link 25 'Notepad.lnk' 'C:\windows\notepad.exe'
wineserver -w

# --- the program reports version, settings and components --------------------
report=$(run "$install/Lumaglimpse.exe" --print)
expect_line() {  # expect_line PATTERN WHAT
  if grep -Eq -- "$1" <<<"$report"; then pass "Lumaglimpse --print: $2"; else fail "Lumaglimpse --print lacks $2"; fi
}
expect_line '^Tarvex Lumaglimpse$' "the product name"
expect_line '^Version: 3\.0\.7 \(installed\)$' "the version from the 32-bit product key"
expect_line '^Language: Русский \(index 4, 0x0419\)$' "the Russian language name read as UTF-16"
expect_line '^Capture: 640 x 480 at 30 frames/s, snapshots as BMP$' "the capture settings"
expect_line '^Preview: shown, caption "Просмотр"$' "the preview setting"
expect_line '^Frame source: Vizorel Frame Source, 640 x 480 at 30 frames/s$' "the registered COM frame source"
expect_line '^Stream helper: StreamAid 3\.0\.0$' "StreamAid.dll"
frame_line=$(grep '^First frame:' <<<"$report")
if command -v python3 >/dev/null; then
  want=$(python3 -c 'import zlib; print("First frame: 307200 bytes, CRC-32 %08X" % zlib.crc32(bytes((x + y) & 255 for y in range(480) for x in range(640))))')
  [[ $frame_line == "$want" ]] && pass "first frame matches the test pattern" || fail "first frame: '$frame_line', want '$want'"
fi
[[ $failures -eq 0 ]] || echo "$report" >&2

# --- silent uninstall from the install folder ---------------------------------
out=$(run "$install/Uninstall.exe" -s)
rc=$?
[[ $rc -eq 0 ]] && pass "Uninstall.exe -s exits with 0" || fail "Uninstall.exe -s exited with $rc: $out"
grep -q 'Kept .*msvcr80.dll: it differs' <<<"$out" && pass "the foreign msvcr80.dll is reported as kept" ||
  fail "no note about the foreign msvcr80.dll: $out"
# The install folder goes once the helper copy has seen the uninstaller end.
for _ in $(seq 50); do [[ -e $drive/'Program Files/Tarvex' ]] || break; sleep 0.2; done
wineserver -w

gone() { if [[ ! -e $1 ]]; then pass "removed: ${1#$drive/}"; else fail "still there: ${1#$drive/}"; fi; }
gone "$drive/Program Files/Tarvex"
gone "$programs/Tarvex Lumaglimpse"
gone "$desktop/Tarvex Lumaglimpse.lnk"
gone "$quick/Tarvex Lumaglimpse.lnk"
gone "$common_data/Lumaglimpse"
gone "$system/Vizorel.dll"
gone "$system/drivers/vcapfx.sys"
gone "$windows/StreamAid.dll"
gone "$windows/Microsoft.VC80.CRT.manifest"
[[ -f $desktop/Notepad.lnk ]] && pass "another program's shortcut stays" || fail "Notepad.lnk was removed"
[[ -f $windows/msvcr80.dll ]] && pass "another program's msvcr80.dll stays" || fail "the foreign msvcr80.dll was removed"
for key in "$uninstall_key" 'HKLM\Software\Tarvex'; do
  for view in /reg:32 /reg:64; do
    reg_has "$key" $view && fail "registry key left: $key $view" || pass "registry key gone: $key $view"
  done
done
reg_has "$service_key" && fail "registry key left: $service_key" || pass "registry key gone: $service_key"
reg_has "HKCR\\CLSID\\$clsid" && fail "Vizorel is still registered" || pass "Vizorel is unregistered"

# Nothing else changed: the files of the prefix are those from before, plus
# the two things that belong to someone else.
rm -f "$desktop/Notepad.lnk" "$windows/msvcr80.dll"
after=$(snapshot)
if [[ $before == "$after" ]]; then
  pass "no other file of the prefix was added or removed"
else
  fail "the prefix's files changed:"
  diff <(echo "$before") <(echo "$after") | head -20 >&2
fi

# Without an installation the program falls back to what it knows itself.
report=$(run "$stage/Common/Lumaglimpse.exe" --print)
grep -q '^Version: 3\.0\.0 (built in; no installed version found)$' <<<"$report" &&
  pass "Lumaglimpse --print falls back to the built-in version" || fail "no built-in version: $report"
grep -q 'main.ini (not found; using defaults)$' <<<"$report" &&
  pass "Lumaglimpse --print tells that the settings file is missing" || fail "no missing-settings note: $report"

cleanup
if [[ $failures -gt 0 ]]; then
  echo "product_smoke: $failures check(s) failed" >&2
  exit 1
fi
echo "product_smoke: all checks passed"
