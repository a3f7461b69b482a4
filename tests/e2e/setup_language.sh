#!/usr/bin/env bash
# A silent installation on a system in another language installs that
# language's file group:
#
#   setup_language.sh <de|zh_TW|ja> <package> <stage folder> <lumaglimpse_testkit.exe>
#
# The system language comes from the locale Wine is started with (de_DE,
# zh_TW or ja_JP, which Wine reads as 0x0407, 0x0404 or 0x0411); its row of
# the language table (German 3, Traditional Chinese 5, Japanese 7) is what
# the product key records as "Lang". The settings file is the group's, the
# shortcuts carry the names the language's module gives them (Chinese and
# Japanese ones are not ASCII: on the Unix side they are UTF-8 file names,
# which Wine only writes when glibc knows the locale) and point where they
# should, and no other language's files arrive. Another product's
# "d3dx9_35.dll" (Wine's own) waits in the system folder: the setup leaves it
# as it is and still loads its page-turn renderer, with the renderer's own
# "d3dx9_35.dll", from a folder of its own, which is gone when it ends.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wizard_lib.sh"
language=${1:-}
case $language in
  de | zh_TW | ja) ;;
  *) echo "usage: $0 <de|zh_TW|ja> <package> <stage folder> <lumaglimpse_testkit.exe>" >&2; exit 2 ;;
esac
ZOR_E2E_LOCALE=$(wizard_locale "$language") || exit 2
export ZOR_E2E_LOCALE
source "$here/setup_lib.sh"
e2e_with_display "$@"
shift
e2e_start "language_$language" "$@"
wizard_language "$language"

foreign=$system/d3dx9_35.dll
cp /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/d3dx9_35.dll "$foreign" || e2e_die "no d3dx9_35.dll of Wine's to copy"
foreign_sum=$(sha256sum <"$foreign")
before=$(snapshot)
run_setup_tracing_renderer "$package" -s
new=$(added "$before" "$(snapshot)")
check_no_payload_folder

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
check "the machine-wide main.ini is the $lang_group group's" \
  cmp -s "$common_data/Lumaglimpse/main.ini" "$stage/$lang_group/gui/main.ini"

# The module's link strings are paths below their folders; the file name is
# the last part.
link_name() { local path; path=$(rc_text "$1"); printf '%s' "${path##*\\}"; }
check_links "$new" "$(link_name IDS_LINK_PROGRAM),$(link_name IDS_LINK_HELP),$(link_name IDS_LINK_UNINSTALL)" \
  "$(link_name IDS_LINK_DESKTOP)" "$(link_name IDS_LINK_QUICK_LAUNCH)"

lang=$(reg_values "$product_key" 32 | grep '^Lang|')
[[ $lang == "Lang|REG_DWORD|0x$lang_row" ]] && pass "the product key records Lang $lang_row" ||
  fail "Lang: ${lang:-missing}"
report=$(win "$install/Lumaglimpse.exe" --print)
grep -qxF "Language: $lang_item (index $lang_row, $lang_id)" <<<"$report" &&
  pass "the program reads the $lang_group settings" || fail "Lumaglimpse --print: $report"
lines=$(log_lines)
[[ $lines == $'[ResponseResult] [CRLF]\nResultCode=0 [CRLF]' ]] && pass "the result log holds the two silent success lines" ||
  fail "result log: $lines"

e2e_finish
