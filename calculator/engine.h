#pragma once

// The pocket calculator of the main window, without any window: its state, its display text and
// the routine of every key. The window only forwards clicks and key presses and shows display().

#include "pricereader.h"
#include "switches.h"

#include <QChar>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace calc {

// Pending operation codes held in Signe.
enum Operation : std::uint8_t
{
    NoOperation = 0,
    Division = 1,
    Multiplication = 2,
    Addition = 3,
    Subtraction = 4,
    Percentage = 5,
};

// What the calculator remembers between two key presses. The names are the ones the shop's
// calculator has always used; the display text is the only store of the number being keyed.
struct CalculatorState
{
    std::optional<double> N1; // first operand; after a chained operation, the running result
    std::optional<double> N2; // second operand (the display when an operation is carried out)
    std::optional<double> N3; // result of the last operation
    double Pourcent = 0.0;    // operand of the percentage key, negative to subtract
    std::uint8_t Signe = NoOperation; // pending operation
    std::uint8_t TF = 1;              // 1: the next digit starts a new number
    bool virg = true;                 // a decimal point may still be added
    bool ok = false;                  // an operand was keyed since the last operator or clear
    std::int16_t ClicTva = 0;         // -1: a key was used since the last VAT key acted
    std::int16_t Compteur = 0;        // operands collected by the operator buttons (0 or 1)

    bool operator==(const CalculatorState &) const = default;
};

// Which key was pressed, as the engine understood it (a typed character is the key it presses).
struct KeyStroke
{
    enum Key : std::uint8_t
    {
        Ignored, // a typed character that is no key
        Digit,
        DecimalPoint,
        Clear,
        Operator,
        Percent,
        Equals,
        Evaluate, // evaluatePending()
        Delete,
        Paste, // a price pasted as the operand
    };
    Key key = Ignored;
    Operation operation = NoOperation; // the operator key's operation
    bool typed = false;                // from the keyboard rather than a button
};

class CalculatorEngine;
// Told after every key what it was and what the calculator was before it; the engine passed
// is the calculator after it. A listener only observes: it must not change the engine.
using KeyListener =
    std::function<void(const KeyStroke &key, const CalculatorState &before,
                       const QString &displayBefore, const CalculatorEngine &after)>;

// The state is a private base: the key routines read as the calculator's own rules, in the names
// of its state, while nothing outside the engine can change that state except through the
// operations below.
class CalculatorEngine : private CalculatorState
{
public:
    explicit CalculatorEngine(QChar regionalMark = QLatin1Char(','));
    // Resumes a calculator in the given state with the given display (a calculation saved
    // earlier, or one a test sets up).
    CalculatorEngine(QChar regionalMark, const CalculatorState &state, const QString &display);

    const CalculatorState &state() const { return *this; }
    QChar regionalMark() const { return m_mark; }
    const QString &display() const { return m_display; }
    // Replaces the display text; an empty display makes the decimal point available again.
    void setDisplay(const QString &text);
    // Reads the display with the display reader.
    double displayValue() const;

    // On-screen buttons.
    void digit(int k);             // C0 .. C9
    void decimalPoint();           // virgule
    void clear();                  // efface
    void operatorKey(Operation o); // Div, Multi, plus, moins
    void percent();                // CmdPourCent
    void equals();                 // egal
    // The evaluation of the pending operation, shared by equals and the "=" key.
    void evaluatePending();

    // Keyboard: a typed character presses the same key as the mouse would (digits, "," and ".",
    // "+", "-", "*", "/", "%", "="); any other character changes nothing. The Delete key empties
    // the display and sets N1 to 0.
    void keyPress(QChar key);
    void deleteKey();

    // The window's start-up: the next digit starts a new number, which may take a decimal point,
    // no operand has been keyed and no key has been used for the VAT keys yet.
    void startUp();

    // Shows the result of a VAT key, which ends the pending calculation: the operands become 0,
    // the next digit starts a new number that may take a decimal point, and the VAT keys wait for
    // another key.
    void showVatResult(const QString &text);

    // A price pasted from the clipboard becomes the operand on the display, exactly as if it had
    // been keyed from scratch: it replaces a number being keyed, and later digits extend it.
    // Returns false, changing nothing, when the number cannot be shown.
    bool pasteOperand(const PastedPrice &price);

    // The decimals and rounding switches (the price ending is the margin window's). At their
    // defaults, "F" and "5/4", every key works exactly as it always has.
    void setSwitches(const Switches &switches) { m_switches = switches; }
    const Switches &switches() const { return m_switches; }
    // The display as the last key took its operand from it: the display before the key, except
    // where the adding mode read a keyed number in cents and showed it so (" 12.34").
    const QString &operandDisplay() const { return m_operandDisplay; }

    // The number on the display as the copy gives it (see copiedNumberText()); a result shows its
    // fixed decimals in full ("120,00").
    QString copiedText() const;

    // One listener at most (the tape); an empty function removes it.
    void setKeyListener(KeyListener listener) { m_listener = std::move(listener); }

private:
    // The routines behind the public keys. They call one another freely; only the public entry
    // points are guarded against results that cannot be shown.
    void digitRoutine(int k);
    void decimalPointRoutine();
    void operatorRoutine(Operation o);
    void percentRoutine();
    void equalsRoutine();
    void keyPressRoutine(const KeyStroke &stroke, QChar key);
    // Runs the pending operation and returns the value it leaves on the display. keyedOperand:
    // the display holds a number being keyed (which the adding mode may read in cents).
    double evaluateRoutine(bool keyedOperand);
    // The operand on the display as an operator or equals takes it. In the adding mode a number
    // keyed without a decimal mark into a sum is in cents, and the display shows it so.
    double takeOperand(bool intoSum, bool keyedOperand);
    // Shows a result of the four operations, rounded first when results carry fixed decimals;
    // returns the value shown.
    double showResult(double value);

    // Runs one key's routine. A key whose operand or result is not a finite number (an overflow,
    // or a keyed number too long for a double) leaves the display and the whole state exactly as
    // they were, so nothing that is not a number is ever shown and the calculator goes on.
    template <typename Routine> void guarded(KeyStroke key, Routine routine);

    QChar m_mark;
    QString m_display;
    KeyListener m_listener;
    Switches m_switches;
    QString m_operandDisplay;
    bool m_entryPasted = false; // the number on the display came from the clipboard
};

} // namespace calc
