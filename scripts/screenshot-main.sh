#!/usr/bin/env bash
# Takes docs/screenshots/main.png (the client on a meeting of a dozen cards, under a virtual X
# server) and main-menu.png beside it (the menu "Файл" open). Needs a build with the tests
# (sample_meeting), xvfb-run, ImageMagick and xdotool:
#   scripts/screenshot-main.sh [build folder] [output png]
set -euo pipefail
build=$(realpath "${1:-build-test}")
out=$(realpath -m "${2:-docs/screenshots/main.png}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/home" "$work/config"
cp "$build/bin/QorClient" "$work/bin/"
"$build/bin/sample_meeting" "$work/bin"

export HOME="$work/home" XDG_CONFIG_HOME="$work/config" ASAN_OPTIONS=detect_leaks=0
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    set -e
    "$1/bin/QorClient" &
    client=$!
    for _ in $(seq 50); do
        window=$(xdotool search --name "^Ордана$" 2>/dev/null | head -1) && [ -n "$window" ] && break
        sleep 0.2
    done
    sleep 2
    eval "$(xdotool getwindowgeometry --shell "$window")"
    import -window root "$1/plain.png"
    xdotool mousemove $((X + 20)) $((Y + 10)) click 1   # the menu "Файл"
    sleep 1
    import -window root "$1/menu.png"
    kill "$client"
    wait "$client" || true
    convert "$1/plain.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
    convert "$1/menu.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "${2%.png}-menu.png"
' screenshot "$work" "$out"
echo "$out"
