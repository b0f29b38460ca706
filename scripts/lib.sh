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

BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev
                qt6-base-dev qt6-qpa-plugins libgl-dev fonts-liberation fonts-dejavu-core)

# Configures (once) and builds one preset.
build_preset() {
    local preset="$1"
    if [ ! -f "build/$preset/build.ninja" ]; then
        say "configuring $preset"
        cmake --preset "$preset" >/dev/null
    fi
    say "building $preset"
    cmake --build --preset "$preset"
}
