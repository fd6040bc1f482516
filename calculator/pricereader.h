#pragma once

// Numbers going to and coming from the clipboard.
//
// A price copied from an invoice, a web shop or a spreadsheet is written the way people write
// money: "1 234,56 €", "$1,234.56", "EUR 12.50". The reader takes such a text as one price the
// way a person reads it, or refuses it whole; it never takes the leading number of a longer text
// the way the display reader does, since pasting "12 34" or "12,5 %" as 12 would be a silent
// error in somebody's till.
//
// What the program copies is the number a spreadsheet under the same regional settings reads
// back: the regional decimal mark, no blank, no thousands separator, no suffix.

#include <QChar>
#include <QString>
#include <QStringView>

#include <optional>

namespace calc {

struct PastedPrice
{
    bool negative = false;
    // The digits as pasted, without thousands separators, with "." before the fraction: the
    // text the number would have if it had been keyed ("1234.56", "12.50", "0.5", "7").
    QString digits;
    double value = 0.0;

    // The display after keying the number: a blank or "-", then the digits (" 1234.56", "-7").
    QString keyedText() const;
};

enum class PriceSign
{
    Allowed, // a leading "+" or "-"
    Refused, // fields that take no sign
};

// Reads text as exactly one price. Accepted: blanks around and inside (no-break and narrow
// no-break spaces included); one currency sign or code before or after ("€", "$", "EUR");
// a leading "+" or "-" when signs are allowed; "," or "." as decimal mark; thousands separators
// ".", ",", "'" or blanks, in groups of three. Where both "." and "," appear the last one is the
// decimal mark; a single one followed by exactly three digits ("1.234") is read with the regional
// convention: a decimal mark when it is the regional one, else a thousands separator.
// Anything else, or a number a double cannot hold, gives nothing.
std::optional<PastedPrice> readPastedPrice(QStringView text, QChar regionalMark,
                                           PriceSign sign = PriceSign::Allowed);

// The text copied for a display: the regional number text of the number the display reader
// reads ("119,6" for " 119,6 TTC", "-0,5" for "-.5"). A number the display writes in exponent
// form is written in full when that takes at most 15 digits ("0,00001"), else as shown
// ("1E+15"). An empty display gives empty text: there is nothing to copy.
QString copiedNumberText(QStringView display, QChar regionalMark);

} // namespace calc
