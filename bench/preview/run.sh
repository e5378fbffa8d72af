#!/usr/bin/env bash
# The preview of a generated 10 s 720p H.264 clip with sound (25 fps) against GStreamer's own
# player on the same file:
#   - the time from the Preview command to the first frame painted (goal under 300 ms),
#   - the share of the file's frames painted while it plays (goal at least 95 %),
#   - the processor time of the playback against `gst-launch-1.0 playbin` with a fake video output
#     (both with a silent real-time audio output), as a ratio (goal at most 1.5).
# Rounds alternate which goes first; medians are compared.
#
#   bench/preview/run.sh [BUILD_DIR] [ROUNDS]      (defaults: build, 3)
# No ratio is printed when the reference run fails or ends sooner than the clip lasts.
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/common.sh
BUILD=${1:-build}
ROUNDS=${2:-3}
BIN=$(cd "$BUILD/bin" && pwd)
[ -x "$BIN/bench_preview" ] || { echo "build the target bench_preview in $BUILD first" >&2; exit 2; }
require_program gst-launch-1.0 gstreamer1.0-tools
SECONDS_LONG=10
FPS=25

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
clip="$work/clip720.mp4"
ffmpeg -nostdin -v error -y \
  -f lavfi -i "testsrc2=size=1280x720:rate=$FPS:duration=$SECONDS_LONG" \
  -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=$SECONDS_LONG" \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -ac 2 -shortest "$clip"

export LUMICAST_AUDIO_SINK="fakesink sync=true"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
TIMEFORMAT='%R %U %S'
# "wall user system status" of one playback by GStreamer's own player.
reference() {
  local status=0
  { time gst-launch-1.0 -q playbin "uri=file://$clip" video-sink="fakesink sync=true" \
      audio-sink="fakesink sync=true" >/dev/null 2>&1; } 2>"$work/reference.time" || status=$?
  echo "$(tail -1 "$work/reference.time") $status"
}
preview() {
  "$BIN/bench_preview" "$clip" "$SECONDS_LONG" "$FPS"
}

firsts=(); shares=(); ours=(); refs=()
for round in $(seq "$ROUNDS"); do
  if [ $((round % 2)) -eq 1 ]; then
    out=$(preview); read -r rw ru rs rstatus < <(reference)
  else
    read -r rw ru rs rstatus < <(reference); out=$(preview)
  fi
  echo "round $round:"; echo "$out" | sed 's/^/  /'
  reference_ok "$rstatus" "gst-launch-1.0 playbin"
  # The player keeps to the clock: a playback shorter than the clip did not play it.
  plausible "$rw" "$(awk -v s="$SECONDS_LONG" 'BEGIN {print s * 0.9}')" "gst-launch-1.0 playbin"
  ref=$(awk -v u="$ru" -v s="$rs" 'BEGIN {print u + s}')
  echo "  gst-launch-1.0 playbin: wall $rw s, cpu $ref s"
  firsts+=("$(echo "$out" | awk '/first frame/ {print $4}')")
  shares+=("$(echo "$out" | sed -n 's/.*(\([0-9.]*\) %.*/\1/p')")
  ours+=("$(echo "$out" | awk '/^cpu/ {print $2}')")
  refs+=("$ref")
done

f=$(median "${firsts[@]}"); s=$(median "${shares[@]}"); o=$(median "${ours[@]}"); r=$(median "${refs[@]}")
echo "medians of $ROUNDS rounds:"
echo "  time to first frame $f ms (goal < 300)"
echo "  frames painted $s % (goal >= 95)"
echo "  cpu preview $o s, playbin $r s"
# Decoding ten seconds of 720p H.264 takes a tenth of a second of processor time at the least.
ratio "  cpu time ratio" "$o" "$r" 0.1 "gst-launch-1.0 playbin" "<= 1.5"
