#!/bin/bash
# Installs the build into a temporary prefix and checks pixmora-resize's
# layout: the program runs with no display, man renders its page, bash
# completes its options.
#   check-resize-install.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$prefix" >/dev/null

program=$prefix/bin/pixmora-resize
page=$prefix/share/man/man1/pixmora-resize.1
completion=$prefix/share/bash-completion/completions/pixmora-resize
for f in "$program" "$page" "$completion"; do
    [ -f "$f" ] || fail "not installed: ${f#$prefix/}"
done
[ -x "$program" ] || fail "bin/pixmora-resize is not executable"

version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --version)
[ "$version" = "pixmora-resize 2.1" ] || fail "--version said: $version"

rendered=$(LC_ALL=C MANWIDTH=80 man -l "$page" 2>&1) || fail "man -l failed: $rendered"
for text in "resize JPEG and TIFF files" "--shrink-only" "EXIT STATUS" "130"; do
    grep -qF -- "$text" <<<"$rendered" || fail "the rendered page lacks: $text"
done
grep -q "Pixmora 2.1" <<<"$rendered" || fail "the page does not carry the version"

# shellcheck disable=SC1090
source "$completion"
complete -p pixmora-resize >/dev/null || fail "the completion file registers nothing"
COMP_WORDS=(pixmora-resize --shr)
COMP_CWORD=1
_pixmora_resize
[ "${COMPREPLY[*]}" = "--shrink-only" ] || fail "--shr completed to: ${COMPREPLY[*]}"
COMP_WORDS=(pixmora-resize --interpolator s)
COMP_CWORD=2
_pixmora_resize
[ "${COMPREPLY[*]}" = "smoother sharper" ] || fail "--interpolator s completed to: ${COMPREPLY[*]}"
echo "pixmora-resize installs its program, manual page and completion"
