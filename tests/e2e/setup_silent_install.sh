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
check_installed_files "$new" English
gone=$(removed "$before" "$after")
[[ -z $gone ]] && pass "nothing was removed" || fail "removed: $gone"
check_links "$new" "Tarvex Lumaglimpse.lnk,Tarvex Lumaglimpse Help.lnk,Tarvex Lumaglimpse Uninstall.lnk" \
  "Tarvex Lumaglimpse.lnk" "Tarvex Lumaglimpse.lnk"

# --- registry --------------------------------------------------------------------
# English is row 1 of the language table.
check_installed_registry 1

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

check_no_payload_folder
e2e_finish
