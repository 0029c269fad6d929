#!/usr/bin/env bash
# Checks that each room of src/app includes only the rooms below it, as the
# README's Layout draws them. The core's layers are kept apart by include
# paths (src/CMakeLists.txt); the rooms share one library, so their rule is
# checked here and run as the test "rooms". Exit 1 on the first wrong include.
set -euo pipefail
cd "$(dirname "$0")/../src/app"

declare -A allowed=(
  [widgets]=""
  [dialogs]="widgets"
  [document]="dialogs widgets"
  [editor]="dialogs widgets"
  [tree]="dialogs widgets"
  [pages]="tree editor dialogs widgets"
  [find]="pages tree editor dialogs widgets"
  [commands]="pages tree editor dialogs widgets"
  [run]="document pages tree editor dialogs widgets"
  [system]="pages tree editor dialogs widgets"
  [window]="commands find run system document pages tree editor dialogs widgets"
)

status=0
for room in */; do
  room=${room%/}
  if [[ ! -v allowed[$room] ]]; then
    echo "src/app/$room: a room the check does not know; add it to scripts/check_rooms.sh"
    status=1
    continue
  fi
  while IFS=: read -r file line include; do
    target=${include#*\"}
    target=${target%\"*}
    used=${target%%/*}
    # The core's layers share some folder names with rooms (run/): an
    # include is a room's only when the file is in that room.
    [[ -f $target ]] || continue
    [[ $used == "$room" ]] && continue
    if [[ " ${allowed[$room]} " != *" $used "* ]]; then
      echo "src/app/$file:$line: the $room room may not include $target"
      status=1
    fi
  done < <(grep -Hn '^#include "' "$room"/* || true)
done
[[ $status -eq 0 ]] && echo "Rooms keep to their layers."
exit $status
