#!/usr/bin/env bash
# Sets up, builds and runs every test; then the engine's tests once more under
# AddressSanitizer and UndefinedBehaviorSanitizer; then builds the Debian package and tries it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc)"
bash "$root/scripts/setup-deps.sh"

# Tests that play sound or speak start their own private servers through CTest fixtures.
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" --parallel "$jobs"
status=0
ctest --test-dir "$root/build" --output-on-failure --parallel "$jobs" || status=1

cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DZINDARA_SANITIZE=ON >/dev/null
cmake --build "$root/build-asan" --parallel "$jobs" --target engine_tests
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure --parallel "$jobs" -L 'engine|slow' || status=1

bash "$root/scripts/package-check.sh" || status=1
exit $status
