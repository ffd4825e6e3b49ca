#include "base64.h"

#include <array>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define BRAMBLET_BASE64_AVX2 1
#endif

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::uint32_t kBad = 0x01000000;

constexpr int sextet(unsigned char c)
{
    for (int i = 0; i < 64; ++i) {
        if (static_cast<unsigned char>(kAlphabet[i]) == c)
            return i;
    }
    return -1;
}

// One table per position in a quantum: OR-ing the four lookups yields the
// 24-bit group, with kBad set when any character is outside the alphabet.
constexpr std::array<std::uint32_t, 256> decodeTable(int shift)
{
    std::array<std::uint32_t, 256> t{};
    for (int c = 0; c < 256; ++c) {
        const int v = sextet(static_cast<unsigned char>(c));
        t[c] = v < 0 ? kBad : static_cast<std::uint32_t>(v) << shift;
    }
    return t;
}

constexpr auto kD0 = decodeTable(18);
constexpr auto kD1 = decodeTable(12);
constexpr auto kD2 = decodeTable(6);
constexpr auto kD3 = decodeTable(0);

// Two output characters per 12 input bits.
constexpr std::array<std::uint16_t, 4096> pairTable()
{
    std::array<std::uint16_t, 4096> t{};
    for (int v = 0; v < 4096; ++v) {
        const auto hi = static_cast<unsigned char>(kAlphabet[v >> 6]);
        const auto lo = static_cast<unsigned char>(kAlphabet[v & 63]);
        t[v] = static_cast<std::uint16_t>(hi | (lo << 8)); // memory order: hi, lo
    }
    return t;
}

constexpr auto kPairs = pairTable();

inline std::uint32_t group(const unsigned char *s)
{
    return kD0[s[0]] | kD1[s[1]] | kD2[s[2]] | kD3[s[3]];
}

// Encodes whole 3-byte groups; returns how many input bytes were consumed.
std::size_t encodeGroupsScalar(const unsigned char *in, std::size_t n, char *out)
{
    std::size_t i = 0;
    for (; i + 3 <= n; i += 3, out += 4) {
        const std::uint32_t v = (std::uint32_t(in[i]) << 16) | (std::uint32_t(in[i + 1]) << 8) | in[i + 2];
        std::memcpy(out, &kPairs[v >> 12], 2);
        std::memcpy(out + 2, &kPairs[v & 0xfff], 2);
    }
    return i;
}

void encodeTail(const unsigned char *in, std::size_t rest, char *out)
{
    if (rest == 1) {
        out[0] = kAlphabet[in[0] >> 2];
        out[1] = kAlphabet[(in[0] & 3) << 4];
        out[2] = '=';
        out[3] = '=';
    } else if (rest == 2) {
        out[0] = kAlphabet[in[0] >> 2];
        out[1] = kAlphabet[((in[0] & 3) << 4) | (in[1] >> 4)];
        out[2] = kAlphabet[(in[1] & 15) << 2];
        out[3] = '=';
    }
}

// Decodes whole quanta without padding; false on a bad character.
bool decodeQuantaScalar(const unsigned char *in, std::size_t quanta, unsigned char *out)
{
    std::uint32_t bad = 0;
    for (std::size_t q = 0; q < quanta; ++q, in += 4, out += 3) {
        const std::uint32_t v = group(in);
        bad |= v;
        out[0] = static_cast<unsigned char>(v >> 16);
        out[1] = static_cast<unsigned char>(v >> 8);
        out[2] = static_cast<unsigned char>(v);
    }
    return (bad & kBad) == 0;
}

// The last quantum, which may carry one or two '='.
std::optional<std::size_t> decodeLast(const unsigned char *in, unsigned char *out)
{
    if (in[3] != '=') {
        if (!decodeQuantaScalar(in, 1, out))
            return std::nullopt;
        return 3;
    }
    if (in[2] == '=') {
        const std::uint32_t v = kD0[in[0]] | kD1[in[1]];
        if (v & kBad)
            return std::nullopt;
        out[0] = static_cast<unsigned char>(v >> 16);
        return 1;
    }
    const std::uint32_t v = kD0[in[0]] | kD1[in[1]] | kD2[in[2]];
    if (v & kBad)
        return std::nullopt;
    out[0] = static_cast<unsigned char>(v >> 16);
    out[1] = static_cast<unsigned char>(v >> 8);
    return 2;
}

std::optional<std::size_t> decodeFrom(const unsigned char *in, std::size_t n, unsigned char *out,
                                      std::size_t doneIn, std::size_t doneOut)
{
    const std::size_t left = n - doneIn;
    if (left == 0)
        return doneOut;
    const std::size_t quanta = left / 4 - 1;
    if (!decodeQuantaScalar(in + doneIn, quanta, out + doneOut))
        return std::nullopt;
    const auto last = decodeLast(in + n - 4, out + doneOut + quanta * 3);
    if (!last)
        return std::nullopt;
    return doneOut + quanta * 3 + *last;
}

#ifdef BRAMBLET_BASE64_AVX2

// The vector method of Muła and Lemire: nibble lookups validate and
// translate 32 characters at once; multiply-adds pack the sextets.
__attribute__((target("avx2"))) std::size_t decodeAvx2(const unsigned char *in, std::size_t n,
                                                      unsigned char *out, std::size_t *written, bool *bad)
{
    const __m256i lutLo = _mm256_setr_epi8(0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x13,
                                           0x1A, 0x1B, 0x1B, 0x1B, 0x1A, 0x15, 0x11, 0x11, 0x11, 0x11, 0x11,
                                           0x11, 0x11, 0x11, 0x11, 0x13, 0x1A, 0x1B, 0x1B, 0x1B, 0x1A);
    const __m256i lutHi = _mm256_setr_epi8(0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08, 0x10, 0x10, 0x10,
                                           0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x01, 0x02, 0x04, 0x08,
                                           0x04, 0x08, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10);
    const __m256i lutRoll = _mm256_setr_epi8(0, 16, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16,
                                             19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0);
    const __m256i mask2F = _mm256_set1_epi8(0x2F);
    const __m256i pack = _mm256_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1, 2, 1, 0, 6,
                                          5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
    const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7);

    std::size_t i = 0;
    std::size_t o = 0;
    // Each step stores 32 bytes of which 24 count; keeping 12 characters
    // back guarantees the spare 8 land inside the output, and leaves the
    // padded last quantum to the scalar code.
    while (n - i >= 32 + 12) {
        __m256i str = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(in + i));
        const __m256i hiNibbles = _mm256_and_si256(_mm256_srli_epi32(str, 4), mask2F);
        const __m256i loNibbles = _mm256_and_si256(str, mask2F);
        const __m256i hi = _mm256_shuffle_epi8(lutHi, hiNibbles);
        const __m256i lo = _mm256_shuffle_epi8(lutLo, loNibbles);
        if (!_mm256_testz_si256(lo, hi)) {
            *bad = true;
            return i;
        }
        const __m256i eq2F = _mm256_cmpeq_epi8(str, mask2F);
        const __m256i roll = _mm256_shuffle_epi8(lutRoll, _mm256_add_epi8(eq2F, hiNibbles));
        str = _mm256_add_epi8(str, roll);
        const __m256i mergeAB = _mm256_maddubs_epi16(str, _mm256_set1_epi32(0x01400140));
        __m256i merged = _mm256_madd_epi16(mergeAB, _mm256_set1_epi32(0x00011000));
        merged = _mm256_shuffle_epi8(merged, pack);
        merged = _mm256_permutevar8x32_epi32(merged, lanes);
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + o), merged);
        i += 32;
        o += 24;
    }
    *written = o;
    return i;
}

__attribute__((target("avx2"))) std::size_t encodeAvx2(const unsigned char *in, std::size_t n, char *out,
                                                      std::size_t *written)
{
    const __m256i shuffle = _mm256_set_epi8(10, 11, 9, 10, 7, 8, 6, 7, 4, 5, 3, 4, 1, 2, 0, 1, 14, 15, 13, 14,
                                            11, 12, 10, 11, 8, 9, 7, 8, 5, 6, 4, 5);
    const __m256i lanes = _mm256_setr_epi32(0, 0, 1, 2, 3, 4, 5, 6);
    const __m256i lut = _mm256_setr_epi8(65, 71, -4, -4, -4, -4, -4, -4, -4, -4, -4, -4, -19, -16, 0, 0, 65,
                                         71, -4, -4, -4, -4, -4, -4, -4, -4, -4, -4, -19, -16, 0, 0);
    std::size_t i = 0;
    std::size_t o = 0;
    // Each step reads 32 bytes of which 24 are encoded.
    while (n - i >= 32) {
        __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(in + i));
        v = _mm256_permutevar8x32_epi32(v, lanes);
        v = _mm256_shuffle_epi8(v, shuffle);
        const __m256i t0 = _mm256_and_si256(v, _mm256_set1_epi32(0x0FC0FC00));
        const __m256i t1 = _mm256_mulhi_epu16(t0, _mm256_set1_epi32(0x04000040));
        const __m256i t2 = _mm256_and_si256(v, _mm256_set1_epi32(0x003F03F0));
        const __m256i t3 = _mm256_mullo_epi16(t2, _mm256_set1_epi32(0x01000010));
        v = _mm256_or_si256(t1, t3);
        __m256i indices = _mm256_subs_epu8(v, _mm256_set1_epi8(51));
        const __m256i mask = _mm256_cmpgt_epi8(v, _mm256_set1_epi8(25));
        indices = _mm256_sub_epi8(indices, mask);
        v = _mm256_add_epi8(v, _mm256_shuffle_epi8(lut, indices));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + o), v);
        i += 24;
        o += 32;
    }
    *written = o;
    return i;
}

bool avx2Available()
{
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}

#endif

} // namespace

namespace Base64 {

bool hasVectorPath()
{
#ifdef BRAMBLET_BASE64_AVX2
    return avx2Available();
#else
    return false;
#endif
}

void encodeScalar(const char *in, std::size_t n, char *out)
{
    const auto *u = reinterpret_cast<const unsigned char *>(in);
    const std::size_t done = encodeGroupsScalar(u, n, out);
    encodeTail(u + done, n - done, out + done / 3 * 4);
}

void encode(const char *in, std::size_t n, char *out)
{
    const auto *u = reinterpret_cast<const unsigned char *>(in);
    std::size_t doneIn = 0;
    std::size_t doneOut = 0;
#ifdef BRAMBLET_BASE64_AVX2
    if (avx2Available())
        doneIn = encodeAvx2(u, n, out, &doneOut);
#endif
    const std::size_t more = encodeGroupsScalar(u + doneIn, n - doneIn, out + doneOut);
    doneIn += more;
    doneOut += more / 3 * 4;
    encodeTail(u + doneIn, n - doneIn, out + doneOut);
}

void appendEncoded(QByteArray &out, QByteArrayView bytes)
{
    const qsizetype start = out.size();
    out.resize(start + qsizetype(encodedSize(std::size_t(bytes.size()))));
    encode(bytes.data(), std::size_t(bytes.size()), out.data() + start);
}

QByteArray encode(QByteArrayView bytes)
{
    QByteArray out;
    appendEncoded(out, bytes);
    return out;
}

std::optional<std::size_t> decodeScalar(const char *in, std::size_t n, char *out)
{
    if (n % 4 != 0)
        return std::nullopt;
    return decodeFrom(reinterpret_cast<const unsigned char *>(in), n, reinterpret_cast<unsigned char *>(out),
                      0, 0);
}

std::optional<std::size_t> decode(const char *in, std::size_t n, char *out)
{
    if (n % 4 != 0)
        return std::nullopt;
    const auto *u = reinterpret_cast<const unsigned char *>(in);
    auto *o = reinterpret_cast<unsigned char *>(out);
    std::size_t doneIn = 0;
    std::size_t doneOut = 0;
#ifdef BRAMBLET_BASE64_AVX2
    if (avx2Available()) {
        bool bad = false;
        doneIn = decodeAvx2(u, n, o, &doneOut, &bad);
        if (bad)
            return std::nullopt;
    }
#endif
    return decodeFrom(u, n, o, doneIn, doneOut);
}

std::optional<QByteArray> decode(QByteArrayView text)
{
    QByteArray out(qsizetype(decodedCapacity(std::size_t(text.size()))), Qt::Uninitialized);
    const auto n = decode(text.data(), std::size_t(text.size()), out.data());
    if (!n)
        return std::nullopt;
    out.truncate(qsizetype(*n));
    return out;
}

} // namespace Base64
