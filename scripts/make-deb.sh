#!/usr/bin/env bash
# Builds the Debian package dist/veltrana_VERSION_ARCH.deb (VERSION is the
# CMake project's) from a build folder of its own, build-deb/, with Debian's
# hardening flags. Needs the packages of `scripts/install-deps.sh`. The
# build's output goes to standard error; standard output gets only the
# package's path.
set -euo pipefail
exec 3>&1 1>&2
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
umask 022  # the package's files and folders get the usual permissions

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
generator=()
if [[ ! -f build-deb/CMakeCache.txt ]] && command -v ninja >/dev/null; then
  generator=(-G Ninja)
fi
cmake -S . -B build-deb "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_INSTALL_PREFIX=/usr -DVELTRANA_DEB=ON \
  -DVELTRANA_BUILD_TESTS=OFF -DVELTRANA_BUILD_BENCHMARKS=OFF \
  "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" >/dev/null
cmake --build build-deb --parallel 2

rm -rf build-deb/package
(cd build-deb && cpack -G DEB -B package >/dev/null)
packages=(build-deb/package/veltrana_*.deb)
if [[ ${#packages[@]} -ne 1 || ! -f ${packages[0]} ]]; then
  echo "make-deb: expected one package in build-deb/package, found: ${packages[*]}" >&2
  exit 1
fi
mkdir -p dist
deb="dist/$(basename "${packages[0]}")"
mv -f "${packages[0]}" "$deb"
echo "$root/$deb" >&3
