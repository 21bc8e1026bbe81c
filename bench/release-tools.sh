# Sourced by the host benchmarks: builds quorvane-run, the plugin and the plain rename
# loop in the release configuration (preset native-release), and sets $host and $loop.
# Needs $top (the checkout) and takes the name to report a failed build under.
build_release_tools() {
  local log="$top/build/native-release.bench.log"
  mkdir -p "$top/build"
  if ! (cd "$top" && cmake --preset native-release &&
    cmake --build --preset native-release --target quorvane-run Quorvane rename_loop) >"$log" 2>&1; then
    grep -v '^\[[0-9]*/[0-9]*\]' "$log" | tail -n 30 >&2
    echo "$1: the build failed; see $log" >&2
    exit 1
  fi
  host="$top/build/native-release/dist/linux/quorvane-run"
  loop="$top/build/native-release/bench/rename_loop"
}
