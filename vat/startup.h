#pragma once

// The rates at the main window's start: read from the rate file, shown in the VAT frame, then
// turned from the file's decimal point to the regional mark one character per timer tick before
// the first rate becomes the active one.

#include "conversion.h"
#include "rate.h"
#include "ratefile.h"
#include "vatkeys.h"

#include <QChar>
#include <QString>

namespace vat {

struct StartUpRates
{
    QString caption;      // the VAT frame's caption, naming the first rate
    QString firstSource;  // the first rate as regional text: what the conversion turns first
    QString secondSource; // the second rate as read
    bool usable = false;  // false when the file gave no rates: there is nothing to convert
};

// Reads the file into the rates; they are emptied when it gives no rates.
StartUpRates loadStartUpRates(const RateFile &file, QChar regionalMark, SharedRates &rates);

// The start-up conversion: from "." to the regional mark, the second rate before the first.
RateTextConversion startUpConversion(QChar regionalMark);

// Once the conversion is complete: the rates take the converted texts and the first one becomes
// active.
ActiveRate commitStartUpRates(const RateTextConversion &conversion, SharedRates &rates);

} // namespace vat
