#!/usr/bin/env bash
# Builds everything and runs the whole test suite.
# Usage: scripts/test.sh [default|asan]   (the preset; default: default)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
scripts/deps.sh build test
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset"
