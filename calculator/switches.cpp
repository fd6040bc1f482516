#include "switches.h"

#include "numbertext.h"

#include <QStringList>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace calc {

namespace {

// The largest magnitude that can still be written with n decimals within 15 significant digits.
double fixedLimit(int n)
{
    static constexpr double limits[] = {1e15, 1e14, 1e13, 1e12, 1e11};
    return limits[n];
}

// "%.nf" of the magnitude, with a '.' whatever the C library's locale; empty when the value is
// too large for n decimals. A rounded zero is never written "-0.00".
std::string fixedMagnitude(double value, int n, bool &negative)
{
    if (!isShowable(value) || std::fabs(value) >= fixedLimit(n))
        return {};
    std::array<char, 64> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.*f", n, std::fabs(value));
    std::string text(buffer.data());
    bool zero = true;
    for (char &c : text) {
        if (c == ',')
            c = '.';
        else if (c >= '1' && c <= '9')
            zero = false;
    }
    negative = value < 0 && !zero;
    return text;
}

} // namespace

std::optional<int> fixedDecimals(Decimals decimals)
{
    switch (decimals) {
    case Decimals::Floating:
        return std::nullopt;
    case Decimals::Add2:
        return 2;
    default:
        return int(decimals) - int(Decimals::Zero);
    }
}

double roundToDecimals(double value, int n, Rounding rounding)
{
    if (!isShowable(value) || value == 0.0)
        return value == 0.0 ? 0.0 : value;

    // Fifteen significant digits and the power of ten of the first one: d.dddddddddddddde+XX.
    std::array<char, 64> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.14e", std::fabs(value));
    const std::string written(buffer.data());
    const std::size_t e = written.find('e');
    std::string digits;
    for (char c : written.substr(0, e)) {
        if (c >= '0' && c <= '9')
            digits += c;
    }
    const int exponent = std::stoi(written.substr(e + 1));

    // How many of the 15 digits stand up to the n-th decimal place (inclusive). When none of them
    // lies below it there is nothing to round.
    const int kept = exponent + 1 + n;
    if (kept >= int(digits.size()))
        return value;

    std::int64_t units = 0;
    for (int i = 0; i < kept; ++i)
        units = units * 10 + (digits[i] - '0');
    // The digits below the n-th place; when the value lies wholly below it, a leading zero stands
    // for the places between, so it is less than half a unit.
    const std::string rest = kept >= 0 ? digits.substr(kept) : "0" + digits;
    const bool anyRest = rest.find_first_not_of('0') != std::string::npos;
    switch (rounding) {
    case Rounding::Nearest:
        // From 5 up, up; to 4, down.
        if (rest[0] >= '5')
            ++units;
        break;
    case Rounding::NearestEven: {
        const bool aboveHalf = rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) !=
                                                                       std::string::npos);
        const bool exactlyHalf = rest[0] == '5' && !aboveHalf;
        if (aboveHalf || (exactlyHalf && units % 2 != 0))
            ++units;
        break;
    }
    case Rounding::Up:
        if (anyRest)
            ++units;
        break;
    case Rounding::Down:
        break;
    }

    const std::string text = std::to_string(units) + "e-" + std::to_string(n);
    double rounded = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), rounded);
    if (rounded == 0.0)
        return 0.0;
    return value < 0 ? -rounded : rounded;
}

Rounding centRounding(Rounding rounding)
{
    return rounding == Rounding::Nearest ? Rounding::NearestEven : rounding;
}

QString plainFixedText(double value, int n)
{
    bool negative = false;
    const std::string magnitude = fixedMagnitude(value, n, negative);
    if (magnitude.empty())
        return plainNumberText(value);
    return QString::fromLatin1((negative ? "-" : " ") + magnitude);
}

QString regionalFixedText(double value, int n, QChar regionalMark)
{
    bool negative = false;
    const std::string magnitude = fixedMagnitude(value, n, negative);
    if (magnitude.empty())
        return regionalNumberText(value, regionalMark);
    QString text = QString::fromLatin1((negative ? "-" : "") + magnitude);
    text.replace(QLatin1Char('.'), regionalMark);
    return text;
}

QString padDecimals(const QString &numberText, int n, QChar regionalMark)
{
    if (n <= 0 || numberText.isEmpty() || numberText.contains(QLatin1Char('E')))
        return numberText;
    const qsizetype mark = numberText.indexOf(regionalMark);
    const qsizetype shown = mark < 0 ? 0 : numberText.size() - mark - 1;
    if (shown >= n)
        return numberText;
    return numberText + (mark < 0 ? QString(regionalMark) : QString()) +
           QString(n - shown, QLatin1Char('0'));
}

Annunciator annunciator(const Switches &switches)
{
    Annunciator shown;
    if (switches.decimals == Decimals::Add2)
        shown.decimals = QStringLiteral("A2");
    else if (const std::optional<int> n = fixedDecimals(switches.decimals))
        shown.decimals = QString::number(*n);
    if (switches.rounding == Rounding::Up)
        shown.rounding = QStringLiteral("↑");
    else if (switches.rounding == Rounding::Down)
        shown.rounding = QStringLiteral("↓");
    return shown;
}

QString switchesDescription(const Switches &switches)
{
    QStringList parts;
    if (switches.decimals == Decimals::Add2)
        parts << QStringLiteral("mode Add2, 2 décimales");
    else if (const std::optional<int> n = fixedDecimals(switches.decimals))
        parts << QString::number(*n) +
                     (*n > 1 ? QStringLiteral(" décimales") : QStringLiteral(" décimale"));
    if (switches.rounding == Rounding::Up)
        parts << QStringLiteral("arrondi par excès");
    else if (switches.rounding == Rounding::Down)
        parts << QStringLiteral("arrondi par défaut");
    return parts.join(QStringLiteral(", "));
}

} // namespace calc
