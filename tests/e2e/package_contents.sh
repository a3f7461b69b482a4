#!/usr/bin/env bash
# Checks what the demo package holds, as the setup will find it:
#
#   package_contents.sh <zorpack> <package> <package_files.txt> <version>
#
# The 23 file groups by their exact names and in the order the setup's
# projects have always listed them; "Common" with the program's files in the
# install folder and the COM component below the system folder; each
# language group with its settings file; every file with a stream and,
# unpacked the way the setup does, with the bytes of its staged original; the
# product version the setup records. The expected files come from
# package_files.txt, the list the stage and the uninstaller are made from.
set -u
[[ $# -eq 4 && -x $1 && -f $2 && -f $3 ]] || { echo "usage: package_contents.sh <zorpack> <package> <package_files.txt> <version>" >&2; exit 2; }
zorpack=$1 package=$2 list=$3 version=$4

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

listing=$("$zorpack" list "$package") || { echo "zorpack list failed on $package" >&2; exit 1; }

# One line per file node: group|path from the group's root|packed size, the
# destination folder marked with a trailing '*'.
files=$(awk '
  /^File group "/ { sub(/^File group "/, ""); sub(/":$/, ""); group = $0; next }
  group == "" || !/^  / { next }
  {
    match($0, /^ */); depth = RLENGTH / 2 - 1
    line = substr($0, RLENGTH + 1)
    name = line; sub(/  [[(].*$/, "", name)
    if (line ~ /\(destination\)$/) name = name "*"
    path[depth] = name
    if (line ~ /\[offset -?[0-9]+, packed -?[0-9]+\]$/) {
      p = path[0]; for (i = 1; i <= depth; i++) p = p "/" path[i]
      size = line; sub(/^.*packed /, "", size); sub(/\]$/, "", size)
      print group "|" p "|" size
    }
  }' <<<"$listing")

groups=$(sed -n 's/^File group "\(.*\)":$/\1/p' <<<"$listing" | tr '\n' ' ')
want_groups="Common China English France German Korean Russia Tranditional Japan Italy Portuguese Spanish Czech Danish Dutch Finnish Greek Hungarian Norwegian Polish PT-BR Swedish Turkish "
[[ $groups == "$want_groups" ]] && pass "the 23 file groups, named and ordered as the setup expects" ||
  fail "file groups: got '$groups', want '$want_groups'"

# What package_files.txt says each group holds.
read -r -a languages < <(sed -n 's/^languages //p' "$list")
install='Destination Computer/[ProgramFilesFolder]/Tarvex/Lumaglimpse*'
expected=$(
  grep -vE '^[[:space:]]*(#|$|languages )' "$list" | while read -r group path _; do
    case $group in
      Common) echo "Common|$install/$path" ;;
      System) echo "Common|Destination Computer/[SystemFolder]/$path" ;;
      '*') for l in "${languages[@]}"; do echo "$l|Lumaglimpse*/$path"; done ;;
    esac
  done | sort)
got=$(cut -d'|' -f1,2 <<<"$files" | sort)
if [[ $got == "$expected" ]]; then
  pass "every group holds exactly the files of package_files.txt, in their folders ($(wc -l <<<"$got") files)"
else
  fail "the package's files differ from package_files.txt (< package, > list):"
  diff <(echo "$got") <(echo "$expected") >&2
fi
[[ ${#languages[@]} -eq 22 ]] || fail "package_files.txt names ${#languages[@]} language groups"

empty=$(awk -F'|' '$3 <= 0' <<<"$files")
[[ -z $empty ]] && pass "every file has a stream" || fail "files without a stream: $empty"

# Unpacked the way the setup does, every file has the bytes of its staged
# original (the stage lies beside the description the package was built
# from: <build>/product/stage).
stage=$(dirname "$package")/../product/stage
if "$zorpack" --help | grep -q '^ *extract ' && [[ -d $stage ]]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  unpacked=1
  for group in $want_groups; do
    "$zorpack" extract "$package" --dest "$work/$group/install" --group "$group" \
      --folder "37=$work/$group/system" >/dev/null || { fail "zorpack extract of group $group failed"; unpacked=0; }
  done
  if ((unpacked)); then
    differ=()
    for f in "$stage"/Common/*; do cmp -s "$f" "$work/Common/install/${f##*/}" || differ+=("Common/${f##*/}"); done
    for f in "$stage"/System/*; do cmp -s "$f" "$work/Common/system/${f##*/}" || differ+=("System/${f##*/}"); done
    for l in "${languages[@]}"; do
      cmp -s "$stage/$l/gui/main.ini" "$work/$l/install/gui/main.ini" || differ+=("$l/gui/main.ini")
    done
    ((${#differ[@]} == 0)) && pass "unpacked, every file has the bytes of the staged one" ||
      fail "unpacked files that differ from the stage: ${differ[*]}"
  fi
fi

grep -q "^Product:  Lumaglimpse $version " <<<"$listing" && pass "product Lumaglimpse, version $version" ||
  fail "product line: $(grep '^Product:' <<<"$listing")"

if ((failures > 0)); then
  echo "package_contents: $failures check(s) failed" >&2
  exit 1
fi
echo "package_contents: all checks passed"
