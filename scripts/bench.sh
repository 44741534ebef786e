#!/usr/bin/env bash
# Builds the benchmark (Release, in build-bench/) and measures the window's
# commands over ledgers of 1,000, 10,000 and 100,000 items on the offscreen
# platform: medians, the one-row-at-a-time and bare-window baselines with
# their ratios, start-up both warm in a running application and as the user
# waits for it (a fresh process until its window is exposed), then the peak
# memory of opening a 100,000-item ledger in a process of its own, and last
# start-up once more on a real X server (Xvfb) when xvfb-run is there.
#
#   bash scripts/bench.sh                  the full run (about two minutes on 2 cores)
#   bash scripts/bench.sh --million        only: open a 1,000,000-item ledger once
#                                          (needs about 3 GB of memory)
#   bash scripts/bench.sh --startup        only: start-up, offscreen and on Xvfb
#   bash scripts/bench.sh --grid           only: every command after every state a
#                                          player reaches, at 1,000 to 100,000 items,
#                                          each after a player's pause (other memory
#                                          written; --no-pause leaves it out)
#   bash scripts/bench.sh --scaling-check  only: that grid at 10,000 and 100,000
#                                          items; fails when a command grows more
#                                          than 30 times for ten times the items
#   bash scripts/bench.sh --repetitions=3 --benchmark_filter=sort
#                                          other arguments go to the benchmark
#
# Ledger files for other uses: build-bench/bench/pelarin_bench --make-ledger N PATH
set -euo pipefail
cd "$(dirname "$0")/.."

million=0
startup_only=0
grid=
arguments=()
for argument in "$@"; do
    if [ "$argument" = --million ]; then
        million=1
    elif [ "$argument" = --grid ] || [ "$argument" = --scaling-check ]; then
        grid=$argument
    elif [ "$argument" = --startup ]; then
        startup_only=1
    else
        arguments+=("$argument")
    fi
done

bash scripts/setup.sh bench
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DPELARIN_BUILD_BENCH=ON >/dev/null
cmake --build build-bench --target pelarin_bench -j"$(nproc)"
bench=$PWD/build-bench/bench/pelarin_bench

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

# Opens one ledger file in a fresh process and reports its time and the
# process's peak resident memory.
open_once() {
    local count=$1 file=$work/ledger-$1.json
    "$bench" --make-ledger "$count" "$file"
    /usr/bin/time -v "$bench" --load-file="$file" --benchmark_color=false >"$work/out" 2>"$work/time" || {
        cat "$work/out" "$work/time" >&2
        echo "bench: opening $count items failed" >&2
        return 1
    }
    local line peak
    line=$(grep '^load/file' "$work/out")
    peak=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time")
    echo "open of $count items in a fresh process: $(awk '{print $2, $3}' <<<"$line"), rows $(grep -o 'rows=[0-9.kM]*' <<<"$line" | cut -d= -f2), peak resident memory $((peak / 1024)) MB"
}

# Start-up on a real X server: the window is exposed only once the server
# has mapped it, as on a user's desktop.
startup_on_xvfb() {
    echo
    if ! command -v xvfb-run >/dev/null; then
        echo "start-up on Xvfb: skipped (xvfb-run is missing: bash scripts/setup.sh bench)"
        return 0
    fi
    echo "Start-up on Xvfb (xcb)"
    # The X server adds more noise than offscreen: more runs for the medians.
    xvfb-run -a env QT_QPA_PLATFORM=xcb "$bench" --startup-processes=25 "${arguments[@]}" --benchmark_filter=startup |
        sed -n '/^Baselines and ratios/,$p'
}

if [ "$million" = 1 ]; then
    open_once 1000000
    exit 0
fi
if [ -n "$grid" ]; then
    echo "load average before the run: $(cut -d' ' -f1-3 /proc/loadavg)"
    # Medians of three: a cost that grows with the square of the ledger is a
    # hundred times dearer for ten times the items, far beyond any noise.
    "$bench" "$grid" --repetitions=3 "${arguments[@]}" | grep -v -e '^grid/' -e '^-\+$' -e '^Benchmark '
    echo "load average after the run: $(cut -d' ' -f1-3 /proc/loadavg)"
    exit 0
fi
if [ "$startup_only" = 1 ]; then
    echo "load average before the run: $(cut -d' ' -f1-3 /proc/loadavg)"
    "$bench" "${arguments[@]}" --benchmark_filter=startup | sed -n '/^Baselines and ratios/,$p'
    startup_on_xvfb
    echo "load average after the run: $(cut -d' ' -f1-3 /proc/loadavg)"
    exit 0
fi

echo "load average before the run: $(cut -d' ' -f1-3 /proc/loadavg)"
"$bench" "${arguments[@]}"
echo
echo "Peak memory"
open_once 100000
startup_on_xvfb
echo "load average after the run: $(cut -d' ' -f1-3 /proc/loadavg)"
