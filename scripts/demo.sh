#!/usr/bin/env bash
# Shows the system doing its job as a user meets it: hid.exe and the shipped HidDevice.dll
# under Wine, in a Wine session of its own, against the virtual mouse on Wine's HID stack
# (a test double of the hardware). The mouse is plugged in, its profile, CPI and
# volume keys are pressed, settings are changed and applied in the settings window
# (Setwell.exe), the mouse is pulled out and the agent is closed. Each step says what
# happened; screenshots of the tray menu, the on-screen display, each page of the settings
# window and the progress window go to the output folder.
# Last, the setup refuses to run as administrator, installs the companion as a user would,
# the installed agent takes the mouse, and the uninstaller removes it all; screenshots of
# the setup's and the uninstaller's pages go there too.
# Exits 0 only if every step did what it should.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-$root/build/demo/out}

scripts/install-deps.sh imagemagick x11-apps x11-utils xdotool || exit 1
echo "== Building the Windows programs (build/windows/dist)"
cmake --preset windows >build-demo-configure.log 2>&1 || { cat build-demo-configure.log; exit 1; }
rm -f build-demo-configure.log
cmake --build --preset windows --target hid HidDevice notifyhost OSD Setwell tern7ctl virtualmouse_tool setup \
    run_unelevated >/dev/null || exit 1
setup_exe=$(ls build/windows/Tern7Setup-*.exe 2>/dev/null | head -1)

demo=$root/build/demo
state=$demo/wine
install=$demo/install
rm -rf "$install" "$out"
mkdir -p "$install" "$out"
cp -r build/windows/dist/* "$install/"

# The session's template gets the virtual mouse installed, unplugged.
cmake/wine-session.sh start "$state" "" "$root/build/windows/virtualmouse" || exit 1
. "$state/env"
cleanup() {
    wine taskkill /f /im tern7ctl.exe >/dev/null 2>&1
    wine taskkill /f /im Setwell.exe >/dev/null 2>&1
    wine taskkill /f /im hid.exe >/dev/null 2>&1
    sim detach >/dev/null 2>&1
    cmake/wine-session.sh stop "$state"
}
trap cleanup EXIT

failures=0
check() {  # check DESCRIPTION COMMAND...
    local what=$1; shift
    if "$@"; then echo "   ok: $what"; else echo "   FAILED: $what"; failures=$((failures + 1)); fi
}
# wait_for SECONDS COMMAND...: true once COMMAND holds.
wait_for() {
    local tries=$(($1 * 10)); shift
    for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
    return 1
}
sim() { wine "$root/build/windows/virtualmouse/simmouse.exe" "$@" 2>/dev/null | tr -d '\r'; }
ctl() { (cd "$install" && wine tern7ctl.exe "$@" 2>/dev/null | tr -d '\r'); }
window_exists() { xwininfo -root -tree 2>/dev/null | grep -q "\"$1\""; }
window_gone() { ! window_exists "$1"; }
shot() { xwd -root -silent | /usr/bin/convert xwd:- "$out/$1"; echo "   screenshot: $out/$1"; }
# shot_window X-WINDOW FILE: only that window.
shot_window() { xwd -id "$1" -silent | /usr/bin/convert xwd:- "$out/$2"; echo "   screenshot: $out/$2"; }
userdir=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming 2>/dev/null | head -1)/"Pelora Tern-7"
config=$userdir/config.ini
setting() { tr -d '\r' <"$config" | sed -n "/^\[$1\]/,/^\[/p" | grep "^$2=" | cut -d= -f2; }
writes() { sim log | grep -c '^write ' || true; }
sim_state_has() { sim state | grep -q "^$1"; }
# Wine registers a program for device notices a moment after it asked: a mouse plugged in
# right after the agent started may go unheard, so it is plugged in again, up to three times.
plug_in() {
    local plug
    for plug in 1 2 3; do
        [ "$plug" -gt 1 ] && sim detach >/dev/null
        sim attach >/dev/null
        wait_for 5 window_exists "Ovix Pelora Tern-7 NotifyHost" && return 0
    done
    return 1
}
# The answer of an apply from the installed tern7ctl; "no device" until the mouse's second
# collection, which takes the upload, is open.
installed_apply_sent() { test "$(cd "$programs" && wine tern7ctl.exe apply 2>/dev/null | tr -d '\r')" = sent; }
mouse_stores() { sim_state_has "stored: .*$1"; }

echo "== The virtual mouse is installed in this Wine session, not yet plugged in"
check "the virtual mouse is there, unplugged" sim_state_has "attached: no"

echo "== Starting hid.exe as a log-on would (hidden window \"Ovix Pelora Tern-7 Sentry\")"
(cd "$install" && wine hid.exe </dev/null >/dev/null 2>&1 &)
check "the agent's hidden window is there" wait_for 20 window_exists "Ovix Pelora Tern-7 Sentry"
check "first start made the user's data folder with config.ini" wait_for 10 test -f "$config"
ls -1 "$userdir" | sed 's/^/   data folder: /'
check "config.ini records no mouse (Plug=0)" wait_for 10 test "$(setting Setting Plug)" = 0

echo "== Plugging in the mouse: the agent opens it and starts the tray companion"
check "notifyhost.exe shows its icon" plug_in
check "the mouse is plugged in" sim_state_has "attached: yes"
sleep 1
# "WxH+X+Y" of the tray window; its icons sit in the row under its caption.
tray=$(xwininfo -root -tree | grep '"Wine System Tray"' | grep -oE '[0-9]+x[0-9]+\+[0-9]+\+[0-9]+' | head -1)
if [ -n "$tray" ]; then
    h=$(cut -dx -f2 <<<"$tray" | cut -d+ -f1)
    x=$(cut -d+ -f2 <<<"$tray"); y=$(cut -d+ -f3 <<<"$tray")
    xdotool mousemove $((x + 12)) $((y + h - 12)) click 3
    sleep 1
    shot tray-menu.png
    xdotool key Escape
fi
check "the tray area holds the icon" [ -n "$tray" ]

echo "== The settings tool listens (tern7ctl watch)"
(cd "$install" && wine tern7ctl.exe watch </dev/null >"$demo/watch.log" 2>/dev/null &)
wait_for 10 window_exists "Ovix Pelora Tern-7 Gaming Mouse Driver"

echo "== Pressing the mouse's profile key for profile 2"
sim press profile 2 | sed 's/^/   mouse: /'
check "the settings tool heard \"profile changed\"" wait_for 10 grep -q "profile changed" "$demo/watch.log"
check "config.ini: Profile=1" test "$(setting Setting Profile)" = 1
check "the on-screen display is up" wait_for 10 window_exists "Ovix Pelora Tern-7 OSD"
sleep 0.3
shot osd-profile.png

echo "== Pressing the CPI key for level 3"
sim press cpi 3 | sed 's/^/   mouse: /'
check "the settings tool heard \"cpi level 3\"" wait_for 10 grep -q "cpi level 3" "$demo/watch.log"
check "config.ini: [GROUP1] DPI=3" test "$(setting GROUP1 DPI)" = 3
sleep 0.3
shot osd-cpi.png

echo "== Pressing the volume-up key (the system changes the volume; the agent shows it)"
sim inject 03 E9 00 >/dev/null
sleep 0.5
shot osd-volume.png

wine taskkill /im tern7ctl.exe >/dev/null 2>&1
wait_for 10 window_gone "Ovix Pelora Tern-7 Gaming Mouse Driver"
tr -d '\r' <"$demo/watch.log" | sed 's/^/   settings tool: /'

echo "== Changing settings in the settings window (Setwell.exe) and applying them:"
echo "   polling rate 250 reports per second, profile 2 at CPI level 2"
settings_title="Ovix Pelora Tern-7 Gaming Mouse Driver"
(cd "$install" && wine Setwell.exe </dev/null >/dev/null 2>&1 &)
setwell=""
# The window has its title before it is shown; keys need it shown.
setwell_shown() { setwell=$(xdotool search --onlyvisible --name "^$settings_title\$" 2>/dev/null | head -1); [ -n "$setwell" ]; }
check "the settings window is open" wait_for 20 setwell_shown
xdotool windowfocus "$setwell"
sleep 0.5
# As a user at the keyboard: mnemonics go to a field, Ctrl+Tab to the next page.
xdotool key alt+r End alt+p Home Down
sleep 0.3
shot_window "$setwell" settings-general.png
xdotool key ctrl+Tab alt+c Home Down
sleep 0.3
shot_window "$setwell" settings-pointer.png
xdotool key ctrl+Tab
sleep 0.3
shot_window "$setwell" settings-buttons.png
sim clear-log >/dev/null
# The progress window shows for about a third of a second; catch it while it is up.
(wait_for 20 window_exists OvixTessalyProgressbar && shot progress.png) &
watcher=$!
xdotool key Return  # OK: apply, and close once the mouse has the settings
wait $watcher
check "the progress window was shown" test -f "$out/progress.png"
check "the settings window closed after the mouse was updated" wait_for 20 window_gone "$settings_title"
check "27 reports went to the mouse" test "$(writes)" = 27
sim state | grep -E '^(stored|global)' | sed 's/^/   mouse: /'
check "the mouse stores profile 2" mouse_stores 2
check "the progress window is gone" wait_for 5 window_gone OvixTessalyProgressbar

echo "== Pulling the mouse out: the agent closes the tray companion"
sim detach >/dev/null
check "notifyhost.exe ended" wait_for 10 window_gone "Ovix Pelora Tern-7 NotifyHost"

echo "== Closing the agent (WM_CLOSE), which ends about a second later"
wine taskkill /im hid.exe >/dev/null 2>&1
check "hid.exe ended" wait_for 10 window_gone "Ovix Pelora Tern-7 Sentry"
check "config.ini kept the applied settings" test "$(setting GROUP1 DPI)-$(setting Setting PollingRate)" = 2-2

echo "== Installing with the setup, as a user would: $(basename "$setup_exe")"
programs=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Local 2>/dev/null | head -1)/Programs/"Ovix Pelora"/Tern-7
# The wizard's pages answer the keyboard while the pointer is over them (no window manager);
# their titles change by page, so a window is found by the start of its title.
wizard() { xwininfo -root -tree | grep "\"$1" | head -1 | grep -oE '[0-9]+x[0-9]+\+[0-9]+\+[0-9]+' | head -1; }
wizard_shown() { [ -n "$(wizard "$1")" ]; }
wizard_gone() { ! wizard_shown "$1"; }
page() {  # page TITLE SHOT: saves the wizard's page, then presses its default button
    local geometry x y
    sleep 1
    geometry=$(wizard "$1")
    [ -n "$geometry" ] || return 1
    xwd -root -silent | /usr/bin/convert xwd:- -crop "$geometry" +repage "$out/$2"
    echo "   screenshot: $out/$2"
    x=$(cut -d+ -f2 <<<"$geometry"); y=$(cut -d+ -f3 <<<"$geometry")
    xdotool mousemove $((x + 200)) $((y + 150)) key Return
}
# Wine runs every program elevated, as "Run as administrator" does; a user's own start is not.
unelevated() { wine "$root/build/windows/run_unelevated.exe" "$(winepath -w "$1" 2>/dev/null)"; }
exit_code_is() { test -s "$demo/setup.rc" && test "$(cat "$demo/setup.rc")" = "$1"; }
run_value_set() { wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v "Ovix Pelora Tern-7" >/dev/null 2>&1; }
agent_installed() { window_exists "Ovix Pelora Tern-7 Sentry" && test -f "$programs/hid.exe"; }
if [ -n "$setup_exe" ]; then
    echo "   run as administrator first: the agent it starts would have an administrator's rights"
    rm -f "$demo/setup.rc"
    ( wine "$setup_exe" </dev/null >/dev/null 2>&1; echo $? >"$demo/setup.rc" ) &
    check "the setup says so" wait_for 20 wizard_shown "Ovix Pelora Tern-7 Setup"
    check "its message" page "Ovix Pelora Tern-7 Setup" setup-elevated.png
    check "it ended with exit code 7 and installed nothing" wait_for 20 exit_code_is 7
    check "nothing was installed" test ! -e "$programs"
    echo "   then as the user"
    (unelevated "$setup_exe" </dev/null >/dev/null 2>&1 &)
    check "the setup's wizard is up" wait_for 20 wizard_shown "Ovix Pelora Tern-7 Setup"
    check "welcome page" page "Ovix Pelora Tern-7 Setup" setup-welcome.png
    check "the setup installed and started the agent" wait_for 30 agent_installed
    check "what the setup did" page "Ovix Pelora Tern-7 Setup" setup-installed.png
    check "finish page" page "Ovix Pelora Tern-7 Setup" setup-finish.png
    check "the wizard closed" wait_for 10 wizard_gone "Ovix Pelora Tern-7 Setup"
    wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v "Ovix Pelora Tern-7" 2>/dev/null |
        tr -d '\r' | grep REG_SZ | sed 's/^ */   log-on start: /'
    check "the agent starts at log-on" run_value_set

    echo "== Plugging the mouse in again: the installed agent takes it with the HidDevice.dll the setup put there"
    check "the installed notifyhost.exe shows its icon" plug_in
    sim clear-log >/dev/null
    check "the installed tern7ctl apply: the installed agent uploads to the mouse" wait_for 10 installed_apply_sent
    check "27 reports went to the mouse" test "$(writes)" = 27
    sim detach >/dev/null
    check "notifyhost.exe ended with the mouse" wait_for 10 window_gone "Ovix Pelora Tern-7 NotifyHost"

    echo "== Uninstalling (what Apps & features runs): the settings stay unless ticked"
    (unelevated "$programs/uninstall.exe" </dev/null >/dev/null 2>&1 &)
    check "the uninstaller's wizard is up" wait_for 20 wizard_shown "Ovix Pelora Tern-7 Uninstall"
    check "confirmation page" page "Ovix Pelora Tern-7 Uninstall" uninstall-confirm.png
    check "the choice to remove the settings too" page "Ovix Pelora Tern-7 Uninstall" uninstall-choice.png
    check "the agent was closed" wait_for 30 window_gone "Ovix Pelora Tern-7 Sentry"
    check "the programs are gone" wait_for 30 test ! -e "$programs"
    check "what the uninstaller did" page "Ovix Pelora Tern-7 Uninstall" uninstall-done.png
    check "finish page" page "Ovix Pelora Tern-7 Uninstall" uninstall-finish.png
    check "the user's settings stayed" test -f "$config"
else
    check "the setup was built (needs makensis from the nsis package)" false
fi

echo "== Done: $failures step(s) failed. Screenshots are in $out"
[ "$failures" -eq 0 ]
