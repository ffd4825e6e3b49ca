#include "jsonscan.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

bool isBracket(char c)
{
    return c == '{' || c == '}' || c == '[' || c == ']';
}

const char *findQuoteOrBackslashScalar(const char *p, const char *end, bool *bracket)
{
    for (; p < end; ++p) {
        if (*p == '"' || *p == '\\')
            return p;
        if (bracket && isBracket(*p))
            *bracket = true;
    }
    return end;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// Whether a block holds a bracket of either kind.
__attribute__((target("avx2"))) __m256i bracketsIn(__m256i v)
{
    // '[' and ']' are '{' and '}' without the 0x20 bit.
    const __m256i folded = _mm256_or_si256(v, _mm256_set1_epi8(0x20));
    return _mm256_or_si256(_mm256_cmpeq_epi8(folded, _mm256_set1_epi8('{')),
                           _mm256_cmpeq_epi8(folded, _mm256_set1_epi8('}')));
}

__attribute__((target("avx2"))) const char *findQuoteOrBackslashAvx2(const char *p, const char *end, bool *bracket)
{
    const __m256i quote = _mm256_set1_epi8('"');
    const __m256i backslash = _mm256_set1_epi8('\\');
    __m256i brackets = _mm256_setzero_si256();
    for (; end - p >= 64; p += 64) {
        const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p));
        const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + 32));
        const __m256i a = _mm256_or_si256(_mm256_cmpeq_epi8(va, quote), _mm256_cmpeq_epi8(va, backslash));
        const __m256i b = _mm256_or_si256(_mm256_cmpeq_epi8(vb, quote), _mm256_cmpeq_epi8(vb, backslash));
        if (!_mm256_testz_si256(_mm256_or_si256(a, b), _mm256_or_si256(a, b))) {
            // The block holding the stop is finished byte by byte.
            break;
        }
        if (bracket)
            brackets = _mm256_or_si256(brackets, _mm256_or_si256(bracketsIn(va), bracketsIn(vb)));
    }
    if (bracket && !_mm256_testz_si256(brackets, brackets))
        *bracket = true;
    return findQuoteOrBackslashScalar(p, end, bracket);
}
#endif

} // namespace

const char *JsonScan::findQuoteOrBackslash(const char *p, const char *end, bool *bracket)
{
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2 ? findQuoteOrBackslashAvx2(p, end, bracket) : findQuoteOrBackslashScalar(p, end, bracket);
#else
    return findQuoteOrBackslashScalar(p, end, bracket);
#endif
}
