#!/bin/bash
# Installs the build into a temporary prefix, checks the freedesktop layout
# and starts the installed binary on the current X display.
#   check-install.sh BUILD_DIR APP_ID
set -euo pipefail
build=$1
id=$2
prefix=$(mktemp -d)
home=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$prefix" "$home"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$prefix" >/dev/null

desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
for f in "$prefix/bin/pixmora" "$desktop" "$metainfo"; do
    [ -f "$f" ] || fail "not installed: ${f#$prefix/}"
done
[ -x "$prefix/bin/pixmora" ] || fail "bin/pixmora is not executable"

# The catalogues, and the entry and metainfo carrying their translations.
for lang in $(grep -v '^#' "$(dirname "$0")/../../po/LINGUAS"); do
    mo=$prefix/share/locale/$lang/LC_MESSAGES/pixmora.mo
    [ -s "$mo" ] || fail "missing ${mo#$prefix/}"
    grep -q "^Comment\[$lang\]=" "$desktop" || fail "the installed entry has no Comment[$lang]"
    grep -q "<summary xml:lang=\"$lang\">" "$metainfo" || fail "the installed metainfo has no $lang summary"
done
[ -s "$prefix/share/man/man1/pixmora.1" ] || fail "missing share/man/man1/pixmora.1"

entry() { sed -n "s/^$1=//p" "$desktop"; }
icon=$(entry Icon)
[ "$icon" = "$id" ] || fail "Icon=$icon, expected $id"
for size in 16 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png
    [ -f "$png" ] || fail "missing ${png#$prefix/}"
    # Width and height are the big-endian words at bytes 16 and 20 of a PNG.
    read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
        awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
    [ "$w $h" = "$size $size" ] || fail "${png#$prefix/} is ${w}x$h"
done
svg=$prefix/share/icons/hicolor/scalable/apps/$icon.svg
[ -f "$svg" ] || fail "missing ${svg#$prefix/}"
grep -q '<svg' "$svg" || fail "${svg#$prefix/} is no SVG"

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "installed desktop entry does not validate"
else
    echo "note: desktop-file-validate not installed, installed entry not validated"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" >/dev/null || fail "installed metainfo does not validate"
else
    echo "note: appstreamcli not installed, installed metainfo not validated"
fi

if [ -z "${DISPLAY:-}" ]; then
    echo "SKIP: installed files are fine, but there is no X display to start pixmora on"
    exit 77
fi
for tool in xwininfo xprop; do
    command -v $tool >/dev/null || { echo "SKIP: $tool not installed (package x11-utils)"; exit 77; }
done

# A fresh home, so the start neither reads nor writes the user's settings.
HOME=$home XDG_CONFIG_HOME=$home/.config GDK_BACKEND=x11 NO_AT_BRIDGE=1 \
    GSETTINGS_BACKEND=memory "$prefix/bin/pixmora" >"$home/out.log" 2>&1 &
pid=$!
window=
for _ in $(seq 100); do
    window=$(xwininfo -root -tree 2>/dev/null | awk '/"Pixmora": \(/ {print $1; exit}')
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || { cat "$home/out.log"; fail "installed pixmora exited early"; }
    sleep 0.1
done
[ -n "$window" ] || { cat "$home/out.log"; fail "no window titled Pixmora within 10 s"; }

# The launcher ties the window to its entry through StartupWMClass.
wmclass=$(xprop -id "$window" WM_CLASS | sed -n 's/.*= "[^"]*", "\([^"]*\)"$/\1/p')
[ "$wmclass" = "$(entry StartupWMClass)" ] ||
    fail "window class '$wmclass' does not match StartupWMClass=$(entry StartupWMClass)"
# The window icon is the 48/32/16 bundle.
icons=$(xprop -id "$window" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr -dc '0-9x\n' | sort -n | tr '\n' ' ' || true)
[ "$icons" = "16x16 32x32 48x48 " ] || fail "window icon sizes are '$icons', expected 16, 32 and 48"
echo "installed pixmora started: window $window, class $wmclass, icons $icons"
