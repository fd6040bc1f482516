// The rate file's reader under any bytes: it never crashes, never returns more than it was
// given, and uses at most the first two fields: whatever follows them changes nothing.
//
// The bytes are the file's whole content.

#include "calculator/numbertext.h"
#include "check.h"
#include "vat/ratefile.h"

#include <cstddef>
#include <cstdint>

namespace {

// A field the writer can put in the file and the reader gives back unchanged: no separator, no
// quote to open a quoted field, no blank that the reader would skip.
bool writableField(const QString &field)
{
    if (field.isEmpty() || field.front() == QLatin1Char('"') || field.front() == QLatin1Char(' ') ||
        field.front() == QLatin1Char('\t'))
        return false;
    return !field.contains(QLatin1Char(',')) && !field.contains(QLatin1Char('\r')) &&
           !field.contains(QLatin1Char('\n'));
}

QString describe(const vat::RateFileContent &content)
{
    return QLatin1String("first [") + content.first.text(QLatin1Char('.')) +
           QLatin1String("] second [") + content.second + QLatin1Char(']');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<vat::RateFileContent> content = vat::parseRateFile(bytes);
    if (!content)
        return 0;

    // Two fields taken out of the text: neither can be longer than the text itself.
    const QString first = content->first.text(QLatin1Char('.'));
    const qsizetype characters = QString::fromUtf8(bytes).size();
    FUZZ_CHECK(content->second.size() < characters, describe(*content));
    if (!content->first.isNumber())
        FUZZ_CHECK(first.size() < characters, describe(*content));
    // A first field that reads as a number is held as a number, which can always be shown.
    if (const std::optional<double> value = content->first.value(QLatin1Char('.')))
        FUZZ_CHECK(calc::isShowable(*value), describe(*content));

    // Written back by the program and followed by anything at all, the same two rates come back:
    // the reader looks no further than two fields.
    if (writableField(first) && writableField(content->second)) {
        const QByteArray rewritten = vat::formatRateFile(first, content->second) + bytes;
        const std::optional<vat::RateFileContent> again = vat::parseRateFile(rewritten);
        FUZZ_CHECK(again.has_value(), describe(*content));
        FUZZ_CHECK(again->first.text(QLatin1Char('.')) == first && again->second == content->second,
                   describe(*content) + QLatin1String(" then ") + describe(*again));
    }
    return 0;
}
