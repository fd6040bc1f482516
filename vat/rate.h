#pragma once

// A VAT rate as the program holds it, and the two rates of the program.

#include <QChar>
#include <QString>

#include <optional>
#include <variant>

namespace vat {

// A rate is a percentage (19.6 means 19.6 %). It is held either as a number (read from the rate
// file or stored by the options window) or as the text the user sees, with the regional decimal
// mark ("19,6"). An empty rate means there is none.
class Rate
{
public:
    Rate() = default;
    static Rate fromNumber(double value);
    static Rate fromText(const QString &text);

    bool isEmpty() const { return std::holds_alternative<std::monostate>(m_value); }
    bool isNumber() const { return std::holds_alternative<double>(m_value); }

    // A number as regional number text (19.6 gives "19,6"); a text unchanged; empty for none.
    QString text(QChar regionalMark) const;
    // A number as it is; a text read with the regional mark (or ".") as decimal separator when
    // the whole text is a number; nothing otherwise.
    std::optional<double> value(QChar regionalMark) const;

    bool operator==(const Rate &) const = default;

private:
    std::variant<std::monostate, double, QString> m_value;
};

// Reads a whole text as a number: optional blanks, an optional sign, digits with at most one
// decimal separator ("." or the regional mark). Anything else gives nothing.
std::optional<double> readWholeNumber(const QString &text, QChar regionalMark);

// The two rates, one copy for the whole program: the main window holds them and hands them to
// the windows that use them (the margin window reads the first, the options window stores both).
struct SharedRates
{
    Rate TauxTVA1;    // the first rate: the one the margin window always uses
    QString TauxTVA2; // the second rate, as text

    bool operator==(const SharedRates &) const = default;
};

} // namespace vat
