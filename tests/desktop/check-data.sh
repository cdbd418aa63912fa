#!/bin/sh
# Validates the launcher entry and the AppStream metainfo of the source tree.
#   check-data.sh desktop|metainfo FILE
set -eu
kind=$1
file=$2
case $kind in
desktop)
    if ! command -v desktop-file-validate >/dev/null; then
        echo "SKIP: desktop-file-validate not installed (package desktop-file-utils)"
        exit 77
    fi
    desktop-file-validate "$file"
    ;;
metainfo)
    if ! command -v appstreamcli >/dev/null; then
        echo "SKIP: appstreamcli not installed (package appstream)"
        exit 77
    fi
    appstreamcli validate --no-net "$file"
    ;;
esac
echo "valid: $file"
