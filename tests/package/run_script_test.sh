#!/usr/bin/env bash
# The README's way to run the application: scripts/run.sh in a fresh copy of the tracked tree
# builds it and starts it. The program it starts must offer German and Chinese in its Language
# menu (the modules were built beside it) and find its manual beside it (the help pages were
# built). The build shares the compiler cache of the machine, so only the first run compiles it
# all.
#   run_script_test.sh SOURCE_DIR
set -euo pipefail
source_dir=$(cd "$1" && pwd)

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

# A fresh tree: the tracked files as they are now, no build folder.
mkdir -p "$work/tree"
git -C "$source_dir" ls-files -z | (cd "$source_dir" && tar --null -T - -cf -) | tar -xf - -C "$work/tree"
[ ! -e "$work/tree/build" ] || fail "the copy holds a build folder"

# The machine's compiler cache, when there is one (found before HOME changes below), with paths
# taken relative to the copy.
if command -v ccache > /dev/null; then
  export CCACHE_DIR=${CCACHE_DIR:-$(ccache --get-config cache_dir)}
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR=$work/tree CCACHE_NOHASHDIR=1
  export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
fi

# Nothing of the user's is read or written.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

cd "$work/tree"
QT_QPA_PLATFORM=offscreen LUMICAST_LOG=$work/app.log ./scripts/run.sh > "$work/run.out" 2>&1 &
app_pid=$!
# The build takes minutes on a cold cache; the program then writes its Language menu to the log.
while kill -0 "$app_pid" 2> /dev/null; do
  if grep -q "Language menu:" "$work/app.log" 2> /dev/null; then
    break
  fi
  sleep 1
done
line=$(grep "Language menu:" "$work/app.log" 2> /dev/null | head -1 || true)
if [ -z "$line" ]; then
  tail -30 "$work/run.out"
  fail "the program scripts/run.sh started wrote no Language menu"
fi
echo "$line"
for language in "&English" "&Deutsch" "简体中文"; do
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
