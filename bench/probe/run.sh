#!/usr/bin/env bash
# Probe speed: 100 generated one-second files probed through the source record's encoder probe
# (FileMediaFormat::ProbeWithEncoder -> Kestrelvx), and the same files through ffprobe, one after
# the other, both at the idle priority class the probe uses. Prints files per second for each and
# the ratio of the times (goal: the probe takes at most 1.2 times as long as ffprobe).
#
#   bench/probe/run.sh [BUILD_DIR] [ROUNDS]      (defaults: build, 3)
# No ratio is printed when ffprobe fails on a file or takes less than it plausibly can.
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/common.sh
BUILD=${1:-build}
ROUNDS=${2:-3}
BIN=$(cd "$BUILD/bin" && pwd)
[ -x "$BIN/bench_probe" ] && [ -x "$BIN/Kestrelvx" ] || {
  echo "build the targets bench_probe and Kestrelvx in $BUILD first" >&2
  exit 2
}

require_program ffprobe ffmpeg
require_program chrt util-linux

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Four kinds of tiny clips, 25 copies of each.
lavfi_video="-f lavfi -i testsrc2=size=160x120:rate=25:duration=1"
lavfi_audio="-f lavfi -i sine=frequency=440:sample_rate=44100:duration=1"
ffmpeg -nostdin -v error -y $lavfi_video $lavfi_audio -c:v libx264 -preset ultrafast -c:a aac -shortest "$work/k1.mp4"
ffmpeg -nostdin -v error -y $lavfi_video $lavfi_audio -c:v mpeg4 -c:a pcm_s16le -shortest "$work/k2.avi"
ffmpeg -nostdin -v error -y $lavfi_video $lavfi_audio -c:v mpeg4 -c:a libmp3lame -shortest "$work/k3.mkv" 2>/dev/null ||
  ffmpeg -nostdin -v error -y $lavfi_video $lavfi_audio -c:v mpeg4 -c:a aac -shortest "$work/k3.mkv"
ffmpeg -nostdin -v error -y $lavfi_audio -c:a pcm_s16le "$work/k4.wav"
files=()
for i in $(seq -w 1 25); do
  for k in k1.mp4 k2.avi k3.mkv k4.wav; do
    cp "$work/$k" "$work/clip$i-$k"
    files+=("$work/clip$i-$k")
  done
done
n=${#files[@]}

probe_times=(); ffprobe_times=()
"$BIN/bench_probe" "${files[@]}" >/dev/null # warms the caches
for round in $(seq "$ROUNDS"); do
  read -r count failed seconds < <("$BIN/bench_probe" "${files[@]}" || true)
  [ "$failed" = 0 ] || { echo "the probe failed on $failed of $count files" >&2; exit 1; }
  probe_times+=("$seconds")
  t0=$(date +%s.%N)
  for f in "${files[@]}"; do
    status=0
    chrt --idle 0 ffprobe -hide_banner "$f" 2>/dev/null || status=$?
    reference_ok "$status" "ffprobe $f"
  done
  t1=$(date +%s.%N)
  ffprobe_times+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN {print b - a}')")
  printf 'round %d: probe %.2f s, ffprobe %.2f s\n' "$round" "${probe_times[-1]}" "${ffprobe_times[-1]}"
done

p=$(median "${probe_times[@]}")
f=$(median "${ffprobe_times[@]}")
awk -v n="$n" -v p="$p" -v f="$f" -v r="$ROUNDS" 'BEGIN {
  printf "medians of %d rounds over %d files: probe %.1f files/s, ffprobe %.1f files/s\n", r, n, n / p, n / f
}'
# Starting ffprobe and reading a file takes at least a millisecond, however fast the machine.
ratio "time ratio probe / ffprobe" "$p" "$f" "$(awk -v n="$n" 'BEGIN {print n * 0.001}')" \
  "ffprobe on every file" "<= 1.2"
