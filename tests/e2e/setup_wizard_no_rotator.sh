#!/usr/bin/env bash
# Without the renderer library the wizard turns from the flash page to the
# welcome page in place, and every page is there as usual:
#
#   setup_wizard_no_rotator.sh <package> <stage folder> <lumaglimpse_testkit.exe>
#
# Wine is told not to load "Orbiscene.dll", wherever the setup puts it, so
# the setup has no window rotator. The wizard never leaves its place on the
# screen; welcome, agreement and language page show their buttons and texts.
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
expect "Cancel on the language page closes the wizard" click "$short" "$W" 2 + window "$long" "$W" gone
no_other_window "no question or message after Cancel"
wizard_end
check_nothing_installed "$before"

e2e_finish
