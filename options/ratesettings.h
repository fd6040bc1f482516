#pragma once

// Entering and storing the two VAT rates, without any window: the check of the two fields, the
// conversion of their decimal commas to points before storing, and the storing itself.

#include "vat/conversion.h"
#include "vat/rate.h"
#include "vat/ratefile.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace options {

// Replaces a rate that is empty or out of range.
extern const QString RefusedRate; // "   NON   "
// Replaces a rate that holds more than one decimal separator.
extern const QString TwoSeparators; // "  NON  "

// The smallest and the largest rate a user may store, both included.
inline constexpr double LowestRate = 1.0;
inline constexpr double HighestRate = 1000.0;

// The texts of the two rate fields.
struct RateFields
{
    QString first;
    QString second;
    bool operator==(const RateFields &) const = default;
};

// The fields as the window opens: the rates, the first as regional number text when it is a
// number.
RateFields fieldsFromSharedRates(const vat::SharedRates &rates, QChar regionalMark);

// True when a field may go on to the conversion: not empty, made only of digits and decimal
// separators (a hand-edited rate file could bring anything else into the field), and its number,
// read with "." or the regional mark as decimal separator, between 1 and 1000. Extra separators
// are left for the conversion to catch.
bool isAcceptedRate(const QString &fieldText, QChar regionalMark);

// What "Validez" leaves: the fields, a refused one replaced by RefusedRate, and whether the
// conversion runs (only when both are accepted).
struct CheckOutcome
{
    RateFields fields;
    bool convert = false;
};

// What one conversion step leaves.
struct StepOutcome
{
    bool complete = false;     // both texts converted: store them
    bool refuseFirst = false;  // the first text has a second separator: TwoSeparators, stop
    bool refuseSecond = false; // the same for the second text
};

// The check and the conversion behind "Validez": the fields' commas become points one character
// per tick, and two separators in one text refuse it.
class RateValidation
{
public:
    explicit RateValidation(QChar regionalMark);

    // Starts afresh on the fields, also while a conversion is running.
    CheckOutcome check(const RateFields &fields);
    StepOutcome step();

    const vat::RateTextConversion &conversion() const { return m_conversion; }

private:
    QChar m_regionalMark;
    vat::RateTextConversion m_conversion;
};

// Where the storing shows its results, in the order they happen.
struct CommitSteps
{
    // The first rate holds the new number: the main window takes it (caption, active).
    std::function<void(const QString &firstWithPoint)> firstRateStored;
    std::function<void(const QString &text)> showFirstRate;
    std::function<void(const QString &text)> showSecondRate;
};

// Stores two converted rate texts (with their decimal point) in the rates: the first rate, the
// main window, the first field, the second rate, the second field, then the file. The file
// receives the texts exactly as converted ("5.50", "5."). A failed write changes nothing that came
// before it. True when the file was written.
// The "Autres taux" dialog: the third and fourth rates, checked as the options window checks its
// two, with the same markers. An empty field sets no rate. A rate out of range gets RefusedRate;
// when none is, one with a second separator gets TwoSeparators; when none is, one equal to a rate
// already set (ratesSet, or the third for the fourth) gets RefusedRate, so that the rate switch
// never steps onto the same rate twice.
struct ExtraRatesOutcome
{
    RateFields fields;     // third and fourth, a refused one replaced by its marker
    bool accepted = false; // nothing refused: withPoint may be stored
    QStringList withPoint; // the rates set, in order, their commas turned into points
};
ExtraRatesOutcome checkExtraRates(const RateFields &fields, const QList<double> &ratesSet,
                                  QChar regionalMark);

bool commitRates(const QString &firstWithPoint, const QString &secondWithPoint, QChar regionalMark,
                 vat::SharedRates &rates, const vat::RateFile &file, const CommitSteps &steps);

} // namespace options
