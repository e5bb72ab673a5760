// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "firmware/md5.h"

#include <bit>
#include <cstring>

namespace quarnel {

namespace {

constexpr size_t kBlockSize = 64;

// Message words are little-endian whatever the host's order is.
inline uint32_t Word(const uint8_t* block, int i) {
    uint32_t w;
    std::memcpy(&w, block + 4 * i, sizeof w);
    if constexpr (std::endian::native == std::endian::big) {
        w = __builtin_bswap32(w);
    }
    return w;
}

// The four auxiliary functions, in forms that need fewer operations than the textbook
// ones. G is written as a sum of two disjoint masks so that both halves can be computed
// alongside the previous step's rotate instead of after it.
inline uint32_t F(uint32_t x, uint32_t y, uint32_t z) {
    return z ^ (x & (y ^ z));
}
inline uint32_t H(uint32_t x, uint32_t y, uint32_t z) {
    return x ^ y ^ z;
}
inline uint32_t I(uint32_t x, uint32_t y, uint32_t z) {
    return y ^ (x | ~z);
}

inline void StepF(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t, int s) {
    a = std::rotl(a + F(b, c, d) + x + t, s) + b;
}

inline void StepG(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t, int s) {
    a = std::rotl(a + x + t + (~d & c) + (d & b), s) + b;
}

inline void StepH(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t, int s) {
    a = std::rotl(a + H(b, c, d) + x + t, s) + b;
}

inline void StepI(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t, int s) {
    a = std::rotl(a + I(b, c, d) + x + t, s) + b;
}

// Runs the compression function over `count` whole blocks. The state stays in registers
// from one block to the next, which is where most of the speed comes from.
void Compress(uint32_t state[4], const uint8_t* data, size_t count) {
    uint32_t a = state[0];
    uint32_t b = state[1];
    uint32_t c = state[2];
    uint32_t d = state[3];

    for (; count > 0; --count, data += kBlockSize) {
        const uint32_t aa = a;
        const uint32_t bb = b;
        const uint32_t cc = c;
        const uint32_t dd = d;

        StepF(a, b, c, d, Word(data, 0), 0xd76aa478, 7);
        StepF(d, a, b, c, Word(data, 1), 0xe8c7b756, 12);
        StepF(c, d, a, b, Word(data, 2), 0x242070db, 17);
        StepF(b, c, d, a, Word(data, 3), 0xc1bdceee, 22);
        StepF(a, b, c, d, Word(data, 4), 0xf57c0faf, 7);
        StepF(d, a, b, c, Word(data, 5), 0x4787c62a, 12);
        StepF(c, d, a, b, Word(data, 6), 0xa8304613, 17);
        StepF(b, c, d, a, Word(data, 7), 0xfd469501, 22);
        StepF(a, b, c, d, Word(data, 8), 0x698098d8, 7);
        StepF(d, a, b, c, Word(data, 9), 0x8b44f7af, 12);
        StepF(c, d, a, b, Word(data, 10), 0xffff5bb1, 17);
        StepF(b, c, d, a, Word(data, 11), 0x895cd7be, 22);
        StepF(a, b, c, d, Word(data, 12), 0x6b901122, 7);
        StepF(d, a, b, c, Word(data, 13), 0xfd987193, 12);
        StepF(c, d, a, b, Word(data, 14), 0xa679438e, 17);
        StepF(b, c, d, a, Word(data, 15), 0x49b40821, 22);

        StepG(a, b, c, d, Word(data, 1), 0xf61e2562, 5);
        StepG(d, a, b, c, Word(data, 6), 0xc040b340, 9);
        StepG(c, d, a, b, Word(data, 11), 0x265e5a51, 14);
        StepG(b, c, d, a, Word(data, 0), 0xe9b6c7aa, 20);
        StepG(a, b, c, d, Word(data, 5), 0xd62f105d, 5);
        StepG(d, a, b, c, Word(data, 10), 0x02441453, 9);
        StepG(c, d, a, b, Word(data, 15), 0xd8a1e681, 14);
        StepG(b, c, d, a, Word(data, 4), 0xe7d3fbc8, 20);
        StepG(a, b, c, d, Word(data, 9), 0x21e1cde6, 5);
        StepG(d, a, b, c, Word(data, 14), 0xc33707d6, 9);
        StepG(c, d, a, b, Word(data, 3), 0xf4d50d87, 14);
        StepG(b, c, d, a, Word(data, 8), 0x455a14ed, 20);
        StepG(a, b, c, d, Word(data, 13), 0xa9e3e905, 5);
        StepG(d, a, b, c, Word(data, 2), 0xfcefa3f8, 9);
        StepG(c, d, a, b, Word(data, 7), 0x676f02d9, 14);
        StepG(b, c, d, a, Word(data, 12), 0x8d2a4c8a, 20);

        StepH(a, b, c, d, Word(data, 5), 0xfffa3942, 4);
        StepH(d, a, b, c, Word(data, 8), 0x8771f681, 11);
        StepH(c, d, a, b, Word(data, 11), 0x6d9d6122, 16);
        StepH(b, c, d, a, Word(data, 14), 0xfde5380c, 23);
        StepH(a, b, c, d, Word(data, 1), 0xa4beea44, 4);
        StepH(d, a, b, c, Word(data, 4), 0x4bdecfa9, 11);
        StepH(c, d, a, b, Word(data, 7), 0xf6bb4b60, 16);
        StepH(b, c, d, a, Word(data, 10), 0xbebfbc70, 23);
        StepH(a, b, c, d, Word(data, 13), 0x289b7ec6, 4);
        StepH(d, a, b, c, Word(data, 0), 0xeaa127fa, 11);
        StepH(c, d, a, b, Word(data, 3), 0xd4ef3085, 16);
        StepH(b, c, d, a, Word(data, 6), 0x04881d05, 23);
        StepH(a, b, c, d, Word(data, 9), 0xd9d4d039, 4);
        StepH(d, a, b, c, Word(data, 12), 0xe6db99e5, 11);
        StepH(c, d, a, b, Word(data, 15), 0x1fa27cf8, 16);
        StepH(b, c, d, a, Word(data, 2), 0xc4ac5665, 23);

        StepI(a, b, c, d, Word(data, 0), 0xf4292244, 6);
        StepI(d, a, b, c, Word(data, 7), 0x432aff97, 10);
        StepI(c, d, a, b, Word(data, 14), 0xab9423a7, 15);
        StepI(b, c, d, a, Word(data, 5), 0xfc93a039, 21);
        StepI(a, b, c, d, Word(data, 12), 0x655b59c3, 6);
        StepI(d, a, b, c, Word(data, 3), 0x8f0ccc92, 10);
        StepI(c, d, a, b, Word(data, 10), 0xffeff47d, 15);
        StepI(b, c, d, a, Word(data, 1), 0x85845dd1, 21);
        StepI(a, b, c, d, Word(data, 8), 0x6fa87e4f, 6);
        StepI(d, a, b, c, Word(data, 15), 0xfe2ce6e0, 10);
        StepI(c, d, a, b, Word(data, 6), 0xa3014314, 15);
        StepI(b, c, d, a, Word(data, 13), 0x4e0811a1, 21);
        StepI(a, b, c, d, Word(data, 4), 0xf7537e82, 6);
        StepI(d, a, b, c, Word(data, 11), 0xbd3af235, 10);
        StepI(c, d, a, b, Word(data, 2), 0x2ad7d2bb, 15);
        StepI(b, c, d, a, Word(data, 9), 0xeb86d391, 21);

        a += aa;
        b += bb;
        c += cc;
        d += dd;
    }

    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
}

inline void PutLe32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

}  // namespace

void Md5::Start() {
    m_state[0] = 0x67452301;
    m_state[1] = 0xefcdab89;
    m_state[2] = 0x98badcfe;
    m_state[3] = 0x10325476;
    m_bitCount = 0;
}

void Md5::Add(const uint8_t* data, size_t length) {
    if (length == 0) {
        return;
    }
    size_t buffered = static_cast<size_t>(m_bitCount >> 3) % kBlockSize;
    m_bitCount += static_cast<uint64_t>(length) << 3;

    if (buffered > 0) {
        const size_t take = length < kBlockSize - buffered ? length : kBlockSize - buffered;
        std::memcpy(m_buffer + buffered, data, take);
        data += take;
        length -= take;
        buffered += take;
        if (buffered < kBlockSize) {
            return;
        }
        Compress(m_state, m_buffer, 1);
    }

    // Whole blocks are digested straight from the caller's bytes, without a copy.
    const size_t blocks = length / kBlockSize;
    if (blocks > 0) {
        Compress(m_state, data, blocks);
        data += blocks * kBlockSize;
        length -= blocks * kBlockSize;
    }
    if (length > 0) {
        std::memcpy(m_buffer, data, length);
    }
}

Md5Digest Md5::Finish() {
    // Padding: one 1 bit, zeros up to 56 bytes into a block, then the message length in
    // bits as a 64-bit little-endian number.
    const uint64_t bitCount = m_bitCount;
    const size_t buffered = static_cast<size_t>(bitCount >> 3) % kBlockSize;
    m_buffer[buffered] = 0x80;
    if (buffered + 1 > kBlockSize - 8) {
        std::memset(m_buffer + buffered + 1, 0, kBlockSize - buffered - 1);
        Compress(m_state, m_buffer, 1);
        std::memset(m_buffer, 0, kBlockSize - 8);
    } else {
        std::memset(m_buffer + buffered + 1, 0, kBlockSize - 8 - buffered - 1);
    }
    PutLe32(m_buffer + kBlockSize - 8, static_cast<uint32_t>(bitCount));
    PutLe32(m_buffer + kBlockSize - 4, static_cast<uint32_t>(bitCount >> 32));
    Compress(m_state, m_buffer, 1);

    Md5Digest digest;
    for (int i = 0; i < 4; ++i) {
        PutLe32(digest.data() + 4 * i, m_state[i]);
    }
    // Leaves nothing of the message behind in the context.
    std::memset(m_buffer, 0, sizeof m_buffer);
    return digest;
}

Md5Digest Md5::Of(const uint8_t* data, size_t length) {
    Md5 md5;
    md5.Add(data, length);
    return md5.Finish();
}

}  // namespace quarnel
