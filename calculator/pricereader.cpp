#include "pricereader.h"

#include "numbertext.h"

#include <QList>
#include <QStringList>

#include <algorithm>

namespace calc {

namespace {

// Any kind of blank: spaces, tabs, line ends (a spreadsheet cell copies with one), and the
// no-break, narrow no-break and thin spaces that French software puts between thousands.
bool isBlank(QChar c)
{
    return c.isSpace();
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isSignChar(QChar c)
{
    return c == QLatin1Char('+') || c == QLatin1Char('-') || c == QChar(0x2212);
}

// Currency codes people paste along with a price; symbols are recognised by their category.
const char *const currencyCodes[] = {"EUR", "USD", "GBP", "CHF", "CAD"};

// Length of the currency sign or code at the start (or, with atEnd, the end) of text; 0 if none.
qsizetype currencyLength(QStringView text, bool atEnd)
{
    if (text.isEmpty())
        return 0;
    if ((atEnd ? text.back() : text.front()).category() == QChar::Symbol_Currency)
        return 1;
    for (const char *code : currencyCodes) {
        const QLatin1StringView c(code);
        if (atEnd ? text.endsWith(c, Qt::CaseInsensitive) : text.startsWith(c, Qt::CaseInsensitive))
            return c.size();
    }
    return 0;
}

// Takes a leading sign off text; returns whether there was one and sets negative.
bool takeSign(QStringView &text, bool &negative)
{
    if (text.isEmpty() || !isSignChar(text.front()))
        return false;
    negative = text.front() != QLatin1Char('+');
    text = text.mid(1).trimmed();
    return true;
}

// The number itself split into digit groups and the single separators between them.
// A run of blanks is one separator, written ' '; a typographic apostrophe is written '\''.
struct Groups
{
    QStringList digits;
    QList<QChar> separators; // separators[i] stands between digits[i] and digits[i + 1]
};

std::optional<Groups> splitGroups(QStringView core)
{
    Groups g;
    QString current;
    for (qsizetype i = 0; i < core.size(); ++i) {
        const QChar c = core[i];
        if (isDigit(c)) {
            current += c;
            continue;
        }
        QChar separator;
        if (isBlank(c)) {
            while (i + 1 < core.size() && isBlank(core[i + 1]))
                ++i;
            separator = QLatin1Char(' ');
        } else if (c == QLatin1Char('.') || c == QLatin1Char(',')) {
            separator = c;
        } else if (c == QLatin1Char('\'') || c == QChar(0x2019)) {
            separator = QLatin1Char('\'');
        } else {
            return std::nullopt; // a letter, "%", an exponent, a second number's sign...
        }
        if (current.isEmpty())
            return std::nullopt; // two separators in a row, or one before any digit
        g.digits << current;
        g.separators << separator;
        current.clear();
    }
    if (current.isEmpty())
        return std::nullopt; // a separator at the end ("12,")
    g.digits << current;
    return g;
}

bool isMark(QChar c)
{
    return c == QLatin1Char('.') || c == QLatin1Char(',');
}

// Which separator is the decimal mark: its index in separators, or -1 for a whole number.
// Returns nothing when the marks contradict one another.
std::optional<qsizetype> decimalMarkAt(const Groups &g, QChar regionalMark)
{
    const auto &seps = g.separators;
    const qsizetype last = seps.size() - 1;
    const qsizetype dots = seps.count(QLatin1Char('.'));
    const qsizetype commas = seps.count(QLatin1Char(','));
    if (dots > 0 && commas > 0) {
        // "1.234,56" and "1,234.56": the last mark is the decimal one, and it comes once, last.
        if (!isMark(seps[last]) || seps.count(seps[last]) != 1)
            return std::nullopt;
        return last;
    }
    if (dots + commas != 1 || !isMark(seps[last]))
        return -1; // no mark, or one repeated: thousands separators ("1.234.567")
    if (seps.size() > 1)
        return last; // after blank or apostrophe thousands separators ("1 234,5")
    // A lone mark followed by exactly three digits may be either; a group of thousands never
    // starts with 0 nor has more than three digits before the first separator.
    const QString &whole = g.digits.front();
    const bool couldBeThousands =
        g.digits.back().size() == 3 && whole.size() <= 3 && whole.front() != QLatin1Char('0');
    if (couldBeThousands && seps[last] != regionalMark)
        return -1;
    return last;
}

} // namespace

QString PastedPrice::keyedText() const
{
    return (negative ? QLatin1Char('-') : QLatin1Char(' ')) + digits;
}

std::optional<PastedPrice> readPastedPrice(QStringView text, QChar regionalMark, PriceSign sign)
{
    QStringView rest = text.trimmed();
    PastedPrice price;
    bool hasSign = takeSign(rest, price.negative);
    if (const qsizetype n = currencyLength(rest, false); n > 0) {
        rest = rest.mid(n).trimmed();
        if (!hasSign)
            hasSign = takeSign(rest, price.negative); // "€ -12,50"
    } else if (const qsizetype m = currencyLength(rest, true); m > 0) {
        rest = rest.chopped(m).trimmed();
    }
    if (hasSign && sign == PriceSign::Refused)
        return std::nullopt;
    if (rest.isEmpty())
        return std::nullopt;

    // ".5" and ",5" are a fraction written without its leading 0.
    if (isMark(rest.front()) && rest.size() > 1 &&
        std::all_of(rest.begin() + 1, rest.end(), isDigit))
        price.digits = QLatin1String("0.") + rest.mid(1).toString();
    else {
        const auto groups = splitGroups(rest);
        if (!groups)
            return std::nullopt;
        const auto decimalAt = decimalMarkAt(*groups, regionalMark);
        if (!decimalAt)
            return std::nullopt;
        const qsizetype wholeGroups =
            *decimalAt < 0 ? groups->digits.size() : groups->digits.size() - 1;
        // Thousands separators: all of one kind, three digits after each.
        for (qsizetype i = 0; i + 1 < wholeGroups; ++i) {
            if (groups->separators[i] != groups->separators[0] || groups->digits[i + 1].size() != 3)
                return std::nullopt;
        }
        if (wholeGroups > 1 && groups->digits[0].size() > 3)
            return std::nullopt;
        price.digits = groups->digits.mid(0, wholeGroups).join(QString());
        if (*decimalAt >= 0)
            price.digits += QLatin1Char('.') + groups->digits.back();
    }

    const double magnitude = readDisplayNumber(price.digits, QLatin1Char('.'));
    // Too large for a double, or so small that it would silently become 0.
    const bool lost =
        magnitude == 0.0 && std::any_of(price.digits.begin(), price.digits.end(), [](QChar c) {
            return c >= QLatin1Char('1') && c <= QLatin1Char('9');
        });
    if (!isShowable(magnitude) || lost)
        return std::nullopt;
    price.value = price.negative && magnitude != 0.0 ? -magnitude : magnitude;
    return price;
}

QString copiedNumberText(QStringView display, QChar regionalMark)
{
    if (display.trimmed().isEmpty())
        return QString();
    const double value = readDisplayNumber(display, regionalMark);
    const QString shown = regionalNumberText(value, regionalMark);
    const qsizetype e = shown.indexOf(QLatin1Char('E'));
    if (e < 0)
        return shown;
    // Exponent form is only ever written for magnitudes of 1E+15 and more (16 digits or more in
    // full) and for small ones, which a spreadsheet is better given in full when they are short.
    const int exponent = shown.mid(e + 1).toInt();
    if (exponent >= 0)
        return shown;
    const bool negative = shown.front() == QLatin1Char('-');
    QString significant;
    for (const QChar c : QStringView(shown).left(e)) {
        if (isDigit(c))
            significant += c;
    }
    const qsizetype zeros = -exponent - 1;
    if (1 + zeros + significant.size() > 15)
        return shown;
    return (negative ? QStringLiteral("-0") : QStringLiteral("0")) + regionalMark +
           QString(zeros, QLatin1Char('0')) + significant;
}

} // namespace calc
