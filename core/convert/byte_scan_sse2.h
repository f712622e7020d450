// The byte scan with SSE2, sixteen bytes to a compare: every x86-64 processor
// and all but the oldest 32-bit ones. The target attribute lets a 32-bit
// build without -msse2 hold it for the processors that have it.
#pragma once

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "core/convert/byte_scan.h"

namespace talvoren {

struct Sse2Scan {
    static constexpr std::size_t kFeedStep = 64;
    static constexpr std::size_t kTextStep = 32;

    static std::size_t Index(std::uint64_t marks) { return static_cast<std::size_t>(__builtin_ctzll(marks)); }

    __attribute__((target("sse2"))) static std::uint32_t Marks(__m128i chunk, __m128i byte) {
        return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, byte)));
    }

    __attribute__((target("sse2"))) static std::uint64_t LineFeeds(const char* p) {
        const __m128i lf = _mm_set1_epi8('\n');
        std::uint64_t marks = 0;
        for (int i = 0; i < 4; ++i) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
            marks |= static_cast<std::uint64_t>(Marks(chunk, lf)) << (16 * i);
        }
        return marks;
    }

    __attribute__((target("sse2"))) static TextStops CopyText(const char* p, char* out) {
        const __m128i quote = _mm_set1_epi8('"');
        const __m128i comma = _mm_set1_epi8(',');
        const __m128i cr = _mm_set1_epi8('\r');
        const __m128i lf = _mm_set1_epi8('\n');
        std::uint32_t quoted = 0;
        std::uint32_t bare = 0;
        for (int i = 0; i < 2; ++i) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * i), chunk);
            const __m128i ends = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, quote), _mm_cmpeq_epi8(chunk, cr)),
                                              _mm_cmpeq_epi8(chunk, lf));
            quoted |= static_cast<std::uint32_t>(_mm_movemask_epi8(ends)) << (16 * i);
            bare |= static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_or_si128(ends, _mm_cmpeq_epi8(chunk, comma))))
                    << (16 * i);
        }
        return {quoted, bare};
    }
};

}  // namespace talvoren
