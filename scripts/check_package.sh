#!/usr/bin/env bash
# Builds the Debian package and checks it as a user would meet it: lintian
# without errors, the desktop entries and the AppStream data valid, and the
# programs run from the unpacked package while their folder is read-only to
# the user who runs them (vnk --help, vnk list, a run with the emulator
# folder set, the editor started and stopped offscreen).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}

# The package installs under /usr: a build folder configured otherwise is set right.
if ! grep -q '^CMAKE_INSTALL_PREFIX:PATH=/usr$' "$BUILD/CMakeCache.txt"; then
  cmake -S . -B "$BUILD" -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
fi
rm -f "$BUILD"/varnok_*.deb
cmake --build "$BUILD" --target package >/dev/null
deb=$(ls "$BUILD"/varnok_*_*.deb)
echo "== $deb"
dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$'

echo "== lintian"
lintian --fail-on error --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges' || true
lintian --fail-on error "$deb" >/dev/null 2>&1 || { echo "lintian reports errors"; exit 1; }

work=$(mktemp -d)
cleanup() {
  # The editor, and the companion it started, if they are still there.
  [ -n "${editor:-}" ] && kill "$editor" 2>/dev/null || true
  [ -f "${home:-}/varnok.log" ] && companion=$(sed -n 's/^started //p' "$home/varnok.log" | head -1)
  [ -n "${companion:-}" ] && kill "$companion" 2>/dev/null || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
root=$work/root
dpkg-deb -x "$deb" "$root"

echo "== desktop entries and metainfo"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.metainfo.xml

# The user: "nobody" when we are root (root may write any folder), else ourselves.
home=$work/home
mkdir -p "$home/runtime" "$home/corvane"
cp "$BUILD/bin/corvmain" "$BUILD/bin/corvane.ini" "$home/corvane/"
cp "$BUILD/bin/Demo.vnk" "$home/net.vnk"
chmod 0700 "$home/runtime"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody:nogroup "$home"
  chmod 0755 "$work"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
chmod -R a-w "$root"
bin=$root/usr/bin
run() {
  env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=offscreen \
    CORVMAIN_RECORD="$home/corvmain.jsonl" VARNOKC_PROMPT_LOG="$home/prompts.jsonl" \
    VARNOK_RECORD="$home/varnok.log" "${as_user[@]}" "$@"
}
if run touch "$bin/probe" 2>/dev/null; then
  echo "the program folder is writable: the check needs a read-only one"
  exit 1
fi

echo "== vnk from the package"
run "$bin/vnk" --help >/dev/null
run "$bin/vnk" list "$home/net.vnk" | head -5
run mkdir -p "$home/.config/Zelmora"
printf '[Varnok]\nEmulatorDir=%s\n' "$home/corvane" | run tee "$home/.config/Zelmora/Varnok.conf" >/dev/null
node=$(run "$bin/vnk" list --json "$home/net.vnk" | python3 -c \
  'import json,sys; print(next(n["index"] for n in json.load(sys.stdin) if n["macro"]))')
run "$bin/vnk" run "$home/net.vnk" "$node"
for f in "$home/runtime/varnok/Temp_CVL" "$home/.local/state/varnok/Logs"; do
  [ "$(stat -c %a "$f")" = 700 ] || { echo "$f is not 0700"; exit 1; }
done
[ "$(stat -c %a "$home/runtime/varnok/Temp_CVL/~macroC1.cvl")" = 600 ] || { echo "the macro file is not 0600"; exit 1; }
for i in $(seq 50); do [ -s "$home/corvmain.jsonl" ] && break; sleep 0.1; done
grep -q "runtime/varnok/Temp_CVL/~macroC1.cvl" "$home/corvmain.jsonl" || { echo "the emulator was not started"; exit 1; }

echo "== the editor from the package, offscreen"
# exec: $! is then the editor itself (env and setpriv exec it in turn).
(exec env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=offscreen \
  VARNOKC_PROMPT_LOG="$home/prompts.jsonl" VARNOK_RECORD="$home/varnok.log" \
  "${as_user[@]}" "$bin/varnokc" "$home/net.vnk") &
editor=$!
for i in $(seq 100); do ls "$home/runtime/varnok"/bus-"$editor"-* >/dev/null 2>&1 && break; sleep 0.1; done
ls "$home/runtime/varnok"/bus-"$editor"-* >/dev/null || { echo "the editor did not come up"; exit 1; }
run "$bin/varnok" --stop-editor
wait "$editor"
editor=""
if [ -s "$home/prompts.jsonl" ]; then
  echo "the editor asked or warned:"
  cat "$home/prompts.jsonl"
  exit 1
fi
echo "package check passed"
