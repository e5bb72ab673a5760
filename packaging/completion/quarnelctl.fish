# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# fish completion for quarnelctl: what to offer comes from "quarnelctl __complete WORD..."
# (its command and option tables); the attached trackers for --device and --imei from
# "quarnelctl list", given at most a second
# (QUARNELCTL_COMPLETION_TIMEOUT seconds, where set).

function __quarnelctl_complete
    set -l done (commandline -opc)
    set -l typed (commandline -ct)
    set -l program $done[1]
    set -l answer ($program __complete $done[2..-1] "$typed" 2>/dev/null)
    test (count $answer) -ge 2; or return
    set -l prefix $answer[2]
    set -l value (string replace -- "$prefix" '' "$typed")
    switch $answer[1]
        case words
            printf '%s\n' $prefix$answer[3..-1]
        case files
            printf '%s\n' $prefix(__fish_complete_path "$value")
        case devices imeis
            set -l column 1
            set -l limit 1
            set -q QUARNELCTL_COMPLETION_TIMEOUT; and set limit $QUARNELCTL_COMPLETION_TIMEOUT
            test $answer[1] = imeis; and set column 2
            timeout $limit $program $answer[3..-1] list 2>/dev/null |
                awk -v c=$column '(c == 1 || $2 ~ /^[0-9]+$/) { print $c }' |
                string replace -r -- '^' "$prefix"
    end
end

complete -c quarnelctl -f -a '(__quarnelctl_complete)'
