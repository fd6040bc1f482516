#pragma once

// What made each block of the tape, and how it is worked again: the keys of the calculator
// typed through the calculator's own key routines, a VAT key applied at the rate it used, a
// margin or price-change computation worked by the margin window's own logic. The lines come out
// of the recorder, exactly as when the block was first written.

#include "calculator/engine.h"
#include "margin/margincalc.h"
#include "tape/recorder.h"
#include "tape/tape.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tape {

// The calculator between two keys: its state and its display.
struct EngineSnapshot
{
    calc::CalculatorState state;
    QString display;

    bool operator==(const EngineSnapshot &) const = default;
};

// One entry of a calculation: what wrote one block of lines.
struct Entry
{
    enum Kind : quint8
    {
        Key,         // a calculator key that wrote lines, after the keys that built its operand
        Vat,         // a VAT key, after the keys that built its amount
        RateSwitch,  // the switch to the other VAT rate
        Margin,      // "Calculer" of the margin calculator
        PriceChange, // "Calculer" of the price-change calculator
    };
    Kind kind = Key;
    qint32 id = 0; // stable within its calculation: lines name it, insertions never reuse one
    // Key and Vat: the keys typed since the last key that wrote lines, as text: digits, "." for
    // the decimal point, "+-*/" for an operator that only replaced the pending one, "%", "=",
    // "E" for the evaluation, "C" and "D" for the clear and Delete keys, and "[ 12.5]" for a
    // pasted operand with the display it gave.
    QString keys;
    // The operand on the display was keyed in full by those keys (so its line can be corrected).
    bool keyed = false;
    calc::KeyStroke::Key key = calc::KeyStroke::Ignored; // Key: the key that wrote the lines
    calc::Operation operation = calc::NoOperation;       // Key: its operation
    VatKind vat = VatKind::TTC;
    QString rate; // Vat: the rate the key used ("20", "5,5"); RateSwitch: the rate made active
    // Margin: the set-up and the first VAT rate; texts holds the six fields as typed.
    margin::MarginSetup setup;
    std::optional<double> firstRate;
    // PriceChange: "Hausse" rather than "Remise", the rate was given; texts holds the first and
    // second values and the rate as typed.
    bool increase = false;
    bool fixedRate = false;
    QStringList texts;
    QStringList former; // by input: the amount as first written, once corrected
    qint64 msecs = 0;   // when it was made
};

// The keyed text of the operand the entry's keys build ("12.50" from "12.50", "1234.56" from
// a paste): the digits after the last key that started a new operand.
QString keyedOperand(const Entry &entry);
// Replaces the operand of a Key or Vat entry by a number typed as a paste of it would be: the
// digits ("12.50"), with a leading "-" for a negative number.
void setOperand(Entry &entry, const QString &digits);

// Tags a Key or Vat entry's lines: each with the entry, and the first with the operand when the
// entry keyed it (and its former amount).
void tagKeyedLines(QList<Line> &lines, const Entry &entry);
// Works one entry on the calculator and returns its lines, tagged with the entry (calculation
// left to the caller). Key and Vat entries only.
QList<Line> replayOnCalculator(calc::CalculatorEngine &engine, const Entry &entry);
// Types the keys of an entry (those before the key that writes its lines).
void typeKeys(calc::CalculatorEngine &engine, QStringView keys);
// The key text of one key stroke, as Entry::keys holds it; the display after it for a paste.
QString keyText(const calc::KeyStroke &key, const QString &displayAfter);

// Works a margin computation from the numbers the calculator kept before it; numbers holds the
// numbers after it on return.
// ending: the ending the calculator raised selling prices to.
QList<Line> replayMargin(const Entry &entry, margin::MarginNumbers &numbers, QChar mark,
                         calc::PriceEnding ending = calc::PriceEnding::None);
// Works a price change.
QList<Line> replayPriceChange(const Entry &entry, QChar mark);
// A rate switch's line.
QList<Line> replayRateSwitch(const Entry &entry);

// The text of an entry and of a snapshot in a journal record, and back. Reading never fails
// on bad text: it gives nothing.
QString entryText(const Entry &entry);
std::optional<Entry> entryFromText(QStringView text);
QString snapshotText(const EngineSnapshot &snapshot);
std::optional<EngineSnapshot> snapshotFromText(QStringView text);
QString numbersText(const margin::MarginNumbers &numbers);
std::optional<margin::MarginNumbers> numbersFromText(QStringView text);

// Words of a record joined by blanks, each word with its blanks and "%" written %20 and %25.
QString joinWords(const QStringList &words);
QStringList splitWords(QStringView text);

} // namespace tape
