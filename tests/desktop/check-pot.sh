#!/bin/sh
# Fails when a translatable text of the code is missing from po/pixmora.pot.
#   check-pot.sh SOURCE_DIR VERSION
set -eu
src=$1
version=$2
for tool in xgettext msgcmp; do
    if ! command -v $tool >/dev/null; then
        echo "SKIP: $tool not installed (package gettext)"
        exit 77
    fi
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$src/po/extract-strings.sh" "$tmp/fresh.pot" "$version"
# Every message of the fresh extraction must be in the committed template.
if ! msgcmp --use-untranslated "$src/po/pixmora.pot" "$tmp/fresh.pot"; then
    echo "po/pixmora.pot is out of date: run cmake --build build --target pot" >&2
    exit 1
fi
echo "po/pixmora.pot holds all $(($(grep -c "^msgid " "$tmp/fresh.pot") - 1)) messages of the code"
