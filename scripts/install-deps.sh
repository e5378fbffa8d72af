#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing Lumicast needs.
# Idempotent: only what is missing is installed. Runs as root, or through sudo otherwise.
# Every name is a real package (not a virtual one that only another provides), so that an installed
# name is seen as installed; --list prints them, one a line, for the test that checks this.
set -euo pipefail

PACKAGES=(
  # tool chain
  build-essential cmake ninja-build pkg-config git clang-format clang-tidy ccache lld
  # the fuzz targets: clang with its sanitizer and libFuzzer runtime
  clang libclang-rt-14-dev
  # the package: cpack's dependency search, the icon sizes, the validators of the test run
  dpkg-dev file librsvg2-bin desktop-file-utils appstream lintian
  # tests (gettext: msgfmt checks the translations; parallel: the README's recipe for several
  # computers)
  googletest libgtest-dev libgmock-dev xvfb xauth gettext parallel
  # the widgets
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev libx11-dev fonts-dejavu-core xdg-utils
  # the Simplified Chinese interface needs a CJK font; Qt's own texts in the interface's language
  fonts-noto-cjk qt6-translations-l10n
  # the encoder: FFmpeg's libraries for probing, the ffmpeg program for converting
  ffmpeg libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev
  # the media framework behind the preview
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-plugins-base
  gstreamer1.0-plugins-good gstreamer1.0-libav
  # the RealMedia and ASF demuxers (ugly), the ASF muxer (bad) the WMV target check looks for
  gstreamer1.0-plugins-ugly gstreamer1.0-plugins-bad
  # the benchmarks' reference runs: GStreamer's own player (gst-launch-1.0), chrt for the idle
  # class
  gstreamer1.0-tools util-linux
)

if [ "${1:-}" = "--list" ]; then
  printf '%s\n' "${PACKAGES[@]}"
  exit 0
fi

missing=()
for pkg in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$pkg")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#PACKAGES[@]} packages are installed"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
