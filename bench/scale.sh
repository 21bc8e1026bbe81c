#!/usr/bin/env bash
# Renames N files in one directory end to end through quorvane-run (panel, list file, a
# scripted editor, the plugin's renames) and, in the same run, with a plain loop of
# rename(2) (bench/rename_loop.cpp). Prints, per size: the loop's time, quorvane-run's
# time with the editor's own time taken out, their ratio, and quorvane-run's peak
# resident memory. Release build (preset native-release).
#
#   bench/scale.sh [N...]                 default: 1000000
#   QUORVANE_BENCH_ROUNDS=N               rounds per size, the median counts (3)
#   QUORVANE_BENCH_DIR=DIR                where the files go (default: $TMPDIR or /tmp)
#
# The files are made once per size; the rounds then rename them back and forth (the host
# f... to g..., the loop g... to f...), so that a million files are not made anew for
# every round. The kernel reports the peak memory of a process and of the children it
# waited for together: the editor's own peak is shown beside it, and is the smaller.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(1000000)
rounds=${QUORVANE_BENCH_ROUNDS:-3}

. "$top/bench/release-tools.sh"
build_release_tools scale

work=$(mktemp -d "${QUORVANE_BENCH_DIR:-${TMPDIR:-/tmp}}/quorvane-scale.XXXXXX")
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work"
# The records of the jobs stay with the benchmark, not in the user's state folder.
export XDG_STATE_HOME="$work/state"
dir="$work/names"

# The scripted editor: the new name of every entry swaps its first letter, f for g or g
# for f. It adds its own time (nanoseconds) and peak memory (kB) to files of its own.
editor="$work/editor"
cat >"$editor" <<'EOF'
#!/bin/sh
start=$(date +%s%N)
/usr/bin/time -f %M -o "$TMPDIR/editor.kb" sed -i -e 's/"f/"g/2;t' -e 's/"g/"f/2' "$@"
end=$(date +%s%N)
echo $((end - start)) >"$TMPDIR/editor.ns"
EOF
chmod +x "$editor"
export EDITOR="$editor"
export VISUAL=""

now() { date +%s%N; }

# Checks that every file now starts with $1.
check() {
  local count
  count=$(find "$dir" -maxdepth 1 -name "$1*" | wc -l)
  if [ "$count" -ne "$n" ]; then
    echo "scale: $count of $n files start with $1 after $2" >&2
    exit 1
  fi
}

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%10s %12s %16s %10s %8s %16s %10s\n' files 'rename loop' 'quorvane-run' editor ratio \
  'peak memory' 'editor mem'
for n in "${sizes[@]}"; do
  rm -rf "$dir"
  mkdir -p "$dir"
  (cd "$dir" && seq -f 'f%07g.dat' 1 "$n" | xargs touch)
  loops=() hosts=() editors=() ratios=() peaks=() editorPeaks=()
  for ((round = 0; round < rounds; round++)); do
    sync
    start=$(now)
    /usr/bin/time -f %M -o "$work/host.kb" "$host" --answer 0 "$dir" >/dev/null </dev/null
    end=$(now)
    check g quorvane-run
    host_ns=$((end - start))
    editor_ns=$(cat "$work/editor.ns")
    sync
    start=$(now)
    "$loop" "$dir" g f >/dev/null
    end=$(now)
    check f rename_loop
    loop_ns=$((end - start))
    net_ns=$((host_ns - editor_ns))
    loops+=("$(awk -v t="$loop_ns" 'BEGIN { printf "%.3f", t / 1e9 }')")
    hosts+=("$(awk -v t="$net_ns" 'BEGIN { printf "%.3f", t / 1e9 }')")
    editors+=("$(awk -v t="$editor_ns" 'BEGIN { printf "%.3f", t / 1e9 }')")
    ratios+=("$(awk -v a="$net_ns" -v b="$loop_ns" 'BEGIN { printf "%.3f", a / b }')")
    peaks+=("$(awk -v k="$(cat "$work/host.kb")" 'BEGIN { printf "%.1f", k / 1024 }')")
    editorPeaks+=("$(awk -v k="$(cat "$work/editor.kb")" 'BEGIN { printf "%.1f", k / 1024 }')")
  done
  printf '%10s %10s s %14s s %8s s %8s %12s MiB %6s MiB\n' "$n" "$(median "${loops[@]}")" \
    "$(median "${hosts[@]}")" "$(median "${editors[@]}")" "$(median "${ratios[@]}")" \
    "$(median "${peaks[@]}")" "$(median "${editorPeaks[@]}")"
  rm -rf "$dir"
done
