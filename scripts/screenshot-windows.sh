#!/usr/bin/env bash
# Takes docs/screenshots/windows-main.png (the Windows package under Wine, on a meeting of a dozen
# cards) and windows-entry.png (the entry form on the first card). Needs `make windows` with the
# tests built (build-windows), Xvfb, ImageMagick and xdotool:
#   scripts/screenshot-windows.sh [build folder] [output folder]
set -euo pipefail
build=$(realpath "${1:-build-windows}")
out=$(realpath -m "${2:-docs/screenshots}")
work=$(mktemp -d)
trap 'WINEPREFIX="$work/wine" wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
cp -r "$build/package/QorClient" "$work/program"
export QOR_WINEPREFIX="$work/wine"
"$build/wine-run.sh" "$build/bin/sample_meeting.exe" "Z:$work/program" >/dev/null

xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    set -e
    openbox --sm-disable >/dev/null 2>&1 &
    sleep 1
    setxkbmap -layout ru -model pc105
    QOR_WINE_PACKAGED=1 "$1" "$2/program/QorClient.exe" >/dev/null 2>&1 &
    for _ in $(seq 100); do
        window=$(xdotool search --name "^Ордана$" 2>/dev/null | head -1) && [ -n "$window" ] && break
        sleep 0.2
    done
    sleep 3
    shoot() { # shoot <window> <png>: the window with its frame
        import -window "$1" -frame "$2"
    }
    xdotool windowactivate --sync "$window"
    shoot "$window" "$3/windows-main.png"
    xdotool key ctrl+o   # "Открыть"
    sleep 3
    entry=$(xdotool getactivewindow)
    shoot "$entry" "$3/windows-entry.png"
' screenshot "$build/wine-run.sh" "$work" "$out"
echo "$out/windows-main.png $out/windows-entry.png"
