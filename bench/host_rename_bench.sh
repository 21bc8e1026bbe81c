#!/usr/bin/env bash
# Renames 10,000 and 100,000 files in one directory with quorvane-run (the whole job:
# panel, list file, a scripted editor, the plugin's renames) and, in the same run, with a
# plain loop of rename(2) (bench/rename_loop.cpp), and prints both times and their ratio
# for each size. Release build (preset native-release).
#
#   bench/host_rename_bench.sh [SIZE...]     default: 10000 100000
#   QUORVANE_BENCH_ROUNDS=N                  rounds per measure, the best counts (5)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(10000 100000)
rounds=${QUORVANE_BENCH_ROUNDS:-5}

. "$top/bench/release-tools.sh"
build_release_tools bench

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work"

# A directory of N empty files f000001.dat ...
make_files() {
  rm -rf "$1"
  mkdir -p "$1"
  (cd "$1" && seq -f 'f%06g.dat' 1 "$2" | xargs touch)
}

now() { date +%s.%N; }

# Seconds that "$@" takes on a fresh directory $dir of $n files; checks that every file
# was renamed.
run_once() {
  make_files "$dir" "$n"
  sync
  local start end renamed
  start=$(now)
  # The summary line goes to the log, so that the table stays readable.
  "$@" >/dev/null 2>"$work/stderr" </dev/null || {
    cat "$work/stderr" >&2
    exit 1
  }
  end=$(now)
  renamed=$(find "$dir" -maxdepth 1 -name 'g*.dat' | wc -l)
  if [ "$renamed" -ne "$n" ]; then
    echo "bench: only $renamed of $n files renamed by $1" >&2
    exit 1
  fi
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }

# The scripted editor: the new name of every entry starts with g instead of f.
export EDITOR="sed -i -e s/\\\"f/\\\"g/2"
export VISUAL=""

printf '%10s %16s %14s %8s\n' files quorvane-run 'rename loop' ratio
for n in "${sizes[@]}"; do
  dir="$work/files"
  host_time=""
  loop_time=""
  # Rounds alternate between the two, so that both meet the same state of the machine;
  # the best round of each counts.
  for ((round = 0; round < rounds; round++)); do
    time=$(run_once "$host" --answer 0 "$dir") || exit 1
    host_time=$(min "$host_time" "$time")
    time=$(run_once "$loop" "$dir" f g) || exit 1
    loop_time=$(min "$loop_time" "$time")
  done
  ratio=$(awk -v a="$host_time" -v b="$loop_time" 'BEGIN { printf "%.2f", a / b }')
  printf '%10s %14s s %12s s %8s\n' "$n" "$host_time" "$loop_time" "$ratio"
done
