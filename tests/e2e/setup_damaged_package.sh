#!/usr/bin/env bash
# A damaged package, started silently, shows message 104 and appends the
# failure lines to the result log; nothing is installed:
#
#   setup_damaged_package.sh <package> <stage folder> <lumaglimpse_testkit.exe>
#
# Cases: the package cut short (its file table gone) and one byte flipped in
# the middle of its project index. The message box is read and answered
# through the test kit on the test's own virtual display. A file named like
# the English module (junk bytes) waits in the shared temp folder, as a
# program of the same user without elevation could leave it: the setup
# neither replaces nor loads it (the message is still the English module's).
here=$(cd "$(dirname "$0")" && pwd)
source "$here/setup_lib.sh"
e2e_with_display "$@"
e2e_start damaged_package "$@"

work=$WINEPREFIX/damaged
mkdir -p "$work"
read -r index_at index_size < <(index_stream "$package") || e2e_die "no file table at the end of $package"
((index_size > 2)) || e2e_die "the project index stream is empty"

truncated() { head -c $(($(stat -c %s "$package") - 40)) "$package" >"$1"; }
flipped() {
  cp "$package" "$1"
  local at=$((index_at + index_size / 2)) byte
  byte=$(od -An -t u1 -j "$at" -N 1 "$1" | tr -d ' ')
  printf "\\$(printf '%03o' $((byte ^ 0xff)))" | dd of="$1" bs=1 seek="$at" conv=notrunc status=none
}

temp_rel=$(temp_folders | grep -m1 '^users/')
[[ -n $temp_rel ]] || e2e_die "no temp folder of the user in the prefix"
planted=$drive/$temp_rel/InstallEn.dll
for _ in 1 2 3 4 5 6 7 8; do printf 'MZ planted by another program, not a module\n'; done >"$planted"
planted_sum=$(sha256sum <"$planted")
planted_modules=("$temp_rel/InstallEn.dll")

before=$(snapshot)
for damage in truncated flipped; do
  rm -f "$result_log"
  copy=$work/LumaglimpseSetup-$damage.exe
  "$damage" "$copy"
  cmp -s "$copy" "$package" && e2e_die "$damage: the copy is not damaged"

  start_bg "$work/$damage.rc" "$copy" -s
  box=$(win "$testkit" press "$caption" 60 1)
  found=$?
  wait
  if ((found == 0)) && grep -qxF "text: $message_104" <<<"$box"; then
    pass "$damage: message 104 with caption 102"
  else
    fail "$damage: no message 104 (box: ${box:-none})"
  fi
  settle
  lines=$(log_lines)
  [[ $lines == $'[ResponseResult] [CRLF]\nResultCode = -1 [CRLF]' ]] && pass "$damage: the result log holds the failure lines" ||
    fail "$damage: result log: ${lines:-none}"
  [[ $(cat "$work/$damage.rc" 2>/dev/null) == 0 ]] && pass "$damage: the program ends with exit code 0" ||
    fail "$damage: exit code $(cat "$work/$damage.rc" 2>/dev/null)"
  # Only the result log may have come; the renderer's folder went before
  # the program ended.
  extra=$(added "$before" "$(snapshot)" | grep -vxF -f <(startup_lines))
  check_no_payload_folder "$damage"
  [[ -z $extra ]] && pass "$damage: nothing installed" || fail "$damage: files added: $extra"
  if reg_key_exists "$uninstall_key" 32 || reg_key_exists "$product_key" 32 || reg_key_exists "$service_key" 64; then
    fail "$damage: registry entries were written"
  else
    pass "$damage: no registry entries"
  fi
done
[[ $(sha256sum <"$planted") == "$planted_sum" ]] && pass "the InstallEn.dll planted in the temp folder is left as it was" ||
  fail "the setup changed the InstallEn.dll planted in the temp folder"

e2e_finish
