#!/usr/bin/env bash
# Runs programs of the 64-bit Windows build under Wine, in a prefix that
# belongs to one test run.
#
#   run.sh --setup            make a fresh prefix (the CTest setup fixture)
#   run.sh --teardown         stop the prefix's wineserver (the cleanup fixture)
#   run.sh PROGRAM [ARGS...]  run PROGRAM, wait until Wine has settled, exit
#                             with the program's exit code
#
# ZOR_WINE_PREFIX names the prefix (CTest sets it to <build>/wine/prefix);
# without it, build/win64/wine/prefix of this source tree is used. A program
# run without a prior --setup makes the prefix first. No display is needed:
# DISPLAY is passed through as it is, and may be unset.
set -u

here=$(cd "$(dirname "$0")" && pwd)
prefix=${ZOR_WINE_PREFIX:-$here/../../build/win64/wine/prefix}
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")

source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
# A caller's DLL overrides are kept.
zor_wine_env "$prefix" "${WINEDLLOVERRIDES:-mscoree,mshtml=}"

ready=$prefix/.zor-ready
lock=$prefix.lock
log=$prefix.log

die() {
  echo "wine/run.sh: $*" >&2
  exit 2
}

command -v wine >/dev/null || die "wine is not installed (scripts/install-deps installs it)"

make_prefix() {
  # A server left over from an interrupted run would keep the old prefix's
  # files open.
  wineserver -k >/dev/null 2>&1
  # Only ever remove a prefix this script made.
  if [[ -d $prefix && -n $(ls -A "$prefix") && ! -f $prefix/.zor-prefix ]]; then
    die "$prefix exists and was not made by this script; not replacing it"
  fi
  rm -rf "$prefix"
  mkdir -p "$prefix"
  touch "$prefix/.zor-prefix"
  # Prefix creation needs no window; its output goes to a log, not to the
  # test's output, because Wine's helper processes inherit it and would keep
  # CTest's pipe open.
  if ! (unset DISPLAY; wineboot -i) >"$log" 2>&1; then
    cat "$log" >&2
    die "wineboot -i failed in $prefix"
  fi
  # Crash dialogs would wait for a click that never comes.
  if ! wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$log" 2>&1; then
    cat "$log" >&2
    die "could not turn off the crash dialog in $prefix"
  fi
  # Every Windows installation has the list of installed programs in both
  # registry views; a fresh Wine prefix has it in neither, and programs that
  # register themselves open it rather than create it.
  local view
  for view in 32 64; do
    if ! wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /reg:$view /f >>"$log" 2>&1; then
      cat "$log" >&2
      die "could not create the list of installed programs in $prefix"
    fi
  done
  dialog_fonts || die "could not set up the dialog fonts in $prefix"
  wineserver -w
  touch "$ready"
}

# Dialogs are laid out in Tahoma, which every Windows installation has and
# links to CJK fonts for the glyphs it lacks. Wine ships a Tahoma of its own
# but, as packaged here, does not find it, and falls back to a font with other
# metrics. So the prefix gets Wine's Tahoma (and Marlett, whose glyphs draw
# the caption buttons) in its font folder and the link to the machine's CJK
# font (zor_link_cjk_font), and text is measured and drawn as on Windows.
dialog_fonts() {
  local fonts=$prefix/drive_c/windows/Fonts font
  for font in /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf /usr/share/wine/fonts/marlett.ttf; do
    [[ -f $font && ! -f $fonts/$(basename "$font") ]] && { cp "$font" "$fonts/" || return 1; }
  done
  zor_link_cjk_font "$log"
}

with_lock() {
  exec 9>"$lock"
  flock 9
  "$@"
  flock -u 9
  exec 9>&-
}

ensure_prefix() {
  [[ -f $ready ]] || make_prefix
}

case "${1:-}" in
  "")
    die "usage: run.sh --setup | --teardown | PROGRAM [ARGS...]"
    ;;
  --setup)
    with_lock make_prefix
    echo "wine prefix ready: $prefix"
    ;;
  --teardown)
    if [[ -d $prefix ]]; then
      wineserver -k >/dev/null 2>&1
    fi
    echo "wine prefix stopped: $prefix"
    ;;
  *)
    program=$1
    shift
    [[ -f $program ]] || die "no such program: $program"
    with_lock ensure_prefix
    wine "$program" "$@"
    rc=$?
    # Results (registry hives, files) are complete only once the server has
    # written them out and every helper process has ended.
    wineserver -w
    exit "$rc"
    ;;
esac
