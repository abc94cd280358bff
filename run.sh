#!/usr/bin/env bash
# The same set-up as test.sh, then starts the program with the given arguments.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh
kiv_ensure_packages
kiv_configure_and_build >/dev/null
if [ -x build/src/app/kiv ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
    echo "run.sh: no display. Start the window with 'xvfb-run ./run.sh', or use build/src/cli/kiv-cli." >&2
    exit 1
  fi
  exec build/src/app/kiv "$@"
fi
exec build/src/cli/kiv-cli --help
