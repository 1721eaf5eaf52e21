# Debian packages the game needs, and a function that installs those that are missing.
# Sourced by scripts/play and scripts/test.

BUILD_PACKAGES=(build-essential cmake pkg-config libsdl2-dev libgl-dev libglu1-mesa-dev
    libgl1-mesa-dri libopenal-dev libopenal1 libalut-dev libfreetype-dev libfontconfig-dev
    fonts-dejavu-core fonts-dejavu-extra xfonts-base
    libboost-dev libsqlite3-dev libpq-dev libpng-dev gettext)
# The score page's tests and benchmark run a PostgreSQL cluster of their own (never the system's
# service) and browse with cpp-httplib; scripts/check-stack is Python; tesseract reads the screens'
# words back.
TEST_PACKAGES=(googletest libgtest-dev libbenchmark-dev xvfb xauth xdotool imagemagick x11-utils
    chromium sox libcpp-httplib-dev postgresql openbox python3 tesseract-ocr tesseract-ocr-eng)
# Making and checking the Debian packages (scripts/package, tests/package).
PACKAGE_PACKAGES=(scdoc dpkg-dev fakeroot lintian desktop-file-utils appstream man-db)
# The fuzz targets are built with clang and its libFuzzer.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# scripts/coverage reports with gcovr.
COVERAGE_PACKAGES=(gcovr)

# install_packages PACKAGE...: apt-get install of those not installed yet (through sudo when
# not root).
install_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}
