#include "ratesettings.h"

#include "calculator/numbertext.h"

#include <algorithm>
#include <cmath>

namespace options {

const QString RefusedRate = QStringLiteral("   NON   ");
const QString TwoSeparators = QStringLiteral("  NON  ");

RateFields fieldsFromSharedRates(const vat::SharedRates &rates, QChar regionalMark)
{
    return {rates.TauxTVA1.text(regionalMark), rates.TauxTVA2};
}

namespace {

// Digits and the two separators the conversion knows: what the file may hold once the commas
// have become points.
bool holdsOnlyRateCharacters(const QString &text)
{
    for (const QChar c : text) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!digit && c != QLatin1Char('.') && c != QLatin1Char(','))
            return false;
    }
    return true;
}

} // namespace

bool isAcceptedRate(const QString &fieldText, QChar regionalMark)
{
    if (fieldText.isEmpty() || !holdsOnlyRateCharacters(fieldText))
        return false;
    const double value = calc::readDisplayNumber(fieldText, regionalMark);
    return value >= LowestRate && value <= HighestRate;
}

RateValidation::RateValidation(QChar regionalMark)
    : m_regionalMark(regionalMark), m_conversion(QLatin1Char(','), QLatin1Char('.'),
                                                 vat::RateTextConversion::Order::FirstThenSecond)
{
}

CheckOutcome RateValidation::check(const RateFields &fields)
{
    // The counts, the results and the position start afresh whatever the outcome; a refusal
    // stops the timer, so a conversion started by an earlier press goes no further.
    m_conversion.start(fields.first, fields.second);

    CheckOutcome outcome{fields, false};
    if (!isAcceptedRate(fields.first, m_regionalMark))
        outcome.fields.first = RefusedRate;
    if (!isAcceptedRate(fields.second, m_regionalMark))
        outcome.fields.second = RefusedRate;
    outcome.convert = outcome.fields.first != RefusedRate && outcome.fields.second != RefusedRate;
    return outcome;
}

StepOutcome RateValidation::step()
{
    StepOutcome outcome;
    outcome.complete = m_conversion.step() == vat::RateTextConversion::Status::Complete;
    if (!outcome.complete) {
        // Both are judged in the same tick, so two bad rates are marked together.
        outcome.refuseFirst = m_conversion.NbSep1() > 1;
        outcome.refuseSecond = m_conversion.NbSep2() > 1;
    }
    return outcome;
}

ExtraRatesOutcome checkExtraRates(const RateFields &fields, const QList<double> &ratesSet,
                                  QChar regionalMark)
{
    ExtraRatesOutcome outcome{fields, false, {}};
    QString *const texts[] = {&outcome.fields.first, &outcome.fields.second};

    // The same order as the options window: the range first, then the separators, which its
    // conversion catches only once both rates passed the range.
    bool refused = false;
    for (QString *text : texts) {
        if (!text->isEmpty() && !isAcceptedRate(*text, regionalMark)) {
            *text = RefusedRate;
            refused = true;
        }
    }
    if (refused)
        return outcome;
    QStringList converted;
    for (QString *text : texts) {
        QString withPoint = *text;
        withPoint.replace(u',', u'.');
        if (withPoint.count(u'.') > 1) {
            *text = TwoSeparators;
            refused = true;
        }
        converted.append(withPoint);
    }
    if (refused)
        return outcome;
    QList<double> set = ratesSet;
    for (qsizetype i = 0; i < converted.size(); ++i) {
        if (converted[i].isEmpty())
            continue;
        const double value = calc::readDisplayNumber(converted[i], QLatin1Char('.'));
        if (std::any_of(set.cbegin(), set.cend(),
                        [value](double v) { return std::fabs(v - value) < 1e-9; })) {
            *texts[i] = RefusedRate;
            refused = true;
            continue;
        }
        set.append(value);
        outcome.withPoint.append(converted[i]);
    }
    outcome.accepted = !refused;
    if (refused)
        outcome.withPoint.clear();
    return outcome;
}

bool commitRates(const QString &firstWithPoint, const QString &secondWithPoint, QChar regionalMark,
                 vat::SharedRates &rates, const vat::RateFile &file, const CommitSteps &steps)
{
    rates.TauxTVA1 = vat::Rate::fromNumber(calc::readDisplayNumber(firstWithPoint, regionalMark));
    if (steps.firstRateStored)
        steps.firstRateStored(firstWithPoint);
    if (steps.showFirstRate)
        steps.showFirstRate(rates.TauxTVA1.text(regionalMark));

    // The second rate is kept as the regional text of its number: 5.50 is held as 5,5.
    rates.TauxTVA2 = calc::regionalNumberText(
        calc::readDisplayNumber(secondWithPoint, regionalMark), regionalMark);
    if (steps.showSecondRate)
        steps.showSecondRate(rates.TauxTVA2);

    // The file keeps the texts as typed (5.50, 5.); a failed write leaves the old file whole.
    return file.write(firstWithPoint, secondWithPoint);
}

} // namespace options
