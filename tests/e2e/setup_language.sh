#!/usr/bin/env bash
# A silent installation on a German system installs the German file group:
#
#   setup_language.sh <package> <stage folder> <lumaglimpse_testkit.exe>
#
# The system language comes from the locale Wine is started with
# (0x0407); the German row of the language table is row 3, which the product
# key records as "Lang". The settings file is the German one, the shortcuts
# (named by the German language module) point where they should, and no
# other language's files arrive. Another product's "d3dx9_35.dll" (Wine's
# own) waits in the system folder: the setup leaves it as it is and still
# loads its page-turn renderer, with the renderer's own "d3dx9_35.dll", from
# a folder of its own, which is gone when it ends.
here=$(cd "$(dirname "$0")" && pwd)
export ZOR_E2E_LOCALE=de_DE.UTF-8
source "$here/setup_lib.sh"
e2e_with_display "$@"
e2e_start language "$@"

foreign=$system/d3dx9_35.dll
cp /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/d3dx9_35.dll "$foreign" || e2e_die "no d3dx9_35.dll of Wine's to copy"
foreign_sum=$(sha256sum <"$foreign")
before=$(snapshot)
run_setup_tracing_renderer "$package" -s
new=$(added "$before" "$(snapshot)")
check_no_renderer_folder

got=$(grep -vE '^f .*\.lnk$' <<<"$new")
want=$(expected_install)
[[ $(sha256sum <"$foreign") == "$foreign_sum" ]] && pass "another product's d3dx9_35.dll is left as it was" ||
  fail "the setup replaced another product's d3dx9_35.dll"
if [[ $got == "$want" ]]; then
  pass "the installation added exactly the expected files and folders"
else
  fail "files added (< got, > want):"
  diff <(echo "$got") <(echo "$want") >&2
fi
check "the machine-wide main.ini is the German group's" cmp -s "$common_data/Lumaglimpse/main.ini" "$stage/German/gui/main.ini"
check_links "$new"

lang=$(reg_values "$product_key" 32 | grep '^Lang|')
[[ $lang == 'Lang|REG_DWORD|0x3' ]] && pass "the product key records Lang 3" || fail "Lang: ${lang:-missing}"
report=$(win "$install/Lumaglimpse.exe" --print)
grep -qx 'Language: Deutsch (index 3, 0x0407)' <<<"$report" && pass "the program reads the German settings" ||
  fail "Lumaglimpse --print: $report"
lines=$(log_lines)
[[ $lines == $'[ResponseResult] [CRLF]\nResultCode=0 [CRLF]' ]] && pass "the result log holds the two silent success lines" ||
  fail "result log: $lines"

e2e_finish
