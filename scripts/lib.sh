# Shared by the scripts: the Debian packages Quorvel needs, installed when missing.
# Sourced, not run.

QUORVEL_BUILD_PACKAGES=(cmake g++ make pkg-config qt6-base-dev qt6-qpa-plugins
                        libjavascriptcoregtk-4.1-dev)
# The tests also open the calculator on a virtual X display.
QUORVEL_TEST_PACKAGES=(xvfb xfonts-base xauth x11-utils)

# Installs the given Debian packages that are not installed yet.
quorvel_install_missing() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}" >&2
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "Please install as root: apt-get install ${missing[*]}" >&2
            return 1
        fi
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >&2
}

# Configures and builds into $1 with any further CMake arguments.
quorvel_build() {
    local build_dir=$1
    shift
    cmake -S "$QUORVEL_ROOT" -B "$build_dir" "$@" >/dev/null
    cmake --build "$build_dir" -j"$(nproc)"
}
