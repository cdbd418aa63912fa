# Sourced by scripts/pixmora, scripts/ci-extra and bench/compare-peers: the
# project's package lists, installing what is missing, the test locales and
# the headless display, each written once.
# shellcheck shell=bash

# What building Pixmora needs (gettext compiles the catalogues, appstream
# brings the ITS rules that translate the metainfo).
pixmora_build_packages=(
    build-essential cmake pkg-config gettext appstream
    libwxgtk3.2-dev libjpeg62-turbo-dev libtiff-dev libexiv2-dev libboost-thread-dev
    libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
    xvfb xauth x11-utils x11-apps
)

# Only the tests use these: validators, image tools the tests compare with,
# the locales the translated window is tested in and the toolkit's own
# catalogues (which must not translate a window Pixmora has no catalogue for).
pixmora_test_packages=(
    desktop-file-utils appstream gettext imagemagick libtiff-tools libimage-exiftool-perl
    xdotool locales wx3.2-i18n libjpeg-turbo-progs man-db
)

# The locales the translation tests start the window in; de_DE also stands
# for a decimal-comma locale.
pixmora_test_locales=(de_DE.UTF-8 fr_FR.UTF-8 es_ES.UTF-8)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        echo "need root for: $*" >&2
        exit 1
    fi
}

# Installs those of the given Debian packages that are not installed; the
# package lists are updated only then.
install_missing() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 \
            install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
}

# Generates those of the given locales (NAME.UTF-8) that the C library does
# not have yet, through Debian's /etc/locale.gen and locale-gen.
generate_missing_locales() {
    local missing=() name
    for name in "$@"; do
        # locale -a spells UTF-8 as utf8.
        locale -a 2>/dev/null | grep -qx "${name%.UTF-8}.utf8" || missing+=("$name")
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    echo "Generating locales: ${missing[*]}"
    for name in "${missing[@]}"; do
        if grep -qE "^# *$name UTF-8\$" /etc/locale.gen; then
            as_root sed -i -E "s/^# *($name UTF-8)\$/\1/" /etc/locale.gen
        elif ! grep -qE "^$name UTF-8\$" /etc/locale.gen; then
            echo "$name UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
        fi
    done
    as_root locale-gen >/dev/null
}

# Runs a command on a fresh virtual screen of its own.
run_headless() {
    xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
}
