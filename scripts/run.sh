#!/usr/bin/env bash
# Sets up, builds and starts Zindara. Arguments are handed to the program (file names).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" --parallel "$(nproc)" --target zindara
# Without a file the demo book opens, so a newcomer can listen, set marks and split at once.
if [ $# -eq 0 ]; then
  demo="$root/build/demo/zindara-demo.mp3"
  cmake --build "$root/build" --target demo >/dev/null 2>&1 || true
  [ -f "$demo" ] && set -- "$demo"
fi
exec "$root/build/src/app/zindara" "$@"
