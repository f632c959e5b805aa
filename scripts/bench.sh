#!/usr/bin/env bash
# How fast fotolun-cli downloads an album from the stand-in on loopback, beside curl fetching the
# same photo addresses over the same proxy in the same run. Not a test: figures vary with the
# machine and its load, so it prints them and asserts nothing.
#
#   scripts/bench.sh [BUILD_DIR]            the three standard cases
#   scripts/bench.sh [BUILD_DIR] PHOTOS BYTES LATENCY_MS STREAMS   one case of your own
#
# floor = photos / streams x the pause the program keeps after each photo (100 ms for an HD
# album) + the wall time curl needs for the same addresses (--parallel-max STREAMS when
# STREAMS > 1). CPU per photo is fotolun-cli's user + system time over the photos; peak RSS and
# wall time come from /usr/bin/time -v; connections are those the stand-in accepted during the
# program's run (listing and photos share them: every host goes through the one proxy), and of
# them those that carried the album's photos ("per photo host"; 2 x STREAMS at most, as the
# streams keep their connections for the whole run rather than opening new ones every page).
#
# "files alone" is fotolun-bench-files saving files of the same size as durably as the program
# does (flushed, recorded, named) and paced alike, with no network: what any download that keeps
# its photos safe pays on this machine's file system. The CPU above it is the program's own.
set -euo pipefail

build=${1:-build}
[[ $# -gt 0 ]] && shift
cli=$build/cli/fotolun-cli
standin=$build/fotolun-standin
files=$build/fotolun-bench-files
for tool in "$cli" "$standin" "$files" /usr/bin/time curl; do
  [[ -x $tool || -n $(command -v "$tool" 2>/dev/null) ]] || { echo "bench: missing $tool" >&2; exit 2; }
done
readonly pause_ms=100

work=$(mktemp -d "${TMPDIR:-/tmp}/fotolun-bench.XXXXXX")
standin_pid=
cleanup() {
  [[ -n $standin_pid ]] && kill "$standin_pid" 2>/dev/null && wait "$standin_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

now() { date +%s.%N; }

# The stand-in's running count of accepted connections (it prints one on SIGUSR1).
connections() {
  local before
  before=$(grep -c '^connections ' "$work/standin.out" || true)
  kill -USR1 "$standin_pid"
  for _ in $(seq 100); do
    (($(grep -c '^connections ' "$work/standin.out" || true) > before)) && break
    sleep 0.02
  done
  grep '^connections ' "$work/standin.out" | tail -1 | cut -d' ' -f2
}
# The connections that carried a request for the benchmark album's photo host so far, as the
# stand-in printed them with the last count.
photo_host_connections() {
  grep '^photo-host-connections ' "$work/standin.out" | tail -1 | cut -d' ' -f2
}

run_case() {
  local photos=$1 bytes=$2 latency=$3 streams=$4
  rm -rf "${work:?}"/*
  "$standin" --bench-album "$photos" --bench-photo-bytes "$bytes" --latency-ms "$latency" \
    --bench-cookies "$work/cookies" --bench-urls "$work/urls" >"$work/standin.out" 2>&1 &
  standin_pid=$!
  for _ in $(seq 200); do grep -q 'listening; proxy:' "$work/standin.out" && break; sleep 0.05; done
  local proxy
  proxy=$(sed -n 's/.*listening; proxy: //p' "$work/standin.out")
  # curl must fetch exactly the album the program fetches, or the floor means nothing.
  if (($(wc -l <"$work/urls") != photos)); then
    echo "bench: the stand-in listed $(wc -l <"$work/urls") photo addresses, not $photos" >&2
    exit 1
  fi

  # curl: the same addresses over the same proxy, one kept-alive connection (or STREAMS of them).
  mkdir -p "$work/curl"
  awk -v dir="$work/curl" '{ printf "url = \"%s\"\noutput = \"%s/%d\"\n", $0, dir, NR }' "$work/urls" >"$work/curl.cfg"
  local parallel_args=()
  ((streams > 1)) && parallel_args=(--parallel --parallel-max "$streams")
  # The stand-in makes a picture's bytes at its first request: made before anything is timed.
  curl -s --fail --proxy "$proxy" -o /dev/null "$(head -1 "$work/urls")"
  sync
  local c0 t0 t1 c1
  c0=$(connections)
  t0=$(now)
  /usr/bin/time -f '%U %S' -o "$work/curl-time.txt" \
    curl -s --no-progress-meter --fail --proxy "$proxy" "${parallel_args[@]}" -K "$work/curl.cfg"
  t1=$(now)
  c1=$(connections)
  local curl_wall curl_cpu_ms
  curl_wall=$(echo "$t1 - $t0" | bc -l)
  curl_cpu_ms=$(awk -v n="$photos" '{ print ($1 + $2) * 1000 / n }' "$work/curl-time.txt")

  # fotolun-cli, in a settings folder of its own (--parallel only when asked for, so that an
  # older build can be measured the same way).
  local cli_parallel=()
  ((streams > 1)) && cli_parallel=(--parallel "$streams")
  mkdir -p "$work/config" "$work/out"
  # What curl left unwritten in the page cache is flushed first, so that the program's own
  # flushes do not pay for writing curl's photos as well.
  sync
  local c2 c3 p2 p3
  c2=$(connections)
  p2=$(photo_host_connections)
  XDG_CONFIG_HOME="$work/config" /usr/bin/time -v -o "$work/time.txt" \
    "$cli" download --number 10001000 --cookies "$work/cookies" --proxy "$proxy" --mode hd \
    --save "$work/out" "${cli_parallel[@]}" --quiet >"$work/cli.out" 2>&1 || {
    echo "bench: fotolun-cli failed:" >&2
    cat "$work/cli.out" >&2
    exit 1
  }
  c3=$(connections)
  p3=$(photo_host_connections)
  local saved
  saved=$(find "$work/out" -type f ! -name '.*' | wc -l)

  local wall user sys rss
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s }' "$work/time.txt")
  user=$(awk -F': ' '/User time/ { print $2 }' "$work/time.txt")
  sys=$(awk -F': ' '/System time/ { print $2 }' "$work/time.txt")
  rss=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")
  local floor ratio cpu_ms
  floor=$(echo "$photos / $streams * $pause_ms / 1000 + $curl_wall" | bc -l)
  ratio=$(echo "$wall / $floor" | bc -l)
  cpu_ms=$(echo "($user + $sys) * 1000 / $photos" | bc -l)
  printf '%5d x %-4s latency %2d ms  streams %d | curl %6.2f s, %.3f ms CPU/photo, %d conn | floor %7.2f s | fotolun-cli %6.2f s = %.3f x floor | CPU %.3f ms/photo (%.3f ms/MB) | peak RSS %.1f MB | %d conn, %d per photo host | saved %d\n' \
    "$photos" "$(numfmt --to=iec "$bytes")" "$latency" "$streams" "$curl_wall" "$curl_cpu_ms" "$((c1 - c0))" "$floor" "$wall" \
    "$ratio" "$cpu_ms" "$(echo "$cpu_ms * 1048576 / $bytes" | bc -l)" "$(echo "$rss / 1024" | bc -l)" "$((c3 - c2))" "$((p3 - p2))" "$saved"

  kill "$standin_pid" && wait "$standin_pid" 2>/dev/null || true
  standin_pid=

  # The files alone, saved as the program saves them and paced alike, on up to 200 of them; then
  # the same files in a burst, to show what the pauses themselves add on this machine.
  local sample=$((photos < 200 ? photos : 200)) files_ms burst_ms
  mkdir -p "$work/files" "$work/burst"
  sync
  files_ms=$("$files" "$work/files" "$sample" "$bytes" "$((pause_ms / streams))")
  sync
  burst_ms=$("$files" "$work/burst" "$sample" "$bytes" 0)
  printf '      files alone: %.3f ms CPU/photo (%.3f in a burst) | fotolun-cli above them: %.3f ms/photo (%.3f ms/MB) | curl, which keeps nothing on disk: %.3f | files alone + curl, apart: %.3f ms/photo\n' \
    "$files_ms" "$burst_ms" "$(echo "$cpu_ms - $files_ms" | bc -l)" "$(echo "($cpu_ms - $files_ms) * 1048576 / $bytes" | bc -l)" \
    "$curl_cpu_ms" "$(echo "$files_ms + $curl_cpu_ms" | bc -l)"
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(curl --version | head -1 | cut -d' ' -f1-2)"
if (($# == 4)); then
  run_case "$@"
else
  run_case 1000 $((20 * 1024)) 0 1
  run_case 40 $((20 * 1024 * 1024)) 0 1
  run_case 400 $((20 * 1024)) 50 4
  run_case 5000 $((20 * 1024)) 0 8
fi
