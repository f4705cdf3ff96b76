#!/usr/bin/env bash
# Keeps the core's layers honest: a core folder never includes a Qt header and
# only includes folders below its own layer. Prints every offending line and
# fails when there is one. Usage: scripts/check-includes.sh [source root]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# The core's layers, lowest first. A folder may include its own files and
# those of any folder of a lower layer, never one of its own layer or above.
declare -A layer=(
  [text]=0
  [platform]=1
  [rules]=2 [settings]=2
  [mp3]=3 [filelist]=3 [planner]=3 [photo]=3
  [runs]=4
  [history]=5
)
# The GUI folders sit above every core folder.
gui_folders="shell widgets app"

failures=0
report() {
  echo "$1: $2"
  failures=$((failures + 1))
}

for folder in "${!layer[@]}"; do
  [ -d "src/$folder" ] || continue
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest#*:}
    if [[ $line =~ \#include[[:space:]]*\<(Q[A-Za-z]*|qt[a-z0-9]*/) ]]; then
      report "$file" "a core file includes a Qt header: $line"
      continue
    fi
    [[ $line =~ \#include[[:space:]]*\"([a-z0-9_]+)/ ]] || continue
    target=${BASH_REMATCH[1]}
    [ "$target" = "$folder" ] && continue
    if [[ " $gui_folders " == *" $target "* ]]; then
      report "$file" "a core file includes the GUI folder $target/: $line"
    elif [ -z "${layer[$target]+set}" ]; then
      report "$file" "includes $target/, which is not a core layer: $line"
    elif ((layer[$target] >= layer[$folder])); then
      report "$file" "includes upward or sideways ($folder -> $target): $line"
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' --include='*.def' '#include' "src/$folder" || true)
done

if ((failures)); then
  echo "include check failed: $failures line(s)"
  exit 1
fi
echo "include check passed: the core includes no Qt header and only includes downward"
