# Shared part of the setup's end-to-end tests under Wine (64-bit build).
# A test script sources this file and calls
#
#   e2e_start <test name> <package> <stage folder> <lumaglimpse_testkit.exe>
#
# which gives the test a Wine prefix of its own: a copy of the template
# prefix that the CTest fixture made (ZOR_E2E_TEMPLATE, see template_prefix.sh)
# in ZOR_E2E_PREFIXES/<test name>. The copy is removed when the test passes
# and kept for a look when it fails. One wineserver serves the whole test;
# `settle` waits until every program the setup started has ended.
#
# Paths: $drive (the prefix's C:), $install (the install folder), $system,
# $drivers, $windows, $programs, $desktop, $appdata, $common_data, $quick.

e2e_die() { echo "$e2e_name: $*" >&2; exit 2; }

# e2e_with_display and e2e_locale.
source "$(dirname "${BASH_SOURCE[0]}")/../wine/session.sh"

# ZOR_E2E_LOCALE: the locale Wine's programs start with, which gives the
# system language they see (the shell's own stays as it is).
if [[ -n ${ZOR_E2E_LOCALE:-} ]]; then
  wine() { env LC_ALL="$ZOR_E2E_LOCALE" wine "$@"; }
  wineserver() { env LC_ALL="$ZOR_E2E_LOCALE" wineserver "$@"; }
fi

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
# check WHAT COMMAND...: passes or fails WHAT by the command's status.
check() {
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

e2e_finish() {
  if ((failures > 0)); then
    echo "$e2e_name: $failures check(s) failed; the prefix stays in $WINEPREFIX" >&2
    exit 1
  fi
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  rm -rf "$WINEPREFIX"
  echo "$e2e_name: all checks passed"
  exit 0
}

e2e_start() {
  e2e_name=$1
  shift
  [[ $# -eq 3 && -f $1 && -d $2 && -f $3 ]] || e2e_die "usage: $0 <package> <stage folder> <lumaglimpse_testkit.exe>"
  package=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
  stage=$(cd "$2" && pwd)
  testkit=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
  command -v wine >/dev/null || e2e_die "wine is not installed"
  local template=${ZOR_E2E_TEMPLATE:-}
  [[ -n $template && -f $template/.zor-ready ]] || e2e_die "no template prefix (ZOR_E2E_TEMPLATE='$template'); run the e2e fixture first"
  local prefixes=${ZOR_E2E_PREFIXES:-$(dirname "$template")/e2e}
  [[ -n ${ZOR_E2E_LOCALE:-} ]] && e2e_locale "$ZOR_E2E_LOCALE" "$prefixes/locales"

  source "$(dirname "${BASH_SOURCE[0]}")/../wine/env.sh"
  zor_wine_env "$prefixes/$e2e_name"

  # A server of an earlier, interrupted run of this test would hold the old
  # copy's files.
  if [[ -d $WINEPREFIX ]]; then
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
  fi
  rm -rf "$WINEPREFIX"
  mkdir -p "$prefixes"
  # A whole copy: the setup writes libraries into the system folder, and
  # shared (linked) files would carry that into the template.
  cp -a "$template" "$WINEPREFIX" || e2e_die "cannot copy the template prefix"

  # One server for the test: each Wine start would otherwise start one anew.
  # Its helper processes start on /dev/null so that they never hold the
  # output a test captures.
  wineserver -p
  trap 'wineserver -k >/dev/null 2>&1' EXIT
  wine cmd /c exit </dev/null >/dev/null 2>&1
  # That first start in the test's locale gave the fonts Wine's links again.
  if [[ -n ${ZOR_E2E_LOCALE:-} ]]; then zor_link_cjk_font || e2e_die "cannot link the CJK font in $WINEPREFIX"; fi

  drive=$WINEPREFIX/drive_c
  install_win='C:\Program Files\Tarvex\Lumaglimpse\'
  install=$drive/'Program Files/Tarvex/Lumaglimpse'
  windows=$drive/windows
  system=$windows/system32
  drivers=$system/drivers
  result_log=$drive/Lumaglimpse.log
  local folders
  mapfile -t folders < <(win "$testkit" folders 23 25 26 35)
  [[ ${#folders[@]} -eq 4 ]] || e2e_die "shell folders not found: ${folders[*]}"
  programs=$(unix_path "${folders[0]}")
  desktop=$(unix_path "${folders[1]}")
  appdata=$(unix_path "${folders[2]}")
  common_data=$(unix_path "${folders[3]}")
  quick=$appdata/'Microsoft/Internet Explorer/Quick Launch'
  [[ -d $quick ]] || e2e_die "the template has no quick-launch folder"
}

# Runs a Windows program; its output as Unix text.
# Through a file, not a pipe: Wine starts its desktop process from whichever
# program first makes a window, and that process, living on, would hold a
# pipe open and the reader waiting for its end.
win() {
  local out rc
  out=$(mktemp)
  wine "$@" >"$out" 2>&1
  rc=$?
  tr -d '\r' <"$out"
  rm -f "$out"
  return "$rc"
}

# C:\x\y -> <prefix>/drive_c/x/y (every folder the tests look at lies on C:).
unix_path() {
  local rest=${1#[Cc]:\\}
  echo "$drive/${rest//\\//}"
}

# Waits until every program started in the prefix (the setup's detached
# regsvr32, the uninstaller's helper copy) has ended.
settle() {
  win "$testkit" wait-idle "${1:-60}" || fail "programs still running after ${1:-60} s"
}

# Runs the package (extra arguments follow it) and waits for what it started.
run_setup() {
  local exe=$1
  shift
  win "$exe" "$@" >/dev/null
  settle
}

# Every file and folder of the prefix's C: ("d path" / "f path"), without
# the temp folders, which Wine uses (check_no_payload_folder looks at what
# the setup leaves there).
snapshot() {
  (cd "$drive" && find . -mindepth 1 \( -path './users/*/Temp' -o -path './users/*/AppData/Local/Temp' \
      -o -path ./windows/temp \) -prune -o -printf '%y %P\n' | LC_ALL=C sort)
}

# Lines of the second snapshot that the first lacks.
added() { LC_ALL=C comm -13 <(echo "$1") <(echo "$2"); }
removed() { LC_ALL=C comm -23 <(echo "$1") <(echo "$2"); }

# The values of a registry key as "name|type|data" lines; view 32 or 64.
reg_values() {
  local key=$1 view=$2
  wine reg query "$key" "/reg:$view" 2>/dev/null | tr -d '\r' |
    LC_ALL=C sed -n 's/^    \(.*\)    \(REG_[A-Z_]*\)    \(.*\)$/\1|\2|\3/p; s/^    \(.*\)    \(REG_[A-Z_]*\)$/\1|\2|/p' | LC_ALL=C sort
}

reg_key_exists() { wine reg query "$1" "/reg:$2" >/dev/null 2>&1; }

# Compares a key's values with the expected "name|type|data" lines.
expect_values() {
  local key=$1 view=$2 want got
  want=$(printf '%s\n' "${@:3}" | LC_ALL=C sort)
  got=$(reg_values "$key" "$view")
  if [[ $got == "$want" ]]; then
    pass "HKLM\\${key#HKLM\\} ($view-bit view) holds exactly its values"
  else
    fail "HKLM\\${key#HKLM\\} ($view-bit view): got / want"
    diff <(echo "$got") <(echo "$want") >&2
  fi
}

# The result log's lines, CR LF line ends shown as they are.
log_lines() { [[ -f $result_log ]] && cat -A "$result_log" | sed 's/\^M\$$/ [CRLF]/'; }

# The damaged package's message: caption string 102 and text string 104 of
# the English language module (the tests' system language is English).
caption='Install Tarvex Lumaglimpse'
message_104='Your installation package is damaged. Please get the correct installation package, then try again.'

# Keys the setup and the COM registration write.
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumaglimpse3.0'
product_key='HKLM\Software\Tarvex\Lumaglimpse'
service_key='HKLM\System\CurrentControlSet\Services\vcapfx'
clsid='{DC920F00-EFF4-48B0-8A57-EC3399338E78}'
clsid_key="HKLM\\Software\\Classes\\CLSID\\$clsid"

# Start-up writes the renderer libraries and the language modules into a
# folder of its own for each in the temp folder ("LumaglimpseRenderer.<n>",
# "LumaglimpseLanguages.<n>") and removes both when it ends; nothing of them
# goes to the system folder or straight into the temp folder.
renderer_files=(DevIL.dll ILU.dll ILUT.dll Orbiscene.dll d3dx9_35.dll)
language_files=(Install.dll InstallEn.dll InstallFr.dll InstallKo.dll InstallRu.dll InstallTr.dll InstallGe.dll
  InstallJap.dll InstallIta.dll InstallSpa.dll InstallPtg.dll InstallCzech.dll InstallDanish.dll InstallDutch.dll
  InstallFinnish.dll InstallGreek.dll InstallHungarian.dll InstallNorwegian.dll InstallPolish.dll InstallPT-BR.dll
  InstallSwedish.dll InstallTurkish.dll)
# Files a test put into the temp folder itself (paths below $drive), which
# the setup must leave there untouched.
planted_modules=()

# The prefix's temp folders (the user's and Windows'), one a line.
temp_folders() {
  (cd "$drive" && find . -maxdepth 4 -type d \( -path './users/*/Temp' -o -path './users/*/AppData/Local/Temp' \
      -o -path ./windows/temp \) -printf '%P\n') 2>/dev/null | LC_ALL=C sort
}

# The setup's payload folders in the prefix's temp folders, one a line.
payload_folders() {
  local t
  temp_folders | while IFS= read -r t; do
    (cd "$drive" && find "$t" -maxdepth 1 \( -name 'LumaglimpseRenderer.*' -o -name 'LumaglimpseLanguages.*' \))
  done | LC_ALL=C sort
}

# Files of a language module's name straight in a temp folder, one a line.
temp_modules() {
  local t name
  temp_folders | while IFS= read -r t; do
    for name in "${language_files[@]}"; do
      [[ -e $drive/$t/$name ]] && echo "$t/$name"
    done
  done | LC_ALL=C sort
}

# Passes when no run has left a payload folder behind and no language
# module lies in a temp folder but the planted ones.
check_no_payload_folder() {
  local left modules
  left=$(payload_folders)
  [[ -z $left ]] && pass "${1:+$1: }the renderer's and the language modules' folders are gone" ||
    fail "${1:+$1: }payload folders left: $left"
  modules=$(temp_modules | grep -vxF -f <(printf '%s\n' "${planted_modules[@]}" ""))
  [[ -z $modules ]] && pass "${1:+$1: }no language module in the temp folder" ||
    fail "${1:+$1: }language modules in the temp folder: $modules"
}

# Runs the package with the loader's trace on and checks that the renderer
# and its four libraries were loaded from one "LumaglimpseRenderer.<n>"
# folder in the temp folder, and every language module from a
# "LumaglimpseLanguages.<n>" folder (at least one of them). Arguments follow
# the package.
run_setup_tracing_renderer() {
  local exe=$1 trace
  shift
  trace=$(mktemp)
  WINEDEBUG=+loaddll wine "$exe" "$@" >/dev/null 2>"$trace"
  settle
  local name line bad=()
  for name in "${renderer_files[@]}"; do
    line=$(grep -F 'Loaded L"' "$trace" | grep -iF "\\$name\"" | head -1)
    grep -qiE 'Temp\\\\LumaglimpseRenderer\.[0-9]+\\\\' <<<"$line" || bad+=("$name: ${line:-not loaded}")
  done
  if ((${#bad[@]} == 0)); then
    pass "the renderer and its four libraries were loaded from the setup's own folder"
  else
    fail "renderer libraries: $(printf '%s; ' "${bad[@]}")"
    # What Wine said besides the loads: why the program may not have run.
    grep -vF 'Loaded L"' "$trace" | head -20 >&2
  fi
  local modules
  modules=$(grep -F 'Loaded L"' "$trace" | grep -iE '\\\\Install[A-Za-z-]*\.dll"')
  if [[ -n $modules ]] && ! grep -viqE 'Temp\\\\LumaglimpseLanguages\.[0-9]+\\\\Install' <<<"$modules"; then
    pass "the language module was loaded from the setup's own folder"
  else
    fail "language modules loaded: ${modules:-none}"
  fi
  rm -f "$trace"
}

# The files a silent installation adds to a machine without the product,
# as snapshot lines, the shortcuts left out (their names are translated; see
# check_links).
expected_install() {
  local common_rel=${common_data#$drive/} name
  {
    echo "f Lumaglimpse.log"
    echo "d Program Files/Tarvex"
    echo "d Program Files/Tarvex/Lumaglimpse"
    # The settings file moves out of "gui"; the emptied folder stays.
    echo "d Program Files/Tarvex/Lumaglimpse/gui"
    for name in "$stage"/Common/*; do echo "f Program Files/Tarvex/Lumaglimpse/$(basename "$name")"; done
    echo "f windows/system32/Vizorel.dll"
    echo "f windows/system32/drivers/vcapfx.sys"
    for name in StreamAid.dll msvcr80.dll Microsoft.VC80.CRT.manifest; do echo "f windows/$name"; done
    echo "d $common_rel/Lumaglimpse"
    echo "f $common_rel/Lumaglimpse/main.ini"
    echo "d ${programs#$drive/}/Tarvex Lumaglimpse"
  } | LC_ALL=C sort
}

# Snapshot lines of shortcut files.
link_lines() { grep -E '^f .*\.lnk$' <<<"$1"; }

# Checks the five shortcuts among the added snapshot lines: three in the
# start menu's "Tarvex Lumaglimpse" folder (program, help file, uninstaller),
# one on the common desktop and one in the quick-launch bar, each pointing
# into the install folder. With names given (start menu, desktop, quick
# launch), their file names too.
check_links() {
  local lines=$1
  shift
  local links programs_rel=${programs#$drive/}
  links=$(link_lines "$lines" | cut -c3-)
  local menu desk ql
  menu=$(grep -F "$programs_rel/Tarvex Lumaglimpse/" <<<"$links")
  desk=$(grep -F "${desktop#$drive/}/" <<<"$links")
  ql=$(grep -F "${quick#$drive/}/" <<<"$links")
  if [[ $(grep -c . <<<"$links") -eq 5 && $(grep -c . <<<"$menu") -eq 3 && $(grep -c . <<<"$desk") -eq 1 &&
        $(grep -c . <<<"$ql") -eq 1 ]]; then
    pass "five shortcuts: three in the start menu folder, one on the desktop, one in the quick-launch bar"
  else
    fail "shortcuts made: ${links:-none}"
    return
  fi
  if (($# == 3)); then
    local want_menu got_menu
    want_menu=$(tr ',' '\n' <<<"$1" | sed "s|^|$programs_rel/Tarvex Lumaglimpse/|" | LC_ALL=C sort)
    got_menu=$(LC_ALL=C sort <<<"$menu")
    [[ $got_menu == "$want_menu" && $desk == "${desktop#$drive/}/$2" && $ql == "${quick#$drive/}/$3" ]] &&
      pass "the shortcuts' names: $1; $2; $3" || fail "shortcut names: $(tr '\n' ';' <<<"$links")"
  fi
  # Where each points, as the shell reads it back.
  local path targets=() target
  while IFS= read -r path; do
    target=$(win "$testkit" target "C:\\${path//\//\\}")
    targets+=("$(basename "$(dirname "$path")")/$(basename "$path") -> $target")
  done <<<"$links"
  local got want
  got=$(for t in "${targets[@]}"; do echo "${t##* -> }"; done | LC_ALL=C sort)
  want=$(printf '%s\n' "${install_win}Lumaglimpse.exe" "${install_win}Lumaglimpse.exe" "${install_win}Lumaglimpse.exe" \
    "${install_win}Lumaglimpse.CHM" "${install_win}Uninstall.exe" | LC_ALL=C sort)
  [[ $got == "$want" ]] && pass "the shortcuts point to the program (3), the help file and the uninstaller" ||
    fail "shortcut targets: $(printf '%s; ' "${targets[@]}")"
  local d q
  d=$(win "$testkit" target "$(win_path "$desktop")\\$(basename "$desk")")
  q=$(win "$testkit" target "$(win_path "$quick")\\$(basename "$ql")")
  [[ $d == "${install_win}Lumaglimpse.exe" && $q == "${install_win}Lumaglimpse.exe" ]] &&
    pass "the desktop and quick-launch shortcuts start the program" || fail "desktop -> $d, quick launch -> $q"
}

# <prefix>/drive_c/x/y -> C:\x\y
win_path() {
  local rest=${1#$drive/}
  echo "C:\\${rest//\//\\}"
}

# The project index's place in a package, from the file table at its end:
# prints "<offset> <packed size>".
index_stream() {
  local file=$1 size count nbytes at
  size=$(stat -c %s "$file")
  # From the end: signature (22), version (8), count (4), then entry 0's
  # name length (4) and name, packed size, expanded size, offset.
  count=$(od -An -t u4 -j $((size - 34)) -N 4 "$file" | tr -d ' ')
  [[ $count == 1 ]] || return 1
  nbytes=$(od -An -t u4 -j $((size - 38)) -N 4 "$file" | tr -d ' ')
  at=$((size - 38 - nbytes))
  echo "$(od -An -t u4 -j $((at - 12)) -N 4 "$file" | tr -d ' ') $(od -An -t u4 -j $((at - 4)) -N 4 "$file" | tr -d ' ')"
}

# Starts a program in the background; its exit code lands in $1.rc.
start_bg() {
  local rcfile=$1
  shift
  rm -f "$rcfile"
  (wine "$@" >/dev/null 2>&1; echo $? >"$rcfile") &
}

# Every file and folder of C:, temp folders included, with size and change
# time: for runs that must leave no trace at all.
snapshot_full() { (cd "$drive" && find . -mindepth 1 -printf '%y %P %s %C@\n' | LC_ALL=C sort); }

# The files a run's start-up leaves in any case outside the temp folders:
# the result log.
startup_lines() {
  echo "f Lumaglimpse.log"
}

# Checks the files a fresh installation added (snapshot lines $1; the
# shortcuts are check_links' part): exactly the expected ones, each with the
# bytes of the staged file it comes from, the machine-wide settings file from
# the language group $2 (English, German, ...).
check_installed_files() {
  local new=$1 group=$2 got want f all_same=1
  got=$(grep -vE '^f .*\.lnk$' <<<"$new")
  want=$(expected_install)
  if [[ $got == "$want" ]]; then
    pass "the installation added exactly the expected files and folders ($(grep -c . <<<"$new") with the shortcuts)"
  else
    fail "files added (< got, > want):"
    diff <(echo "$got") <(echo "$want") >&2
  fi
  [[ ! -e $install/gui/main.ini ]] && pass "no gui\\main.ini is left in the install folder" ||
    fail "gui\\main.ini is still in the install folder"
  same() {  # same <installed file> <staged file>
    cmp -s "$1" "$2" || { echo "differs from the stage: ${1#$drive/}" >&2; return 1; }
  }
  for f in "$stage"/Common/*; do same "$install/$(basename "$f")" "$f" || all_same=0; done
  for f in StreamAid.dll msvcr80.dll Microsoft.VC80.CRT.manifest; do same "$windows/$f" "$stage/Common/$f" || all_same=0; done
  same "$system/Vizorel.dll" "$stage/System/Vizorel.dll" || all_same=0
  same "$common_data/Lumaglimpse/main.ini" "$stage/$group/gui/main.ini" || all_same=0
  ((all_same)) && pass "installed files, runtime copies, Vizorel.dll and the $group main.ini have the staged bytes" ||
    fail "some installed files differ from the stage"
  check "the drivers folder has the 64-bit driver build as vcapfx.sys" same "$drivers/vcapfx.sys" "$stage/Common/vcapfx.x64"
}

# Checks the keys an installation into the default folder wrote, the product
# key recording language table row $1.
check_installed_registry() {
  local dir=$install_win server
  expect_values "$uninstall_key" 32 "DisplayName|REG_SZ|Lumaglimpse" "UninstallString|REG_SZ|${dir}Uninstall.exe" \
    "Publisher|REG_SZ|Tarvex"
  expect_values "$product_key" 32 "Name|REG_SZ|Lumaglimpse" "Version|REG_SZ|3.0.0" \
    "InstallPath|REG_SZ|${dir}Lumaglimpse.exe" "InstallDir|REG_SZ|$dir" "company|REG_SZ|Orvantel" \
    "Lang|REG_DWORD|$(printf '0x%x' "$1")"
  expect_values "$service_key" 64 "Start|REG_DWORD|0x1" "Type|REG_DWORD|0x1" "ErrorControl|REG_DWORD|0x0" \
    "Group|REG_SZ|Extended base"
  # A 32-bit setup writes the keys under SOFTWARE to the 32-bit view only.
  ! reg_key_exists "$uninstall_key" 64 && ! reg_key_exists "$product_key" 64 &&
    pass "no uninstall entry or product key in the 64-bit view" || fail "uninstall entry or product key in the 64-bit view"
  # The COM registration that the setup left to regsvr32; "reg" names the
  # default value in the system language ("(Default)", "(默认)").
  server=$(reg_values "$clsid_key\\InprocServer32" 64)
  LC_ALL=C grep -qix '([^)|]*)|REG_SZ|C:\\windows\\system32\\Vizorel.dll' <<<"$server" &&
    grep -q '^ThreadingModel|REG_SZ|Both$' <<<"$server" &&
    pass "Vizorel's class is registered with its server in the system folder" || fail "Vizorel's class registration: $server"
  check "Vizorel's ProgID is registered" reg_key_exists 'HKLM\Software\Classes\Vizorel.FrameSource' 64
}

# None of the keys an installation writes exists.
check_no_install_keys() {
  local key view left=()
  for key in "$uninstall_key 32" "$product_key 32" "$service_key 64" "$clsid_key 64"; do
    view=${key##* }
    reg_key_exists "${key% *}" "$view" && left+=("${key% *} ($view-bit)")
  done
  ((${#left[@]} == 0)) && pass "no uninstall entry, product key, service key or COM class" || fail "keys present: ${left[*]}"
}

# After an uninstallation: of what the machine gained since snapshot $1,
# snapshot $2 keeps only what start-up leaves in any case; nothing of the
# machine's own went, and no key of the product, its service or its
# component is left in either registry view.
check_uninstalled() {
  local before=$1 after=$2 left want gone
  left=$(added "$before" "$after")
  want=$(startup_lines | LC_ALL=C sort)
  if [[ $left == "$want" ]]; then
    pass "only the setup's start-up files and the result log are left"
  else
    fail "left after uninstalling (< left, > expected):"
    diff <(echo "$left") <(echo "$want") >&2
  fi
  gone=$(removed "$before" "$after")
  [[ -z $gone ]] && pass "nothing of the machine's own was removed" || fail "removed: $gone"
  local keys=() view key
  for view in 32 64; do
    for key in "$uninstall_key" "$product_key" 'HKLM\Software\Tarvex' "$service_key" "$clsid_key" \
        'HKLM\Software\Classes\Vizorel.FrameSource' 'HKLM\Software\Classes\Vizorel.FrameSource.1'; do
      reg_key_exists "$key" "$view" && keys+=("$key ($view-bit)")
    done
  done
  ((${#keys[@]} == 0)) && pass "no registry key of the product, the service or the component is left" ||
    fail "keys left: ${keys[*]}"
}
