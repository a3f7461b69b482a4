#!/usr/bin/env bash
# The CTest fixture of the setup's end-to-end tests: the Wine prefix that
# every test copies (tests/e2e/setup_lib.sh).
#
#   template_prefix.sh <lumaglimpse_testkit.exe>      make it (ZOR_E2E_TEMPLATE)
#   template_prefix.sh --teardown                     stop its wineserver
#
# Made by tests/wine/run.sh like the Wine tests' own prefix, once: a template
# made by the installed Wine is kept between test runs, since the tests only
# ever copy it. It is made to look like a fresh 64-bit Windows 7 in three
# more points:
# - the current user has a quick-launch folder, which Wine does not make;
# - the 32-bit registry view has the list of installed programs
#   (Software\Microsoft\Windows\CurrentVersion\Uninstall), which Wine makes
#   in the 64-bit view only;
# - there is no d3dx9_35.dll in the system folder: Windows does not ship
#   it (the DirectX redistributable does), while Wine puts its own there.
#   Wine is told to prefer a native copy, so the renderer binds to the one
#   the setup writes beside it rather than to Wine's built-in library.
# scripts/run-demo prepares its prefix with this script too.
set -u
here=$(cd "$(dirname "$0")" && pwd)
template=${ZOR_E2E_TEMPLATE:?ZOR_E2E_TEMPLATE names the template prefix}
export ZOR_WINE_PREFIX=$template

if [[ ${1:-} == --teardown ]]; then
  exec "$here/../wine/run.sh" --teardown
fi
[[ $# -eq 1 && -f $1 ]] || { echo "usage: template_prefix.sh <lumaglimpse_testkit.exe> | --teardown" >&2; exit 2; }
testkit=$1

stamp=$template/.zor-e2e-template
# Bumped whenever what this script does to the prefix changes.
recipe=5
version="$(wine --version 2>/dev/null), recipe $recipe"
if [[ -f $stamp && $(cat "$stamp") == "$version" ]]; then
  echo "template prefix kept: $template ($version)"
  exit 0
fi

"$here/../wine/run.sh" --setup || exit 1
appdata=$("$here/../wine/run.sh" "$testkit" folders 26 | tr -d '\r')
rest=${appdata#[Cc]:\\}
[[ -n $rest && $rest != "$appdata" ]] || { echo "template_prefix: no application data folder: $appdata" >&2; exit 1; }
mkdir -p "$template/drive_c/${rest//\\//}/Microsoft/Internet Explorer/Quick Launch" || exit 1
rm -f "$template/drive_c/windows/system32/d3dx9_35.dll"
reg() { WINEPREFIX=$template WINEDEBUG=-all wine reg add "$@" /f >/dev/null 2>&1; }
reg 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /reg:32 || exit 1
reg 'HKCU\Software\Wine\DllOverrides' /v d3dx9_35 /t REG_SZ /d native,builtin || exit 1
WINEPREFIX=$template wineserver -w
echo "$version" >"$stamp"
echo "template prefix made: $template ($version)"
