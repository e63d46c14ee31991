#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root and tries what a user gets: the
# installed zindara-cli, the installed program opening a file (read through AT-SPI), the menu
# entry and AppStream data as Debian's validators see them, and the package as lintian sees it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
deb="$(bash "$root/scripts/package.sh" | tail -n 1)"
echo "Paket: $deb"
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
status=0
fail() { echo "FEHLER: $*" >&2; status=1; }

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$deb" "$scratch"

version="$("$scratch/usr/bin/zindara-cli" --version)" || fail "zindara-cli --version endet mit Fehler"
[ "$version" = "Zindara V1.42" ] || fail "zindara-cli --version: \"$version\""
# Every library the package depends on resolves on this system.
if apt-cache policy libc6 2>/dev/null | grep -q 'Candidate: [0-9]'; then
  apt-get install --simulate -qq "$deb" >/dev/null || fail "die Abhängigkeiten lassen sich nicht erfüllen"
fi

desktop-file-validate "$scratch/usr/share/applications/zindara.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$scratch"/usr/share/metainfo/*.metainfo.xml || fail "appstreamcli validate"
# As root lintian says that it is; the tags are what counts.
lint=0
tags="$(lintian --fail-on error --display-info "$deb" 2>&1)" || lint=$?
grep -v 'running with root privileges' <<<"$tags" || true
[ $lint -eq 0 ] || fail "lintian"

# The system's Python, the one with pyatspi.
python="$(command -v /usr/bin/python3 || command -v python3)"
ZINDARA_PROGRAM="$scratch/usr/bin/zindara" ZINDARA_INSTALLED_ROOT="$scratch" PYTHONDONTWRITEBYTECODE=1 \
  "$python" "$root/tests/e2e/installed_test.py" || fail "der Start des installierten Programms"
exit $status
