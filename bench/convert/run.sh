#!/usr/bin/env bash
# A whole batch against direct ffmpeg runs, and the main thread's timer while a batch runs.
#
# 1. Converts twenty generated 5 s clips with the iPod settings
#      (" -vcodec xvid -s 320x240 -r 29.970 -b 768 -ac 2 -ab 128 -ar 44100")
#    in one batch through the batch driver (ConvertSourcesThread -> CEncoderJob -> Kestrelvx ->
#    ffmpeg), and by twenty direct runs of the very ffmpeg commands Kestrelvx ran, at the same
#    (idle) priority class. Prints both wall times and their ratio (goal: at most 1.10), and the
#    ratio of the processor time both took. Rounds alternate which goes first; medians are
#    compared. On a busy machine the idle class makes the wall times mostly tell how busy it is;
#    the processor times stay comparable.
# 2. Runs a batch of the clips inside the conversion dialog and prints how late a 100 ms timer on
#    the main thread fires meanwhile (goal: 99th percentile under 50 ms late), and the same for
#    ten seconds without a batch first, as the reference of how busy the machine is.
#
#   bench/convert/run.sh [BUILD_DIR] [ROUNDS]      (defaults: build, 1)
# No ratio is printed when a direct ffmpeg run fails, an output is missing, or the direct runs
# take less than they plausibly can.
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/common.sh
BUILD=${1:-build}
ROUNDS=${2:-1}
BIN=$(cd "$BUILD/bin" && pwd)
for program in bench_convert_batch bench_convert_timer Kestrelvx; do
  [ -x "$BIN/$program" ] || {
    echo "build the targets bench_convert_batch, bench_convert_timer and Kestrelvx in $BUILD first" >&2
    exit 2
  }
done
FFMPEG=$(command -v ffmpeg)
OPTIONS=" -vcodec xvid -s 320x240 -r 29.970 -b 768 -ac 2 -ab 128 -ar 44100"
COUNT=20
SECONDS_PER_CLIP=5

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/clips" "$work/args" "$work/wrap"
clips=()
for i in $(seq -w 1 "$COUNT"); do
  clip="$work/clips/clip$i.mp4"
  "$FFMPEG" -nostdin -v error -y \
    -f lavfi -i "testsrc2=size=320x240:rate=25:duration=$SECONDS_PER_CLIP" \
    -f lavfi -i "sine=frequency=$((200 + 10 * 10#$i)):sample_rate=44100:duration=$SECONDS_PER_CLIP" \
    -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -ac 2 -shortest "$clip"
  clips+=("$clip")
done

# A stand-in "ffmpeg" first on PATH notes the arguments of each run, then becomes the real one.
cat > "$work/wrap/ffmpeg" <<WRAP
#!/bin/sh
f=\$(mktemp "$work/args/run.XXXXXX")
for a in "\$@"; do printf '%s\\000' "\$a"; done > "\$f"
exec "$FFMPEG" "\$@"
WRAP
chmod +x "$work/wrap/ffmpeg"

# Times one command: "wall user system status".
TIMEFORMAT='%R %U %S'
timed() {
  local status=0
  { time "$@" >/dev/null 2>&1; } 2>"$work/timed" || status=$?
  echo "$(tail -1 "$work/timed") $status"
}
run_batch() {
  rm -rf "$work/out"
  timed "$BIN/bench_convert_batch" "$work/out/" "$OPTIONS" "$SECONDS_PER_CLIP" "${clips[@]}"
}
# Every noted command once; fails on the first that fails, and when an output is missing.
direct_all() {
  local f
  for f in "$work"/args/run.*; do
    mapfile -d '' args < "$f"
    # Kestrelvx reads the progress on descriptor 3; here it goes nowhere.
    chrt --idle 0 "$FFMPEG" "${args[@]}" </dev/null 3>/dev/null || return
  done
  [ "$(find "$work/out" -name '*.mp4' -size +0 | wc -l)" -eq "$COUNT" ]
}
run_direct() {
  rm -rf "$work/out"
  mkdir -p "$work/out"
  timed direct_all
}

# The first batch notes the twenty ffmpeg commands and warms the caches.
rm -f "$work"/args/run.*
rm -rf "$work/out"
PATH="$work/wrap:$PATH" "$BIN/bench_convert_batch" "$work/out/" "$OPTIONS" "$SECONDS_PER_CLIP" \
  "${clips[@]}" >/dev/null
runs=$(ls "$work"/args/run.* | wc -l)
[ "$runs" -eq "$COUNT" ] || { echo "expected $COUNT ffmpeg runs, noted $runs" >&2; exit 1; }

batch_wall=(); batch_cpu=(); direct_wall=(); direct_cpu=()
for round in $(seq "$ROUNDS"); do
  if [ $((round % 2)) -eq 1 ]; then
    read -r bw bu bs bstatus < <(run_batch)
    read -r dw du ds dstatus < <(run_direct)
  else
    read -r dw du ds dstatus < <(run_direct)
    read -r bw bu bs bstatus < <(run_batch)
  fi
  [ "$bstatus" -eq 0 ] || { echo "the batch failed with status $bstatus" >&2; exit 1; }
  reference_ok "$dstatus" "$COUNT direct ffmpeg runs, each with its output"
  batch_wall+=("$bw"); batch_cpu+=("$(awk -v u="$bu" -v s="$bs" 'BEGIN {print u + s}')")
  direct_wall+=("$dw"); direct_cpu+=("$(awk -v u="$du" -v s="$ds" 'BEGIN {print u + s}')")
  printf 'round %d: batch %6.2f s (cpu %6.2f s), %d direct ffmpeg runs %6.2f s (cpu %6.2f s)\n' \
    "$round" "$bw" "${batch_cpu[-1]}" "$COUNT" "$dw" "${direct_cpu[-1]}"
done

mapfile -d '' args < "$(ls "$work"/args/run.* | head -1)"
echo "first ffmpeg command: ${args[*]}"
bw=$(median "${batch_wall[@]}"); dw=$(median "${direct_wall[@]}")
bc=$(median "${batch_cpu[@]}"); dc=$(median "${direct_cpu[@]}")
printf 'medians of %d rounds: batch %.2f s, direct %.2f s; cpu %.2f s vs %.2f s\n' \
  "$ROUNDS" "$bw" "$dw" "$bc" "$dc"
# Encoding twenty clips of five seconds takes half a second at the least.
ratio "cpu time ratio" "$bc" "$dc" 0.5 "$COUNT direct ffmpeg runs" "none"
ratio "wall time ratio" "$bw" "$dw" 0.5 "$COUNT direct ffmpeg runs" "<= 1.10"

rm -rf "$work/out"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
  "$BIN/bench_convert_timer" "$work/out/" "$SECONDS_PER_CLIP" "${clips[@]}"
