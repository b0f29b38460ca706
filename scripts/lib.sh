# Shared by the scripts: installs missing Debian packages and configures.
# shellcheck shell=bash

say() { printf '==> %s\n' "$*"; }

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs only what dpkg does not already know as installed.
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        say "installing ${missing[*]}"
        as_root apt-get update -q
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
    fi
}

# xdg-utils: the program and its tests ask it for the desktop's web browser.
# qt6-translations-l10n: Qt's own dialogs and menus in German.
# libssh-dev, libssl-dev, libcurl4-openssl-dev: every build has transfer/
# (publishing).
# qtkeychain-qt6-dev: the publishing window keeps the password in the keyring.
# libexpat1-dev: WebDAV's listings are XML.
# The picture process rebuilds pictures for the web: libjpeg (libjpeg-turbo),
# libwebp with its mux, giflib, libexif, zlib, and libseccomp for its filter.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev
                qt6-base-dev qt6-qpa-plugins libgl-dev fonts-liberation fonts-dejavu-core xdg-utils
                qt6-translations-l10n libssh-dev libssl-dev libcurl4-openssl-dev qtkeychain-qt6-dev
                libjpeg-dev libwebp-dev libgif-dev libexif-dev zlib1g-dev libseccomp-dev
                libexpat1-dev)

# The picture table's pictures are made with ImageMagick and exiftool, and
# read back with exiftool and Qt (WebP through Qt's image format plugins).
PICTURE_TEST_PACKAGES=(imagemagick libimage-exiftool-perl qt6-image-formats-plugins)

# The browser engine of "Vorschau", loaded by the program as a plugin; the
# program builds and runs without it.
PREVIEW_PACKAGES=(qt6-webengine-dev)

# The browser engine that reads the written pages in the tests and draws the
# example page for the README.
BROWSER_PACKAGES=(chromium)

# The servers the tests start on 127.0.0.1: python3's HTTP server.
TEST_SERVER_PACKAGES=(python3)

# Publishing: libssh for SFTP, libcurl for FTPS and the check online (its
# OpenSSL flavour, whose certificate check the program hooks into), libssl
# for both and the SHA-256 of what was sent; the tests start OpenSSH's sshd,
# rclone's SFTP server, an SSH server that logs in by prompts (paramiko, run
# by Debian's python3), an FTPS server (pyftpdlib with pyOpenSSL, run by
# Debian's python3, its throwaway certificates made by openssl) and python3's
# web server (for the check online, and where an SFTP server was expected),
# Apache's WebDAV (mod_dav_fs, its users written by htpasswd) and rclone's
# on 127.0.0.1, the benchmarks compare with OpenSSH's sftp.
PUBLISH_PACKAGES=(libssh-dev libssl-dev libcurl4-openssl-dev openssh-server openssh-client rclone python3
                  python3-pyftpdlib python3-openssl python3-paramiko openssl apache2 apache2-utils)

# The S3-compatible store the publishing tests start: s3rver from the npm
# registry, run by nodejs; npm installs it into build/s3rver.
S3_STORE_PACKAGES=(nodejs npm)
S3RVER_VERSION=3.7.1

ensure_s3rver() {
    if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
        ensure_packages "${S3_STORE_PACKAGES[@]}"
    fi
    if [ ! -f build/s3rver/node_modules/s3rver/bin/s3rver.js ]; then
        say "installing s3rver $S3RVER_VERSION into build/s3rver"
        mkdir -p build/s3rver
        npm install --prefix build/s3rver --no-audit --no-fund --loglevel=error "s3rver@$S3RVER_VERSION"
    fi
}

# The keyring test: a session bus of its own (dbus-run-session, dbus-send)
# with gnome-keyring's Secret Service, which Qt Keychain reaches through
# libsecret, loaded at run time.
KEYRING_PACKAGES=(dbus-daemon dbus-bin gnome-keyring libsecret-1-0)

# clang with its libFuzzer and sanitizer runtimes, for the fuzz targets.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)

# Configures (once) and builds one preset; further arguments go to the build
# (for example --target tavirel).
build_preset() {
    local preset="$1"
    shift
    if [ ! -f "build/$preset/build.ninja" ]; then
        say "configuring $preset"
        cmake --preset "$preset" >/dev/null
    fi
    say "building $preset"
    cmake --build --preset "$preset" "$@"
}

# Replays every fuzz target's seed corpus, then fuzzes each for the given
# seconds. New inputs go to build/fuzz/corpus/<target>, crashing ones to
# build/fuzz/findings; the seed corpora in tests/fuzz/corpus stay as they are.
run_fuzz_targets() {
    local seconds="$1" seeds name target log
    say "replaying the fuzz corpora"
    ctest --preset fuzz
    mkdir -p build/fuzz/findings build/fuzz/logs
    for seeds in tests/fuzz/corpus/*/; do
        name="$(basename "$seeds")"
        target="build/fuzz/tests/fuzz/$name"
        if [ ! -x "$target" ]; then
            say "no fuzz target $name was built"
            return 1
        fi
        mkdir -p "build/fuzz/corpus/$name"
        log="build/fuzz/logs/$name.log"
        say "fuzzing $name for ${seconds}s"
        if ! "$target" -max_total_time="$seconds" -print_final_stats=1 \
                -artifact_prefix="build/fuzz/findings/$name-" \
                "build/fuzz/corpus/$name" "$seeds" >"$log" 2>&1; then
            tail -n 60 "$log"
            say "$name found a failing input: see build/fuzz/findings"
            return 1
        fi
        grep -E '^Done [0-9]+ runs' "$log" || true
    done
}
