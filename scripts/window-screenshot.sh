#!/usr/bin/env bash
# Redraws docs/window.png from the build folder given as $1, without a display.
set -euo pipefail
build_dir=${1:-build}
cmake --build "$build_dir" --target window_shot
QT_QPA_PLATFORM=offscreen "$build_dir/tests/gui/window_shot" docs/window.png
echo "docs/window.png written."
