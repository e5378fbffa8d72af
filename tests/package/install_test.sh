#!/usr/bin/env bash
# Checks an installation of the build tree, and the Debian package made from it.
#   install_test.sh batch BUILD_DIR   installs into a temporary prefix and converts a generated clip
#                                     with the installed lumicast-batch, run from another folder
#   install_test.sh app BUILD_DIR     starts the installed lumicast offscreen with a clip on its
#                                     command line and waits for the list to show it "Ready"
#   install_test.sh deb BUILD_DIR     builds the .deb and runs lintian on it (no errors allowed)
#   install_test.sh deps BUILD_DIR    every package scripts/install-deps.sh names is known to dpkg
#   install_test.sh run BUILD_DIR     the README's scripts/run.sh in a fresh copy of the tracked
#                                     tree: the program it builds and starts offers German and
#                                     Chinese in its Language menu and has its manual beside it
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
mode=$1
build=$(cd "$2" && pwd)

work=$(mktemp -d)
app_pid=""
cleanup() {
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The machine's compiler cache, for the run script's build (found before HOME changes below), with
# paths taken relative to the copy; only the first run on a cold cache compiles everything.
if [ "$mode" = run ] && command -v ccache > /dev/null; then
  export CCACHE_DIR=${CCACHE_DIR:-$(ccache --get-config cache_dir)}
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR=$work/tree CCACHE_NOHASHDIR=1
  export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
fi

# Nothing of the user's is read or written, and nothing of the build tree is found by accident.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export PATH=/usr/local/bin:/usr/bin:/bin
export LANG=C.UTF-8

install_tree() { # prefix
  cmake --install "$build" --prefix "$1" > "$work/install.log" || {
    cat "$work/install.log"
    fail "cmake --install"
  }
  local program
  for program in lumicast-batch Kestrelvx LanResGermanDll.so LanResChineseDll.so; do
    [ -f "$1/libexec/lumicast/$program" ] || fail "libexec/lumicast/$program is not installed"
  done
  for program in bin/lumicast-batch share/lumicast/help/Lumicast.html share/doc/lumicast/copyright \
    share/man/man1/lumicast-batch.1.gz share/icons/hicolor/scalable/apps/lumicast.svg; do
    [ -e "$1/$program" ] || fail "$program is not installed"
  done
  # Relative links, so that the tree can move.
  [ "$(readlink "$1/bin/lumicast-batch")" = "../libexec/lumicast/lumicast-batch" ] ||
    fail "bin/lumicast-batch is not a relative link: $(readlink "$1/bin/lumicast-batch")"
}

make_clip() { # path
  ffmpeg -nostdin -loglevel error -f lavfi -i testsrc=size=320x240:rate=25:duration=2 \
    -f lavfi -i sine=frequency=440:duration=2 -c:v mpeg4 -c:a aac -shortest "$1"
}

case $mode in
batch)
  # The tree is moved after installing: nothing may depend on where it was put first.
  install_tree "$work/first"
  mv "$work/first" "$work/prefix"
  mkdir -p "$work/in" "$work/elsewhere"
  make_clip "$work/in/clip one.mp4"
  # An encoder on the PATH that always fails: the one beside the program must be found first.
  mkdir -p "$work/decoy"
  printf '#!/bin/sh\nexit 1\n' > "$work/decoy/Kestrelvx"
  chmod +x "$work/decoy/Kestrelvx"
  cd "$work/elsewhere"
  status=0
  PATH=$work/decoy:$PATH "$work/prefix/bin/lumicast-batch" --output ../out \
    "$work/in/clip one.mp4" > "$work/batch.out" 2>&1 || status=$?
  cat "$work/batch.out"
  [ "$status" -eq 0 ] || fail "lumicast-batch ended with status $status"
  [ -s "$work/out/clip one-cvt.mp4" ] || fail "no output file"
  grep -q "^Done" "$work/batch.out" || fail "no Done line"
  echo "installed lumicast-batch converted the clip"
  ;;
app)
  install_tree "$work/prefix"
  [ -x "$work/prefix/libexec/lumicast/lumicast" ] || fail "libexec/lumicast/lumicast is not installed"
  make_clip "$work/clip.mp4"
  cd "$work"
  QT_QPA_PLATFORM=offscreen LUMICAST_LOG=$work/app.log "$work/prefix/bin/lumicast" clip.mp4 \
    > "$work/app.out" 2>&1 &
  app_pid=$!
  for _ in $(seq 1 600); do
    if grep -q "Command line source clip.mp4: Ready" "$work/app.log" 2>/dev/null; then
      echo "installed lumicast listed clip.mp4 as Ready"
      exit 0
    fi
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.2
  done
  cat "$work/app.out"
  [ -f "$work/app.log" ] && tail -20 "$work/app.log"
  fail "lumicast did not list clip.mp4 as Ready"
  ;;
deb)
  "$source_dir/scripts/package.sh" --build-dir "$build" --output "$work/deb" > "$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    fail "the package was not built"
  }
  deb=$(ls "$work"/deb/*.deb)
  dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
  dpkg-deb --contents "$deb" | awk '{print $6, $7, $8}'
  # Errors fail the test; the warnings that remain are printed.
  lintian --fail-on error --display-info "$deb" || fail "lintian reports errors"
  ;;
deps)
  # A virtual name (one that only another package provides) is never "installed", so the script
  # would install on every run: every name must be a real package.
  unknown=()
  for pkg in $("$source_dir/scripts/install-deps.sh" --list); do
    dpkg-query -W "$pkg" > /dev/null 2>&1 || unknown+=("$pkg")
  done
  [ ${#unknown[@]} -eq 0 ] || fail "not real installed packages: ${unknown[*]}"
  ;;
run)
  # A fresh tree: the tracked files as they are now, no build folder.
  mkdir -p "$work/tree"
  git -C "$source_dir" ls-files -z | (cd "$source_dir" && tar --null -T - -cf -) |
    tar -xf - -C "$work/tree"
  cd "$work/tree"
  QT_QPA_PLATFORM=offscreen LUMICAST_LOG=$work/app.log ./scripts/run.sh > "$work/run.out" 2>&1 &
  app_pid=$!
  # The build comes first; the program then writes the Language menu it offers to the log.
  while kill -0 "$app_pid" 2> /dev/null && ! grep -q "Language menu:" "$work/app.log" 2> /dev/null; do
    sleep 1
  done
  line=$(grep "Language menu:" "$work/app.log" 2> /dev/null | head -1 || true)
  if [ -z "$line" ]; then
    tail -30 "$work/run.out"
    fail "the program scripts/run.sh started wrote no Language menu"
  fi
  echo "$line"
  for language in "&English" "&Deutsch" "&简体中文"; do
    case $line in
    *"$language"*) ;;
    *) fail "the Language menu lacks $language" ;;
    esac
  done
  # Help > Contents opens the manual beside the program, with its pictures.
  for page in Lumicast.html download.html lumicast.css main-window.png; do
    [ -s "build/bin/$page" ] || fail "build/bin/$page was not built"
  done
  echo "scripts/run.sh built and started the program with its languages and its manual"
  ;;
*)
  fail "unknown mode $mode"
  ;;
esac
