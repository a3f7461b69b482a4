#!/usr/bin/env bash
# Runs the dialog template check under Wine on an Xvfb display of its own:
# the dialogs are created (hidden) to measure their texts, which needs one.
#
#   template_check.sh <zor_template_check.exe> CODE=PATH...
#
# ZOR_UI_SHOTS=<folder>: also show a few screens of each module and save
# them there as PNG files (ImageMagick converts Wine's bitmaps).
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../wine/session.sh"
e2e_with_display "$@"

check=$1
shift
args=()
if [[ -n ${ZOR_UI_SHOTS:-} ]]; then
  mkdir -p "$ZOR_UI_SHOTS"
  shots=$(cd "$ZOR_UI_SHOTS" && pwd)
  args=(--shots "Z:$shots")
  # A prefix of its own in which Wine draws the captions and frames itself:
  # without a window manager on the display nobody else would, and the
  # pictures would lack them.
  export ZOR_WINE_PREFIX=$shots-prefix
  if [[ ! -f $ZOR_WINE_PREFIX/.zor-ready ]]; then
    "$here/../wine/run.sh" --setup >/dev/null || exit 2
    (source "$here/../wine/env.sh" && zor_wine_env "$ZOR_WINE_PREFIX" &&
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 && wineserver -w) ||
      exit 2
  fi
fi
"$here/../wine/run.sh" "$check" "${args[@]}" "$@"
rc=$?
if [[ -n ${ZOR_UI_SHOTS:-} ]]; then
  for bmp in "$shots"/*.bmp; do
    [[ -f $bmp ]] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
  done
fi
exit "$rc"
