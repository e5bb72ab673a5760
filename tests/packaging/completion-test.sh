#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# The shell completions of quarnelctl (packaging/completion/) driven in each shell against
# the built program and its demo trackers: bash through COMP_WORDS/COMP_CWORD, fish through
# its own completion engine (complete -C), zsh with the completion system's builtins
# stood in for, since they need a terminal.
#   completion-test.sh QUARNELCTL COMPLETION_DIR
# Exit status 77 (skipped) when zsh or fish is missing, after bash has passed.
set -euo pipefail
quarnelctl=$(realpath "$1")
dir=$(realpath "$2")
failures=0
# What is offered, not how fast: a machine busy with other builds may need more than the
# second the completion gives "quarnelctl list" (the time taken is printed below).
export QUARNELCTL_COMPLETION_TIMEOUT=60
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/profiles"
touch "$work/profiles/fleet.ini" "$work/profiles/fleet two.ini" "$work/trip.gpx"

expect() {
    local shell=$1 line=$2 want=$3 got=$4
    if [[ "$got" != "$want" ]]; then
        printf 'FAIL %s: %s\n  want: %s\n  got:  %s\n' "$shell" "$line" \
            "${want//$'\n'/ | }" "${got//$'\n'/ | }" >&2
        failures=$((failures + 1))
    else
        printf 'ok   %s: %s\n' "$shell" "$line"
    fi
}

devices=$'sim/tracker0\nsim/tracker1\nsim/tracker2'
imeis=$'356938035643809\n356938035643817'
# Each case: the command line up to the cursor (the last word is being completed; an
# empty one ends in a space), then what the shell offers, one per line.
cases=(
    "se|seal"$'\n'"set"
    "--demo 3 info --device |$devices"
    "--demo 2 set --imei |$imeis"
    "--demo 2 set --imei 3569380356438|$imeis"
    "--demo 2 set --imei=|--imei=356938035643809"$'\n'"--imei=356938035643817"
    "log --format |csv"$'\n'"gpx"$'\n'"html"$'\n'"kml"
    "log --format=k|--format=kml"
    "set --ea|--each"
    "set $work/profiles/fl|$work/profiles/fleet two.ini"$'\n'"$work/profiles/fleet.ini"
    "--state $work/tr|$work/trip.gpx"
    "seal --|--demo"$'\n'"--help"$'\n'"--save-state"$'\n'"--state"$'\n'"--version"
)

# bash: COMP_WORDS split as readline splits them ("=" is a word of its own).
# deps-check: ignore _quarnelctl (the completion function, from the script it sources)
bash_offers() {
    local line=$1 words
    read -ra words <<<"${line//=/ = }"
    [[ $line == *" " || $line == *"=" ]] && words+=("")
    # shellcheck disable=SC1091
    bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        _quarnelctl; printf "%s\n" "${COMPREPLY[@]}"' bash \
        "$dir/quarnelctl.bash" "$quarnelctl" "${words[@]}" | sed '/^$/d' | sort || true
}

# bash and zsh complete the value after "=" alone; fish the whole word.
value_alone() { sed 's/^--[a-z-]*=//'; }

for case in "${cases[@]}"; do
    line=${case%%|*}
    want=$(value_alone <<<"${case#*|}")
    expect bash "$line" "$(sort <<<"$want")" "$(bash_offers "$line")"
done
# How long the trackers' completion takes, the shell's share included.
start=$(date +%s%N)
bash_offers "--demo 4 info --imei " >/dev/null
echo "bash: the IMEIs of 4 demo trackers completed in $((($(date +%s%N) - start) / 1000000)) ms"

# A tracker that never answers: the completion gives up after its limit (here 1 s) and
# offers nothing, instead of keeping the shell waiting for the program (30 s here).
cat >"$work/hung-quarnelctl" <<'STUB'
#!/bin/sh
if [ "$1" = __complete ]; then printf 'devices\n\n'; exit 0; fi
sleep 30
STUB
chmod +x "$work/hung-quarnelctl"
start=$SECONDS
got=$(QUARNELCTL_COMPLETION_TIMEOUT=1 bash -c 'source "$1"; COMP_WORDS=("$2" info --device "")
    COMP_CWORD=3; _quarnelctl; printf "%s\n" "${COMPREPLY[@]}"' bash "$dir/quarnelctl.bash" \
    "$work/hung-quarnelctl" | sed '/^$/d' || true)
expect bash "a tracker that never answers: nothing offered" "" "$got"
if ((SECONDS - start >= 20)); then
    echo "FAIL bash: the completion waited $((SECONDS - start)) s for a tracker that never answers" >&2
    failures=$((failures + 1))
fi

skipped=0
if command -v fish >/dev/null; then
    for case in "${cases[@]}"; do
        line=${case%%|*}
        want=${case#*|}
        got=$(cd "$work" && PATH="$(dirname "$quarnelctl"):$PATH" fish --no-config -c \
            'source $argv[1]; complete -C "quarnelctl $argv[2]"' "$dir/quarnelctl.fish" "$line" |
            cut -f1 | sort || true)
        expect fish "$line" "$(sort <<<"$want")" "$got"
    done
else
    echo "fish is not installed: its completion is not tried" >&2
    skipped=1
fi

if command -v zsh >/dev/null; then
    for case in "${cases[@]}"; do
        line=${case%%|*}
        want=${case#*|}
        want=$(value_alone <<<"$want")
        got=$(cd "$work" && zsh -f -c '
            compadd() { shift ${@[(i)--]}; print -rl -- "$@" }
            compset() { return 0 }
            _files() { local typed=${words[CURRENT]#*=}; print -rl -- ${~typed}*(N) }
            functions[_quarnelctl]=$(<$1)
            words=("$2" ${(z)3})
            [[ $3 == *" " ]] && words+=("")
            CURRENT=${#words}
            _quarnelctl' zsh "$dir/_quarnelctl" "$quarnelctl" "$line" | sed '/^$/d' | sort || true)
        expect zsh "$line" "$(sort <<<"$want")" "$got"
    done
else
    echo "zsh is not installed: its completion is not tried" >&2
    skipped=1
fi

if ((failures > 0)); then
    echo "$failures completion cases failed" >&2
    exit 1
fi
((skipped == 0)) || exit 77
echo "every completion case passed"
