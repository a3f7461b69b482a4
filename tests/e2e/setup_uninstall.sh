#!/usr/bin/env bash
# "Uninstall.exe -s" after a silent installation removes everything the
# installation added:
#
#   setup_uninstall.sh <package> <stage folder> <lumaglimpse_testkit.exe>
#
# Left afterwards is only the result log, which belongs to whoever ran the
# setup; the setup's payload folders in the temp folder went when it ended. No key of the product, the driver service or the COM component
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

check_uninstalled "$before" "$after"

check_no_payload_folder
e2e_finish
