#!/usr/bin/env bash
# What the record of a job costs, and what its undo costs: renames N files in one directory
# with quorvane-run (the whole job, a scripted editor), side by side without the record
# (--no-record) and with it, then undoes the recorded job (--undo --yes, its plan sent to
# /dev/null) and checks that every file has its old name again. Prints, per size, the
# three times, the record's cost against the job without it, and the undo against the job.
# Release build (preset native-release).
#
#   bench/host_undo_bench.sh [SIZE...]       default: 100000
#   QUORVANE_BENCH_ROUNDS=N                  rounds per measure, the best counts (5)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(100000)
rounds=${QUORVANE_BENCH_ROUNDS:-5}

. "$top/bench/release-tools.sh"
build_release_tools undo-bench

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-undo-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work"
export XDG_STATE_HOME="$work/state"

# A directory of N empty files f000001.dat ...
make_files() {
  rm -rf "$1"
  mkdir -p "$1"
  (cd "$1" && seq -f 'f%06g.dat' 1 "$2" | xargs touch)
}

now() { date +%s.%N; }

# Checks that all $n files of $dir start with $1.
check() {
  local count
  count=$(find "$dir" -maxdepth 1 -name "$1*.dat" | wc -l)
  if [ "$count" -ne "$n" ]; then
    echo "bench: $count of $n files start with $1 after $2" >&2
    exit 1
  fi
}

# Seconds that "$@" takes; the summary goes to a log, the plan of --undo nowhere.
timed() {
  local start end
  sync
  start=$(now)
  "$@" >/dev/null 2>"$work/stderr" </dev/null || {
    cat "$work/stderr" >&2
    exit 1
  }
  end=$(now)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }

# The scripted editor: the new name of every entry starts with g instead of f.
export EDITOR="sed -i -e s/\\\"f/\\\"g/2"
export VISUAL=""

printf '%10s %14s %14s %14s %10s %10s\n' files 'no record' 'with record' undo 'record' 'undo/job'
for n in "${sizes[@]}"; do
  dir="$work/files"
  plain=""
  recorded=""
  undone=""
  # Rounds alternate the three, so that all meet the same state of the machine; the best
  # round of each counts.
  for ((round = 0; round < rounds; round++)); do
    make_files "$dir" "$n"
    time=$(timed "$host" --no-record --answer 0 "$dir")
    check g "the job without a record"
    plain=$(min "$plain" "$time")
    make_files "$dir" "$n"
    time=$(timed "$host" --answer 0 "$dir")
    check g "the job with its record"
    recorded=$(min "$recorded" "$time")
    time=$(timed "$host" --undo --yes --answer 0 "$dir")
    check f "the undo"
    undone=$(min "$undone" "$time")
  done
  printf '%10s %12s s %12s s %12s s %10s %10s\n' "$n" "$plain" "$recorded" "$undone" \
    "$(ratio "$recorded" "$plain")" "$(ratio "$undone" "$recorded")"
done
