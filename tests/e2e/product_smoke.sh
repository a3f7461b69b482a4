#!/usr/bin/env bash
# Wine test of the demo product (64-bit build):
#
#   product_smoke.sh <stage folder> <lumaglimpse_testkit.exe>
#
# Registers and unregisters Vizorel.dll with regsvr32, lays out an
# installation by hand the way the setup leaves it (files, registry entries,
# shortcuts, runtime files, driver, settings file, COM registration), checks
# what Lumaglimpse.exe --print reports, runs Uninstall.exe -s and checks that
# everything is gone and nothing else changed; then an uninstall that cannot
# finish, and its second run.
#
# The prefix is the Wine tests' one (ZOR_WINE_PREFIX, as tests/wine/run.sh
# uses it), made by run.sh when it is missing. Every run starts by removing
# what an earlier, interrupted run may have left.
set -u

here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../wine/run.sh
prefix=${ZOR_WINE_PREFIX:-$here/../../build/win64/wine/prefix}
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
export ZOR_WINE_PREFIX=$prefix

die() { echo "product_smoke: $*" >&2; exit 2; }
command -v wine >/dev/null || die "wine is not installed"
[[ $# -eq 2 && -d $1 && -f $2 ]] || die "usage: product_smoke.sh <stage folder> <lumaglimpse_testkit.exe>"
stage=$(cd "$1" && pwd)
testkit=$2

# run.sh makes the prefix when it is missing; the test kit is a harmless
# program to hand it.
"$wine_run" "$testkit" folders 23 >/dev/null || die "no Wine prefix at $prefix"

source "$here/../wine/env.sh"
zor_wine_env "$prefix"
unset DISPLAY

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

run() {  # run a Windows program; output as Unix text
  wine "$@" 2>&1 | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

unix_path() {  # C:\x\y -> <prefix>/drive_c/x/y (the shell folders all lie on C:)
  local rest=${1#[Cc]:\\}
  echo "$prefix/drive_c/${rest//\\//}"
}

# One server for the whole run: every Wine start would otherwise start it anew.
# Its service processes start with the first program and would inherit (and
# hold open) whatever output a test captures, so they start on /dev/null.
wineserver -p
trap 'wineserver -k >/dev/null 2>&1' EXIT
wine cmd /c exit </dev/null >/dev/null 2>&1

drive=$prefix/drive_c
clsid='{DC920F00-EFF4-48B0-8A57-EC3399338E78}'
install_win='C:\Program Files\Tarvex\Lumaglimpse\'
install=$drive/'Program Files/Tarvex/Lumaglimpse'
system=$drive/windows/system32
windows=$drive/windows
mapfile -t folders < <(run "$testkit" folders 23 25 26 35)
[[ ${#folders[@]} -eq 4 ]] || die "shell folders not found: ${folders[*]}"
programs=$(unix_path "${folders[0]}")
desktop=$(unix_path "${folders[1]}")
appdata=$(unix_path "${folders[2]}")
common_data=$(unix_path "${folders[3]}")
quick=$appdata/'Microsoft/Internet Explorer/Quick Launch'
mkdir -p "$quick"  # exists where the system has the bar; Wine makes none

uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumaglimpse3.0'
product_key='Software\Tarvex\Lumaglimpse'
service_key='System\CurrentControlSet\Services\vcapfx'
# Every key the setup writes or the component registers, in both views.
keys=(
  32 "$uninstall_key" 64 "$uninstall_key"
  32 'Software\Tarvex' 64 'Software\Tarvex'
  64 "$service_key"
  64 "Software\\Classes\\CLSID\\$clsid"
  64 'Software\Classes\Vizorel.FrameSource' 64 'Software\Classes\Vizorel.FrameSource.1'
)
present_keys() { run "$testkit" keys "${keys[@]}"; }

# Whatever an interrupted run left behind.
cleanup() {
  rm -rf "$drive/Program Files/Tarvex" "$programs/Tarvex Lumaglimpse" "$common_data/Lumaglimpse"
  rm -f "$desktop"/*.lnk "$quick"/*.lnk "$system/Vizorel.dll" "$system/drivers/vcapfx.sys"
  rm -f "$windows/StreamAid.dll" "$windows/msvcr80.dll" "$windows/Microsoft.VC80.CRT.manifest"
  run "$testkit" delete-keys "${keys[@]}" || die "cannot clean the registry"
}
cleanup

snapshot() {  # the files of the prefix, without the temp folders that Wine and the helper use
  (cd "$drive" && find . -path ./users/*/Temp -prune -o -path ./windows/temp -prune -o -print | sort)
}
before=$(snapshot)

# --- COM registration with the system's regsvr32 -----------------------------
cp "$stage/System/Vizorel.dll" "$system/Vizorel.dll"
run regsvr32 /s 'C:\windows\system32\Vizorel.dll' >/dev/null
server=$(wine reg query "HKLM\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" 2>/dev/null | tr -d '\r')
registered=$(present_keys)
if grep -qi 'system32\\Vizorel.dll' <<<"$server" && grep -q 'ThreadingModel.*Both' <<<"$server" &&
   [[ $(grep -c 'Classes' <<<"$registered") -eq 3 ]]; then
  pass "regsvr32 /s registers the class, its server, threading model and ProgIDs"
else
  fail "regsvr32 /s did not register Vizorel: $server $registered"
fi
run regsvr32 /u /s 'C:\windows\system32\Vizorel.dll' >/dev/null
registered=$(present_keys)
[[ -z $registered ]] && pass "regsvr32 /u /s removes the registration" || fail "regsvr32 /u /s left: $registered"

# --- an installation as the setup leaves it (Russian language group) ---------
mkdir -p "$install"
cp "$stage"/Common/* "$install/"
[[ $(ls "$install" | wc -l) -eq 9 ]] || fail "the stage's Common group should hold 9 files: $(ls "$install")"
mkdir -p "$common_data/Lumaglimpse"
cp "$stage/Russia/gui/main.ini" "$common_data/Lumaglimpse/main.ini"  # moved there by the setup
cp "$install/StreamAid.dll" "$install/Microsoft.VC80.CRT.manifest" "$windows/"
# Another program's msvcr80.dll has replaced ours in the Windows folder: it must stay.
printf 'another program'\''s runtime\n' >"$windows/msvcr80.dll"
mkdir -p "$system/drivers" && cp "$install/vcapfx.x64" "$system/drivers/vcapfx.sys"
run regsvr32 /s 'C:\windows\system32\Vizorel.dll' >/dev/null
# The 64-bit regedit sees the 32-bit view of Software under Wow6432Node.
reg_dir='C:\\Program Files\\Tarvex\\Lumaglimpse\\'
printf '%s\r\n' 'REGEDIT4' '' \
  '[HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\Lumaglimpse3.0]' \
  '"DisplayName"="Lumaglimpse"' "\"UninstallString\"=\"${reg_dir}Uninstall.exe\"" '"Publisher"="Tarvex"' '' \
  '[HKEY_LOCAL_MACHINE\Software\Wow6432Node\Tarvex\Lumaglimpse]' \
  '"Name"="Lumaglimpse"' '"Version"="3.0.7"' "\"InstallPath\"=\"${reg_dir}Lumaglimpse.exe\"" \
  "\"InstallDir\"=\"${reg_dir}\"" '"company"="Orvantel"' '"Lang"=dword:00000004' '' \
  '[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\vcapfx]' \
  '"Start"=dword:00000001' '"Type"=dword:00000001' '"ErrorControl"=dword:00000000' '"Group"="Extended base"' '' \
  '[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\vcapfx\Enum]' '"Count"=dword:00000000' '' \
  >"$windows/temp/luma-install.reg"
run regedit /S 'C:\windows\temp\luma-install.reg'
installed=$(present_keys)
[[ $(grep -c present <<<"$installed") -eq 6 ]] || fail "the installation's keys are not as the setup writes them: $installed"
# Shortcuts; the link names come from the language module, so two are translated.
run "$testkit" link \
  23 'Tarvex Lumaglimpse\Tarvex Lumaglimpse.lnk' "${install_win}Lumaglimpse.exe" "$install_win" \
  25 'Tarvex Lumaglimpse.lnk' "${install_win}Lumaglimpse.exe" "$install_win" \
  26 'Microsoft\Internet Explorer\Quick Launch\Tarvex Lumaglimpse.lnk' "${install_win}Lumaglimpse.exe" '' \
  23 'Tarvex Lumaglimpse\Справка.lnk' "${install_win}Lumaglimpse.CHM" '' \
  23 'Tarvex Lumaglimpse\Удалить.lnk' "${install_win}Uninstall.exe" '' \
  25 'Notepad.lnk' 'C:\windows\notepad.exe' '' || fail "could not create the shortcuts"
[[ $(ls "$programs/Tarvex Lumaglimpse" | wc -l) -eq 3 && -f $desktop/Notepad.lnk && -f $quick/'Tarvex Lumaglimpse.lnk' ]] ||
  fail "the shortcuts are not all there"

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
if command -v python3 >/dev/null; then
  want=$(python3 -c 'import zlib; print("First frame: 307200 bytes, CRC-32 %08X" % zlib.crc32(bytes((x + y) & 255 for y in range(480) for x in range(640))))')
  expect_line "^${want}\$" "the first frame's checksum"
fi
[[ $failures -eq 0 ]] || echo "$report" >&2

# --- silent uninstall from the install folder ---------------------------------
out=$(run "$install/Uninstall.exe" -s)
rc=$?
[[ $rc -eq 0 ]] && pass "Uninstall.exe -s exits with 0" || fail "Uninstall.exe -s exited with $rc: $out"
grep -q 'Kept .*msvcr80.dll: it differs' <<<"$out" && pass "the foreign msvcr80.dll is reported as kept" ||
  fail "no note about the foreign msvcr80.dll: $out"
# The install folder goes once the helper copy has seen the uninstaller end.
for _ in $(seq 100); do [[ -e $drive/'Program Files/Tarvex' ]] || break; sleep 0.2; done

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
left=$(present_keys)
[[ -z $left ]] && pass "every registry key of the product and the component is gone (both views)" ||
  fail "registry keys left: $left"

# Nothing else changed: the files of the prefix are those from before, once
# the two things that belong to someone else are taken away.
rm -f "$desktop/Notepad.lnk" "$windows/msvcr80.dll"
after=$(snapshot)
if [[ $before == "$after" ]]; then
  pass "no other file of the prefix was added or removed"
else
  fail "the prefix's files changed:"
  diff <(echo "$before") <(echo "$after") | head -20 >&2
fi

# --- an uninstall that cannot finish keeps what a second run needs ------------
# A folder where the help file should be stands for any file that cannot go.
mkdir -p "$install"
cp "$stage"/Common/* "$install/"
rm "$install/Lumaglimpse.CHM" && mkdir "$install/Lumaglimpse.CHM"
echo "recorded video" >"$install/capture-001.avi"  # the user's own file
printf '%s\r\n' 'REGEDIT4' '' '[HKEY_LOCAL_MACHINE\Software\Wow6432Node\Tarvex\Lumaglimpse]' \
  "\"InstallDir\"=\"${reg_dir}\"" '' >"$windows/temp/luma-partial.reg"
run regedit /S 'C:\windows\temp\luma-partial.reg'
out=$(run "$install/Uninstall.exe" -s)
rc=$?
# A Unix parent sees the low 8 bits of the exit code: 1603 & 255 = 67.
[[ $rc -eq $((1603 & 255)) ]] && pass "an unfinished uninstall exits with 1603" || fail "unfinished uninstall exited with $rc: $out"
grep -q 'Could not remove .*Lumaglimpse\.CHM' <<<"$out" && grep -q 'run the uninstaller again' <<<"$out" &&
  pass "it names what it could not remove" || fail "no report of the blocked file: $out"
[[ -f $install/Uninstall.exe && -n $(present_keys) && ! -e $install/Lumaglimpse.exe ]] &&
  pass "it removes the rest but keeps Uninstall.exe and the product key" ||
  fail "after an unfinished uninstall: $(ls "$install") / $(present_keys)"

rmdir "$install/Lumaglimpse.CHM"
out=$(run "$install/Uninstall.exe" -s)
rc=$?
[[ $rc -eq 0 ]] && pass "the second run finishes" || fail "the second run exited with $rc: $out"
grep -q 'Kept .*Lumaglimpse: it holds items that Lumaglimpse did not install (capture-001.avi)' <<<"$out" &&
  pass "the install folder stays for the user's file, and the report says so" || fail "no note about the user's file: $out"
for _ in $(seq 100); do [[ -e $install/Uninstall.exe ]] || break; sleep 0.2; done
[[ ! -e $install/Uninstall.exe && -z $(present_keys) && $(ls "$install") == capture-001.avi ]] &&
  pass "only the user's file is left" || fail "after the second run: $(ls "$install") / $(present_keys)"
rm -rf "$drive/Program Files/Tarvex"

# Without an installation the program falls back to what it knows itself.
report=$(run "$stage/Common/Lumaglimpse.exe" --print)
expect_line '^Version: 3\.0\.0 \(built in; no installed version found\)$' "the built-in version without a product key"
expect_line 'main\.ini \(not found; using defaults\)$' "a note that the settings file is missing"
expect_line '^Frame source: not available \(' "a note that the frame source is not registered"

cleanup
if [[ $failures -gt 0 ]]; then
  echo "product_smoke: $failures check(s) failed" >&2
  exit 1
fi
echo "product_smoke: all checks passed"
