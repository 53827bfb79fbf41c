#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine, in a Wine session of their own (with the
# virtual mouse installed), and prints their figures: the agent's, then HidDevice.dll's on
# Wine's HID stack. It also counts the idle agent's wake-ups, which only the Linux side
# sees: the context switches of the agent's threads while the benchmark leaves it alone.
# The machines are shared: each figure with a goal comes with a baseline from the same run,
# and the closing table gives their ratios; memory rows are added here.
#
#   scripts/bench.sh [BUILD_DIR]     default: the windows preset's folder, build/windows
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
if [ $# -eq 0 ]; then
    build=build/windows
    cmake --preset windows >/dev/null
else
    build=$1
    cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-posix.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target agent_bench config_bench hidstack_bench >/dev/null
state=$(realpath -m "$build/bench-wine")
# With the virtual mouse installed, for the HID library's figures.
cmake/wine-session.sh start "$state" "" "$(realpath "$build/virtualmouse")"
readings=$(mktemp -d)
trap 'cmake/wine-session.sh stop "$state"; rm -rf "$readings"' EXIT
. "$state/env"

idle_seconds=10

# The process of this session's prefix running the program: other sessions on the
# machine run their own.
pid_of() {
    local pid
    for pid in $(pgrep -f "$1" || true); do
        if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
            echo "$pid"
            return
        fi
    done
}

# "TID NAME VOLUNTARY INVOLUNTARY", one line for each thread of the process.
thread_switches() {
    local task
    for task in /proc/"$1"/task/*; do
        awk -v tid="${task##*/}" '
            /^Name:/ { name = $2 }
            /^voluntary_ctxt_switches:/ { v = $2 }
            /^nonvoluntary_ctxt_switches:/ { n = $2 }
            END { if (v != "") print tid, name, v, n }' "$task/status" 2>/dev/null
    done
}

# Each program's thread switches over the idle stretch, as rows of the closing table.
count_wakeups() {
    local program pid
    declare -A pids
    for program in hid.exe notifyhost.exe; do
        pid=$(pid_of "${program//./\\.}")
        [ -n "$pid" ] && pids[$program]=$pid && thread_switches "$pid" >"$readings/switches.$program"
    done
    sleep "$idle_seconds"
    for program in hid.exe notifyhost.exe; do
        if [ -z "${pids[$program]:-}" ]; then
            echo "$program wake-ups while idle | not measured: not running in $WINEPREFIX"
            continue
        fi
        thread_switches "${pids[$program]}" | awk -v seconds="$idle_seconds" -v program="$program" '
            NR == FNR { v0[$1] = $3; n0[$1] = $4; next }
            { dv = $3 - v0[$1]; dn = $4 - n0[$1]; v += dv; n += dn; threads++
              if (dv + dn > 0) busy = busy sprintf(" %s(%s)=%d", $2, $1, dv + dn) }
            END {
                printf "%s wake-ups while idle | %.1f /s (%d voluntary, %d involuntary switches in %d s, %d threads)\n",
                    program, (v + n) / seconds, v, n, seconds, threads
                if (busy != "") printf "  threads that woke:%s\n", busy
            }' "$readings/switches.$program" -
        rm -f "$readings/switches.$program"
    done >"$readings/wakeups"
}

# Wine reports no private bytes (it gives the swap use); Linux's count of anonymous
# resident memory stands in for them. bare_window.exe, a program with one hidden window
# that the benchmark keeps running meanwhile, is the baseline.
read_memory() {
    local program pid
    for program in hid.exe notifyhost.exe bare_window.exe; do
        pid=$(pid_of "${program//./\\.}")
        [ -n "$pid" ] || continue
        awk -v key="$program.$1" '/^(VmRSS|RssAnon):/ { kb[$1] = $2 } END { print key, kb["VmRSS:"], kb["RssAnon:"] }' \
            "/proc/$pid/status"
    done >>"$readings/memory"
}

memory_rows() {
    [ -s "$readings/memory" ] || return 0
    awk '{ split($1, key, "."); program = key[1] "." key[2]; rss[program, key[3]] = $2; anon[program, key[3]] = $3
           programs[program] = 1 }
         END { for (p in programs)
                   printf "%s Linux view: resident, anonymous | before %d / %d KB, after %d / %d KB, growth %+d / %+d KB\n",
                       p, rss[p, "before"], anon[p, "before"], rss[p, "after"], anon[p, "after"],
                       rss[p, "after"] - rss[p, "before"], anon[p, "after"] - anon[p, "before"] }' "$readings/memory"
}

# Rows that continue the benchmark's closing table: each program's anonymous resident
# memory after the load against the bare program's at the same moment.
memory_ratio_rows() {
    [ -s "$readings/memory" ] || return 0
    awk -v goal=1.5 '{ anon[$1] = $3 }
         END { base = anon["bare_window.exe.after"]
               for (p in anon) if (p ~ /\.after$/ && p != "bare_window.exe.after") {
                   name = substr(p, 1, length(p) - 6)
                   if (base > 0 && anon[p] > 0)
                       printf "| %s private memory (Linux RssAnon), after load | %.1f MB | %.1f MB | x%.2f | x%.1f at most: %s |\n",
                           name, anon[p] / 1024, base / 1024, anon[p] / base, goal, anon[p] / base <= goal ? "met" : "NOT met"
                   else
                       printf "| %s private memory (Linux RssAnon), after load | %d KB | %d KB | - | not measured |\n",
                           name, anon[p], base
               } }' "$readings/memory" | sort
}

wine "$build/tests/bench/agent_bench.exe" 2>/dev/null | {
    while IFS= read -r line; do
        line=${line%$'\r'}
        printf '%s\n' "$line"
        case $line in
            "idle check:"*) count_wakeups & ;;
            "resource check: "*) read_memory "${line#resource check: }" ;;
        esac
    done
    wait
}
memory_ratio_rows
echo
memory_rows
cat "$readings/wakeups"
echo
wine "$build/tests/bench/hidstack_bench.exe" 2>/dev/null | tr -d '\r'
