#include "tape/recorder.h"

#include "calculator/numbertext.h"

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
    if (key.key == K::Ignored || key.key == K::Digit || key.key == K::DecimalPoint)
        return {};
    if (after == before && after.display() == displayBefore)
        return {};
    const QChar mark = after.regionalMark();
    const QString operand = shownNumber(calc::readDisplayNumber(displayBefore, mark), mark);
    const QString shown = shownNumber(after.displayValue(), mark);
    const bool percentPending = before.Signe == calc::Percentage;
    switch (key.key) {
    case K::Clear:
    case K::Delete:
        return {plain(QStringLiteral("0"), QStringLiteral("C"))};
    case K::Operator:
        // Without a new operand the key only replaces the pending operation: the first
        // operand is written again with the operation that now waits for the second.
        if (!before.ok)
            return before.N1 ? QList<Line>{plain(shownNumber(*before.N1, mark),
                                                 operatorMark(key.operation))}
                             : QList<Line>{};
        // A pending percentage is carried out first: its result, then the new operation.
        if (percentPending && before.Compteur >= 1)
            return {result(shown, QStringLiteral("*")), plain(shown, operatorMark(key.operation))};
        return {plain(operand, operatorMark(key.operation))};
    case K::Percent:
        return {plain(operand, QStringLiteral("%"))};
    case K::Equals:
    case K::Evaluate:
        // After the percentage key the display holds "50 + 10 %", not an operand.
        if (percentPending)
            return {result(shown, QStringLiteral("*"))};
        return {plain(operand, QStringLiteral("=")), result(shown, QStringLiteral("*"))};
    default:
        return {};
    }
}

QList<Line> vatLines(VatKind kind, double amount, double rate, double result_, QChar mark)
{
    const bool fromHt = kind == VatKind::TTC || kind == VatKind::TVA;
    double vat = result_;
    if (kind == VatKind::TTC)
        vat = calc::roundToCents(result_ - amount);
    else if (kind == VatKind::HT)
        vat = calc::roundToCents(amount - result_);
    static const QString marks[] = {QStringLiteral("TTC"), QStringLiteral("HT"),
                                    QStringLiteral("TVA"), QStringLiteral("TVA")};
    Line rateLine = plain(shownNumber(vat, mark), QString());
    rateLine.label = QStringLiteral("TVA %1 %").arg(shownNumber(rate, mark));
    return {plain(shownNumber(amount, mark), fromHt ? QStringLiteral("HT") : QStringLiteral("TTC")),
            rateLine, result(shownNumber(result_, mark), marks[int(kind)])};
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
