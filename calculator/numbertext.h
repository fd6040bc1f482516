#pragma once

// The three ways the program reads and writes numbers as text, and the rounding to the cent.
//
// - The display reader reads the leading number of any text and never fails.
// - The plain number text is what the calculator writes for the four operations (" 7", "-.5").
// - The regional number text is what results in money or percent are written in ("119,6").
//
// The regional decimal mark is always passed in, so nothing here depends on the machine's locale.

#include <QChar>
#include <QString>
#include <QStringView>

#include <optional>

namespace calc {

// The decimal mark of the user's regional settings. A program started without any regional
// settings (the "C" locale) is taken to be in France, for which the calculator is made.
QChar regionalDecimalMark();

// Reads the leading number of a text. Blanks are ignored wherever they stand; then an optional
// sign, digits with at most one decimal point and an optional exponent (E or D, optional sign,
// digits) are read, and reading stops at the first character that cannot continue the number.
// Both "." and the regional decimal mark are decimal points, so a result that the program itself
// wrote in regional text reads back in full. A text without a leading number gives 0.
// A number too large for a double gives +/-infinity, which callers refuse to show.
double readDisplayNumber(QStringView text, QChar regionalMark);

// " 7", "-3", " 2.5", " .25", "-.5", " .333333333333333", " 1E+15": a blank before a number that
// is not negative, "." as decimal point, no 0 before the point, at most 15 significant digits.
QString plainNumberText(double value);

// "0,5", "-3", "119,6", "55": the regional decimal mark, a 0 before the mark below 1, no leading
// blank, no thousands separator, at most 15 significant digits without trailing zeros.
QString regionalNumberText(double value, QChar regionalMark);
// The empty state is written as empty text.
QString regionalNumberText(std::optional<double> value, QChar regionalMark);

// Rounds to the cent, a value exactly halfway going to the even cent. The rounding works on the
// value as written to 15 significant digits, so binary noise below what a person sees never
// decides a tie: 2.675 gives 2.68, 2.665 gives 2.66, 0.125 gives 0.12, 0.375 gives 0.38.
double roundToCents(double value);

// True when the value can be shown: neither infinite nor NaN.
inline bool isShowable(double value)
{
    return value - value == 0.0;
}

} // namespace calc
