#pragma once

// A small key language for the calculator tests, so that a whole sequence fits in one table row.
//
//   "50"    the digit buttons 5 then 0          ","   the decimal button
//   "+" "-" "x" "/"  the operator buttons       "%"   the percentage button
//   "="     the equals button                   "C"   the clear button
//   "k5+"   the characters 5 and + typed        "Del" the Delete key
//   "1#200" the digit button 1, then the 0 button 200 times (numbers near the range of a double)

#include "calculator/engine.h"

#include <QString>
#include <QStringList>

namespace testkeys {

inline void press(calc::CalculatorEngine &e, const QString &token)
{
    using namespace calc;
    if (token == QLatin1String("Del"))
        return e.deleteKey();
    if (token.size() > 1 && token.front() == QLatin1Char('k')) {
        for (QChar c : token.mid(1))
            e.keyPress(c);
        return;
    }
    if (const qsizetype hash = token.indexOf(QLatin1Char('#')); hash > 0) {
        for (QChar c : token.left(hash))
            e.digit(c.digitValue());
        for (int i = token.mid(hash + 1).toInt(); i > 0; --i)
            e.digit(0);
        return;
    }
    if (token == QLatin1String(","))
        return e.decimalPoint();
    if (token == QLatin1String("C"))
        return e.clear();
    if (token == QLatin1String("+"))
        return e.operatorKey(Addition);
    if (token == QLatin1String("-"))
        return e.operatorKey(Subtraction);
    if (token == QLatin1String("x"))
        return e.operatorKey(Multiplication);
    if (token == QLatin1String("/"))
        return e.operatorKey(Division);
    if (token == QLatin1String("%"))
        return e.percent();
    if (token == QLatin1String("="))
        return e.equals();
    for (QChar c : token) {
        Q_ASSERT(c.isDigit());
        e.digit(c.digitValue());
    }
}

inline void press(calc::CalculatorEngine &e, const QStringList &tokens)
{
    for (const QString &token : tokens)
        press(e, token);
}

} // namespace testkeys
