#!/usr/bin/env bash
# Runs a link of the mingw-w64 driver on ld.lld instead of GNU ld, which takes seconds for
# each of our statically linked programs where lld takes a tenth of one. Debian's driver is
# built with a fixed linker and ignores -fuse-ld, so the driver is asked what it would run
# (-###) and that command runs on lld: the same start-up objects, search paths and
# libraries, in the same order. Arguments: the driver and its link arguments.
set -euo pipefail

plan=$("$@" -### 2>&1) || { printf '%s\n' "$plan" >&2; exit 1; }
link=$(grep -E '^ [^ ]*/collect2 ' <<<"$plan") || { echo "lld-link.sh: the driver names no link step" >&2; exit 1; }

# The driver prints each argument bare, or in double quotes with \, " and $ escaped by a
# backslash. The line is split here, never handed to the shell to read.
quoted='^[[:space:]]*"(([^"\\]|\\.)*)"(.*)$'
bare='^[[:space:]]*([^[:space:]]+)(.*)$'
escape='^([^\\]*)\\(.)(.*)$'
words=()
rest=$link
while :; do
    if [[ $rest =~ $quoted ]]; then
        word=${BASH_REMATCH[1]} rest=${BASH_REMATCH[3]} plain=
        while [[ $word =~ $escape ]]; do
            plain+=${BASH_REMATCH[1]}${BASH_REMATCH[2]} word=${BASH_REMATCH[3]}
        done
        words+=("$plain$word")
    elif [[ $rest =~ $bare ]]; then
        words+=("${BASH_REMATCH[1]}") rest=${BASH_REMATCH[2]}
    else
        break
    fi
done

# The first word is collect2 itself.
args=()
set -- "${words[@]:1}"
while [ $# -gt 0 ]; do
    case $1 in
        # GCC's LTO plugin, which lld does not load; nothing here is built for LTO.
        -plugin) shift 2 ;;
        -plugin-opt=*) shift ;;
        *) args+=("$1"); shift ;;
    esac
done
exec ld.lld "${args[@]}"
