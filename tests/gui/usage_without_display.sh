#!/bin/sh
# fotolun $1: a mistake on the command line is told (the usage, exit code 2) on a machine without
# a display, where Qt itself would stop the program before it could say anything.
program=$1
for mistake in --bogus --save --proxy -platform; do
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$program" $mistake 2>&1)
  code=$?
  [ "$code" -eq 2 ] || { echo "$mistake: exit code $code"; echo "$out"; exit 1; }
  echo "$out" | grep -q '^Usage: fotolun' || { echo "$mistake: no usage"; echo "$out"; exit 1; }
done
