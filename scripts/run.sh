#!/usr/bin/env bash
# Builds the programs and runs the main job on the bundled demo sprite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build run
cmake --preset default -DKD_TESTS=OFF -DKD_BENCH=OFF >/dev/null
cmake --build --preset default --target kromby-cli demo-data
bin=build/default/bin
"$bin/kromby-cli" info "$bin/demo/demo.was"
"$bin/kromby-cli" export "$bin/demo/demo.was"
echo "Exported the demo sprite's frames next to $bin/demo/demo.was"
