#!/usr/bin/env bash
# A second copy of the setup started while the first one runs ends at once
# and leaves no trace: no file touched, no result line, no registry entry.
# Once the first has ended, the next copy runs normally.
#
#   setup_second_copy.sh <package> <stage folder> <lumaglimpse_testkit.exe>
#
# The first copy is held in place by a message box: it runs a damaged
# package, whose message 104 waits for an answer before the failure lines
# are written.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/setup_lib.sh"
e2e_with_display "$@"
e2e_start second_copy "$@"

damaged=$WINEPREFIX/LumaglimpseSetup-damaged.exe
head -c $(($(stat -c %s "$package") - 40)) "$package" >"$damaged"

start_bg "$WINEPREFIX/first.rc" "$damaged" -s
win "$testkit" press "$caption" 60 0 >/dev/null || e2e_die "the first copy shows no message"

before=$(snapshot_full)
SECONDS=0
timeout 120 wine "$package" -s >/dev/null 2>&1
rc=$?
took=$SECONDS
[[ $rc -ne 124 ]] && pass "the second copy ended by itself (${took} s)" || fail "the second copy was still running after 120 s"
after=$(snapshot_full)
if [[ $before == "$after" ]]; then
  pass "the second copy wrote, changed and removed no file (temp folders included)"
else
  fail "the second copy changed files:"
  diff <(echo "$before") <(echo "$after") | head -20 >&2
fi
[[ ! -e $result_log ]] && pass "no result line" || fail "result log: $(log_lines)"
if reg_key_exists "$uninstall_key" 32 || reg_key_exists "$product_key" 32 || reg_key_exists "$service_key" 64; then
  fail "registry entries were written"
else
  pass "no registry entries"
fi

# The first copy goes on once its message is answered.
win "$testkit" press "$caption" 30 1 >/dev/null || fail "the first copy's message box is gone"
wait
settle
lines=$(log_lines)
[[ $lines == $'[ResponseResult] [CRLF]\nResultCode = -1 [CRLF]' ]] &&
  pass "the result log holds only the first copy's two failure lines" || fail "result log: ${lines:-none}"

# Its guard went with it.
run_setup "$package" -s
lines=$(log_lines)
[[ $(tail -n 2 <<<"$lines") == $'[ResponseResult] [CRLF]\nResultCode=0 [CRLF]' && -f $install/Lumaglimpse.exe ]] &&
  pass "a copy started after the first has ended installs" || fail "the next copy did not install: ${lines:-no result log}"

e2e_finish
