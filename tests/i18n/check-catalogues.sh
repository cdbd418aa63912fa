#!/bin/sh
# Fails when a catalogue of po/LINGUAS is not complete: an entry untranslated
# or fuzzy, a format or accelerator msgfmt --check refuses, or a text of the
# code, the launcher entry or the metainfo that it does not translate (the
# texts are extracted afresh, so a new text fails here until translated).
#   check-catalogues.sh SOURCE_DIR VERSION
set -eu
src=$1
version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$src/po/extract-strings.sh" "$tmp/fresh.pot" "$version"
texts=$(($(grep -c '^msgid ' "$tmp/fresh.pot") - 1))
status=0
languages=$(grep -v '^#' "$src/po/LINGUAS")
[ -n "$languages" ] || { echo "FAIL: po/LINGUAS names no language" >&2; exit 1; }
for lang in $languages; do
    po=$src/po/$lang.po
    [ -f "$po" ] || { echo "FAIL: po/LINGUAS names $lang, but there is no po/$lang.po" >&2; status=1; continue; }
    if ! stats=$(LC_ALL=C msgfmt --check --statistics -o /dev/null "$po" 2>&1); then
        echo "$stats" >&2
        echo "FAIL: po/$lang.po does not compile cleanly" >&2
        status=1
        continue
    fi
    case $stats in
    *untranslated* | *fuzzy*)
        echo "FAIL: po/$lang.po: $stats" >&2
        status=1
        ;;
    esac
    # msgcmp reports every text of the fresh template that the catalogue
    # lacks or leaves untranslated or fuzzy.
    if ! msgcmp "$po" "$tmp/fresh.pot"; then
        echo "FAIL: po/$lang.po misses texts: translate them (msgmerge -U po/$lang.po po/pixmora.pot first)" >&2
        status=1
        continue
    fi
    echo "po/$lang.po: $stats (the code has $texts texts)"
done
exit $status
