# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for quarnelctl. What to offer comes from quarnelctl itself
# ("quarnelctl __complete WORD...", answered from its command and option tables), so each
# command and option it has is completed. The attached trackers for --device and --imei
# come from "quarnelctl list", given at most a second
# (QUARNELCTL_COMPLETION_TIMEOUT seconds, where set): a tracker that does not answer
# leaves the list empty rather than the shell waiting.

# The trackers' paths (column 1) or IMEIs (column 2) that start with $2; the rest of the
# arguments go to "quarnelctl list" (the simulated trackers of the command line).
_quarnelctl_trackers() {
    local program=$1 column=$2 typed=$3
    shift 3
    timeout "${QUARNELCTL_COMPLETION_TIMEOUT:-1}" "$program" "$@" list 2>/dev/null |
        awk -v c="$column" -v t="$typed" \
            '(c == 1 || $2 ~ /^[0-9]+$/) && index($c, t) == 1 { print $c }'
}

_quarnelctl() {
    local program=${COMP_WORDS[0]} words=() joined=0 i word
    # The words as quarnelctl reads them: bash splits "--state=FILE" at the "=".
    for ((i = 1; i <= COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ $word == "=" && ${#words[@]} -gt 0 ]]; then
            words[-1]+="="
            joined=1
        elif ((joined)); then
            words[-1]+=$word
            joined=0
        else
            words+=("$word")
        fi
    done
    local answer=()
    mapfile -t answer < <("$program" __complete "${words[@]}" 2>/dev/null)
    ((${#answer[@]} >= 2)) || return 0
    local kind=${answer[0]} prefix=${answer[1]} typed=${words[-1]}
    typed=${typed#"$prefix"}
    COMPREPLY=()
    case $kind in
    words) COMPREPLY=("${answer[@]:2}") ;;
    files)
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$typed")
        ;;
    devices) mapfile -t COMPREPLY < <(_quarnelctl_trackers "$program" 1 "$typed" "${answer[@]:2}") ;;
    imeis) mapfile -t COMPREPLY < <(_quarnelctl_trackers "$program" 2 "$typed" "${answer[@]:2}") ;;
    esac
    return 0
}

complete -F _quarnelctl quarnelctl
