#!/usr/bin/env bash
# Starts the main window from the build folder given as $1.
set -euo pipefail
build_dir=${1:-build}
exe="$build_dir/src/app/gui/kestrova"
if [ ! -x "$exe" ]; then
  echo "The main window was not built (configure with -DKESTROVA_BUILD_GUI=ON)." >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting the window on a virtual X display (xvfb-run)."
  exec xvfb-run -a "$exe"
fi
exec "$exe"
