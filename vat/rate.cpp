#include "rate.h"

#include "calculator/numbertext.h"

namespace vat {

Rate Rate::fromNumber(double value)
{
    Rate rate;
    rate.m_value = value;
    return rate;
}

Rate Rate::fromText(const QString &text)
{
    Rate rate;
    rate.m_value = text;
    return rate;
}

QString Rate::text(QChar regionalMark) const
{
    if (const double *number = std::get_if<double>(&m_value))
        return calc::regionalNumberText(*number, regionalMark);
    if (const QString *written = std::get_if<QString>(&m_value))
        return *written;
    return {};
}

std::optional<double> Rate::value(QChar regionalMark) const
{
    if (const double *number = std::get_if<double>(&m_value))
        return *number;
    if (const QString *written = std::get_if<QString>(&m_value))
        return readWholeNumber(*written, regionalMark);
    return std::nullopt;
}

std::optional<double> readWholeNumber(const QString &text, QChar regionalMark)
{
    const QString trimmed = text.trimmed();
    qsizetype i = 0;
    if (i < trimmed.size() && (trimmed[i] == QLatin1Char('-') || trimmed[i] == QLatin1Char('+')))
        ++i;
    bool digit = false;
    bool separator = false;
    for (; i < trimmed.size(); ++i) {
        const QChar c = trimmed[i];
        if (c.isDigit() && c.unicode() < 128) {
            digit = true;
        } else if (!separator && (c == QLatin1Char('.') || c == regionalMark)) {
            separator = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digit)
        return std::nullopt;
    const double value = calc::readDisplayNumber(trimmed, regionalMark);
    if (!calc::isShowable(value))
        return std::nullopt;
    return value;
}

} // namespace vat
