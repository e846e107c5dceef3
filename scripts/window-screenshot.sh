#!/usr/bin/env bash
# Redraws docs/window.png (the window in the middle of a run) and
# docs/screenshot.png (the window after a whole run against the search-engine
# simulator) from the build folder given as $1, without a display.
set -euo pipefail
build_dir=${1:-build}
cmake --build "$build_dir" --target window_shot test_gui_harvest
QT_QPA_PLATFORM=offscreen "$build_dir/tests/gui/window_shot" docs/window.png
QT_QPA_PLATFORM=offscreen KESTROVA_SCREENSHOT=docs/screenshot.png "$build_dir/tests/gui/test_gui_harvest" >/dev/null
echo "docs/window.png and docs/screenshot.png written."
