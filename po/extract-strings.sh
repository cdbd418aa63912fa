#!/bin/sh
# Extracts every translatable text of the program into a gettext template.
#   po/extract-strings.sh OUTPUT.pot
# Run from anywhere; paths in the template are relative to the source tree.
set -eu
out=$(realpath -m "$1")
cd "$(dirname "$0")/.."
find app ui job codecs resample platform -name '*.cpp' -o -name '*.h' | LC_ALL=C sort |
    xgettext --files-from=- --output="$out" --language=C++ --from-code=UTF-8 \
        --package-name=Pixmora --package-version=2.1 --sort-by-file \
        --add-comments=TRANSLATORS: \
        --keyword=_ --keyword=wxTRANSLATE --keyword=wxPLURAL:1,2 \
        --keyword=wxGETTEXT_IN_CONTEXT:1c,2 --keyword=wxGETTEXT_IN_CONTEXT_PLURAL:1c,2,3 \
        --keyword=wxTRANSLATE_IN_CONTEXT:1c,2 \
        --keyword=wxGetTranslation:1,1t --keyword=wxGetTranslation:1,2t \
        --keyword=wxGetTranslation:1,2,3t --keyword=wxGetTranslation:1,2,4t
