#pragma once

#include <cstddef>
#include <optional>

#include <QByteArray>
#include <QByteArrayView>

// Standard Base64 (RFC 4648 alphabet, '=' padding, no line breaks), as the
// history files store bytes. Uses AVX2 when the processor has it; results are
// identical either way. Thread-safe.
namespace Base64 {

// Characters that encode(n bytes) produces: 4 * ceil(n / 3).
constexpr std::size_t encodedSize(std::size_t n) { return (n + 2) / 3 * 4; }
// Upper bound of the bytes that `n` characters decode to.
constexpr std::size_t decodedCapacity(std::size_t n) { return n / 4 * 3; }

// Writes encodedSize(n) characters to `out`.
void encode(const char *in, std::size_t n, char *out);
// Appends the encoding of `bytes` to `out`.
void appendEncoded(QByteArray &out, QByteArrayView bytes);
QByteArray encode(QByteArrayView bytes);

// Decodes `n` characters into `out` (room for decodedCapacity(n) bytes) and
// returns the byte count, or nothing when the text is not strict standard
// Base64: a length that is not a multiple of 4, a character outside the
// alphabet, or padding anywhere but in the last one or two places.
std::optional<std::size_t> decode(const char *in, std::size_t n, char *out);
std::optional<QByteArray> decode(QByteArrayView text);

// The portable implementation alone, so tests can compare both paths.
void encodeScalar(const char *in, std::size_t n, char *out);
std::optional<std::size_t> decodeScalar(const char *in, std::size_t n, char *out);
bool hasVectorPath();

} // namespace Base64
