#!/bin/sh
# Extracts every translatable text of the program, its launcher entry and
# its metainfo into a gettext template.
#   po/extract-strings.sh OUTPUT.pot VERSION
# Run from anywhere; paths in the template are relative to the source tree.
# VERSION is the CMake project's, so that the template's header follows it.
set -eu
out=$(realpath -m "$1")
version=$2
cd "$(dirname "$0")/.."
find app ui job codecs resample platform -name '*.cpp' -o -name '*.h' | LC_ALL=C sort |
    xgettext --files-from=- --output="$out" --language=C++ --from-code=UTF-8 \
        --package-name=Pixmora --package-version="$version" --sort-by-file \
        --add-comments=TRANSLATORS: \
        --keyword=_ --keyword=wxTRANSLATE --keyword=wxPLURAL:1,2 \
        --keyword=wxGETTEXT_IN_CONTEXT:1c,2 --keyword=wxGETTEXT_IN_CONTEXT_PLURAL:1c,2,3 \
        --keyword=wxTRANSLATE_IN_CONTEXT:1c,2 \
        --keyword=wxGetTranslation:1,1t --keyword=wxGetTranslation:1,2t \
        --keyword=wxGetTranslation:1,2,3t --keyword=wxGetTranslation:1,2,4t
# The launcher entry's Name, GenericName, Comment and Keywords, and the
# metainfo's texts (by the ITS rules appstream installs), which the build
# merges back with msgfmt --desktop and --xml.
xgettext --join-existing --output="$out" --from-code=UTF-8 --sort-by-file \
    --package-name=Pixmora --package-version="$version" --language=Desktop data/*.desktop
xgettext --join-existing --output="$out" --from-code=UTF-8 --sort-by-file \
    --package-name=Pixmora --package-version="$version" data/*.metainfo.xml
