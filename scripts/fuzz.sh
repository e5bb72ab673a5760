#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures the "fuzz" preset, builds every libFuzzer target and runs each one in turn.
#
#   scripts/fuzz.sh [seconds] [fuzzer...]
#
# seconds: how long each fuzzer runs (default 60). Without fuzzer names every fuzzer in
# build/fuzz/fuzzers runs. Each starts from its seeds (build/fuzz/fuzz-seeds/<name>, taken
# from data/) and the corpus it grew before (build/fuzz/corpus/<name>). A crash, leak or
# sanitiser report stops the script with a non-zero status and leaves the input that caused
# it in build/fuzz/artifacts/<name>/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
if ! [[ "$seconds" =~ ^[0-9]+$ ]]; then
    echo "usage: $0 [seconds] [fuzzer...]" >&2
    exit 2
fi
scripts/install-deps.sh window sanitizers

build=build/fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --parallel "$(nproc)"

if (($# > 0)); then
    fuzzers=("$@")
else
    mapfile -t fuzzers < <(find "$build/fuzzers" -maxdepth 1 -type f -executable -printf '%f\n' | sort)
fi
if ((${#fuzzers[@]} == 0)); then
    echo "no fuzzers in $build/fuzzers" >&2
    exit 1
fi

# Undefined behaviour must stop the run like a crash does.
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=detect_leaks=1

for name in "${fuzzers[@]}"; do
    corpus="$build/corpus/$name"
    seeds="$build/fuzz-seeds/$name"
    artifacts="$build/artifacts/$name/"
    mkdir -p "$corpus" "$seeds" "$artifacts"
    echo "=== $name: ${seconds} s"
    "$build/fuzzers/$name" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$artifacts" "$corpus" "$seeds"
done
echo "=== all fuzzers ran clean"
