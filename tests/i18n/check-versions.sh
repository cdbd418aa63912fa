#!/bin/sh
# The version is set once, in the CMake project; these copies of it are data
# that must follow: the translation template's header, the newest release of
# the metainfo and the upstream part of the Debian package's version.
#   check-versions.sh SOURCE_DIR VERSION
set -eu
src=$1
version=$2
status=0
check() {
    if [ "$2" = "$version" ]; then
        echo "$1: $2"
    else
        echo "FAIL: $1 says '$2', the CMake project $version" >&2
        status=1
    fi
}
check po/pixmora.pot "$(sed -n 's/^"Project-Id-Version: Pixmora \(.*\)\\n"$/\1/p' "$src/po/pixmora.pot")"
# Releases are listed newest first.
check "the metainfo's newest release" \
    "$(grep -o '<release [^>]*version="[^"]*"' "$src/data/example.pixmora.Pixmora.metainfo.xml" |
        head -n 1 | sed 's/.*version="\([^"]*\)"/\1/')"
# "pixmora (2.1-1) unstable; ..." : the upstream version is before the last '-'.
debian=$(sed -n '1s/^pixmora (\([^)]*\)).*/\1/p' "$src/debian/changelog")
check debian/changelog "${debian%-*}"
exit $status
