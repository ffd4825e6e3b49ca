// The RTF-to-text converter on any bytes a program may offer as text/rtf.
// Its contract: no crash, and text that never holds more characters than
// the input has bytes plus what single control words expand to.
#include <cstddef>
#include <cstdint>

#include "capture/rtfplaintext.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray rtf = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QString> text = RtfPlainText::convert(rtf);
    // Every output character comes from at least one input byte (a symbol
    // word such as \emdash is longer than what it stands for; \uN is at
    // least three bytes for at most two UTF-16 units).
    if (text && text->size() > rtf.size())
        Fuzz::fail("the text is longer than the document", rtf);
    return 0;
}
