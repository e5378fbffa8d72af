# Sourced by the benchmarks' run.sh: medians, and a ratio that is printed only against a
# reference run that worked. A reference that failed, or took less than it plausibly can, would
# make any ratio a false figure; the benchmark then names the cause and exits with status 1.
# shellcheck shell=bash

median() { # values...
  printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'
}

# Stops the benchmark when a program it measures against is missing.
require_program() { # program package
  command -v "$1" >/dev/null || {
    echo "no reference: $1 is not installed (Debian: $2; scripts/install-deps.sh installs it)" >&2
    exit 2
  }
}

# Stops the benchmark when a reference run failed.
reference_ok() { # status what
  if [ "$1" -ne 0 ]; then
    echo "no ratio: the reference run ($2) failed with status $1" >&2
    exit 1
  fi
}

# Stops the benchmark when a reference took less than it plausibly can: it did not do its work.
plausible() { # seconds minimum what
  if ! awk -v r="$1" -v m="$2" 'BEGIN {exit !(r > 0 && r >= m)}'; then
    echo "no ratio: the reference run ($3) took $1 s, less than the $2 s it plausibly takes;" \
      "it did not do its work" >&2
    exit 1
  fi
}

# Prints "LABEL RATIO (goal GOAL)" of ours / reference, once the reference is plausible.
ratio() { # label ours reference minimum what goal
  plausible "$3" "$4" "$5"
  awk -v l="$1" -v o="$2" -v r="$3" -v g="$6" 'BEGIN {printf "%s %.3f (goal %s)\n", l, o / r, g}'
}
