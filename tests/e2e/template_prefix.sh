#!/usr/bin/env bash
# The CTest fixture of the setup's end-to-end tests: the Wine prefix that
# every test copies (tests/e2e/setup_lib.sh).
#
#   template_prefix.sh <lumaglimpse_testkit.exe>      make it (ZOR_E2E_TEMPLATE)
#   template_prefix.sh --teardown                     stop its wineserver
#
# Made by tests/wine/run.sh like the Wine tests' own prefix, once: a template
# made by the installed Wine is kept between test runs, since the tests only
# ever copy it. It looks like a fresh Windows machine in one more point: the
# current user has a quick-launch folder, which Wine does not make.
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
version=$(wine --version 2>/dev/null)
if [[ -f $stamp && $(cat "$stamp") == "$version" ]]; then
  echo "template prefix kept: $template ($version)"
  exit 0
fi

"$here/../wine/run.sh" --setup || exit 1
appdata=$("$here/../wine/run.sh" "$testkit" folders 26 | tr -d '\r')
rest=${appdata#[Cc]:\\}
[[ -n $rest && $rest != "$appdata" ]] || { echo "template_prefix: no application data folder: $appdata" >&2; exit 1; }
mkdir -p "$template/drive_c/${rest//\\//}/Microsoft/Internet Explorer/Quick Launch" || exit 1
echo "$version" >"$stamp"
echo "template prefix made: $template ($version)"
