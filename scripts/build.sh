#!/usr/bin/env bash
# Configures and builds into build/ (or $QUIBBLESTAR_BUILD_DIR).
# Usage: build.sh [target]   (no target: everything, tests and benchmarks included)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUIBBLESTAR_BUILD_DIR:-$root/build}"
jobs="$(nproc 2>/dev/null || echo 2)"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [ $# -gt 0 ]; then
  cmake --build "$build" -j "$jobs" --target "$1"
else
  cmake --build "$build" -j "$jobs"
fi
