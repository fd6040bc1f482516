#pragma once

// What the tape window asks of whoever can correct the tape: a shopkeeper who finds a mistyped
// entry fixes it on the tape rather than keying the whole sum again, and any amount on it can go
// back to the calculator. The window only chooses lines and forwards what the user keyed; the
// desk answers, replays the calculations concerned and tells the tape to show them afresh
// (Tape::reset()). Lines are indexes in Tape::lines(). QtCore only.

#include <QString>

namespace tape {

// The operator an entry of a calculation is taken with.
enum class EntryOperator
{
    Add,
    Subtract,
    Multiply,
    Divide,
};

class TapeEditing
{
public:
    virtual ~TapeEditing() = default;

    // Empty when the line holds an amount the user keyed and may be corrected (an operand, the
    // amount a VAT key started from, a margin input, a price-change value); otherwise why not,
    // in French, for a tooltip ("a result is worked out again", "an old tape file"...).
    virtual QString whyNotCorrectable(int line) const = 0;
    // The amount as it was keyed ("12,50" stays "12,50"), for the editor.
    virtual QString keyedText(int line) const = 0;
    // The amount the line had before it was corrected; empty when it never was.
    virtual QString formerAmount(int line) const = 0;

    // The corrections. Amounts come as typed in the editor: digits with at most one decimal mark,
    // "," or ".". False when refused; then nothing changed.
    virtual bool replaceAmount(int line, const QString &text) = 0;
    virtual bool setOperator(int line, EntryOperator op) = 0;
    // Leaves the entry out of its calculation (an item left out of a sum).
    virtual bool removeEntry(int line) = 0;
    // A new entry just before the line's, in the same calculation.
    virtual bool insertBefore(int line, const QString &text, EntryOperator op) = 0;

    virtual bool canUndo() const = 0;
    virtual bool undo() = 0;
    virtual bool canRedo() const = 0;
    virtual bool redo() = 0;

    // Puts the amount of any amount line (a result, an operand, a VAT line, a margin value) on
    // the calculator as a keyed operand, exactly as a paste of it would; false when the line has
    // none.
    virtual bool takeBack(int line) = 0;
};

} // namespace tape
