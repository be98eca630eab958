#!/usr/bin/env bash
# Measures the CPU the program uses while connected and idle: starts it
# headless against a simulated logger, lets it settle, then reads its CPU
# time over a window of seconds. Usage: bench/idle-cpu.sh [build-dir] [seconds]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
window="${2:-20}"
home="$(mktemp -d)"
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$home"' EXIT

cd "$home"
QT_QPA_PLATFORM=offscreen "$build/bin/tq880" --simulate 862 --no-system-ports --home "$home" >/dev/null 2>&1 &
pid=$!
sleep 6 # search, link start, first frames

ticks_per_s=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
start=$(cpu)
sleep "$window"
end=$(cpu)
awk -v a="$start" -v b="$end" -v hz="$ticks_per_s" -v w="$window" \
  'BEGIN { printf "idle CPU while connected: %.2f %% of one core over %d s\n", (b - a) / hz / w * 100, w }'
