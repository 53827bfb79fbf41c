#!/usr/bin/env bash
# Shows the device agent at work: hid.exe under Wine, against the simulated mouse, in a
# Wine session of its own (build/demo). Each step says what it does and what came of it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh
echo "== Building the Windows programs (build/windows/dist)"
cmake --preset windows >build-demo-configure.log 2>&1 || { cat build-demo-configure.log; exit 1; }
rm -f build-demo-configure.log
cmake --build --preset windows --target hid simmouse HidDeviceSim notifyhost_standin >/dev/null

demo=$root/build/demo
state=$demo/wine
install=$demo/install
rm -rf "$install"
mkdir -p "$install"
cp build/windows/dist/* "$install/"
# The simulated mouse stands in for the USB hardware; a real install has the real HidDevice.dll.
cp build/windows/simmouse/HidDevice.dll "$install/"
# Until the tray companion is built, a stand-in that records its starts takes its place.
[ -f "$install/notifyhost.exe" ] || cp build/windows/tests/windows/notifyhost.exe "$install/"

cmake/wine-session.sh start "$state"
. "$state/env"
trap 'cmake/wine-session.sh stop "$state"' EXIT
winpath() { printf 'Z:%s' "${1//\//\\}"; }
sim() { wine "$root/build/windows/simmouse/simmouse.exe" "$@" 2>/dev/null | tr -d '\r'; }
userdir=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming 2>/dev/null | head -1)/"Pelora Tern-7"

echo "== Plugging in the simulated mouse"
wine "$root/build/windows/simmouse/simmouse.exe" serve --attached </dev/null >/dev/null 2>&1 &
sim wait-ready 10000 >/dev/null

echo "== Starting hid.exe (hidden window \"Ovix Pelora Tern-7 Sentry\")"
(cd "$install" && wine hid.exe </dev/null >/dev/null 2>&1 &)
sim wait-log "ordinal 2" 15000 >/dev/null
for _ in $(seq 100); do grep -q '^Plug=1' "$userdir/config.ini" 2>/dev/null && break; sleep 0.1; done

echo "-- What the agent asked of the mouse library:"
sim log | sed 's/^/   /'
echo "-- The user's data folder, made on the first start:"
ls -1 "$userdir" | sed 's/^/   /'
echo "-- config.ini, [Setting] (\"Plug\" 1: a mouse was found):"
sed -n '/^\[Setting\]/,/^\[/p' "$userdir/config.ini" | tr -d '\r' | grep -v '^\[GROUP' | sed 's/^/   /'
echo "-- Pointer values written for the next log-on (profile 1):"
wine reg query 'HKCU\Control Panel\Mouse' 2>/dev/null | tr -d '\r' | grep -E 'DoubleClickSpeed|MouseSensitivity|MouseSpeed|Threshold' | sed 's/^ */   /'

echo "== Waiting for the tray companion, started 2 s after the mouse was opened"
for _ in $(seq 100); do grep -q running "$install/notifyhost.log" 2>/dev/null && break; sleep 0.1; done
sed 's/^/   notifyhost: /' "$install/notifyhost.log" 2>/dev/null || echo "   (not started)"

echo "== Unplugging the mouse: the agent closes the tray companion"
sim detach >/dev/null
for _ in $(seq 50); do grep -q closed "$install/notifyhost.log" 2>/dev/null && break; sleep 0.1; done
tail -1 "$install/notifyhost.log" | sed 's/^/   notifyhost: /'

echo "== Plugging it in again: the agent starts it again"
sim attach >/dev/null
for _ in $(seq 50); do [ "$(grep -c running "$install/notifyhost.log")" -ge 2 ] && break; sleep 0.1; done
tail -1 "$install/notifyhost.log" | sed 's/^/   notifyhost: /'

echo "== Closing the agent (WM_CLOSE), which closes its companions and ends a second later"
wine taskkill /im hid.exe >/dev/null 2>&1 || true
for _ in $(seq 50); do pgrep -f 'hid.exe' >/dev/null || break; sleep 0.1; done
tail -1 "$install/notifyhost.log" | sed 's/^/   notifyhost: /'
sim quit >/dev/null || true
echo "== Done. The install folder is $install, the user's folder $userdir"
