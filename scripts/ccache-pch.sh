#!/bin/sh
# The test command's compiler launcher: ccache, and after it has made a precompiled header, the
# header's checksum beside it. GCC's precompiled headers are 120 to 280 MB; with CCACHE_PCH_EXTSUM
# set, ccache hashes that small file instead of the header for every file that uses it. The
# checksum is written in the same build step as the header, so no file compiles against a header
# whose checksum is not yet (or no longer) its own; it holds no path, so another clone finds the
# same.
ccache "$@" || exit
out=""
prev=""
for arg in "$@"; do
  if [ "$prev" = "-o" ]; then
    out=$arg
  fi
  prev=$arg
done
case $out in
*.gch | *.pch) sha256sum < "$out" > "$out.sum" ;;
esac
