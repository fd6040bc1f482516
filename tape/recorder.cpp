#include "tape/recorder.h"

#include "calculator/numbertext.h"
#include "calculator/switches.h"
#include "tape/cents.h"

#include <cmath>

namespace tape {

namespace {

Line plain(const QString &amount, const QString &mark)
{
    return Line{QDateTime(), QString(), amount, mark, false, false};
}

Line result(const QString &amount, const QString &mark, bool total = true)
{
    return Line{QDateTime(), QString(), amount, mark, true, total};
}

QString shownNumber(double value, QChar mark)
{
    return calc::regionalNumberText(value, mark);
}

// The number a display holds as the tape writes it: a plain keyed or computed number (" 12.5",
// "-.5") only changes its decimal point, which is quick; anything else ("50 + 10 %", " 1E+15")
// is written from its value.
// value: what the display reads, when the caller has it; read only when it is needed, which is
// seldom: a correction works thousands of keys again.
QString displayedNumber(const QString &display, std::optional<double> value, QChar mark)
{
    const auto written = [&] {
        return shownNumber(value ? *value : calc::readDisplayNumber(display, mark), mark);
    };
    QStringView text = QStringView(display).trimmed();
    const bool negative = text.startsWith(u'-');
    QStringView digits = negative ? text.sliced(1) : text;
    // Leading zeros as keyed ("007") go, as they would from the value.
    while (digits.size() > 1 && digits.front() == u'0' && digits[1].isDigit())
        digits = digits.sliced(1);
    qsizetype point = -1;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        const QChar c = digits[i];
        if ((c == u'.' || c == mark) && point < 0)
            point = i;
        else if (c < u'0' || c > u'9')
            return written();
    }
    if (digits.isEmpty() || digits.size() == (point >= 0 ? 1 : 0) || digits.size() > 15)
        return written();
    QString out;
    out.reserve(digits.size() + 2);
    if (negative)
        out += u'-';
    if (point == 0)
        out += u'0';
    out += digits;
    if (point >= 0) {
        out[out.size() - digits.size() + point] = mark;
        if (out.endsWith(mark))
            out.chop(1);
    }
    return out;
}

// What a field or the display holds, written as the tape writes amounts.
QString typedNumber(QString text, QChar mark)
{
    return text.trimmed().replace(QLatin1Char('.'), mark);
}

QString operatorMark(calc::Operation operation)
{
    switch (operation) {
    case calc::Addition:
        return QStringLiteral("+");
    case calc::Subtraction:
        return QStringLiteral("-");
    case calc::Multiplication:
        return QStringLiteral("×");
    case calc::Division:
        return QStringLiteral("÷");
    default:
        return QString();
    }
}

} // namespace

QList<Line> keyLines(const calc::KeyStroke &key, const calc::CalculatorState &before,
                     const QString &displayBefore, const calc::CalculatorEngine &after)
{
    using K = calc::KeyStroke;
    // An operand being keyed or pasted is written when an operator or equals takes it.
    if (key.key == K::Ignored || key.key == K::Digit || key.key == K::DecimalPoint ||
        key.key == K::Paste)
        return {};
    if (after.state() == before && after.display() == displayBefore)
        return {};
    const QChar mark = after.regionalMark();
    // The operand as the key took it: in the adding mode a keyed 1234 went in as 12,34.
    const QString &taken = after.operandDisplay();
    // Written only by the keys whose lines show them.
    const auto operand = [&] { return displayedNumber(taken, std::nullopt, mark); };
    const std::optional<int> decimals = calc::fixedDecimals(after.switches().decimals);
    const auto shown = [&] { return displayedNumber(after.display(), std::nullopt, mark); };
    const bool percentPending = before.Signe == calc::Percentage;
    switch (key.key) {
    case K::Clear:
    case K::Delete:
        return {plain(QStringLiteral("0"), QStringLiteral("C"))};
    case K::Operator:
        // Without a new operand the key only replaces the pending operation: the first
        // operand is written again with the operation that now waits for the second.
        if (!before.ok)
            return before.N1 ? QList<Line>{plain(calc::padDecimals(shownNumber(*before.N1, mark),
                                                                   decimals.value_or(0), mark),
                                                 operatorMark(key.operation))}
                             : QList<Line>{};
        // A pending percentage is carried out first: its result, then the new operation.
        if (percentPending && before.Compteur >= 1) {
            const QString value = shown();
            return {result(value, QStringLiteral("*")), plain(value, operatorMark(key.operation))};
        }
        return {plain(operand(), operatorMark(key.operation))};
    case K::Percent:
        return {plain(operand(), QStringLiteral("%"))};
    case K::Equals:
    case K::Evaluate:
        // After the percentage key the display holds "50 + 10 %", not an operand.
        if (percentPending)
            return {result(shown(), QStringLiteral("*"))};
        return {plain(operand(), QStringLiteral("=")), result(shown(), QStringLiteral("*"))};
    default:
        return {};
    }
}

QList<Line> vatLines(const VatDone &done, QChar mark)
{
    return vatLines(done, mark, std::nullopt);
}

QList<Line> vatLines(const VatDone &done, QChar mark, std::optional<int> decimals)
{
    const VatKind kind = done.kind;
    const bool fromHt = kind == VatKind::TTC || kind == VatKind::TVA;
    const QString amountText = displayedNumber(done.display, done.amount, mark);
    // The VAT between two prices is their difference in cents, exact like the two amounts
    // printed above and below it; amounts beyond cents are worked as numbers.
    QString vat = done.result;
    if ((kind == VatKind::TTC || kind == VatKind::HT) && decimals) {
        // With fixed decimals the VAT shows as many as the two amounts around it.
        const double result = calc::readDisplayNumber(done.result, mark);
        const double difference =
            kind == VatKind::TTC ? result - done.amount : done.amount - result;
        vat = calc::regionalFixedText(
            calc::roundToDecimals(difference, *decimals, calc::Rounding::Nearest), *decimals, mark);
    } else if (kind == VatKind::TTC || kind == VatKind::HT) {
        const qint64 difference = amountCents(done.result) - amountCents(amountText);
        vat = std::fabs(done.amount) < 1e13
                  ? centsNumberText(kind == VatKind::TTC ? difference : -difference, mark)
                  : shownNumber(calc::roundToCents(std::fabs(
                                    calc::readDisplayNumber(done.result, mark) - done.amount)),
                                mark);
    }
    static const QString marks[] = {QStringLiteral("TTC"), QStringLiteral("HT"),
                                    QStringLiteral("TVA"), QStringLiteral("TVA")};
    Line rateLine = plain(vat, QString());
    rateLine.label = QStringLiteral("TVA ") + done.rate + QStringLiteral(" %");
    return {plain(amountText, fromHt ? QStringLiteral("HT") : QStringLiteral("TTC")), rateLine,
            result(done.result, marks[int(kind)])};
}

Line rateSwitchLine(const QString &rateText)
{
    Line line = plain(rateText, QStringLiteral("%"));
    line.label = QStringLiteral("Taux de TVA :");
    return line;
}

QList<Line> shownLines(const QList<Shown> &shown, QChar mark)
{
    QList<Line> lines;
    for (const Shown &s : shown)
        lines.append(
            Line{QDateTime(), s.label, typedNumber(s.amount, mark), s.mark, s.result, false});
    return lines;
}

QList<Line> priceChangeLines(const PriceChangeDone &change, QChar mark)
{
    Line rateLine = plain(typedNumber(change.rate, mark), QStringLiteral("%"));
    rateLine.label = change.increase ? QStringLiteral("Hausse") : QStringLiteral("Remise");
    const Line first = plain(typedNumber(change.first, mark), QString());
    if (change.fixedRate)
        return {rateLine, first,
                result(typedNumber(change.second, mark), QStringLiteral("*"), false)};
    rateLine.result = true;
    return {first, plain(typedNumber(change.second, mark), QString()), rateLine};
}

} // namespace tape
