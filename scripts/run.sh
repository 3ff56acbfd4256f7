#!/usr/bin/env bash
# Builds the viewer and opens its window on the bundled demo sprite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build run
cmake --preset default -DKD_TESTS=OFF -DKD_BENCH=OFF >/dev/null
cmake --build --preset default --target kromby demo-data
bin=build/default/bin
# The viewer, playing the demo sprite; the palette libraries lie beside it.
exec "$bin/kromby" "$bin/demo/demo.was"
