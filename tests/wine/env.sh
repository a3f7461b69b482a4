# The environment every Wine start of ours runs in; sourced by the Wine
# runner, the end-to-end tests and scripts/run-demo.
#
#   zor_wine_env PREFIX [DLL-OVERRIDES]
#   zor_link_cjk_font
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

# Windows links Tahoma, the dialogs' font, to CJK fonts for the glyphs it
# lacks, and text that is laid out by script (edit controls) falls back to
# them by name. Those fonts are not here, so the prefix's Tahoma is linked to
# the CJK font this machine has (fonts-wqy-microhei) and Windows' CJK faces
# are replaced by it. Wine writes its own links again whenever a prefix
# starts in a locale of another code page than the last, so a test that
# changes the locale calls this after its first start. Logs to $1 when given.
zor_link_cjk_font() {
  fc-list 2>/dev/null | grep -q 'wqy-microhei.ttc' || return 0
  local log=${1:-/dev/null} face reg
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v Tahoma \
    /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f </dev/null >>"$log" 2>&1 || return 1
  reg=$(mktemp --suffix=.reg) || return 1
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in SimSun NSimSun 'Microsoft YaHei' 'Microsoft YaHei UI' PMingLiU MingLiU 'Microsoft JhengHei' \
      'Microsoft JhengHei UI' 'MS UI Gothic' 'MS Gothic' 'MS PGothic' 'Yu Gothic UI' Meiryo Batang Gulim \
      'Malgun Gothic'; do
      printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
    done
  } >"$reg"
  wine reg import "$(winepath -w "$reg" 2>/dev/null)" </dev/null >>"$log" 2>&1
  local status=$?
  rm -f "$reg"
  return $status
}
