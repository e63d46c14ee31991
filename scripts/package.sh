#!/usr/bin/env bash
# Builds the Debian package of Zindara in build-package/ with Debian's own compiler flags and
# prints its file name as the last line.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup-deps.sh"
out="$root/build-package"
# Hardening as in Debian's own packages: stack protector, fortified functions, relro, bindnow.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=None -DZINDARA_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$out" --parallel "$(nproc)"
rm -f "$out"/zindara_*.deb
(cd "$out" && cpack -G DEB >/dev/null)
ls "$out"/zindara_*.deb
