#!/usr/bin/env bash
# Builds and runs every benchmark, prints the figures and writes docs/PERFORMANCE.md with
# them against the floor each is measured with, the goals, the machine and its load. Benchmarks measure; they never fail on time. The Windows
# ones run under Wine on a virtual display of their own with a real tray host (trayer), as
# the program runs in the end-to-end tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${QUAFF_BUILD:-$root/build}"
export QUAFF_BUILD="$build"
out="$build/bench"
doc="$root/docs/PERFORMANCE.md"

"$root/tools/build.sh"
load=$(cut -d' ' -f1-3 /proc/loadavg)   # other work on the machine skews every figure

# The native picture-decode benchmark wants an optimised tree without sanitizers.
if [ ! -f "$build/bench-native/build.ninja" ]; then
  cmake -S "$root" -B "$build/bench-native" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQUAFF_SANITIZE=OFF >/dev/null
fi
cmake --build "$build/bench-native" -j "$(nproc)" --target bench_jpeg_decode_bench

rm -rf "$out"; mkdir -p "$out"
export QUAFF_XVFB=1   # a display of our own: only one tray host can own a screen's tray
. "$root/tools/display.sh"
trayer_pid=
# The clean-up always runs to its end and leaves the script's status as it was: under set -e a
# failing step here (a kill of a tray host that is gone already) would end it early, with a
# failure, and leave the display running.
finish() {
  if [ -n "$trayer_pid" ]; then kill "$trayer_pid" 2>/dev/null || true; fi
  stop_display || true
}
trap finish EXIT
set +e   # the shared display set-up is written for shells that go on after a failed step
start_display
set -e
tray_host="none (Wine keeps the icons itself)"
if command -v trayer >/dev/null; then
  trayer --edge bottom --align right --widthtype pixel --width 120 --heighttype pixel \
    --height 32 >/dev/null 2>&1 &
  trayer_pid=$!
  for _ in $(seq 50); do
    xdotool search --classname '^panel$' >/dev/null 2>&1 && { tray_host=trayer; break; }
    sleep 0.2
  done
fi

status=0
loads=()
run() {  # run <name> <command...>: output to $out/<name>.log, then to the console
  local name=$1 rc=0 before; shift
  echo "== $name =="
  before=$(cut -d' ' -f1-3 /proc/loadavg)
  # A file, not a pipe: Wine's helper processes keep the program's output open after it ends.
  "$@" >"$out/$name.raw" 2>&1 </dev/null || rc=$?
  tr -d '\r' <"$out/$name.raw" >"$out/$name.log"
  cat "$out/$name.log"
  loads+=("| $name | $before | $(cut -d' ' -f1-3 /proc/loadavg) |")
  if [ $rc -ne 0 ]; then echo "($name reported a failure: see above)"; status=1; fi
}
bw="$build/win64/bench/win"
run startup wine "$bw/bench_startup_bench.exe"
run tick wine "$bw/bench_tick_bench.exe"
run idle wine "$bw/bench_idle_bench.exe"
run monitor wine "$bw/bench_monitor_bench.exe"
run jpeg "$build/bench-native/bench/bench_jpeg_decode_bench"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
# Figures measured after the tray host went are not the ones the table claims: said here, in
# the table, and by the exit status.
if [ -n "$trayer_pid" ] && ! kill -0 "$trayer_pid" 2>/dev/null; then
  tray_host="trayer, which ended during the run: later figures were measured without a tray host"
  echo "bench: the tray host (trayer) ended during the run; the figures after it are not comparable"
  status=1
fi

exe="$build/win64/src/app/quaffometer.exe"
exe_bytes=$(stat -c %s "$exe")
exe_size=$(awk -v b="$exe_bytes" 'BEGIN { printf "%d bytes (%.2f MiB)", b, b / 1048576 }')
echo "== size ==";  echo "quaffometer.exe: $exe_size"

# ---- docs/PERFORMANCE.md ------------------------------------------------------------------
# Each benchmark prints its figures as lines RESULT|figure|measured|against|ratio|goal|verdict.
cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1)
mem=$(awk '/^MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
names="startup tick idle monitor jpeg"   # the order of the tables and the sections
results() { for name in $names; do grep '^RESULT|' "$out/$name.log" || true; done; }
mkdir -p "$(dirname "$doc")"
{
  echo "# Performance"
  echo
  echo "Figures measured by \`make bench\` (tools/bench.sh); this file is written by the same run."
  echo "Benchmarks print what they measured and never fail on time. Each figure is set against"
  echo "what the same run measured of the least that does the same job: the floor program (one"
  echo "hidden window, one icon, a message loop), the floor tick (the calls every tick must make),"
  echo "or the same work without the part measured. Runs of the two alternate, so the ratio holds"
  echo "while other work loads the machine; the absolute figures, the machine and its load follow."
  echo
  echo "## Against the floor"
  echo
  echo "| Figure | Ratio or difference | Goal | Verdict |"
  echo "|---|---|---|---|"
  results | while IFS='|' read -r _ figure measured against ratio goal verdict; do
    echo "| $figure | ${ratio:-$measured} | ${goal:--} | ${verdict:--} |"
  done
  echo
  echo "## Absolute figures"
  echo
  echo "| Figure | Measured | Against, in the same run |"
  echo "|---|---|---|"
  results | while IFS='|' read -r _ figure measured against _; do
    echo "| $figure | $measured | ${against:--} |"
  done
  echo "| Size of quaffometer.exe | $exe_size | - |"
  echo
  echo "## Machine and load"
  echo
  echo "| | |"
  echo "|---|---|"
  echo "| Date | $(date -u '+%Y-%m-%d %H:%M UTC') |"
  echo "| Machine | $(nproc) cores, $cpu, $mem memory |"
  echo "| Load average (1, 5, 15 min) | $load before the run, $load_after after it |"
  echo "| System | $(. /etc/os-release; echo "$PRETTY_NAME"), kernel $(uname -r) |"
  echo "| Wine | $(wine --version 2>/dev/null) |"
  echo "| Display and tray host | Xvfb, $tray_host |"
  echo "| Command | \`make bench\` (tools/bench.sh) |"
  echo "| Program build | MinGW-w64, CMake Release, static |"
  echo
  echo "| Benchmark | Load average before | after |"
  echo "|---|---|---|"
  printf '%s\n' "${loads[@]}"
  echo
  echo "## What each benchmark printed"
  for name in $names; do
    echo
    echo "### $name"
    echo
    echo '```'
    grep -v '^RESULT|' "$out/$name.log"
    echo '```'
  done
  if [ -f "$root/docs/performance-notes.md" ]; then
    echo
    cat "$root/docs/performance-notes.md"
  fi
} >"$doc"
echo "written: $doc"
exit $status
