#!/usr/bin/env bash
# Starts the client; without a display says how to run it under a virtual one.
set -euo pipefail
exe=$1
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    echo "Run the program under a virtual display:  xvfb-run -a $exe" >&2
    echo "or, to see nothing but check that it starts:  QT_QPA_PLATFORM=offscreen $exe" >&2
    exit 1
fi
exec "$exe"
