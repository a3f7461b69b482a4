#!/usr/bin/env bash
# Without the renderer library the wizard turns from the flash page to the
# welcome page in place, and every page is there as usual:
#
#   setup_wizard_no_rotator.sh <package> <stage folder> <lumaglimpse_testkit.exe>
#
# Wine is told not to load "Orbiscene.dll", wherever the setup puts it, so
# the setup has no window rotator. The wizard never leaves its place on the
# screen; welcome, agreement and language page show their buttons and texts.
# The folder "C:" is refused with a message, the page staying as it was;
# Cancel on the language page then closes the wizard without a question and
# leaves nothing installed.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wizard_lib.sh"
source "$here/setup_lib.sh"
e2e_with_display "$@"
e2e_start wizard_no_rotator "$@"
# After e2e_start, which sets the test's usual overrides.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}orbiscene=d
wizard_language en

before=$(snapshot)
wizard_start
flash_page
out=$(kit track "$long" "$W" 1005 visible)
mapfile -t rects < <(sed -n 's/^rect: //p' <<<"$out")
((${#rects[@]} == 1)) && pass "the welcome page came in place: the wizard stayed at ${rects[0]}" ||
  fail "the wizard's places during the transition: ${rects[*]:-none} ($out)"
welcome_page
expect "Next on the welcome page" click "$short" "$W" 1
agreement_page
expect "Accept" click "$short" "$W" 1
language_page
# Two characters are no folder: the wizard says so and stays on the page,
# creating nothing.
box=$(rc_text IDS_SETUP_CAPTION)
expect "the folder \"C:\" typed in" set-text "$short" "$W" 1005@1000 'C:' + click "$short" "$W" 1
out=$(kit press "$box" "$long" 1)
grep -qxF "text: $(rc_text IDS_INVALID_FOLDER)" <<<"$out" && pass "\"C:\" is refused with the invalid-folder message" ||
  fail "the message for \"C:\": $out"
expect "the language page stays, its buttons as they were" window "$long" "$box" gone + wait "$short" "$W" 1000 visible \
  + wait "$short" "$W" 1 enabled + wait "$short" "$W" 2 enabled + wait "$short" "$W" 3 enabled
[[ ! -e $drive/Lumaglimpse ]] && pass "no folder C:\\Lumaglimpse" || fail "the refused folder was created"
expect "Cancel on the language page closes the wizard" click "$short" "$W" 2 + window "$long" "$W" gone
no_other_window "no question or message after Cancel"
wizard_end
check_nothing_installed "$before"

e2e_finish
