#!/bin/sh
# Fails when a folder of src/ includes a folder above it. The floors, bottom first, are read from
# src/README.md: the first line there that starts with "Floors:".
set -eu
src=${1:-$(dirname "$0")/../src}
floors=$(sed -n 's/^Floors: *//p' "$src/README.md" | head -n 1 | tr -d ' ' | tr '<' ' ')
[ -n "$floors" ] || { echo "no Floors: line in $src/README.md" >&2; exit 2; }
level() {
  i=0
  for floor in $floors; do
    [ "$floor" = "$1" ] && { echo $i; return; }
    i=$((i + 1))
  done
  echo -1
}
status=0
for folder in "$src"/*/; do
  name=$(basename "$folder")
  own=$(level "$name")
  if [ "$own" -lt 0 ]; then
    echo "src/$name is on no floor of src/README.md" >&2
    status=1
    continue
  fi
  # Each '#include "x/..."' names the folder x it reaches.
  for file in "$folder"*; do
    [ -f "$file" ] || continue
    grep -o '^#include "[a-z_0-9]*/' "$file" | sed 's/^#include "//; s/\/$//' | sort -u |
      while read -r target; do
        [ "$target" = "$name" ] && continue
        other=$(level "$target")
        if [ "$other" -lt 0 ] || [ "$other" -gt "$own" ]; then
          echo "src/$name/$(basename "$file") includes $target/, which is not below $name" >&2
          echo bad
        fi
      done
  done | grep -q bad && status=1
done
exit $status
