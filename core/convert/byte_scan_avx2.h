// The byte scan with AVX2, thirty-two bytes to a compare, for processors that
// have it; the target attributes keep the rest of the program free of it.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "core/convert/byte_scan.h"

namespace talvoren {

struct Avx2Scan {
    static constexpr std::size_t kFeedStep = 64;
    static constexpr std::size_t kTextStep = 64;

    static std::size_t Index(std::uint64_t marks) { return static_cast<std::size_t>(__builtin_ctzll(marks)); }

    __attribute__((target("avx2"))) static std::uint64_t LineFeeds(const char* p) {
        const __m256i lf = _mm256_set1_epi8('\n');
        const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
        return static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, lf))) |
               static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, lf))))
                   << 32;
    }

    __attribute__((target("avx2"))) static TextStops CopyText(const char* p, char* out) {
        std::uint64_t quoted = 0;
        std::uint64_t bare = 0;
        for (int i = 0; i < 2; ++i) {
            const __m256i chunk = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * i));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32 * i), chunk);
            const __m256i ends = _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(chunk, _mm256_set1_epi8('"')),
                                                                 _mm256_cmpeq_epi8(chunk, _mm256_set1_epi8('\r'))),
                                                 _mm256_cmpeq_epi8(chunk, _mm256_set1_epi8('\n')));
            const __m256i ends_or_comma = _mm256_or_si256(ends, _mm256_cmpeq_epi8(chunk, _mm256_set1_epi8(',')));
            quoted |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(ends))) << (32 * i);
            bare |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(ends_or_comma)))
                    << (32 * i);
        }
        return {quoted, bare};
    }
};

}  // namespace talvoren
