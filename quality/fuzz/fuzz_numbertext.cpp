// The number texts under arbitrary input: the display reader and the pasted-price reader on any
// text, and the plain and regional writers, the copied text and the rounding to the cent on
// whatever number the reader or raw bytes give.
//
// Input: one byte choosing the regional decimal mark, then the text (UTF-8). The first eight
// bytes after the mark byte are also taken as the bits of a double, so that numbers the reader
// rarely produces (subnormals, the largest doubles, negative zero) reach the writers too.

#include "calculator/numbertext.h"
#include "calculator/pricereader.h"
#include "check.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

QChar markFor(std::uint8_t selector)
{
    switch (selector % 4) {
    case 0:
        return QLatin1Char(',');
    case 1:
        return QLatin1Char('.');
    case 2:
        return QChar(0x066B); // Arabic decimal separator: a mark outside Latin-1
    default:
        return QLatin1Char(',');
    }
}

QString describe(double value)
{
    return QString::number(value, 'g', 17);
}

// The largest magnitude whose 15-digit text is still a finite double.
constexpr double largestRoundTrip = 1.79769313486231e308;

bool mentionsInfinityOrNan(const QString &text)
{
    return text.contains(QLatin1String("inf"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("nan"), Qt::CaseInsensitive);
}

// What the writers and the rounding promise for any number that can be shown.
void checkWriters(double value, QChar mark)
{
    if (!calc::isShowable(value))
        return;

    // Plain text: a blank or a minus first, and reading it back then writing again is stable.
    const QString plain = calc::plainNumberText(value);
    FUZZ_CHECK(plain.size() >= 2, plain);
    FUZZ_CHECK(plain.front() == QLatin1Char(' ') || plain.front() == QLatin1Char('-'), plain);
    FUZZ_CHECK(!mentionsInfinityOrNan(plain), plain);
    const double readBack = calc::readDisplayNumber(plain, mark);
    // The few doubles above 1.79769313486231E+308 are written rounded up past the largest double
    // and read back as infinity, which every caller refuses to show: they leave the round trip.
    const bool roundTrips = std::fabs(value) <= largestRoundTrip;
    if (roundTrips) {
        FUZZ_CHECK(calc::isShowable(readBack), plain);
        FUZZ_CHECK(calc::plainNumberText(readBack) == plain,
                   plain + QLatin1String(" -> ") + calc::plainNumberText(readBack));
        // Fifteen significant digits: the text is within half a unit of the 15th digit.
        FUZZ_CHECK(std::fabs(readBack - value) <= std::fabs(value) * 1e-14 + 5e-324,
                   describe(value) + QLatin1String(" written ") + plain);
    }

    // Regional text: no blank, never "inf"/"nan", and it reads back as the plain text does.
    const QString regional = calc::regionalNumberText(value, mark);
    FUZZ_CHECK(!regional.isEmpty() && regional.front() != QLatin1Char(' '), regional);
    FUZZ_CHECK(!mentionsInfinityOrNan(regional), regional);
    FUZZ_CHECK(!regional.contains(QLatin1Char('.')) || mark == QLatin1Char('.'), regional);
    FUZZ_CHECK(!roundTrips || calc::readDisplayNumber(regional, mark) == readBack,
               regional + QLatin1String(" vs ") + plain);

    // What is copied from a display showing the number pastes back as the same number, unless
    // it had to stay in exponent form, which the price reader refuses.
    if (roundTrips && (mark == QLatin1Char(',') || mark == QLatin1Char('.'))) {
        const QString copied = calc::copiedNumberText(plain, mark);
        if (!copied.contains(QLatin1Char('E'))) {
            const auto pasted = calc::readPastedPrice(copied, mark);
            FUZZ_CHECK(pasted && pasted->value == readBack,
                       plain + QLatin1String(" copied ") + copied);
        }
    }

    // Rounding to the cent: showable, idempotent, within half a cent of the written value.
    const double cents = calc::roundToCents(value);
    FUZZ_CHECK(calc::isShowable(cents), describe(value));
    FUZZ_CHECK(calc::roundToCents(cents) == cents,
               describe(value) + QLatin1String(" -> ") + describe(cents));
    FUZZ_CHECK(std::fabs(cents - value) <= 0.005 + std::fabs(value) * 1e-14,
               describe(value) + QLatin1String(" -> ") + describe(cents));
    FUZZ_CHECK(!std::signbit(cents) || cents < 0, describe(value));
    const QString centsText = calc::regionalNumberText(cents, mark);
    FUZZ_CHECK(!mentionsInfinityOrNan(centsText), centsText);
    if (!centsText.contains(QLatin1Char('E'))) {
        const qsizetype at = centsText.indexOf(mark);
        FUZZ_CHECK(at < 0 || centsText.size() - at - 1 <= 2, centsText);
    }
    // Away from a tie, rounding the binary value gives the same cent: an independent oracle.
    // "Away" allows for the 15-digit writing that the rounding works on, and for the product.
    if (std::fabs(value) < 1e9) {
        const double hundredths = value * 100.0;
        const double fraction = std::fabs(hundredths - std::trunc(hundredths));
        if (std::fabs(fraction - 0.5) > std::fabs(hundredths) * 2e-14 + 1e-9)
            FUZZ_CHECK(cents == std::round(hundredths) / 100.0,
                       describe(value) + QLatin1String(" -> ") + describe(cents));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QChar mark = markFor(data[0]);
    const auto *textBytes = reinterpret_cast<const char *>(data + 1);
    const QString text = QString::fromUtf8(textBytes, qsizetype(size - 1));

    // The reader never fails: any text gives a number, infinite at worst, never NaN and never a
    // negative zero (which would be written "-0").
    const double value = calc::readDisplayNumber(text, mark);
    FUZZ_CHECK(!std::isnan(value), text);
    FUZZ_CHECK(value != 0.0 || !std::signbit(value), text);
    // Blanks are ignored wherever they stand.
    QString unblanked = text;
    unblanked.remove(QLatin1Char(' '));
    FUZZ_CHECK(calc::readDisplayNumber(unblanked, mark) == value, text);
    checkWriters(value, mark);

    // A pasted price is refused whole, or it is a number the display can hold, written as it
    // would have been keyed: digits and at most one point, reading back as the same number.
    for (const auto sign : {calc::PriceSign::Allowed, calc::PriceSign::Refused}) {
        const auto price = calc::readPastedPrice(text, mark, sign);
        if (!price)
            continue;
        FUZZ_CHECK(calc::isShowable(price->value), text);
        FUZZ_CHECK(sign == calc::PriceSign::Allowed || price->value >= 0.0, text);
        FUZZ_CHECK(calc::readDisplayNumber(price->keyedText(), mark) == price->value, text);
        FUZZ_CHECK(price->digits.count(QLatin1Char('.')) <= 1, text);
        FUZZ_CHECK(
            std::all_of(price->digits.begin(), price->digits.end(),
                        [](QChar c) { return c == QLatin1Char('.') || (c >= u'0' && c <= u'9'); }),
            text);
    }

    if (size >= 1 + sizeof(double)) {
        double raw = 0.0;
        std::memcpy(&raw, data + 1, sizeof raw);
        checkWriters(raw, mark);
    }
    return 0;
}
