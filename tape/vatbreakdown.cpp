#include "tape/vatbreakdown.h"

#include "calculator/numbertext.h"
#include "tape/cents.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace tape {

namespace {

const QString vatLabelStart = QStringLiteral("TVA ");
const QString vatLabelEnd = QStringLiteral(" %");
const QString htMark = QStringLiteral("HT");
const QString ttcMark = QStringLiteral("TTC");
const QString vatMark = QStringLiteral("TVA");

// "5,5", "19.6": a rate as the program wrote it, with either mark.
std::optional<double> rateValue(QStringView text)
{
    QString number = text.trimmed().toString();
    number.replace(u',', u'.');
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

// Rates that are the same percentage, however written ("5,5" and "5,50").
qint64 rateKey(double rate)
{
    return std::llround(rate * 1e6);
}

qint64 subtractCents(qint64 a, qint64 b)
{
    qint64 difference = 0;
    if (qSubOverflow(a, b, &difference))
        return b < 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    return difference;
}

struct Block
{
    double rate = 0.0;
    qint64 ht = 0, vat = 0, ttc = 0;
};

// The block of a VAT key whose "TVA 20 %" line is lines[i]: the amount it was given above, the
// result it showed below, all three of one calculation.
std::optional<Block> vatBlockAt(const QList<Line> &lines, qsizetype i)
{
    const Line &rateLine = lines[i];
    if (!rateLine.mark.isEmpty() || rateLine.result ||
        rateLine.label.size() <= vatLabelStart.size() + vatLabelEnd.size() ||
        !rateLine.label.startsWith(vatLabelStart) || !rateLine.label.endsWith(vatLabelEnd) ||
        i == 0 || i + 1 >= lines.size())
        return std::nullopt;
    const Line &given = lines[i - 1];
    const Line &shown = lines[i + 1];
    if (given.result || !shown.result || given.calculation != rateLine.calculation ||
        shown.calculation != rateLine.calculation)
        return std::nullopt;
    const QStringView rateText =
        QStringView(rateLine.label).sliced(vatLabelStart.size()).chopped(vatLabelEnd.size());
    const std::optional<double> rate = rateValue(rateText);
    if (!rate)
        return std::nullopt;

    const qint64 a = amountCents(given.amount);
    const qint64 r = amountCents(shown.amount);
    const bool fromHt = given.mark == htMark;
    if (!fromHt && given.mark != ttcMark)
        return std::nullopt;
    Block block{*rate};
    if (shown.mark == vatMark) { // the VAT on an HT amount, or the VAT a TTC amount holds
        block.vat = r;
        block.ht = fromHt ? a : subtractCents(a, r);
        block.ttc = fromHt ? addCents(a, r) : a;
    } else if (fromHt && shown.mark == ttcMark) {
        block.ht = a;
        block.ttc = r;
        block.vat = subtractCents(r, a);
    } else if (!fromHt && shown.mark == htMark) {
        block.ttc = a;
        block.ht = r;
        block.vat = subtractCents(a, r);
    } else {
        return std::nullopt;
    }
    return block;
}

bool isChosen(const QList<int> &chosen, qsizetype from, qsizetype to)
{
    // Any line of the block [from, to] among the chosen ones.
    const auto first = std::lower_bound(chosen.cbegin(), chosen.cend(), int(from));
    return first != chosen.cend() && *first <= to;
}

void add(VatRow &row, const Block &block)
{
    ++row.operations;
    row.htCents = addCents(row.htCents, block.ht);
    row.vatCents = addCents(row.vatCents, block.vat);
    row.ttcCents = addCents(row.ttcCents, block.ttc);
}

QString fixedCents(qint64 cents)
{
    return centsText(cents, u',');
}

QStringList rowFields(const QString &rate, const VatRow &row)
{
    return {rate, QString::number(row.operations), fixedCents(row.htCents),
            fixedCents(row.vatCents), fixedCents(row.ttcCents)};
}

QList<QStringList> table(const VatBreakdown &breakdown, const QStringList &headings)
{
    QList<QStringList> rows{headings};
    for (const VatRow &row : breakdown.rows)
        rows.append(rowFields(breakdownRateText(row.rate, u','), row));
    rows.append(rowFields(QStringLiteral("Total"), breakdown.total));
    return rows;
}

QString joined(const QList<QStringList> &rows, QChar separator, const QString &lineEnd)
{
    QString text;
    for (const QStringList &row : rows)
        text += row.join(separator) + lineEnd;
    return text;
}

} // namespace

VatBreakdown vatBreakdown(const QList<Line> &lines, const QList<int> &chosen,
                          const QStringList &rateOrder)
{
    VatBreakdown breakdown;
    QList<qint64> keys;
    for (const QString &text : rateOrder) {
        if (const std::optional<double> rate = rateValue(text);
            rate && !keys.contains(rateKey(*rate)))
            keys.append(rateKey(*rate));
    }
    // Rows for the rates of the switch first, dropped again below when none was used.
    QList<VatRow> rows(keys.size());
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const std::optional<Block> block = vatBlockAt(lines, i);
        if (!block || (!chosen.isEmpty() && !isChosen(chosen, i - 1, i + 1)))
            continue;
        const qint64 key = rateKey(block->rate);
        qsizetype at = keys.indexOf(key);
        if (at < 0) {
            keys.append(key);
            rows.append(VatRow{});
            at = rows.size() - 1;
        }
        rows[at].rate = block->rate;
        add(rows[at], *block);
        add(breakdown.total, *block);
    }
    for (const VatRow &row : rows) {
        if (row.operations > 0)
            breakdown.rows.append(row);
    }
    return breakdown;
}

QString breakdownRateText(double rate, QChar mark)
{
    return calc::regionalNumberText(rate, mark);
}

QString breakdownCopyText(const VatBreakdown &breakdown)
{
    return joined(table(breakdown, {QStringLiteral("Taux (%)"), QStringLiteral("Opérations"),
                                    QStringLiteral("Total HT"), QStringLiteral("TVA"),
                                    QStringLiteral("Total TTC")}),
                  u'\t', QStringLiteral("\n"));
}

QByteArray breakdownCsvFile(const VatBreakdown &breakdown)
{
    return QByteArrayLiteral("\xEF\xBB\xBF") +
           joined(table(breakdown, {QStringLiteral("taux (%)"), QStringLiteral("opérations"),
                                    QStringLiteral("total HT"), QStringLiteral("TVA"),
                                    QStringLiteral("total TTC")}),
                  u';', QStringLiteral("\r\n"))
               .toUtf8();
}

} // namespace tape
