#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that every parameterised test case has a readable name: no case named by its
# index ("Cases/SomeTest.Works/3") and no parameter shown as a byte dump
# ("GetParam() = 104-byte object <17-36 AF-09 ...>"), so that a failure in CI says which
# case failed. Give a row a `name` and use test::RowName and test::PrintTo
# (tests/support/row_name.h), or a PrintTo of its own.
# Usage: scripts/check-test-names.sh [preset]   (after building that preset; default: default)
set -euo pipefail
cd "$(dirname "$0")/.."

bin=build/${1:-default}/bin
[[ -d "$bin" ]] || { echo "no $bin: build the preset first" >&2; exit 2; }

problems=0
checked=0
for program in "$bin"/*test*; do
    [[ -f "$program" && -x "$program" ]] || continue
    list=$(QT_QPA_PLATFORM=offscreen "$program" --gtest_list_tests 2>/dev/null) || continue
    checked=$((checked + 1))
    suite=
    while IFS= read -r line; do
        if [[ "$line" != " "* ]]; then
            suite=${line%%#*}
            continue
        fi
        case_name=${line#  }
        case_name=${case_name%%  #*}
        if [[ "$line" == *"-byte object <"* || "$case_name" =~ /[0-9]+$ ]]; then
            echo "$(basename "$program"): $suite$case_name${line#*"$case_name"}"
            problems=$((problems + 1))
        fi
    done <<<"$list"
done

if ((checked == 0)); then
    echo "no test programs in $bin" >&2
    exit 2
fi
if ((problems > 0)); then
    echo "$problems test cases without a readable name or parameter (see tests/support/row_name.h)" >&2
    exit 1
fi
echo "test names: $checked programs, every case readable"
