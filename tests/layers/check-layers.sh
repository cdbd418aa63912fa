#!/usr/bin/env bash
# Fails when production code reaches upward (a source that includes a header
# of a higher layer, or a folder's library that links one) or spells the
# version itself. The layers, from
# the top: app > ui > job > resample > codecs > platform > graphics. The
# generated identity header is below them all.
set -uo pipefail
root=${1:?usage: check-layers.sh PROJECT_DIR}
cd "$root" || exit 2

rank() {
    case $1 in
    graphics) echo 0 ;; platform) echo 1 ;; codecs) echo 2 ;; resample) echo 3 ;;
    job) echo 4 ;; ui) echo 5 ;; app) echo 6 ;; *) echo -1 ;;
    esac
}

layers="app ui job resample codecs platform graphics"
failures=0
for layer in $layers; do
    own=$(rank "$layer")
    while IFS= read -r line; do
        file=${line%%:*}
        header=$(sed -E 's/.*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"${line#*:}")
        target=${header%%/*}
        [ "$target" = "$header" ] && continue # no folder: a header beside it or generated
        theirs=$(rank "$target")
        if [ "$theirs" -gt "$own" ]; then
            echo "$file includes $header: $layer may not include $target"
            failures=$((failures + 1))
        fi
    done < <(grep -rHE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$layer" \
                 --include='*.h' --include='*.cpp' --include='*.hpp' 2>/dev/null)

    [ -f "$layer/CMakeLists.txt" ] || continue
    for library in $(grep -oE 'pixmora_[a-z_]+' "$layer/CMakeLists.txt" | sort -u); do
        folder=${library#pixmora_}
        folder=${folder%%_*}
        [ "$folder" = shell ] && folder=app
        theirs=$(rank "$folder")
        if [ "$theirs" -gt "$own" ]; then
            echo "$layer/CMakeLists.txt names $library: $layer may not link $folder"
            failures=$((failures + 1))
        fi
    done
done

# The identity is generated from the CMake project: a second copy of the
# version in the code would drift.
version=$(sed -nE 's/^project\(Pixmora VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
    echo "CMakeLists.txt names no project version"
    failures=$((failures + 1))
else
    while IFS= read -r line; do
        echo "$line: the version belongs in CMakeLists.txt only"
        failures=$((failures + 1))
    done < <(grep -rnF "\"$version\"" $layers --include='*.h' --include='*.cpp')
fi

if [ "$failures" -gt 0 ]; then
    echo "$failures upward dependencies or copies of the identity"
    exit 1
fi
echo "every include and link points down the layers"
