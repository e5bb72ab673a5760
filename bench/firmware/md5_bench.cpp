// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// MD5 throughput of our own code against OpenSSL's in the same run: the ratio of the two
// is what matters, since absolute figures depend on the machine.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <benchmark/benchmark.h>
#include <openssl/md5.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include "firmware/md5.h"

namespace {

std::vector<uint8_t> RandomBytes(size_t n) {
    std::mt19937 rng(1321);
    std::vector<uint8_t> bytes(n);
    for (auto& b : bytes) {
        b = static_cast<uint8_t>(rng());
    }
    return bytes;
}

void BM_Md5Quarnel(benchmark::State& state) {
    const auto data = RandomBytes(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        auto digest = quarnel::Md5::Of(data.data(), data.size());
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_Md5OpenSsl(benchmark::State& state) {
    const auto data = RandomBytes(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        unsigned char digest[MD5_DIGEST_LENGTH];
        MD5_CTX ctx;
        MD5_Init(&ctx);
        MD5_Update(&ctx, data.data(), data.size());
        MD5_Final(digest, &ctx);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

// Both digests of the image area in turn within each iteration, so that whatever else the
// machine is doing weighs on both alike. The counter is our throughput as a share of
// OpenSSL's (goal: at least 0.95).
void BM_Md5ThroughputRatio(benchmark::State& state) {
    const auto data = RandomBytes(126976);
    std::chrono::duration<double> ours{0};
    std::chrono::duration<double> theirs{0};
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        auto digest = quarnel::Md5::Of(data.data(), data.size());
        benchmark::DoNotOptimize(digest);
        auto t1 = std::chrono::steady_clock::now();
        unsigned char reference[MD5_DIGEST_LENGTH];
        MD5_CTX ctx;
        MD5_Init(&ctx);
        MD5_Update(&ctx, data.data(), data.size());
        MD5_Final(reference, &ctx);
        benchmark::DoNotOptimize(reference);
        auto t2 = std::chrono::steady_clock::now();
        ours += t1 - t0;
        theirs += t2 - t1;
    }
    state.counters["ratio_to_openssl"] = theirs.count() / ours.count();
}
BENCHMARK(BM_Md5ThroughputRatio);

// 64 bytes: one block plus padding; 4096: a typical run; 126976: the firmware image area.
BENCHMARK(BM_Md5Quarnel)->Arg(64)->Arg(4096)->Arg(126976);
BENCHMARK(BM_Md5OpenSsl)->Arg(64)->Arg(4096)->Arg(126976);

}  // namespace

BENCHMARK_MAIN();
