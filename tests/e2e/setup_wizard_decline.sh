#!/usr/bin/env bash
# Declining the agreement installs nothing:
#
#   setup_wizard_decline.sh <package> <stage folder> <lumaglimpse_testkit.exe>
#
# A click ends the flash page at once. On the agreement page the page's own
# language list changes the agreement text; the language page's Back shows
# the agreement page again as it was left, Back again the welcome page. Then
# Decline closes the wizard without a question, and the machine has no
# install folder, shortcut or key of the product.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wizard_lib.sh"
source "$here/setup_lib.sh"
e2e_with_display "$@"
e2e_start wizard_decline "$@"
wizard_language en

before=$(snapshot)
wizard_start
flash_clicked
welcome_page
expect "Next on the welcome page" click "$short" "$W" 1
agreement_page

text_hash() { kit state "$short" "$W" 1003 | sed -n 's/^hash: //p'; }
english=$(text_hash)
expect "the agreement's list picks Deutsch, and the agreement text changes" select "$short" "$W" 1007 =Deutsch \
  + wait "$short" "$W" 1007 selected=Deutsch + wait "$short" "$W" 1003 "not-hash=$english" + wait "$short" "$W" 1003 not-text=
german=$(text_hash)
shot 2-agreement-deutsch

expect "Accept" click "$short" "$W" 1 + wait "$long" "$W" 1000 visible
expect "Back on the language page shows the agreement page with Deutsch and its text" click "$short" "$W" 3 \
  + wait "$long" "$W" 1003 visible + wait "$short" "$W" 1000 hidden + wait "$short" "$W" 1007 selected=Deutsch \
  + wait "$short" "$W" 1 "text=$(rc_text IDS_ACCEPT)" + wait "$short" "$W" 4 visible + wait "$short" "$W" 1003 "hash=$german"
expect "Back on the agreement page shows the welcome page, Back disabled, Print hidden" click "$short" "$W" 3 \
  + wait "$long" "$W" 1005 visible + wait "$short" "$W" 1003 hidden + wait "$short" "$W" 3 disabled \
  + wait "$short" "$W" 4 hidden + wait "$short" "$W" 1 "text=$(rc_text IDS_NEXT)"
expect "Next again" click "$short" "$W" 1 + wait "$long" "$W" 1003 visible + wait "$short" "$W" 2 "text=$(rc_text IDS_DECLINE)"
no_other_window "no window but the wizard before Decline"
expect "Decline closes the wizard" click "$short" "$W" 2 + window "$long" "$W" gone
no_other_window "no question or message after Decline"
wizard_end
check_nothing_installed "$before"

e2e_finish
