#!/usr/bin/env bash
# Installs what building and testing ZEK needs on a Debian machine, and nothing when it is
# all there already.
set -euo pipefail

# Boost.Math and Eigen compute the answer key's tests; ReadStat and libxlsxwriter write SPSS,
# Stata and Excel files, which the tests read back with R's haven and readxl. The window's
# condensed sans-serif and fixed-pitch fonts come from the DejaVu families; pdftotext lets
# the tests read back a printed PDF; clang-format and clang-tidy check the tree in CI. MPFR
# judges the portable logarithm; the cross compilers, qemu and Wine let CI check that
# zek-generate writes the same bytes on ARM64 Linux and on Windows.
packages=(cmake ninja-build g++ qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
    libboost-math-dev libeigen3-dev libreadstat-dev libxlsxwriter-dev pkg-config
    r-base-core r-cran-haven r-cran-readxl r-cran-mass
    fonts-dejavu-core fonts-dejavu-extra poppler-utils desktop-file-utils clang-format clang-tidy
    libmpfr-dev g++-aarch64-linux-gnu g++-mingw-w64-x86-64-posix qemu-user wine wine64)
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
