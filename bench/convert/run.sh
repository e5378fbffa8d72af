#!/usr/bin/env bash
# Whole batches against direct ffmpeg runs, the main thread's timer while a batch runs, and the
# time left against the time really left.
#
# 1. Twenty generated 5 s clips with the iPod settings
#      (" -vcodec xvid -s 320x240 -r 29.970 -b 768 -ac 2 -ab 128 -ar 44100"),
#    converted in each round
#    - by the window's batch driver, one file at a time (ConvertSourcesThread -> CEncoderJob ->
#      Kestrelvx -> ffmpeg; the clips were added, that is probed, before, as in the window),
#    - by lumicast-batch with --jobs 1, --jobs 2 and --jobs auto (its probes included, each run
#      with an empty cache of the encoder, as a first run),
#    - and by twenty direct runs, one after another, of the very ffmpeg commands Kestrelvx ran, at
#      the same (idle) priority class.
#    Prints every run's wall and processor time with the load average before it, then the medians
#    and the ratios: the window's batch against the direct runs (goal: at most 1.03), and
#    lumicast-batch --jobs 2 and auto against the same direct runs (goal: at most 0.75 on two
#    cores). The order of the runs turns round from one round to the next. On a busy machine the
#    idle class makes the wall times mostly tell how busy it is: run it when `uptime` is low.
# 2. Runs a batch of the clips inside the conversion dialog and prints how late a 100 ms timer on
#    the main thread fires meanwhile (goal: 99th percentile under 50 ms late), and the same for
#    ten seconds without a batch first, as the reference of how busy the machine is.
# 3. Converts clips of 10, 60 and 20 s to H.264 at 1280x720 (one at a time, then two at a time) and
#    prints how far the time left was from the time really left once it was shown (goal: within
#    25 %).
#
#   bench/convert/run.sh [BUILD_DIR] [ROUNDS]      (defaults: build, 1)
# No ratio is printed when a direct ffmpeg run fails, an output is missing, or the direct runs
# take less than they plausibly can; a batch that fails or loses an output stops the benchmark.
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/common.sh
BUILD=${1:-build}
ROUNDS=${2:-1}
BIN=$(cd "$BUILD/bin" && pwd)
for program in bench_convert_batch bench_convert_timer bench_time_left lumicast-batch Kestrelvx; do
  [ -x "$BIN/$program" ] || {
    echo "build the targets bench_convert_batch, bench_convert_timer, bench_time_left," \
      "lumicast-batch and Kestrelvx in $BUILD first" >&2
    exit 2
  }
done
FFMPEG=$(command -v ffmpeg)
OPTIONS=" -vcodec xvid -s 320x240 -r 29.970 -b 768 -ac 2 -ab 128 -ar 44100"
BATCH_OPTIONS=(--size 320x240 --rate 29.97 --video-bitrate 768 --channels 2 --audio-bitrate 128
  --sample-rate 44100)
COUNT=20
SECONDS_PER_CLIP=5

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/clips" "$work/args" "$work/wrap" "$work/config"
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
load() { cut -d' ' -f1 /proc/loadavg; }
outputs_complete() { [ "$(find "$work/out" -name '*.mp4' -size +0 | wc -l)" -eq "$COUNT" ]; }
window_batch() {
  "$BIN/bench_convert_batch" "$work/out/" "$OPTIONS" "$SECONDS_PER_CLIP" "${clips[@]}" &&
    outputs_complete
}
run_window() {
  rm -rf "$work/out"
  timed window_batch
}
lumicast_batch() { # jobs
  XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" "$BIN/lumicast-batch" --jobs "$1" \
    --output "$work/out" "${BATCH_OPTIONS[@]}" "${clips[@]}" >"$work/batch.log" 2>&1 &&
    outputs_complete
}
run_lumicast_batch() { # jobs
  rm -rf "$work/out" "$work/cache"
  timed lumicast_batch "$1"
}
# Every noted command once; fails on the first that fails, and when an output is missing.
direct_all() {
  local f
  for f in "$work"/args/run.*; do
    mapfile -d '' args < "$f"
    # Kestrelvx reads the progress on descriptor 3; here it goes nowhere.
    chrt --idle 0 "$FFMPEG" "${args[@]}" </dev/null 3>/dev/null || return
  done
  outputs_complete
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

kinds=(window jobs1 jobs2 auto direct)
declare -A wall cpu
for kind in "${kinds[@]}"; do wall[$kind]=""; cpu[$kind]=""; done
for round in $(seq "$ROUNDS"); do
  # Each round starts one further along the list, so no kind always runs first.
  order=("${kinds[@]:$(((round - 1) % 5))}" "${kinds[@]:0:$(((round - 1) % 5))}")
  line="round $round:"
  for kind in "${order[@]}"; do
    before=$(load)
    case $kind in
      window) read -r w u s status < <(run_window) ;;
      jobs1) read -r w u s status < <(run_lumicast_batch 1) ;;
      jobs2) read -r w u s status < <(run_lumicast_batch 2) ;;
      auto) read -r w u s status < <(run_lumicast_batch auto) ;;
      direct) read -r w u s status < <(run_direct) ;;
    esac
    if [ "$kind" = direct ]; then
      reference_ok "$status" "$COUNT direct ffmpeg runs, each with its output"
    elif [ "$status" -ne 0 ]; then
      echo "$kind: the batch failed with status $status or lost an output" >&2
      [ "$kind" = window ] || grep -v '^File\|^Done' "$work/batch.log" >&2 || true
      exit 1
    fi
    c=$(awk -v u="$u" -v s="$s" 'BEGIN {print u + s}')
    wall[$kind]+="$w "
    cpu[$kind]+="$c "
    line+=$(printf ' %s %.2f s (cpu %.2f s, load %s);' "$kind" "$w" "$c" "$before")
  done
  echo "$line"
done

mapfile -d '' args < "$(ls "$work"/args/run.* | head -1)"
echo "first ffmpeg command: ${args[*]}"
dw=$(median ${wall[direct]}); dc=$(median ${cpu[direct]})
printf 'medians of %d rounds: %d direct ffmpeg runs %.2f s (cpu %.2f s)\n' "$ROUNDS" "$COUNT" "$dw" "$dc"
# Encoding twenty clips of five seconds takes half a second at the least.
plausible "$dw" 0.5 "$COUNT direct ffmpeg runs"
plausible "$dc" 0.5 "$COUNT direct ffmpeg runs (cpu)"
for kind in window jobs1 jobs2 auto; do
  kw=$(median ${wall[$kind]}); kc=$(median ${cpu[$kind]})
  case $kind in
    window) label="window's batch (one at a time)"; goal="goal <= 1.03" ;;
    jobs1) label="lumicast-batch --jobs 1"; goal="for reference" ;;
    jobs2) label="lumicast-batch --jobs 2"; goal="goal <= 0.75" ;;
    auto) label="lumicast-batch --jobs auto ($(nproc) cores)"; goal="goal <= 0.75" ;;
  esac
  awk -v l="$label" -v w="$kw" -v c="$kc" -v dw="$dw" -v dc="$dc" -v g="$goal" \
    'BEGIN {printf "%s: %.2f s, wall time ratio %.3f (%s), cpu time ratio %.3f\n", l, w, w / dw, g, c / dc}'
done

rm -rf "$work/out"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
  "$BIN/bench_convert_timer" "$work/out/" "$SECONDS_PER_CLIP" "${clips[@]}"

# The time left on files of 10, 60 and 20 s.
long=()
for seconds in 10 60 20; do
  clip="$work/clips/long$seconds.mp4"
  "$FFMPEG" -nostdin -v error -y -f lavfi -i "testsrc2=size=1280x720:rate=30:duration=$seconds" \
    -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=$seconds" \
    -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -ac 2 -shortest "$clip"
  long+=("$clip")
done
for jobs in 1 2; do
  rm -rf "$work/out"
  "$BIN/bench_time_left" "$work/out/" "$jobs" mov 1280 720 "${long[@]}"
done
