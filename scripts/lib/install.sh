# Installs what building, testing and running need, from Debian's packages, when missing.
install_packages() {
    local wanted=(cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
        googletest wine wine64 fonts-wine xvfb xauth x11-utils socat imagemagick clang-format python3)
    local missing=() pkg
    for pkg in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" != 0 ]; then
        echo "missing packages: ${missing[*]}; install them as root (apt-get install ...)" >&2
        exit 3
    fi
    echo "installing: ${missing[*]}" >&2
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

configure_and_build() { # configure_and_build BUILD_DIR
    local root
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    if [ ! -f "$1/build.ninja" ]; then
        cmake -S "$root" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
            -DCMAKE_CROSSCOMPILING_EMULATOR=wine
    fi
    cmake --build "$1"
}
