#include "extrarates.h"

#include "calculator/numbertext.h"

#include <QList>

#include <algorithm>
#include <cmath>
#include <optional>

namespace vat {

namespace {

// A file longer than this was not written by the program: garbage, or something else entirely.
constexpr qsizetype longestFile = 1024;

bool isRateWithPoint(QStringView text)
{
    bool digit = false;
    bool point = false;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            digit = true;
        else if (c == u'.' && !point)
            point = true;
        else
            return false;
    }
    return digit;
}

bool sameRate(double a, double b)
{
    return std::fabs(a - b) < 1e-9;
}

} // namespace

QStringList parseExtraRates(const QByteArray &bytes)
{
    if (bytes.size() > longestFile)
        return {};
    QStringList rates;
    // CR LF as written, LF alone from an editor that dropped the CRs.
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (const qsizetype extra = line.indexOf(';'); extra >= 0)
            line.truncate(extra);
        const QString rate = QString::fromLatin1(line).trimmed();
        if (rate.isEmpty()) {
            // Only the end of the file may be blank: a gap would put the fourth rate third.
            for (qsizetype j = i + 1; j < lines.size(); ++j) {
                if (!lines[j].trimmed().isEmpty())
                    return {};
            }
            break;
        }
        if (!isRateWithPoint(rate) || rates.size() == MostExtraRates)
            return {};
        rates.append(rate);
    }
    return rates;
}

QByteArray formatExtraRates(const QStringList &ratesWithPoint)
{
    QByteArray bytes;
    for (const QString &rate : ratesWithPoint)
        bytes += rate.toLatin1() + "\r\n";
    return bytes;
}

QStringList readExtraRates(const RateFile &folders)
{
    const std::optional<QByteArray> bytes = folders.readKept(extraRatesFileName());
    return bytes ? parseExtraRates(*bytes) : QStringList();
}

bool writeExtraRates(const RateFile &folders, const QStringList &ratesWithPoint)
{
    return folders.writeKept(extraRatesFileName(), formatExtraRates(ratesWithPoint));
}

QStringList switchedRates(const SharedRates &rates, const QStringList &extraWithPoint,
                          QChar regionalMark)
{
    QStringList texts{rates.TauxTVA1.text(regionalMark), rates.TauxTVA2};
    QList<double> values;
    for (const QString &text : texts) {
        if (const std::optional<double> value = Rate::fromText(text).value(regionalMark))
            values.append(*value);
    }
    for (const QString &extra : extraWithPoint) {
        const std::optional<double> value = readWholeNumber(extra, QLatin1Char('.'));
        if (!value || std::any_of(values.cbegin(), values.cend(),
                                  [&](double v) { return sameRate(v, *value); }))
            continue;
        values.append(*value);
        texts.append(calc::regionalNumberText(*value, regionalMark));
    }
    return texts;
}

int rateIndex(int numTaux)
{
    switch (numTaux) {
    case 0:
        return 1;
    case 3:
    case 4:
        return numTaux - 1;
    default:
        return 0;
    }
}

int numTauxOf(int index)
{
    switch (index) {
    case 0:
        return 1;
    case 1:
        return 0;
    default:
        return index + 1;
    }
}

ActiveRate switchRateAmong(const ActiveRate &current, const SharedRates &rates,
                           const QStringList &extraWithPoint, QChar regionalMark)
{
    const QStringList all = switchedRates(rates, extraWithPoint, regionalMark);
    if (all.size() <= 2)
        return switchRate(current, rates, regionalMark);
    const int next = (rateIndex(current.NumTaux) + 1) % int(all.size());
    return ActiveRate{all[next], numTauxOf(next)};
}

QString ratesDescription(const QStringList &rateTexts)
{
    QStringList named;
    for (const QString &text : rateTexts)
        named.append(text + QStringLiteral(" %"));
    QString list = named.value(0);
    if (named.size() > 1)
        list = named.mid(0, named.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" et ") +
               named.last();
    return QStringLiteral("%1 taux de TVA : %2").arg(named.size()).arg(list);
}

} // namespace vat
