#pragma once

// A calculator writing on a tape through the journal, as the program's desk does, with a key
// language for whole calculations in one table cell: calculator characters are typed ("12,5+7="),
// C and D are the clear and Delete keys, T H V d the TTC, HT, TVA and dont TVA keys.

#include "desk/journal.h"
#include "tape/tape.h"
#include "vat/vatkeys.h"

#include <QStringList>

struct JournalDesk
{
    explicit JournalDesk(const QString &folder) : tape(folder), journal(tape, QLatin1Char(','))
    {
        engine.setKeyListener(
            [this](const calc::KeyStroke &key, const calc::CalculatorState &b, const QString &shown,
                   const calc::CalculatorEngine &after) { journal.keyDone(key, b, shown, after); });
    }

    void type(const QString &keys, const QString &rate = QStringLiteral("20"))
    {
        const QString vatKeys = QStringLiteral("THVd");
        for (const QChar c : keys) {
            if (c == u'C') {
                engine.clear();
            } else if (c == u'D') {
                engine.deleteKey();
            } else if (const auto k = vatKeys.indexOf(c); k >= 0) {
                vat::VatStep step;
                if (vat::applyVatKey(engine, vat::VatKey(k), rate, &step))
                    journal.vatKeyDone(tape::VatKind(k), rate, step, engine);
            } else {
                engine.keyPress(c);
            }
        }
    }

    static QString text(const tape::Line &l)
    {
        return QStringList{l.label, l.amount, l.mark}.join(u' ').trimmed();
    }
    QStringList texts() const
    {
        QStringList out;
        for (const tape::Line &l : tape.lines())
            out << text(l);
        return out;
    }
    // The last row that reads so.
    qsizetype row(const QString &line) const { return texts().lastIndexOf(line); }

    tape::Tape tape;
    tape::Journal journal;
    calc::CalculatorEngine engine{QLatin1Char(',')};
};
