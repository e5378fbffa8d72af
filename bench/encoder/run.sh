#!/usr/bin/env bash
# Conversion overhead of the application's side of the encoder.
#
# Converts a generated 60 s 640x480 clip with the iPod settings
#   (" -vcodec xvid -s 320x240 -r 29.970 -b 768 -ac 2 -ab 128 -ar 44100")
# through the encoder job (CEncoderJob::Run -> Kestrelvx -> ffmpeg), and with the very ffmpeg command
# that Kestrelvx ran, started directly at the same (idle) priority class. Prints both wall times and
# their ratio (goal: at most 1.03), and the ratio of the processor time both took. Rounds
# alternate which goes first; the medians are compared. Both run at the idle class, so on a busy
# machine the wall times mostly tell how busy it is; the processor times stay comparable.
#
#   bench/encoder/run.sh [BUILD_DIR] [ROUNDS]      (defaults: build, 3)
# No ratio is printed when a direct ffmpeg run fails, writes no output or takes less than it
# plausibly can.
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/common.sh
BUILD=${1:-build}
ROUNDS=${2:-3}
BIN=$(cd "$BUILD/bin" && pwd)
[ -x "$BIN/bench_encoder" ] && [ -x "$BIN/Kestrelvx" ] || {
  echo "build the targets bench_encoder and Kestrelvx in $BUILD first" >&2
  exit 2
}
FFMPEG=$(command -v ffmpeg)
OPTIONS=" -vcodec xvid -s 320x240 -r 29.970 -b 768 -ac 2 -ab 128 -ar 44100"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
clip="$work/clip.mp4"
"$FFMPEG" -nostdin -v error -y -f lavfi -i testsrc2=size=640x480:rate=25:duration=60 \
  -f lavfi -i sine=frequency=440:sample_rate=44100:duration=60 \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -ac 2 -shortest "$clip"

# A stand-in "ffmpeg" first on PATH notes the arguments Kestrelvx passes, then becomes the real one.
mkdir "$work/wrap"
cat > "$work/wrap/ffmpeg" <<WRAP
#!/bin/sh
for a in "\$@"; do printf '%s\\000' "\$a"; done > "$work/args"
exec "$FFMPEG" "\$@"
WRAP
chmod +x "$work/wrap/ffmpeg"

# Times one command: wall, then user + system time of it and every process it waited for, then
# its exit status.
TIMEFORMAT='%R %U %S'
timed() {
  local status=0
  { time "$@" >/dev/null 2>&1 3>/dev/null; } 2>"$work/timed" || status=$?
  echo "$(tail -1 "$work/timed") $status"
}

run_job() {
  rm -f "$work/out-cvt.mp4"
  PATH="$work/wrap:$PATH" timed "$BIN/bench_encoder" "$clip" "$work/out-cvt.mp4" clip 0 60 "$OPTIONS"
}
# As timed; a run that wrote no output counts as failed (status 255).
run_direct() {
  local wall user system status
  mapfile -d '' args < "$work/args"
  rm -f "$work/out-cvt.mp4"
  read -r wall user system status < <(timed chrt --idle 0 "$FFMPEG" "${args[@]}")
  [ -s "$work/out-cvt.mp4" ] || [ "$status" -ne 0 ] || status=255
  echo "$wall $user $system $status"
}

job_wall=(); job_cpu=(); direct_wall=(); direct_cpu=()
run_job >/dev/null # notes the ffmpeg command and warms the caches
for round in $(seq "$ROUNDS"); do
  if [ $((round % 2)) -eq 1 ]; then
    read -r jw ju js jstatus < <(run_job)
    read -r dw du ds dstatus < <(run_direct)
  else
    read -r dw du ds dstatus < <(run_direct)
    read -r jw ju js jstatus < <(run_job)
  fi
  [ "$jstatus" -eq 0 ] || { echo "the encoder job failed with status $jstatus" >&2; exit 1; }
  reference_ok "$dstatus" "direct ffmpeg"
  job_wall+=("$jw"); job_cpu+=("$(awk -v u="$ju" -v s="$js" 'BEGIN {print u + s}')")
  direct_wall+=("$dw"); direct_cpu+=("$(awk -v u="$du" -v s="$ds" 'BEGIN {print u + s}')")
  printf 'round %d: encoder job %6.2f s (cpu %6.2f s), direct ffmpeg %6.2f s (cpu %6.2f s)\n' \
    "$round" "$jw" "${job_cpu[-1]}" "$dw" "${direct_cpu[-1]}"
done

mapfile -d '' args < "$work/args"
echo "ffmpeg command: ffmpeg ${args[*]}"
jw=$(median "${job_wall[@]}"); dw=$(median "${direct_wall[@]}")
jc=$(median "${job_cpu[@]}"); dc=$(median "${direct_cpu[@]}")
printf 'medians of %d rounds: encoder job %.2f s, direct ffmpeg %.2f s; cpu %.2f s vs %.2f s\n' \
  "$ROUNDS" "$jw" "$dw" "$jc" "$dc"
# Encoding a minute of video takes half a second at the least, on any machine of today.
ratio "cpu time ratio" "$jc" "$dc" 0.5 "direct ffmpeg" "none"
ratio "wall time ratio" "$jw" "$dw" 0.5 "direct ffmpeg" "<= 1.03"
