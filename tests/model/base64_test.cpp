// Standard Base64 as the history files store bytes: agreement of the vector
// and portable paths with an independent encoder, and the strictness rules
// of decoding.
#include <gtest/gtest.h>

#include <random>

#include <QByteArray>
#include <QList>

#include "model/base64.h"

namespace {

QByteArray randomBytes(std::mt19937 &rng, qsizetype n)
{
    QByteArray out(n, Qt::Uninitialized);
    std::uniform_int_distribution<int> byte(0, 255);
    for (qsizetype i = 0; i < n; ++i)
        out[i] = char(byte(rng));
    return out;
}

TEST(Base64, agrees_with_an_independent_encoder_for_every_length_up_to_300_and_a_few_large_ones)
{
    std::mt19937 rng(7);
    QList<qsizetype> lengths;
    for (qsizetype n = 0; n <= 300; ++n)
        lengths.append(n);
    lengths << 4095 << 4096 << 4097 << 65537 << 1000003;
    for (qsizetype n : lengths) {
        const QByteArray data = randomBytes(rng, n);
        const QByteArray expected = data.toBase64();
        ASSERT_EQ(Base64::encode(data), expected) << "length " << n;
        QByteArray scalar(qsizetype(Base64::encodedSize(std::size_t(n))), Qt::Uninitialized);
        Base64::encodeScalar(data.constData(), std::size_t(n), scalar.data());
        ASSERT_EQ(scalar, expected) << "length " << n;
        ASSERT_EQ(Base64::decode(expected), data) << "length " << n;
        QByteArray out(qsizetype(Base64::decodedCapacity(std::size_t(expected.size()))), Qt::Uninitialized);
        const auto count = Base64::decodeScalar(expected.constData(), std::size_t(expected.size()), out.data());
        ASSERT_TRUE(count.has_value());
        out.truncate(qsizetype(*count));
        ASSERT_EQ(out, data) << "length " << n;
    }
}

TEST(Base64, refuses_malformed_text)
{
    for (const char *text : {"Zg", "Zg=", "Zm9vY", "Z===", "Zg==Zm9v", "=Zm9", "Zm9v\nYmFy", "-_8=", "Zm9v YmF", "Zm=v"})
        EXPECT_FALSE(Base64::decode(QByteArray(text)).has_value()) << text;
    // Inside the blocks the vector path decodes, a byte outside the alphabet.
    for (const char bad : {'*', '=', '\x80', '\0'}) {
        QByteArray text(400, 'A');
        text[17] = bad;
        EXPECT_FALSE(Base64::decode(text).has_value()) << int(bad);
    }
}

} // namespace
