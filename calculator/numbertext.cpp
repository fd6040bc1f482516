#include "numbertext.h"

#include "switches.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace calc {

QChar regionalDecimalMark()
{
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C)
        return QLatin1Char(',');
    const QString mark = system.decimalPoint();
    return mark.size() == 1 ? mark.front() : QLatin1Char(',');
}

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r') || c == QChar(0x00A0);
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Parses a normalised ASCII number ("-12.5e3"). Out-of-range values become infinity or zero.
double parseAscii(const std::string &text)
{
    if (text.empty())
        return 0.0;
    double value = 0.0;
    const char *first = text.data();
    const char *last = first + text.size();
    auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // from_chars leaves the value alone when it is out of range: tell overflow from
        // underflow by the decimal magnitude of the first significant digit.
        const bool negative = text.front() == '-';
        const auto exponentAt = text.find('e');
        const std::string mantissa = text.substr(negative ? 1 : 0, exponentAt - (negative ? 1 : 0));
        // Exponents beyond any double's reach are all alike: clamp them so the sum below stays
        // far from the limits of long long.
        constexpr long long farExponent = 1LL << 40;
        long long exponent = 0;
        if (exponentAt != std::string::npos) {
            const char *e = text.data() + exponentAt + 1;
            if (*e == '+')
                ++e;
            if (std::from_chars(e, last, exponent).ec == std::errc::result_out_of_range)
                exponent = *e == '-' ? -farExponent : farExponent;
            exponent = std::clamp(exponent, -farExponent, farExponent);
        }
        const auto point = std::min(mantissa.find('.'), mantissa.size());
        const auto significant = mantissa.find_first_of("123456789");
        const long long magnitude = (significant < point ? (long long)(point - significant)
                                                         : -(long long)(significant - point) + 1) +
                                    exponent;
        if (magnitude <= 0)
            return 0.0;
        // The largest double written with 15 significant digits (1.79769313486232E+308) lies
        // just above it: what the program itself wrote reads back as that double, not infinity.
        std::string digits;
        for (char c : mantissa.substr(significant)) {
            if (c != '.')
                digits += c;
        }
        digits.resize(digits.find_last_not_of('0') + 1);
        const double limit =
            negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
        if (magnitude == 309 && digits <= "179769313486232")
            return limit;
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    }
    if (error != std::errc() || end == first)
        return 0.0;
    return value == 0.0 ? 0.0 : value; // never a negative zero
}

// What "%.15G" writes, with a '.' whatever the C library's locale: std::to_chars formats as
// printf does in the C locale and several times faster, which counts when a correction works
// thousands of calculations again. Its letters (the exponent, "inf", "nan") are made capitals.
std::string fifteenDigits(double value)
{
    std::array<char, 64> buffer{};
    char *const begin = buffer.data();
    char *const end = begin + buffer.size();
    if (std::isnormal(value)) {
        // The shortest digits that read back as the value: for a normal double, when there are
        // no more than 15 of them, they are the value rounded to 15 digits, and only their
        // layout is left to do, as "%G" lays them out.
        const auto written = std::to_chars(begin, end, value, std::chars_format::scientific);
        std::string_view text(begin, std::size_t(written.ptr - begin));
        const bool negative = text.front() == '-';
        if (negative)
            text.remove_prefix(1);
        const std::size_t e = text.find('e');
        std::string digits(1, text[0]);
        if (e > 1)
            digits.append(text.substr(2, e - 2));
        int exponent = 0;
        std::from_chars(text.data() + e + 2, text.data() + text.size(), exponent);
        if (text[e + 1] == '-')
            exponent = -exponent;
        if (digits.size() <= 15) {
            std::string out = negative ? "-" : "";
            const int count = int(digits.size());
            if (exponent >= -4 && exponent < 15) {
                if (exponent < 0) {
                    out += "0.";
                    out.append(std::size_t(-exponent - 1), '0');
                    out += digits;
                } else if (count <= exponent + 1) {
                    out += digits;
                    out.append(std::size_t(exponent + 1 - count), '0');
                } else {
                    out.append(digits, 0, std::size_t(exponent + 1));
                    out += '.';
                    out.append(digits, std::size_t(exponent + 1));
                }
            } else {
                out += digits[0];
                if (count > 1) {
                    out += '.';
                    out.append(digits, 1);
                }
                out += exponent < 0 ? "E-" : "E+";
                if (std::abs(exponent) < 10)
                    out += '0';
                out += std::to_string(std::abs(exponent));
            }
            return out;
        }
    }
    // More digits, a subnormal value, zero, infinity or nan: formatted at 15 digits.
    const auto [last, error] = std::to_chars(begin, end, value, std::chars_format::general, 15);
    std::string text(begin, error == std::errc() ? last : begin);
    for (char &c : text)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return text;
}

} // namespace

double readDisplayNumber(QStringView text, QChar regionalMark)
{
    std::string number;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };

    skipBlanks();
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        if (text[i] == QLatin1Char('-'))
            number += '-';
        ++i;
    }
    bool seenPoint = false;
    bool seenDigit = false;
    for (;; ++i) {
        skipBlanks();
        if (i >= n)
            break;
        const QChar c = text[i];
        if (isDigit(c)) {
            number += char(c.unicode());
            seenDigit = true;
        } else if (!seenPoint && (c == QLatin1Char('.') || c == regionalMark)) {
            number += '.';
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!seenDigit)
        return 0.0;

    // An exponent counts only when at least one digit follows its letter and optional sign.
    skipBlanks();
    if (i < n && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e') ||
                  text[i] == QLatin1Char('D') || text[i] == QLatin1Char('d'))) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        auto skip = [&] {
            while (j < n && isBlank(text[j]))
                ++j;
        };
        skip();
        if (j < n && (text[j] == QLatin1Char('-') || text[j] == QLatin1Char('+'))) {
            exponent += char(text[j].unicode());
            ++j;
        }
        bool exponentDigit = false;
        for (;; ++j) {
            skip();
            if (j >= n || !isDigit(text[j]))
                break;
            exponent += char(text[j].unicode());
            exponentDigit = true;
        }
        if (exponentDigit)
            number += exponent;
    }
    if (number.back() == '.')
        number.pop_back();
    if (number == "-")
        return 0.0;
    return parseAscii(number);
}

QString plainNumberText(double value)
{
    if (value == 0.0)
        return QStringLiteral(" 0");
    std::string text = fifteenDigits(value);
    const bool negative = text.front() == '-';
    std::string magnitude = negative ? text.substr(1) : text;
    if (magnitude.size() > 1 && magnitude[0] == '0' && magnitude[1] == '.')
        magnitude.erase(0, 1);
    return QString::fromLatin1((negative ? "-" : " ") + magnitude);
}

QString regionalNumberText(double value, QChar regionalMark)
{
    if (value == 0.0)
        return QStringLiteral("0");
    QString text = QString::fromLatin1(fifteenDigits(value));
    text.replace(QLatin1Char('.'), regionalMark);
    return text;
}

QString regionalNumberText(std::optional<double> value, QChar regionalMark)
{
    return value ? regionalNumberText(*value, regionalMark) : QString();
}

double roundToCents(double value)
{
    return roundToDecimals(value, 2, Rounding::NearestEven);
}

} // namespace calc
