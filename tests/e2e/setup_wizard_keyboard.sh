#!/usr/bin/env bash
# An installation through the wizard with the keyboard alone:
#
#   setup_wizard_keyboard.sh <package> <stage folder> <lumaglimpse_testkit.exe>
#
# Enter on the welcome page, Alt+A (Accept) on the agreement page; on the
# language page Tab reaches the language list and the down arrow picks the
# row after English, Français; Alt+N starts the installation, which then runs
# in French: the finish page comes from the French module. There Tab reaches
# the restart choice, the down arrow checks "restart later", and Enter
# finishes without a restart. The French file group is installed and the
# product key records row 2.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wizard_lib.sh"
source "$here/setup_lib.sh"
e2e_with_display "$@"
e2e_start wizard_keyboard "$@"
wizard_language en

# tab_to CONTROL: Tab until CONTROL has the focus (at most 12 times).
tab_to() {
  local n
  for ((n = 0; n < 12; n++)); do
    kit wait 0 "$W" "$1" focused >/dev/null && { pass "Tab reached control $1 after $n presses"; return 0; }
    kit send-keys "$short" "$W" tab + wait 1 "$W" "$1" focused >/dev/null && {
      pass "Tab reached control $1 after $((n + 1)) presses"
      return 0
    }
  done
  fail "12 Tab presses never reached control $1: $(kit tree "$W")"
  return 1
}

before=$(snapshot)
wizard_start
flash_page
welcome_page
# Before the kit types anything (send-keys brings its window forward): the
# user can type at once, without a click.
expect "the wizard has the keyboard from the start" window "$short" "$W" foreground
expect "Enter on the welcome page" send-keys "$short" "$W" enter + wait "$long" "$W" 1003 visible
agreement_page
expect "Alt+A accepts" send-keys "$short" "$W" alt+a + wait "$long" "$W" 1000 visible
language_page
if tab_to 1008@1000; then
  expect "the down arrow picks Français" send-keys "$short" "$W" down + wait "$short" "$W" 1008@1000 selected=Français
fi
shot 3-language-keyboard
expect "Alt+N starts the installation" send-keys "$short" "$W" alt+n + wait "$long" "$W" 1000 hidden

# From here the pages come from the French module; the frame's caption stays.
caption=$W
wizard_language fr
W=$caption
finish_page
if tab_to 1004@1005; then
  expect "the down arrow checks \"restart later\"" send-keys "$short" "$W" down + wait "$short" "$W" 1005@1004 checked \
    + wait "$short" "$W" 1004@1005 unchecked
fi
expect "Enter finishes and closes the wizard" send-keys "$short" "$W" enter + window "$long" "$W" gone
wizard_end

new=$(added "$before" "$(snapshot)")
check_installed_files "$new" "$lang_group"
check_links "$new"
check_installed_registry "$lang_row"
check_wizard_log

e2e_finish
