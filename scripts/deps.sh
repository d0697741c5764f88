# Sourced by test.sh and run.sh: makes sure the build and test tools are installed.
# As root the missing Debian packages are installed; otherwise the one install line is
# printed and the caller stops.

CLAVORA_PACKAGES=(cmake g++ make googletest libgtest-dev libbenchmark-dev clang-format
    mingw-w64 g++-mingw-w64-x86-64-posix wine64 xvfb xdotool x11-utils imagemagick
    fonts-ipafont-gothic locales clang libclang-rt-dev e2fsprogs python3 python3-markdown)

clavora_missing_packages() {
    local pkg
    for pkg in "${CLAVORA_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || echo "$pkg"
    done
}

clavora_ensure_deps() {
    local missing
    missing=$(clavora_missing_packages | tr '\n' ' ')
    [ -z "${missing// /}" ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages. Install them with:"
        echo "  sudo apt-get install -y --no-install-recommends $missing"
        return 1
    fi
    echo "Installing: $missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >/dev/null || return 1
    # shellcheck disable=SC2086
    apt-get install -y -qq --no-install-recommends $missing >/dev/null || return 1
}

# Configures and builds both trees; BUILD_ROOT may be set to keep several builds apart.
clavora_build() {
    local root=${BUILD_ROOT:-build}
    local jobs
    jobs=$(nproc)
    cmake -S . -B "$root/win64" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null || return 1
    cmake --build "$root/win64" -j "$jobs" || return 1
    cmake -S . -B "$root/host" -DCLAVORA_WIN64_DIR="$PWD/$root/win64" >/dev/null || return 1
    cmake --build "$root/host" -j "$jobs" || return 1
}
