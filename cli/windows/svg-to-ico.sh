#!/usr/bin/env bash
# Renders the icon's SVG at the sizes Windows shows and packs the PNGs into one .ico (Windows
# Vista and later read PNG entries as they are).
#   svg-to-ico.sh ICON.svg OUT.ico
set -euo pipefail
svg=$1 out=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sizes=(16 24 32 48 64 256)

le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $((($1 >> 16) & 65535)); }

offset=$((6 + 16 * ${#sizes[@]}))
{
  le16 0; le16 1; le16 ${#sizes[@]}
  for size in "${sizes[@]}"; do
    rsvg-convert -w "$size" -h "$size" -o "$work/$size.png" "$svg"
    bytes=$(stat -c %s "$work/$size.png")
    # 256 is written as 0 in the one-byte width and height.
    printf "\\x$(printf %02x $((size & 255)))\\x$(printf %02x $((size & 255)))\\x00\\x00"
    le16 1; le16 32; le32 "$bytes"; le32 "$offset"
    offset=$((offset + bytes))
  done
  for size in "${sizes[@]}"; do cat "$work/$size.png"; done
} >"$out.tmp"
mv "$out.tmp" "$out"
