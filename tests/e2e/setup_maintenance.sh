#!/usr/bin/env bash
# Running the setup again on a machine with the product shows the
# maintenance dialog, with repair chosen:
#
#   setup_maintenance.sh <package> <stage folder> <lumaglimpse_testkit.exe>
#
# - Cancel leaves the machine as it was: the same files and folders, the
#   same registry entries, no result line.
# - Uninstall without an uninstaller in the install folder tells the user
#   so (string 160 and the path) and changes nothing.
# - Uninstall starts the product's uninstaller, which asks first; once the
#   question is answered, everything the installation added is gone again.
# - Next with the preselected choice repairs: after a fresh installation on
#   this English system, with "Lang" set to 3, the install folder deleted
#   and the settings file too, the wizard runs with the maintenance step
#   list, makes the registered folder again, unpacks the German group into
#   it and ends on its finish page, where "restart later" and Finish close
#   it.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/setup_lib.sh"
e2e_with_display "$@"
e2e_start maintenance "$@"

maintenance='Tarvex Lumaglimpse installation'  # caption of the maintenance dialog
uninstaller_caption='Tarvex Lumaglimpse Uninstall'
message_160='The Tarvex Lumaglimpse uninstaller could not be started. To restore it, run this setup again and choose to repair the installation.'

# Every key the installation writes, with everything below it, in both views.
registry_state() {
  local view key
  for view in 32 64; do
    for key in "$uninstall_key" "$product_key" "$service_key" "$clsid_key" \
        'HKLM\Software\Classes\Vizorel.FrameSource' 'HKLM\Software\Classes\Vizorel.FrameSource.1'; do
      echo "== $key ($view-bit)"
      wine reg query "$key" /s "/reg:$view" 2>/dev/null | tr -d '\r'
    done
  done
}

# Starts the setup without a switch; it shows the maintenance dialog.
start_maintenance() {
  start_bg "$WINEPREFIX/setup.rc" "$package"
}

# Waits for the setup started by start_maintenance to end.
setup_ended() {
  local n
  for ((n = 0; n < 600; n++)); do
    [[ -s $WINEPREFIX/setup.rc ]] && return 0
    sleep 0.1
  done
  return 1
}

before=$(snapshot)
run_setup "$package" -s
[[ -f $install/Uninstall.exe ]] || e2e_die "the installation did not happen"
installed=$(snapshot)
installed_keys=$(registry_state)
installed_log=$(log_lines)
grep -q "^    Lang    REG_DWORD    0x1$" <<<"$installed_keys" || e2e_die "the installation registered no Lang 1"

# Cancel.
start_maintenance
out=$(win "$testkit" press "$maintenance" 60 2)
check "the maintenance dialog appears and Cancel closes it" grep -qx 'clicked: &Cancel' <<<"$out"
check "the setup ends after Cancel" setup_ended
settle
after=$(snapshot)
if [[ $after == "$installed" ]]; then
  pass "Cancel changed no file or folder"
else
  fail "Cancel changed files (< before, > after):"
  diff <(echo "$installed") <(echo "$after") >&2
fi
keys=$(registry_state)
if [[ $keys == "$installed_keys" ]]; then
  pass "Cancel changed no registry entry"
else
  fail "Cancel changed the registry (< before, > after):"
  diff <(echo "$installed_keys") <(echo "$keys") >&2
fi
[[ $(log_lines) == "$installed_log" ]] && pass "Cancel wrote no result line" || fail "result log: $(log_lines)"

# Uninstall, with the uninstaller gone from the install folder.
mv "$install/Uninstall.exe" "$WINEPREFIX/Uninstall.exe.aside"
without=$(snapshot)
start_maintenance
win "$testkit" press "$maintenance" 60 1005 >/dev/null || fail "no uninstall choice in the maintenance dialog"
win "$testkit" press "$maintenance" 10 1 >/dev/null || fail "no Next in the maintenance dialog"
out=$(win "$testkit" press "$caption" 60 1)
if grep -qxF "text: $message_160" <<<"$out" && grep -qxF "${install_win}uninstall.exe" <<<"$out"; then
  pass "a missing uninstaller is reported with its path"
else
  fail "no report of the missing uninstaller: $out"
fi
check "the setup ends after the report" setup_ended
settle
[[ $(snapshot) == "$without" ]] && pass "nothing changed on the machine" || fail "files changed: $(diff <(echo "$without") <(snapshot))"
[[ $(registry_state) == "$installed_keys" ]] && pass "nor in the registry" || fail "the registry changed"
mv "$WINEPREFIX/Uninstall.exe.aside" "$install/Uninstall.exe"

# Uninstall.
start_maintenance
win "$testkit" press "$maintenance" 60 1005 >/dev/null || fail "no uninstall choice in the maintenance dialog"
win "$testkit" press "$maintenance" 10 1 >/dev/null || fail "no Next in the maintenance dialog"
out=$(win "$testkit" press "$uninstaller_caption" 60 6)
check "Next with uninstall chosen starts the uninstaller, which asks first" grep -qx 'clicked: &Yes' <<<"$out"
check "the setup ends once the uninstaller runs" setup_ended
out=$(win "$testkit" press "$uninstaller_caption" 120 1)
check "the uninstaller reports the removal" grep -qx 'text: Tarvex Lumaglimpse was removed from this computer.' <<<"$out"
settle
check_uninstalled "$before" "$(snapshot)"

# Repair, in the registered language.
run_setup "$package" -s
[[ -f $install/Uninstall.exe ]] || e2e_die "the second installation did not happen"
wine reg add "$product_key" /v Lang /t REG_DWORD /d 3 /f /reg:32 >/dev/null 2>&1 || e2e_die "cannot set Lang"
rm -rf "$install"
rm -f "$common_data/Lumaglimpse/main.ini"
log_before=$(log_lines)
wizard='Tarvex Lumaglimpse Installation'  # the frame comes from the system language's module
start_maintenance
out=$(win "$testkit" wait 60 "$maintenance" 1004 checked + wait 5 "$maintenance" 1005 unchecked + \
  click 5 "$maintenance" 1)
check "repair is chosen when the dialog opens, and Next starts it" grep -qx 'clicked: &Next' <<<"$out"
# The finish page's "restart later" is 1005 beside 1004.
out=$(win "$testkit" wait 120 "$wizard" 1005@1004 visible + state 5 "$wizard" 1005@1004)
check "the repair ends on the finish page in German" grep -qx 'text: Computer später neu starten.' <<<"$out"
# Both rows of the maintenance step list done (their labels enabled), and
# no row of the normal step list (icon 1014) anywhere.
steps_seen=()
for label in 1011@1017 1012@1018; do
  out=$(win "$testkit" state 5 "$wizard" "$label")
  grep -qx 'visible: 1' <<<"$out" && grep -qx 'enabled: 1' <<<"$out" || steps_seen+=("$label: $out")
done
out=$(win "$testkit" state 2 "$wizard" 1014)
grep -qx 'visible: 1' <<<"$out" && steps_seen+=("the normal step list is shown")
((${#steps_seen[@]} == 0)) && pass "the maintenance step list shows both steps done, the normal one is absent" ||
  fail "step lists: ${steps_seen[*]}"
out=$(win "$testkit" check 5 "$wizard" 1005@1004 + click 5 "$wizard" 1 + window 30 "$wizard" gone)
check "restart later and Finish close the wizard" grep -q '^clicked: ' <<<"$out"
check "the setup ends with the wizard" setup_ended
settle
check_no_payload_folder "after the repair"
# Against the machine before the first installation: the same files as a
# German installation (the shortcuts are left out: the repair adds its
# German ones beside the English ones) and the same registration.
check_installed_files "$(added "$before" "$(snapshot)")" German
check_installed_registry 3
lines=$(log_lines)
[[ $lines == "$log_before"$'\n[ResponseResult] [CRLF]\nResultCode = 0 [CRLF]' ]] &&
  pass "the repair appended the two success lines of the install page" || fail "result log: $lines"

e2e_finish
