#!/usr/bin/env bash
# Installs what building and testing ZEK needs on a Debian machine, and nothing when it is
# all there already.
set -euo pipefail

# What is installed depends on what is to be done, each level adding to the one before:
#   run   building and starting ZEK: the compiler and CMake, Qt, Boost.Math and Eigen (the
#         answer key's tests and least squares), ReadStat and libxlsxwriter (SPSS, Stata and
#         Excel files), and the DejaVu fonts of the window;
#   test  building and running every test: GoogleTest and Google Benchmark, R with haven,
#         readxl, MASS, afex and car (which read back the package files and referee the
#         keys, the repeated-measures ANOVA among them), MPFR (the
#         portable logarithm's judge), pdftotext (a printed PDF read back) and the desktop
#         file's validator;
#   ci    what CI checks besides: clang-format and clang-tidy, and the cross compilers, qemu,
#         Wine and Emscripten, with which zek-generate writes the same bytes on ARM64 Linux,
#         Windows and WebAssembly (under Node), and Chromium and npm for the page's test.
#   scripts/install-deps.sh [run|test|ci]     (test when not given)
level="${1:-test}"
packages=(cmake ninja-build g++ pkg-config qt6-base-dev libboost-math-dev libeigen3-dev
    libreadstat-dev libxlsxwriter-dev fonts-dejavu-core fonts-dejavu-extra)
case "$level" in
    run) ;;
    test | ci)
        packages+=(libgtest-dev libgmock-dev libbenchmark-dev r-base-core r-cran-haven
            r-cran-readxl r-cran-mass r-cran-afex r-cran-car r-cran-psych libmpfr-dev poppler-utils
            python3
            desktop-file-utils)
        if [ "$level" = ci ]; then
            packages+=(clang-format clang-tidy g++-aarch64-linux-gnu g++-mingw-w64-x86-64-posix
                qemu-user wine wine64 emscripten chromium)
            # npm fetches playwright-core, which drives Chromium through the page; a Node
            # from elsewhere than Debian brings its own npm.
            command -v npm > /dev/null || packages+=(npm)
        fi
        ;;
    *)
        echo "usage: scripts/install-deps.sh [run|test|ci]" >&2
        exit 2
        ;;
esac
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        sudo=sudo
    else
        sudo=
    fi
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
