#include "engine.h"

#include "numbertext.h"

namespace calc {

namespace {

// A snapshot of everything a key can change, taken before the key acts.
struct Snapshot
{
    CalculatorState state;
    QString display;
    bool entryPasted = false;
};

bool showable(const std::optional<double> &value)
{
    return isShowable(value.value_or(0.0));
}

// True when a value that could be shown before the key can no longer be shown after it.
bool broke(const std::optional<double> &before, const std::optional<double> &after)
{
    return showable(before) && !showable(after);
}

// The keys the keyboard presses besides the digits. A typed character is looked up here once:
// the key it presses is both what runs and what the listener is told.
struct TypedKey
{
    char16_t character;
    KeyStroke::Key key;
    Operation operation;
};
constexpr TypedKey typedKeys[] = {
    {u',', KeyStroke::DecimalPoint, NoOperation}, {u'.', KeyStroke::DecimalPoint, NoOperation},
    {u'/', KeyStroke::Operator, Division},        {u'*', KeyStroke::Operator, Multiplication},
    {u'+', KeyStroke::Operator, Addition},        {u'-', KeyStroke::Operator, Subtraction},
    {u'%', KeyStroke::Percent, NoOperation},      {u'=', KeyStroke::Equals, NoOperation},
};

// The key a typed character presses.
KeyStroke typedKey(QChar key)
{
    const char16_t c = key.unicode();
    if (c >= u'0' && c <= u'9')
        return {KeyStroke::Digit, NoOperation, true};
    for (const TypedKey &typed : typedKeys) {
        if (typed.character == c)
            return {typed.key, typed.operation, true};
    }
    return {KeyStroke::Ignored, NoOperation, true};
}

} // namespace

CalculatorEngine::CalculatorEngine(QChar regionalMark) : m_mark(regionalMark) {}

CalculatorEngine::CalculatorEngine(QChar regionalMark, const CalculatorState &state,
                                   const QString &display)
    : CalculatorState(state), m_mark(regionalMark), m_display(display)
{
}

void CalculatorEngine::setDisplay(const QString &text)
{
    if (text == m_display)
        return;
    m_display = text;
    // Whatever empties the display makes room for a new decimal point.
    if (m_display.isEmpty())
        virg = true;
}

double CalculatorEngine::displayValue() const
{
    return readDisplayNumber(m_display, m_mark);
}

template <typename Routine> void CalculatorEngine::guarded(KeyStroke key, Routine routine)
{
    const Snapshot before{*this, m_display, m_entryPasted};
    m_operandDisplay = m_display;
    routine();
    // The display is read again only when the key changed it: reading a long number is the
    // costly part, and most keys leave the display alone.
    const bool displayBroke = m_display != before.display && !isShowable(displayValue()) &&
                              isShowable(readDisplayNumber(before.display, m_mark));
    const bool failed = displayBroke || broke(before.state.N1, N1) || broke(before.state.N2, N2) ||
                        broke(before.state.N3, N3) || broke(before.state.Pourcent, Pourcent);
    if (failed) {
        static_cast<CalculatorState &>(*this) = before.state;
        m_display = before.display;
        m_operandDisplay = before.display;
        m_entryPasted = before.entryPasted;
    }
    if (m_listener)
        m_listener(key, before.state, before.display, *this);
}

// --- Number entry ---------------------------------------------------------------------------

void CalculatorEngine::digit(int k)
{
    guarded({KeyStroke::Digit}, [&] { digitRoutine(k); });
}

void CalculatorEngine::digitRoutine(int k)
{
    if (k < 0 || k > 9)
        return;
    ok = true;
    ClicTva = -1;
    if (TF != 0) {
        setDisplay(plainNumberText(k));
        TF = 0;
        m_entryPasted = false;
    } else {
        setDisplay(m_display + QChar(char16_t(u'0' + k)));
    }
}

void CalculatorEngine::decimalPoint()
{
    guarded({KeyStroke::DecimalPoint}, [&] { decimalPointRoutine(); });
}

void CalculatorEngine::decimalPointRoutine()
{
    // A new number cannot begin with the point: "0", "," is how a fraction is keyed.
    if (virg && TF == 0) {
        setDisplay(m_display + QLatin1Char('.'));
        virg = false;
    }
}

void CalculatorEngine::clear()
{
    guarded({KeyStroke::Clear}, [&] {
        // The pending operation survives; it goes on with 0 as its first operand.
        setDisplay(QString());
        N1 = 0.0;
        ok = false;
        m_entryPasted = false;
    });
}

// --- Operations -----------------------------------------------------------------------------

void CalculatorEngine::operatorKey(Operation o)
{
    guarded({KeyStroke::Operator, o}, [&] { operatorRoutine(o); });
}

void CalculatorEngine::operatorRoutine(Operation o)
{
    const std::uint8_t pending = Signe;
    // Pressed without a new operand, an operator only replaces the pending one.
    Signe = o;
    if (!ok)
        return;
    ++Compteur;
    const bool keyed = TF == 0;
    virg = true;
    TF = 1;
    if (Compteur == 1) {
        N1 = takeOperand(o == Addition || o == Subtraction, keyed);
    } else if (Compteur >= 2) {
        // The chained step carries out what was pending, exactly as equals would, so that
        // "6 + 2 x" shows 8 and a pending percentage is not lost; the new key's operation
        // then waits for the next operand.
        Signe = pending;
        N1 = evaluateRoutine(keyed);
        Signe = o;
        Compteur = 1;
    }
    ok = false;
}

void CalculatorEngine::percent()
{
    guarded({KeyStroke::Percent}, [&] { percentRoutine(); });
}

void CalculatorEngine::percentRoutine()
{
    virg = true;
    Pourcent = displayValue();
    TF = 1;
    if (Signe == Addition) {
        setDisplay(regionalNumberText(N1, m_mark) + QStringLiteral(" + ") +
                   regionalNumberText(Pourcent, m_mark) + QStringLiteral(" %"));
    } else if (Signe == Subtraction) {
        setDisplay(regionalNumberText(N1, m_mark) + QStringLiteral(" - ") +
                   regionalNumberText(Pourcent, m_mark) + QStringLiteral(" %"));
        Pourcent = -Pourcent;
    }
    Signe = Percentage;
}

void CalculatorEngine::equals()
{
    guarded({KeyStroke::Equals}, [&] { equalsRoutine(); });
}

void CalculatorEngine::equalsRoutine()
{
    if (!ok)
        return;
    evaluateRoutine(TF == 0);
    TF = 1;
    virg = true;
    Compteur = 0;
}

void CalculatorEngine::evaluatePending()
{
    guarded({KeyStroke::Evaluate}, [&] { evaluateRoutine(TF == 0); });
}

double CalculatorEngine::takeOperand(bool intoSum, bool keyedOperand)
{
    const double value = displayValue();
    if (!intoSum || m_switches.decimals != Decimals::Add2 || !keyedOperand || m_entryPasted ||
        m_display.isEmpty() || m_display.contains(QLatin1Char('.')))
        return value;
    const double cents = value / 100.0;
    setDisplay(plainFixedText(cents, 2));
    m_operandDisplay = m_display;
    return cents;
}

double CalculatorEngine::showResult(double value)
{
    if (const std::optional<int> n = fixedDecimals(m_switches.decimals)) {
        value = roundToDecimals(value, *n, m_switches.rounding);
        setDisplay(plainFixedText(value, *n));
    } else {
        setDisplay(plainNumberText(value));
    }
    return value;
}

double CalculatorEngine::evaluateRoutine(bool keyedOperand)
{
    const double second = takeOperand(Signe == Addition || Signe == Subtraction, keyedOperand);
    N2 = second;
    const double first = N1.value_or(0.0);
    switch (Signe) {
    case Division:
        N3 = second != 0.0 ? first / second : 0.0;
        break;
    case Multiplication:
        N3 = first * second;
        break;
    case Addition:
        N3 = first + second;
        break;
    case Subtraction:
        N3 = first - second;
        break;
    case Percentage: {
        N2 = Pourcent;
        const std::optional<int> n = fixedDecimals(m_switches.decimals);
        if (first == 0.0) {
            setDisplay(n ? regionalFixedText(0.0, *n, m_mark) : QStringLiteral("0"));
            return 0.0;
        }
        N3 = first + Pourcent * (first / 100.0);
        if (n) {
            // With fixed decimals the rounded result is the one carried on.
            N3 = roundToDecimals(*N3, *n, m_switches.rounding);
            setDisplay(regionalFixedText(*N3, *n, m_mark));
            return *N3;
        }
        const double shown = roundToCents(*N3);
        setDisplay(regionalNumberText(shown, m_mark));
        return shown;
    }
    default:
        // Nothing pending: the display keeps its number.
        return second;
    }
    N3 = showResult(*N3);
    return *N3;
}

// --- Keyboard -------------------------------------------------------------------------------

void CalculatorEngine::keyPress(QChar key)
{
    const KeyStroke stroke = typedKey(key);
    guarded(stroke, [&] { keyPressRoutine(stroke, key); });
}

void CalculatorEngine::keyPressRoutine(const KeyStroke &stroke, QChar key)
{
    // Typed keys press the very same keys as the mouse does; anything else is ignored.
    switch (stroke.key) {
    case KeyStroke::Digit:
        digitRoutine(key.unicode() - u'0');
        break;
    case KeyStroke::DecimalPoint:
        decimalPointRoutine();
        break;
    case KeyStroke::Operator:
        operatorRoutine(stroke.operation);
        break;
    case KeyStroke::Percent:
        percentRoutine();
        break;
    case KeyStroke::Equals:
        equalsRoutine();
        break;
    default:
        break;
    }
}

void CalculatorEngine::deleteKey()
{
    guarded({KeyStroke::Delete}, [&] {
        // Unlike the clear button, the Delete key leaves the operand flag alone.
        setDisplay(QString());
        N1 = 0.0;
        m_entryPasted = false;
    });
}

// --- Start-up and VAT results ---------------------------------------------------------------

void CalculatorEngine::startUp()
{
    virg = true;
    ok = false;
    TF = 1;
    ClicTva = 0;
}

void CalculatorEngine::showVatResult(const QString &text)
{
    setDisplay(text);
    N1 = 0.0;
    N2 = 0.0;
    N3 = 0.0;
    TF = 1;
    virg = true;
    Compteur = 0;
    ClicTva = 0;
}

// --- Clipboard ------------------------------------------------------------------------------

bool CalculatorEngine::pasteOperand(const PastedPrice &price)
{
    const QString keyed = price.keyedText();
    guarded({KeyStroke::Paste}, [&] {
        ok = true;
        ClicTva = -1;
        setDisplay(keyed);
        TF = 0;
        virg = !price.digits.contains(QLatin1Char('.'));
        m_entryPasted = true;
    });
    return m_display == keyed;
}

QString CalculatorEngine::copiedText() const
{
    const QString text = copiedNumberText(m_display, m_mark);
    // A number being keyed is copied as keyed: in the adding mode, 1234 is not yet 12,34.
    const std::optional<int> decimals = fixedDecimals(m_switches.decimals);
    return decimals && TF != 0 ? padDecimals(text, *decimals, m_mark) : text;
}

} // namespace calc
