#!/usr/bin/env bash
# Starts the editor from the portable program directory on the demo configuration.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: run 'xvfb-run make run' to start the editor on a virtual display." >&2
  exit 1
fi
args=()
[ -f build/bin/Demo.vnk ] && args+=("$PWD/build/bin/Demo.vnk")
exec build/bin/varnokc "${args[@]}"
