#include "tape/cents.h"

#include "calculator/numbertext.h"
#include "tape/tape.h"

#include <QtNumeric>

#include <cmath>
#include <limits>
#include <optional>

namespace tape {

namespace {

constexpr qint64 largest = std::numeric_limits<qint64>::max();
constexpr qint64 smallest = std::numeric_limits<qint64>::min();

// Plain decimal text ("-12,345"), read digit by digit so that no binary fraction rounds it.
std::optional<qint64> exactCents(QStringView text)
{
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.sliced(1);
    }
    qint64 cents = 0;
    int fraction = -1; // digits read after the mark; -1 before it
    int lastKept = 0;  // the digit below the cent, and whether anything follows it
    bool beyond = false;
    int digits = 0;
    for (const QChar c : text) {
        if (c == u',' || c == u'.') {
            if (fraction >= 0)
                return std::nullopt;
            fraction = 0;
            continue;
        }
        if (!c.isDigit() || c.unicode() > u'9')
            return std::nullopt;
        const int d = c.unicode() - u'0';
        if (fraction < 0 || fraction < 2) {
            // 17 digits of euros still fit in cents; longer numbers take the rounded way.
            if (++digits > 17)
                return std::nullopt;
            cents = cents * 10 + d;
            if (fraction >= 0)
                ++fraction;
        } else if (fraction == 2) {
            lastKept = d;
            ++fraction;
        } else {
            beyond = beyond || d != 0;
        }
    }
    if (digits == 0)
        return std::nullopt;
    for (int f = std::max(fraction, 0); f < 2; ++f)
        cents *= 10;
    if (lastKept > 5 || (lastKept == 5 && (beyond || cents % 2 != 0)))
        ++cents;
    return negative ? -cents : cents;
}

} // namespace

qint64 amountCents(QStringView amount)
{
    if (const auto exact = exactCents(amount))
        return *exact;
    const double value =
        calc::roundToCents(calc::readDisplayNumber(amount, QLatin1Char(','))) * 100.0;
    if (std::isnan(value))
        return 0;
    if (value >= 9.2e18)
        return largest;
    if (value <= -9.2e18)
        return smallest;
    return std::llround(value);
}

qint64 addCents(qint64 a, qint64 b)
{
    qint64 sum = 0;
    if (qAddOverflow(a, b, &sum))
        return a > 0 ? largest : smallest;
    return sum;
}

QString centsText(qint64 cents, QChar decimalMark)
{
    const bool negative = cents < 0;
    // The magnitude as unsigned, so that the smallest sum has one too.
    const quint64 magnitude = negative ? quint64(0) - quint64(cents) : quint64(cents);
    QString text = QString::number(magnitude / 100) + decimalMark +
                   QString::number(magnitude % 100).rightJustified(2, QLatin1Char('0'));
    return negative ? QLatin1Char('-') + text : text;
}

} // namespace tape
