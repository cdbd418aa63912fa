#!/usr/bin/env bash
# Starts the real program on a display of its own and checks what a user
# sees first: one top-level window titled "Pixmora", 500 x 600, and with
# --icon also that the window carries an icon.
# Arguments given to the program must make no difference.
set -euo pipefail

program=$1
check_icon=${2:-}
if ! command -v Xvfb >/dev/null || ! command -v xwininfo >/dev/null || ! command -v xprop >/dev/null; then
    echo "Xvfb, xwininfo and xprop (x11-utils) are needed" >&2
    exit 1
fi

# The program saves its settings into the home folder when it closes.
home=$(mktemp -d)
xvfb=
cleanup() {
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    fi
    rm -rf "$home"
}
trap cleanup EXIT

# A display of its own whose number the server picks (-displayfd): two of
# these checks started at once by a parallel test run cannot race for one.
exec 3>"$home/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -ac -noreset >"$home/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
for _ in $(seq 200); do
    [ -s "$home/display" ] && break
    sleep 0.05
done
if [ ! -s "$home/display" ]; then
    echo "Xvfb did not start:" >&2
    cat "$home/xvfb.log" >&2
    exit 1
fi

DISPLAY=:$(head -n 1 "$home/display") HOME=$home XDG_CONFIG_HOME=$home/.config \
    GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 bash -c '
    "$1" --verbose /no/such/file &
    pid=$!
    trap "kill $pid 2>/dev/null || true" EXIT
    windows=""
    for _ in $(seq 100); do
        windows=$(xwininfo -root -children | grep -E "^ +0x[0-9a-f]+ \"Pixmora\"" || true)
        [ -n "$windows" ] && break
        sleep 0.1
    done
    sleep 0.5
    # GDK keeps an unmapped leader window of its own; only what is shown counts.
    windows=""
    for child in $(xwininfo -root -children | awk "/^ +0x/ {print \$1}"); do
        if xwininfo -id "$child" | grep -q "Map State: IsViewable"; then
            windows+="$(xwininfo -root -children | grep -E "^ +$child ")"$'"'"'\n'"'"'
        fi
    done
    windows=$(echo -n "$windows" | grep . || true)
    echo "shown top-level windows:"; echo "$windows"
    count=$(echo "$windows" | grep -c . || true)
    [ "$count" -eq 1 ] || { echo "expected exactly one top-level window shown" >&2; exit 1; }
    echo "$windows" | grep -q "\"Pixmora\"" || { echo "window is not titled Pixmora" >&2; exit 1; }
    id=$(echo "$windows" | awk "{print \$1}")
    geometry=$(xwininfo -id "$id")
    width=$(echo "$geometry" | awk "/Width:/ {print \$2}")
    height=$(echo "$geometry" | awk "/Height:/ {print \$2}")
    echo "size ${width}x${height}"
    [ "$width" = 500 ] && [ "$height" = 600 ] || { echo "expected 500x600" >&2; exit 1; }
    [ "$2" = --icon ] || exit 0
    icon=$(xprop -id "$id" _NET_WM_ICON | head -c 200)
    echo "icon: $icon"
    case "$icon" in
    *"not found"*|*"no such atom"*) echo "the window has no icon" >&2; exit 1 ;;
    esac
' check "$program" "$check_icon"
