#!/usr/bin/env bash
# A silent installation ("-s") on a machine without the product, then a
# second one over it:
#
#   setup_silent_install.sh <package> <stage folder> <lumaglimpse_testkit.exe>
#
# After the first run the machine has exactly the files the installation
# adds (install folder, driver, runtime files in the Windows folder, the
# machine-wide settings file, five shortcuts, the result log), each with the
# bytes of the staged file it comes from, and none of the renderer's
# libraries, which it loaded from a folder of its own and removed; the
# uninstall entry and the product key in the 32-bit registry view, the
# service key, the COM class of Vizorel.dll; and the result log's two lines.
# The installed program finds all of it. The second run adds nothing but two
# more result lines.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/setup_lib.sh"
e2e_with_display "$@"
e2e_start silent_install "$@"

before=$(snapshot)
run_setup_tracing_renderer "$package" -s
after=$(snapshot)
new=$(added "$before" "$after")

# --- files ---------------------------------------------------------------------
got=$(grep -vE '^f .*\.lnk$' <<<"$new")
want=$(expected_install)
if [[ $got == "$want" ]]; then
  pass "the installation added exactly the expected files and folders ($(grep -c . <<<"$new") with the shortcuts)"
else
  fail "files added (< got, > want):"
  diff <(echo "$got") <(echo "$want") >&2
fi
gone=$(removed "$before" "$after")
[[ -z $gone ]] && pass "nothing was removed" || fail "removed: $gone"
[[ ! -e $install/gui/main.ini ]] && pass "no gui\\main.ini is left in the install folder" || fail "gui\\main.ini is still in the install folder"

same() {  # same <installed file> <staged file>
  cmp -s "$1" "$2" || { echo "differs from the stage: ${1#$drive/}" >&2; return 1; }
}
all_same=1
for f in "$stage"/Common/*; do same "$install/$(basename "$f")" "$f" || all_same=0; done
for f in StreamAid.dll msvcr80.dll Microsoft.VC80.CRT.manifest; do same "$windows/$f" "$stage/Common/$f" || all_same=0; done
same "$system/Vizorel.dll" "$stage/System/Vizorel.dll" || all_same=0
same "$common_data/Lumaglimpse/main.ini" "$stage/English/gui/main.ini" || all_same=0
((all_same)) && pass "installed files, runtime copies, Vizorel.dll and the English main.ini have the staged bytes" ||
  fail "some installed files differ from the stage"
check "the drivers folder has the 64-bit driver build as vcapfx.sys" same "$drivers/vcapfx.sys" "$stage/Common/vcapfx.x64"

check_links "$new" "Tarvex Lumaglimpse.lnk,Tarvex Lumaglimpse Help.lnk,Tarvex Lumaglimpse Uninstall.lnk" \
  "Tarvex Lumaglimpse.lnk" "Tarvex Lumaglimpse.lnk"

# --- registry --------------------------------------------------------------------
dir=$install_win
expect_values "$uninstall_key" 32 "DisplayName|REG_SZ|Lumaglimpse" "UninstallString|REG_SZ|${dir}Uninstall.exe" \
  "Publisher|REG_SZ|Tarvex"
# English is row 1 of the language table.
expect_values "$product_key" 32 "Name|REG_SZ|Lumaglimpse" "Version|REG_SZ|3.0.0" \
  "InstallPath|REG_SZ|${dir}Lumaglimpse.exe" "InstallDir|REG_SZ|$dir" "company|REG_SZ|Orvantel" "Lang|REG_DWORD|0x1"
expect_values "$service_key" 64 "Start|REG_DWORD|0x1" "Type|REG_DWORD|0x1" "ErrorControl|REG_DWORD|0x0" \
  "Group|REG_SZ|Extended base"
# A 32-bit setup writes the keys under SOFTWARE to the 32-bit view only.
! reg_key_exists "$uninstall_key" 64 && ! reg_key_exists "$product_key" 64 &&
  pass "no uninstall entry or product key in the 64-bit view" || fail "uninstall entry or product key in the 64-bit view"

# The COM registration that the setup left to regsvr32.
server=$(reg_values "$clsid_key\\InprocServer32" 64)
grep -qix '(Default)|REG_SZ|C:\\windows\\system32\\Vizorel.dll' <<<"$server" && grep -q '^ThreadingModel|REG_SZ|Both$' <<<"$server" &&
  pass "Vizorel's class is registered with its server in the system folder" || fail "Vizorel's class registration: $server"
check "Vizorel's ProgID is registered" reg_key_exists 'HKLM\Software\Classes\Vizorel.FrameSource' 64

# --- result log ------------------------------------------------------------------------
lines=$(log_lines)
[[ $lines == $'[ResponseResult] [CRLF]\nResultCode=0 [CRLF]' ]] && pass "the result log holds the two silent success lines" ||
  fail "result log: $lines"

# --- the program finds what was installed -------------------------------------------
report=$(win "$install/Lumaglimpse.exe" --print)
expect_report() { grep -Eq -- "$1" <<<"$report" && pass "Lumaglimpse --print: $2" || fail "Lumaglimpse --print lacks $2"; }
expect_report '^Version: 3\.0\.0 \(installed\)$' "the installed version from the product key"
expect_report '^Language: English \(index 1, 0x0409\)$' "the machine-wide English settings file"
expect_report '^Frame source: Vizorel Frame Source, ' "the registered COM frame source"
expect_report '^Stream helper: StreamAid 3\.0\.0$' "StreamAid.dll"
((failures == 0)) || echo "$report" >&2

# --- a second silent run -------------------------------------------------------------
run_setup "$package" -s
again=$(snapshot)
[[ $again == "$after" ]] && pass "a second silent run adds and removes no file" ||
  { fail "the second run changed the files:"; diff <(echo "$after") <(echo "$again") >&2; }
lines=$(log_lines)
[[ $lines == $'[ResponseResult] [CRLF]\nResultCode=0 [CRLF]\n[ResponseResult] [CRLF]\nResultCode=0 [CRLF]' ]] &&
  pass "the second run appended two more lines" || fail "result log after two runs: $lines"

# --- "-f2": a third run writes its lines to the log it names -----------------------
run_setup "$package" -s '-f2C:\third.log'
third=$(cat -A "$drive/third.log" 2>/dev/null | sed 's/\^M\$$/ [CRLF]/')
[[ $third == $'[ResponseResult] [CRLF]\nResultCode=0 [CRLF]' ]] && pass "-f2 sends the run's two lines to the log it names" ||
  fail "-f2 log: ${third:-missing}"
[[ $(log_lines | wc -l) == 4 ]] && pass "the default log is left alone by the -f2 run" || fail "default log after the -f2 run: $(log_lines)"

check_no_renderer_folder
e2e_finish
