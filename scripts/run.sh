#!/usr/bin/env bash
# Sets up, builds and starts Zindara. Arguments are handed to the program (file names).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" --parallel "$(nproc)" --target zindara
exec "$root/build/src/app/zindara" "$@"
