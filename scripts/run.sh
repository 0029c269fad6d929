#!/usr/bin/env bash
# Starts the editor from the portable program directory. On a first start
# (no configuration remembered yet) it opens the bundled demo configuration.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
  echo "No display found: run 'xvfb-run make run' to start the editor on a virtual display." >&2
  exit 1
fi
settings="${XDG_CONFIG_HOME:-$HOME/.config}/Zelmora/Varnok.conf"
args=()
if [ -f build/bin/Demo.vnk ] && ! grep -qiE '^[[:space:]]*LastVNKFile[[:space:]]*=[[:space:]]*[^[:space:]]' "$settings" 2>/dev/null; then
  args+=("$PWD/build/bin/Demo.vnk")
fi
exec build/bin/varnokc "${args[@]}"
