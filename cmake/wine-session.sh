#!/bin/bash
# Starts or stops the isolated Wine session that the Windows tests and the demo run in:
# a private prefix (copied from a cached, booted template beside STATE_DIR), a private HOME, a private
# Xvfb display, and one persistent wineserver whose services were booted with their
# stdio on /dev/null (otherwise they hold ctest's pipes open and ctest never returns).
#
# Windows are unmanaged (no window manager runs on the display): hiding a managed window
# would wait for a window manager's answer that never comes. A desktop keeper, when given,
# holds the desktop open for the whole session (see tests/windows/DesktopKeeper.cpp).
#
# Given the virtual mouse's folder (its drivers, their .inf and simmouse.exe), the template
# gets the virtual mouse installed, once, so that every session copied from it has it; it
# starts unplugged. The template is made again when the drivers change.
#
#   wine-session.sh start STATE_DIR [KEEPER_EXE [VIRTUAL_MOUSE_DIR]]
#                                                  prints nothing; writes STATE_DIR/env
#   wine-session.sh stop  STATE_DIR
#   wine-session.sh prepare STATE_DIR              only makes the template, ahead of a start
set -u
action=${1:?start or stop}
state=$(realpath -m "${2:?state directory}")
keeper=${3:-}
virtual_mouse=${4:-}
# Bumped whenever make_template changes, so that cached templates are made anew.
template_version=3
mkdir -p "$state"

quiet() { "$@" </dev/null >/dev/null 2>&1; }

base_env() {
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" HOME="$state/home"
    mkdir -p "$HOME"
}

make_template() {
    local template=$1
    rm -rf "$template.tmp"
    WINEPREFIX="$template.tmp" quiet wineboot -i
    # A null ALSA output gives Wine one audio endpoint and one mixer without sound hardware.
    WINEPREFIX="$template.tmp" quiet wine reg add 'HKCU\Software\Wine\Drivers\winealsa.drv' \
        /v ALSAOutputDevices /t REG_MULTI_SZ /d null /f
    WINEPREFIX="$template.tmp" quiet wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
    WINEPREFIX="$template.tmp" quiet wineserver -k
    WINEPREFIX="$template.tmp" quiet wineserver -w
    mv "$template.tmp" "$template"
}

# What identifies the virtual mouse's drivers; empty when they are not built. The tool that
# installs them is not part of it: it changes with much that the drivers do not.
virtual_mouse_stamp() {
    local files=("$virtual_mouse/tern7vbus.sys" "$virtual_mouse/tern7vhid.sys" "$virtual_mouse/tern7vmouse.inf")
    [ -n "$virtual_mouse" ] && ls "${files[@]}" "$virtual_mouse/simmouse.exe" >/dev/null 2>&1 || return 0
    cat "${files[@]}" | md5sum | cut -d' ' -f1
}

# A prefix holds one version of the drivers: a loaded image cannot be replaced, so other
# drivers take a template made anew.
install_virtual_mouse() {
    local template=$1 stamp=$2
    WINEPREFIX="$template" quiet wine "$virtual_mouse/simmouse.exe" install || return 1
    WINEPREFIX="$template" quiet wineserver -k
    WINEPREFIX="$template" quiet wineserver -w
    echo "$stamp" >"$template/.virtual-mouse"
}

# Sessions beside each other share one template, made by whichever needs it first.
template="$(dirname "$state")/wine-template-$template_version"
prepare() {
    (
        flock 9
        local stamp installed
        stamp=$(virtual_mouse_stamp)
        installed=$(cat "$template/.virtual-mouse" 2>/dev/null)
        if [ -n "$stamp" ] && [ -n "$installed" ] && [ "$stamp" != "$installed" ]; then
            rm -rf "$template"
        fi
        [ -d "$template" ] || { rm -rf "$(dirname "$state")"/wine-template-*; make_template "$template"; }
        if [ -n "$stamp" ] && [ "$stamp" != "$installed" ]; then
            install_virtual_mouse "$template" "$stamp" || echo "the virtual mouse did not install" >&2
        fi
    ) 9>"$(dirname "$state")/wine-template.lock"
}

start() {
    base_env
    stop_session
    prepare
    rm -rf "$state/prefix"
    cp -a "$template" "$state/prefix"
    export WINEPREFIX="$state/prefix"

    rm -f "$state/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$state/display.tmp" </dev/null >/dev/null 2>&1 &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 100); do [ -s "$state/display.tmp" ] && break; sleep 0.1; done
    local display
    display=$(tr -dc '0-9' <"$state/display.tmp")
    [ -n "$display" ] || { echo "Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$display"

    quiet wineserver -p
    quiet wine wineboot
    if [ -n "$keeper" ]; then
        # Its window first: a test program that made the first window would start the
        # desktop process itself, which keeps that program's output open.
        rm -f "$state/keeper.ready"
        wine "$keeper" "Z:${state//\//\\}\\keeper.ready" </dev/null >/dev/null 2>&1 &
        for _ in $(seq 200); do [ -e "$state/keeper.ready" ] && break; sleep 0.05; done
    fi
    cat >"$state/env" <<EOT
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" HOME='$HOME' WINEPREFIX='$WINEPREFIX' DISPLAY='$DISPLAY'
EOT
    mv "$state/display.tmp" "$state/display"
}

stop_session() {
    if [ -d "$state/prefix" ]; then
        WINEPREFIX="$state/prefix" quiet wineserver -k
        WINEPREFIX="$state/prefix" quiet wineserver -w
    fi
    if [ -s "$state/xvfb.pid" ]; then
        kill "$(cat "$state/xvfb.pid")" 2>/dev/null
        rm -f "$state/xvfb.pid"
    fi
    rm -f "$state/display" "$state/display.tmp" "$state/env"
}

case $action in
    prepare) base_env; prepare ;;
    start) start ;;
    stop) base_env; stop_session ;;
    *) echo "usage: $0 start|stop|prepare STATE_DIR" >&2; exit 2 ;;
esac
