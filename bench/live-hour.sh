#!/usr/bin/env bash
# Runs the real program against a simulated logger (a process of its own, so
# the figures are the program's alone) for an hour, or the seconds given,
# and reports its resident memory and CPU share over the first and the last
# minute. Usage: bench/live-hour.sh [build-dir] [seconds] [program options...]
# (--real-time-graph measures it with the Real Time Graph open and trending).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
total="${2:-3600}"
shift $(($# < 2 ? $# : 2))
window=60
[ "$total" -ge $((2 * window)) ] || window=$((total / 2))
home="$(mktemp -d)"
trap 'kill "$pid" "$sim" 2>/dev/null || true; rm -rf "$home"' EXIT

"$build/bin/tq880-sim" --model 862 --paced >"$home/sim.out" 2>/dev/null &
sim=$!
for _ in $(seq 50); do [ -s "$home/sim.out" ] && break; sleep 0.1; done
device="$(head -n 1 "$home/sim.out")"

cd "$home"
# The wire traffic goes to a log, so the run can show that the link was live.
QT_LOGGING_RULES="tq880.link.debug=true" QT_QPA_PLATFORM=offscreen \
  "$build/bin/tq880" --port "$device" --no-system-ports --home "$home" "$@" >/dev/null 2>"$home/link.log" &
pid=$!
sleep 8 # search, link start, first frames

hz=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
rss() { awk '/VmRSS/ {print $2}' "/proc/$pid/status"; }
report() { # label cpu-start cpu-end seconds rss
  awk -v l="$1" -v a="$2" -v b="$3" -v w="$4" -v hz="$hz" -v r="$5" \
    'BEGIN { printf "%-6s CPU %.2f %% of one core over %d s, resident %.1f MB\n", l, (b - a) / hz / w * 100, w, r / 1024 }'
}

c0=$(cpu); sleep "$window"; c1=$(cpu); r1=$(rss)
r0=$r1
report start "$c0" "$c1" "$window" "$r1"
rest=$((total - 2 * window))
[ "$rest" -gt 0 ] && sleep "$rest"
c2=$(cpu); sleep "$window"; c3=$(cpu); r3=$(rss)
report end "$c2" "$c3" "$window" "$r3"
awk -v a="$r1" -v b="$r3" 'BEGIN { printf "resident memory change: %+.1f MB over the run\n", (b - a) / 1024 }'
report whole "$c0" "$c3" "$((total - 8 > 0 ? total : 1))" "$r3"
grep -q . "/proc/$pid/status" && echo "program still running after $total s: yes"
# A paced logger's bytes arrive one by one: a frame is counted by its end mark.
echo "live frames received: $(grep -c 'rx .*fe"$' "$home/link.log" || true), requests sent: $(grep -c 'tx .*"ef 41 fe"' "$home/link.log" || true)"
