# Shared part of the wizard's end-to-end tests (setup_wizard*.sh), sourced
# after setup_lib.sh; its language table also serves the silent
# installations in a system language (setup_language.sh). The tests drive
# the wizard's real windows through the test kit's window commands, which
# wait on window state; the texts each page must show come from the language
# module's own script, so a page showing another language's text fails.
#
#   wizard_language <en|de|zh_CN|zh_TW|ja|fr>   the texts and list entry to expect
#   wizard_start [arguments]           after e2e_start: run the package
#   wizard_end                         after the wizard closed: its exit code, no payload folder left
#
# Screenshots land in $shots (kept when the test passes).

lang_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../resources/lang" && pwd)

# Page changes get this long (seconds); a state check once a page is there
# gets $short.
long=${ZOR_WIZARD_WAIT:-30}
short=3

# The locale a language's run uses (before setup_lib.sh is sourced).
wizard_locale() {
  case $1 in
    en) echo "" ;;
    de) echo de_DE.UTF-8 ;;
    zh_CN) echo zh_CN.UTF-8 ;;
    zh_TW) echo zh_TW.UTF-8 ;;
    ja) echo ja_JP.UTF-8 ;;
    *) echo "wizard_locale: no locale for $1" >&2; return 1 ;;
  esac
}

# texts: the language's module script; lang_item: its entry in the language
# lists; lang_row: its row of the language table; lang_group: its file group;
# lang_id: the language id its settings file records.
wizard_language() {
  lang=$1
  case $1 in
    en) texts=$lang_dir/en.rc lang_item=English lang_row=1 lang_group=English lang_id=0x0409 ;;
    fr) texts=$lang_dir/fr.rc lang_item=Français lang_row=2 lang_group=France lang_id=0x040C ;;
    de) texts=$lang_dir/de.rc lang_item=Deutsch lang_row=3 lang_group=German lang_id=0x0407 ;;
    zh_CN) texts=$lang_dir/zh_CN_texts.rci lang_item=简体中文 lang_row=0 lang_group=China lang_id=0x0804 ;;
    zh_TW) texts=$lang_dir/zh_TW.rc lang_item=繁體中文 lang_row=5 lang_group=Tranditional lang_id=0x0404 ;;
    ja) texts=$lang_dir/ja.rc lang_item=日本の lang_row=7 lang_group=Japan lang_id=0x0411 ;;
    *) e2e_die "no such wizard language: $1" ;;
  esac
  W=$(rc_text TXT_WIZARD_CAPTION)
}

# rc_text NAME: string NAME (IDS_...) or text macro NAME (TXT_...) as the
# language's script writes it, rc escapes undone.
rc_text() {
  local line
  line=$(grep -m1 -E "^[[:space:]]*(#define[[:space:]]+)?$1[[:space:]]+\"" "$texts") || e2e_die "no $1 in $texts"
  line=${line#*\"}
  line=${line%\"*}
  line=${line//\"\"/\"}
  printf '%s' "${line//\\\\/\\}"
}

kit() { win "$testkit" "$@"; }

# expect WHAT KIT-COMMANDS...: passes when every chained kit command
# succeeds; otherwise fails with the kit's account of what it saw. When the
# wizard has gone, the test ends there: every later step would only wait.
expect() {
  local what=$1 out
  shift
  if out=$(kit "$@"); then
    pass "$what"
    return 0
  fi
  fail "$what: $out"
  wizard_alive
  return 1
}

# Ends the test when the wizard is not on the screen (any more).
wizard_alive() {
  kit window 0 "$W" shown >/dev/null && return 0
  fail "no wizard window \"$W\"; windows shown: $(kit windows | tr '\n' ';')"
  e2e_finish
}

wizard_start() {
  shots=$(dirname "$WINEPREFIX")/shots/$e2e_name
  rm -rf "$shots"
  mkdir -p "$shots"
  setup_rc=$WINEPREFIX.setup-rc
  # Xvfb has no window manager to draw the frames and captions: Wine draws
  # them itself, so that the screenshots show the windows whole.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  start_bg "$setup_rc" "$package" "$@"
}

# The wizard has closed: waits for what the setup started, then checks that
# the program ended with exit code 0 and took its payload folders (the
# language modules it loaded freed first) with it.
wizard_end() {
  settle
  local rc
  rc=$(cat "$setup_rc" 2>/dev/null)
  [[ $rc == 0 ]] && pass "the setup program ended with exit code 0" || fail "the setup program's exit code: ${rc:-none}"
  rm -f "$setup_rc"
  check_no_payload_folder "after the wizard"
}

# shot NAME: the wizard's window, once painted, as $shots/NAME.png.
shot() {
  local geom
  if ! geom=$(kit window "$long" "$W" on-screen + paint "$short" "$W" + rect "$short" "$W"); then
    fail "no screenshot $1: $geom"
    wizard_alive
    return
  fi
  import -window root -crop "$geom" +repage "$shots/$1.png" 2>/dev/null || fail "could not photograph $1"
}

# Kit arguments checking the step list: rows up to $1 enabled, the rest
# disabled (row n: label 1007 + n beside icon 1013 + n).
steps_at() {
  local n=$1 row state
  for row in 1 2 3 4 5; do
    state=disabled
    ((row <= n)) && state=enabled
    printf '%s\n' + wait "$short" "$W" "$((1007 + row))@$((1013 + row))" "$state"
  done
}

# shows WHAT TEXT...: each text is on a shown control of the wizard.
shows() {
  local what=$1 tree text missing=()
  shift
  tree=$(kit tree "$W")
  for text in "$@"; do
    grep -qF -- "\"$text\" visible" <<<"$tree" || missing+=("\"$text\"")
  done
  ((${#missing[@]} == 0)) && pass "$what" || fail "$what; not shown: ${missing[*]}"
}

# --- the pages, in order ------------------------------------------------------
# Each waits for its page, checks the frame's buttons and the step list as
# the page sets them and the texts it shows, and photographs it as
# <n>-<page>-<language>.png.

flash_page() {
  expect "the flash page is shown, the frame's buttons and header hidden" \
    wait "$long" "$W" 1019@1008 visible + wait "$short" "$W" 1 hidden + wait "$short" "$W" 2 hidden \
    + wait "$short" "$W" 3 hidden + wait "$short" "$W" 4 hidden + wait "$short" "$W" 1020 hidden
}

flash_texts() {
  expect "the flash page thanks the user and shows the product version" \
    wait "$short" "$W" 1019@1008 "text=$(rc_text IDS_FLASH_THANKS)" + wait "$short" "$W" 1008@1019 text=3.0.0
}

welcome_page() {
  local next cancel
  next=$(rc_text IDS_NEXT) cancel=$(rc_text IDS_CANCEL)
  mapfile -t steps < <(steps_at 1)
  expect "welcome page: Back disabled, Print hidden, \"$next\" focused, \"$cancel\", step 1" \
    wait "$long" "$W" 1005 "text=$(rc_text TXT_WELCOME_TITLE)" + wait "$short" "$W" 1005 visible \
    + window "$long" "$W" on-screen + wait "$short" "$W" 3 disabled + wait "$short" "$W" 3 visible \
    + wait "$short" "$W" 4 hidden + wait "$short" "$W" 1 "text=$next" + wait "$short" "$W" 1 focused \
    + wait "$short" "$W" 2 "text=$cancel" + wait "$short" "$W" 1020 visible "${steps[@]}"
  shows "welcome page texts" "$(rc_text TXT_WELCOME_TITLE)" "$(rc_text TXT_WELCOME_TEXT)" "$(rc_text TXT_BACK)" \
    "$(rc_text TXT_STEP1)" "$(rc_text TXT_STEP2)" "$(rc_text TXT_STEP3)" "$(rc_text TXT_STEP4)" "$(rc_text TXT_STEP5)"
  shot 1-welcome-$lang
}

agreement_page() {
  local accept decline
  accept=$(rc_text IDS_ACCEPT) decline=$(rc_text IDS_DECLINE)
  mapfile -t steps < <(steps_at 2)
  expect "agreement page: Next reads \"$accept\", Cancel \"$decline\", Print shown, Back enabled, step 2" \
    wait "$long" "$W" 1003 visible + wait "$short" "$W" 1 "text=$accept" + wait "$short" "$W" 1 focused \
    + wait "$short" "$W" 2 "text=$decline" + wait "$short" "$W" 4 visible + wait "$short" "$W" 4 enabled \
    + wait "$short" "$W" 3 enabled + wait "$short" "$W" 1005 hidden "${steps[@]}"
  expect "the agreement text is there, its list on \"$lang_item\"" \
    wait "$short" "$W" 1003 not-text= + wait "$short" "$W" 1007 "selected=$lang_item"
  shows "agreement page texts" "$(rc_text TXT_AGREEMENT_NOTE)" "$(rc_text TXT_PRINT)"
  shot 2-agreement-$lang
}

language_page() {
  local next cancel
  next=$(rc_text IDS_NEXT) cancel=$(rc_text IDS_CANCEL)
  mapfile -t steps < <(steps_at 3)
  expect "language page: Print hidden, \"$next\", \"$cancel\", step 3" \
    wait "$long" "$W" 1000 visible + wait "$short" "$W" 1003 hidden + wait "$short" "$W" 4 hidden \
    + wait "$short" "$W" 1 "text=$next" + wait "$short" "$W" 2 "text=$cancel" + wait "$short" "$W" 3 enabled "${steps[@]}"
  expect "language page: \"$lang_item\" preselected, the default folder $install_win" \
    wait "$short" "$W" 1008@1000 "selected=$lang_item" + wait "$short" "$W" 1005@1000 "text=$install_win"
  shows "language page texts" "$(rc_text TXT_SELLANG_LANGUAGE)" "$(rc_text TXT_SELLANG_FOLDER)" \
    "$(rc_text TXT_SELLANG_BROWSE)"
  shot 3-language-$lang
}

# The installation runs inside one timer event and may be over before a
# script looks; the page is photographed when it is still there.
install_page() {
  if kit wait "$long" "$W" 1013@1002 visible >/dev/null; then
    import -window root -crop "$(kit rect "$short" "$W")" +repage "$shots/4-install-$lang.png" 2>/dev/null
  fi
}

finish_page() {
  local finish
  finish=$(rc_text IDS_FINISH)
  mapfile -t steps < <(steps_at 5)
  expect "finish page: Next reads \"$finish\" and is enabled, Back and Cancel hidden, restart now checked, all steps done" \
    wait 120 "$W" 1 "text=$finish" + wait "$short" "$W" 1 enabled + wait "$short" "$W" 2 hidden \
    + wait "$short" "$W" 3 hidden + wait "$short" "$W" 1004@1005 visible + wait "$short" "$W" 1004@1005 checked \
    + wait "$short" "$W" 1005@1004 unchecked + wait "$short" "$W" 1013@1002 hidden "${steps[@]}"
  shows "finish page texts" "$(rc_text TXT_FINISH_DONE)" "$(rc_text TXT_FINISH_RESTART_NOW)" \
    "$(rc_text TXT_FINISH_RESTART_LATER)"
  shot 5-finish-$lang
}

# "Restart computer later.", then Finish: the wizard closes.
finish_later() {
  expect "\"Restart computer later.\" checked, Finish closes the wizard" \
    check "$short" "$W" 1005@1004 + wait "$short" "$W" 1004@1005 unchecked + click "$short" "$W" 1 \
    + window "$long" "$W" gone
}

# The result log of an installation through the wizard.
check_wizard_log() {
  local lines
  lines=$(log_lines)
  [[ $lines == $'[ResponseResult] [CRLF]\nResultCode = 0 [CRLF]' ]] &&
    pass "the result log holds the two lines of an installation through the wizard" || fail "result log: ${lines:-none}"
}

# Milliseconds from the kit's output: the n-th "clock:" line.
clock_at() { sed -n 's/^clock: //p' <<<"$1" | sed -n "${2}p"; }

# The flash page, ended by a click as soon as it is seen: the page turn,
# whose first step moves the wizard off the screen, must begin well before
# the flash page's two-second timer could end it (the renderer is there).
flash_clicked() {
  local out shown turn
  out=$(kit wait "$long" "$W" 1019@1008 visible + clock + mouse-click "$short" "$W" 0 20 20 \
    + window 10 "$W" off-screen + clock)
  shown=$(clock_at "$out" 1) turn=$(clock_at "$out" 2)
  if [[ -n $shown && -n $turn ]] && ((turn - shown < 1500)); then
    pass "a click ended the flash page: the page turn began $((turn - shown)) ms after it was seen"
  else
    fail "the flash page after a click: $out"
  fi
}

# After a run that installed nothing (declined, cancelled): the files added
# since the snapshot $1 are at most what start-up leaves in any case, and no
# key of an installation exists.
check_nothing_installed() {
  local new extra
  new=$(added "$1" "$(snapshot)")
  extra=$(LC_ALL=C comm -23 <(echo "$new") <(startup_lines | LC_ALL=C sort))
  [[ -z $extra ]] && pass "nothing was installed (files added: $(grep -c . <<<"$new"), all of start-up's)" ||
    fail "files added: $extra"
  [[ ! -e $drive/Program\ Files/Tarvex ]] && pass "no install folder" || fail "the install folder exists"
  check_no_install_keys
}

# No window but the wizard's: no message box came with it.
no_other_window() {
  local others
  others=$(kit windows | grep -vF "\"$W\"" | grep -v '^[^ ]* "" ' | grep -v -i 'desktop')
  [[ -z $others ]] && pass "$1" || fail "$1; other windows: $others"
}
