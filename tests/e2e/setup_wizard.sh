#!/usr/bin/env bash
# A fresh installation through the wizard on a system in the given language:
#
#   setup_wizard.sh <en|de|zh_CN> <package> <stage folder> <lumaglimpse_testkit.exe>
#
# The flash page ends by its timer (after two seconds) and the page turn
# moves the wizard off the screen and back; the welcome, agreement, language,
# install and finish pages each show the buttons, step list and texts they
# should, in the system's language (the texts come from that language's
# module script); "Restart computer later." makes Finish close the wizard.
# The machine then holds what a silent installation leaves, the language's
# file group, the product key records its row, and the result log the
# wizard's two lines. Screenshots of every page: wine/e2e/shots/wizard_<language>.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wizard_lib.sh"
language=${1:-}
ZOR_E2E_LOCALE=$(wizard_locale "$language") || exit 2
[[ -n $ZOR_E2E_LOCALE ]] && export ZOR_E2E_LOCALE
source "$here/setup_lib.sh"
e2e_with_display "$@"
shift
e2e_start "wizard_$language" "$@"
wizard_language "$language"

before=$(snapshot)
wizard_start

# --- flash page, ended by its timer; the page turn --------------------------------
if out=$(kit wait "$long" "$W" 1019@1008 visible + clock + wait "$short" "$W" 1 hidden + wait "$short" "$W" 2 hidden \
    + wait "$short" "$W" 3 hidden + wait "$short" "$W" 4 hidden + wait "$short" "$W" 1020 hidden \
    + wait "$short" "$W" 1019@1008 "text=$(rc_text IDS_FLASH_THANKS)" + wait "$short" "$W" 1008@1019 text=3.0.0); then
  pass "the flash page: thanks and version shown, the frame's buttons and header hidden"
else
  fail "the flash page: $out"
  wizard_alive
fi
flash_seen=$(clock_at "$out" 1)
flash_rect=$(kit rect "$short" "$W")
import -window root -crop "$flash_rect" +repage "$shots/0-flash-$language.png" 2>/dev/null
# The page turn's first step moves the wizard off the screen.
out=$(kit window 10 "$W" off-screen + clock + track "$long" "$W" 1005 visible)
turn=$(clock_at "$out" 1)
if [[ -n $flash_seen && -n $turn ]] && ((turn - flash_seen >= 1800)); then
  pass "the flash page stayed $((turn - flash_seen)) ms (its timer: 2000 ms from its start)"
else
  fail "the flash page ended after ${turn:+$((turn - flash_seen)) ms}: $out"
fi
mapfile -t rects < <(sed -n 's/^rect: //p' <<<"$out")
if ((${#rects[@]} >= 2)) && [[ ${rects[0]} == *+3000+0 && ${rects[-1]} == "$flash_rect" ]]; then
  pass "the page turn moved the wizard off the screen and back to $flash_rect (${rects[*]})"
else
  fail "the wizard's places during the page turn: ${rects[*]:-none}"
fi

# --- the pages ------------------------------------------------------------------
welcome_page
expect "Next on the welcome page" click "$short" "$W" 1
agreement_page
expect "Accept" click "$short" "$W" 1
language_page
expect "Next on the language page" click "$short" "$W" 1
install_page
finish_page
finish_later
wizard_end

# --- what was installed ----------------------------------------------------------
after=$(snapshot)
new=$(added "$before" "$after")
check_installed_files "$new" "$lang_group"
gone=$(removed "$before" "$after")
[[ -z $gone ]] && pass "nothing was removed" || fail "removed: $gone"
check_links "$new"
check_installed_registry "$lang_row"
check_wizard_log
echo "screenshots: $shots"

e2e_finish
