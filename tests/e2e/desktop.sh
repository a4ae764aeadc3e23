# A desktop of its own for the clerk's session: an X server, a window manager that hands the
# focus back when a box closes, a keyboard with Russian and Latin letters side by side, and the
# hands on it. Sourced by clerk_session.sh; everything it starts is stopped by stop_desktop.

# Fails the session with a message; the caller's EXIT trap cleans up.
fail() {
    echo "FAIL: $*" >&2
    if [ -n "${DISPLAY:-}" ] && command -v import >/dev/null; then
        import -window root "$work/failure.png" 2>/dev/null &&
            echo "The screen at the failure: $work/failure.png (E2E_KEEP=1 keeps it)" >&2
    fi
    exit 1
}

need_tools() {
    local tool
    for tool in Xvfb openbox xkbcomp xdotool iconv cmp; do
        command -v "$tool" >/dev/null ||
            fail "$tool is missing: run scripts/install-deps.sh (it installs what this test needs)"
    done
}

# Starts Xvfb on a free display (it names the display once it accepts clients) and openbox.
start_desktop() {
    local display_file="$work/x/display" ready="$work/x/wm-ready"
    mkdir -p "$work/x"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$display_file" \
        >"$work/x/xvfb.log" 2>&1 &
    xvfb_pid=$!
    wait_until 15 test -s "$display_file" ||
        fail "the X server (Xvfb) did not start: $(tail -5 "$work/x/xvfb.log")"
    export DISPLAY=":$(head -1 "$display_file")"
    xdotool getmouselocation >/dev/null 2>&1 || fail "cannot open the display $DISPLAY"

    openbox --sm-disable --startup "touch $ready" >"$work/x/openbox.log" 2>&1 &
    wm_pid=$!
    wait_until 15 test -e "$ready" ||
        fail "the window manager (openbox) did not start: $(tail -5 "$work/x/openbox.log")"
    load_keyboard
}

stop_desktop() {
    local pid
    for pid in ${wm_pid:-} ${xvfb_pid:-}; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    return 0
}

# The US keyboard plus one key for every Russian letter (small and, with Shift, capital) and
# for "№", all in the first group. xdotool then finds every character on a key of its own: it
# neither switches groups nor remaps a key while typing, which both race with the program
# reading the keys, so a letter now and then came out wrong or not at all.
load_keyboard() {
    local dir="$work/x/xkb" code=150 letter
    mkdir -p "$dir/symbols"
    {
        echo 'default partial alphanumeric_keys xkb_symbols "basic" {'
        for letter in a be ve ghe de ie io zhe ze i shorti ka el em en o pe er es te u ef ha \
            tse che sha shcha hardsign yeru softsign e yu ya; do
            echo "    key <I$code> { type = \"ALPHABETIC\", [ Cyrillic_$letter, Cyrillic_${letter^^} ] };"
            code=$((code + 1))
        done
        echo "    key <I$code> { [ numerosign ] };"
        echo '};'
    } >"$dir/symbols/clerk"
    cat >"$dir/keymap.xkb" <<'EOF'
xkb_keymap {
    xkb_keycodes { include "evdev+aliases(qwerty)" };
    xkb_types    { include "complete" };
    xkb_compat   { include "complete" };
    xkb_symbols  { include "pc+us+inet(evdev)+clerk" };
    xkb_geometry { include "pc(pc105)" };
};
EOF
    xkbcomp -w 0 -I"$dir" "$dir/keymap.xkb" "$DISPLAY" >"$work/x/xkbcomp.log" 2>&1 ||
        fail "cannot load the keyboard: $(tail -5 "$work/x/xkbcomp.log")"
}

# wait_until <seconds> <command...>: runs the command every tenth of a second until it succeeds.
wait_until() {
    local tenths=$(($1 * 10))
    shift
    while ! "$@" 2>/dev/null; do
        tenths=$((tenths - 1))
        [ "$tenths" -gt 0 ] || return 1
        sleep 0.1
    done
}

active_title_matches() {
    local title
    title=$(xdotool getactivewindow getwindowname 2>/dev/null) && [[ $title =~ $1 ]]
}

# await <title regex>: waits until the window in front, the one that takes the keys, has that
# title. Keys are sent only then, so none goes to a window that is closing or not yet there.
await() {
    wait_until 30 active_title_matches "$1" ||
        fail "waited in vain for the window '$1'; in front: '$(xdotool getactivewindow getwindowname 2>/dev/null)'"
}

# press <key...>: keys as xdotool names them (Tab, shift+Tab, alt+Cyrillic_em).
press() {
    xdotool key --delay 15 "$@"
}

# type_text <text>: typed character by character.
type_text() {
    xdotool type --delay 15 -- "$1"
}

# click_at <x> <y>: one click of the left mouse button at a point of the window in front.
click_at() {
    xdotool mousemove --window "$(xdotool getactivewindow)" "$1" "$2" click 1
}
