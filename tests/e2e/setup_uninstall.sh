#!/usr/bin/env bash
# "Uninstall.exe -s" after a silent installation removes everything the
# installation added:
#
#   setup_uninstall.sh <package> <stage folder> <lumaglimpse_testkit.exe>
#
# Left afterwards are only what the setup program itself leaves on every
# start (the language modules in the temp folder) and the result log, which
# belongs to whoever ran the setup. No key of the product, the driver service or the COM component
# stays, in either registry view.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/setup_lib.sh"
e2e_with_display "$@"
e2e_start uninstall "$@"

before=$(snapshot)
run_setup "$package" -s
[[ -f $install/Uninstall.exe ]] || e2e_die "the installation did not happen"
installed=$(snapshot)

out=$(win "$install/Uninstall.exe" -s)
rc=$?
[[ $rc -eq 0 ]] && pass "Uninstall.exe -s exits with 0" || fail "Uninstall.exe -s exited with $rc: $out"
# The uninstaller's helper copy removes the uninstaller and the install
# folder once the uninstaller has ended.
settle
after=$(snapshot)

left=$(added "$before" "$after")
want=$(startup_lines | LC_ALL=C sort)
if [[ $left == "$want" ]]; then
  pass "only the setup's start-up files and the result log are left ($(grep -c . <<<"$(added "$before" "$installed")") were added)"
else
  fail "left after uninstalling (< left, > expected):"
  diff <(echo "$left") <(echo "$want") >&2
fi
gone=$(removed "$before" "$after")
[[ -z $gone ]] && pass "nothing of the machine's own was removed" || fail "removed: $gone"

keys=()
for view in 32 64; do
  for key in "$uninstall_key" "$product_key" 'HKLM\Software\Tarvex' "$service_key" "$clsid_key" \
      'HKLM\Software\Classes\Vizorel.FrameSource' 'HKLM\Software\Classes\Vizorel.FrameSource.1'; do
    reg_key_exists "$key" "$view" && keys+=("$key ($view-bit)")
  done
done
((${#keys[@]} == 0)) && pass "no registry key of the product, the service or the component is left" ||
  fail "keys left: ${keys[*]}"

check_no_renderer_folder
e2e_finish
