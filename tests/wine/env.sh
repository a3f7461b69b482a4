# The environment every Wine start of ours runs in; sourced by the Wine
# runner, the end-to-end tests and scripts/run-demo.
#
#   zor_wine_env PREFIX [DLL-OVERRIDES]
#
# 64-bit prefix PREFIX, Wine's own messages off unless ZOR_WINEDEBUG says
# otherwise, and by default no Mono or Gecko (nothing here needs them, and
# looking for them slows every prefix creation) and no menu entries on this
# machine for the shortcuts a setup makes.
zor_wine_env() {
  # Wine wants a home folder even when everything it writes is in the prefix.
  if [[ -z ${HOME:-} ]]; then
    HOME=$(getent passwd "$(id -u)" | cut -d: -f6)
    export HOME=${HOME:-/tmp}
  fi
  export WINEPREFIX=$1
  export WINEARCH=win64
  export WINEDEBUG=${ZOR_WINEDEBUG:--all}
  export WINEDLLOVERRIDES=${2:-mscoree,mshtml=;winemenubuilder.exe=d}
}
