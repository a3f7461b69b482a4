# What a script that drives Windows programs under Wine needs of the machine
# beside the prefix: a display of its own and the locales it starts programs
# in. Sourced by the end-to-end tests (tests/e2e/setup_lib.sh), the template
# check and the page host's test (tests/ui).

# Makes the locale $1 known to glibc: Wine takes the system language from it
# only when glibc knows it, and names files in it only then (without it a
# shortcut with a Chinese or Japanese name is silently not made). One the
# system lacks is generated into the folder $2 (LOCPATH) from Debian's locale
# sources, and made anew when glibc no longer reads the one there (one left
# by an older glibc).
e2e_locale() {
  local name=$1 dir=$2 lang=${1%%.*} charset=${1#*.}
  [[ $charset == "$1" ]] && charset=UTF-8
  if locale -a 2>/dev/null | grep -qix "$lang.${charset//-/}\|$lang.$charset"; then return 0; fi
  if ! e2e_locale_reads "$name" "$dir" "$charset"; then
    mkdir -p "$dir"
    rm -rf "${dir:?}/$name"
    localedef -i "$lang" -f "$charset" "$dir/$name" >/dev/null 2>&1 && e2e_locale_reads "$name" "$dir" "$charset" ||
      { echo "${e2e_name:-$0}: cannot generate the locale $name (Debian's locales package has its sources)" >&2; exit 2; }
  fi
  export LOCPATH=$dir
}

# e2e_locale_reads NAME FOLDER CHARSET: glibc reads the locale NAME from
# FOLDER and gives it the character set it should have.
e2e_locale_reads() { [[ $(LOCPATH=$2 LC_ALL=$1 locale charmap 2>/dev/null) == "$3" ]]; }

# Runs the calling script again on a virtual display of its own, as every
# Windows machine has one: message boxes, the wizard and the renderer's
# window need it. Call it first, with the script's arguments.
e2e_with_display() {
  [[ -n ${ZOR_E2E_ON_XVFB:-} ]] && return 0
  command -v Xvfb >/dev/null || { echo "$0: Xvfb is not installed (scripts/install-deps installs it)" >&2; exit 2; }
  # A server of our own on a free display that it names itself once it is
  # ready (-displayfd): no lock-file guessing and no start-up signal to miss,
  # which made xvfb-run hang now and then when tests ran back to back.
  local displays xvfb n rc
  displays=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displays" >/dev/null 2>&1 &
  xvfb=$!
  for ((n = 0; n < 100; n++)); do
    [[ -s $displays ]] && break
    sleep 0.1
  done
  if [[ ! -s $displays ]]; then
    kill "$xvfb" 2>/dev/null
    rm -f "$displays"
    echo "$0: Xvfb did not start" >&2
    exit 2
  fi
  ZOR_E2E_ON_XVFB=1 DISPLAY=:$(tr -d '\n' <"$displays") "$0" "$@"
  rc=$?
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  rm -f "$displays"
  exit "$rc"
}
