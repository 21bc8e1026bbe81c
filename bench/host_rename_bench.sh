#!/usr/bin/env bash
# Renames 10,000 and 100,000 files in one directory with quorvane-run (the whole job:
# panel, list file, a scripted editor, the plugin's renames, the summary) and with -q, and,
# in the same run, with a plain loop of rename(2) (bench/rename_loop.cpp); prints the
# times and their ratios for each size. Then the plan: --dry-run of the same list against
# the real run. Then -p: 30,000 files moved into 341 folders that -p makes, against the
# same with the folders there. Release build (preset native-release).
#
#   bench/host_rename_bench.sh [SIZE...]     default: 10000 100000
#   QUORVANE_BENCH_ROUNDS=N                  rounds per measure, the best counts (5)
#   QUORVANE_BENCH_PARENTS=N                 the files of the -p measure (30000; 0: none)
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
# The records of the jobs stay with the benchmark, not in the user's state folder.
export XDG_STATE_HOME="$work/state"

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

printf '%10s %14s %14s %14s %8s %8s\n' files quorvane-run 'with -q' 'rename loop' ratio 'ratio -q'
for n in "${sizes[@]}"; do
  dir="$work/files"
  host_time=""
  quiet_time=""
  loop_time=""
  # Rounds alternate between the three, so that all meet the same state of the machine;
  # the best round of each counts.
  for ((round = 0; round < rounds; round++)); do
    time=$(run_once "$host" --answer 0 "$dir") || exit 1
    host_time=$(min "$host_time" "$time")
    time=$(run_once "$host" -q --answer 0 "$dir") || exit 1
    quiet_time=$(min "$quiet_time" "$time")
    time=$(run_once "$loop" "$dir" f g) || exit 1
    loop_time=$(min "$loop_time" "$time")
  done
  ratio=$(awk -v a="$host_time" -v b="$loop_time" 'BEGIN { printf "%.2f", a / b }')
  quiet=$(awk -v a="$quiet_time" -v b="$loop_time" 'BEGIN { printf "%.2f", a / b }')
  printf '%10s %12s s %12s s %12s s %8s %8s\n' "$n" "$host_time" "$quiet_time" "$loop_time" \
    "$ratio" "$quiet"
done

seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

# The plan: --dry-run reads and judges the same list that the run renames, and renames
# nothing.
echo
printf '%10s %14s %14s %8s\n' files '--dry-run' 'the run' ratio
for n in "${sizes[@]}"; do
  dir="$work/files"
  plan_time=""
  run_time=""
  for ((round = 0; round < rounds; round++)); do
    make_files "$dir" "$n"
    start=$(now)
    "$host" -n "$dir" >/dev/null 2>"$work/stderr" </dev/null || {
      cat "$work/stderr" >&2
      exit 1
    }
    plan_time=$(min "$plan_time" "$(seconds "$start" "$(now)")")
    time=$(run_once "$host" --answer 0 "$dir") || exit 1
    run_time=$(min "$run_time" "$time")
  done
  ratio=$(awk -v a="$plan_time" -v b="$run_time" 'BEGIN { printf "%.2f", a / b }')
  printf '%10s %12s s %12s s %8s\n' "$n" "$plan_time" "$run_time" "$ratio"
done

# -p: every file into one of 341 folders (d0 ... d340, by its number), which -p makes as
# the moves need them; against the same job with the folders made beforehand.
parents=${QUORVANE_BENCH_PARENTS:-30000}
[ "$parents" -gt 0 ] || exit 0
into="$work/into-folders"
cat >"$into" <<'EOF'
#!/bin/sh
# The list is the last argument; its lines end in CR LF, which the reader takes without.
for list; do :; done
awk '{ sub(/\r$/, "") } /^"f[0-9]+\.dat"/ { n = substr($1, 3, 6) + 0; sub(/"f[0-9]+\.dat"$/, "\"d" (n % 341) "/g" substr($1, 3)) } { print }' "$list" >"$list.new" && mv "$list.new" "$list"
EOF
chmod +x "$into"
# Seconds of one -p job on fresh files, with ($1 = 1) or without the folders there; checks
# that every file went into its folder.
parents_once() {
  make_files "$dir" "$parents"
  if [ "$1" = 1 ]; then (cd "$dir" && seq -f 'd%g' 0 340 | xargs mkdir); fi
  sync
  local start moved
  start=$(now)
  EDITOR="$into" "$host" -p -q --answer 0 "$dir" >/dev/null 2>"$work/stderr" </dev/null || {
    cat "$work/stderr" >&2
    exit 1
  }
  seconds "$start" "$(now)"
  moved=$(find "$dir" -mindepth 2 -name 'g*.dat' | wc -l)
  if [ "$moved" -ne "$parents" ]; then
    echo "bench: only $moved of $parents files moved into their folders" >&2
    exit 1
  fi
}
echo
printf '%10s %18s %18s %8s\n' files '-p makes 341' 'folders there' ratio
dir="$work/files"
made_time=""
there_time=""
for ((round = 0; round < rounds; round++)); do
  time=$(parents_once 0) || exit 1
  made_time=$(min "$made_time" "$time")
  time=$(parents_once 1) || exit 1
  there_time=$(min "$there_time" "$time")
done
ratio=$(awk -v a="$made_time" -v b="$there_time" 'BEGIN { printf "%.2f", a / b }')
printf '%10s %16s s %16s s %8s\n' "$parents" "$made_time" "$there_time" "$ratio"
