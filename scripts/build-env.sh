# Sourced by scripts/test.sh and scripts/stress-tests.sh: what a test build is configured with on
# this machine besides its preset (CMakePresets.json).
#   JOBS      the cores, for building
#   LAUNCHER  cmake arguments for the compiler cache, when ccache is there
#   LINKER    cmake arguments for lld, when it is there (also exported as LUMICAST_LINKER for
#             scripts/fuzz-build.sh)
# shellcheck shell=bash disable=SC2034 # the variables are for the scripts that source this
JOBS=$(nproc)

# The compiler cache makes a second run (and a run in another clone) rebuild only what changed.
# Paths are hashed relative to the source folder, and the precompiled headers of the widget
# targets are cacheable with this sloppiness.
LAUNCHER=()
if command -v ccache > /dev/null; then
  # scripts/ccache-pch.sh runs ccache and writes the checksum of each precompiled header it makes,
  # which ccache then hashes instead of the header itself.
  LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache "-DCMAKE_CXX_COMPILER_LAUNCHER=$PWD/scripts/ccache-pch.sh")
  export CCACHE_BASEDIR=$PWD
  export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
  export CCACHE_NOHASHDIR=1
  export CCACHE_PCH_EXTSUM=1
fi

# lld links the test programs several times faster than the default linker.
LINKER=""
if command -v ld.lld > /dev/null; then
  LINKER="-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld"
  LINKER+=" -DCMAKE_MODULE_LINKER_FLAGS=-fuse-ld=lld"
fi
export LUMICAST_LINKER=$LINKER
