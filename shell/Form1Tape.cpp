// The tape side of the main window: every key, VAT key, rate switch and margin-window
// computation is written on the tape as it happens. The tape only observes: nothing here
// changes what the calculator does or shows.
#include "Form1.h"

#include "margin/Form2.h"
#include "tape/localtime.h"
#include "tape/recorder.h"
#include "tape/tape.h"
#include "vat/vatkeys.h"

tape::Tape &Form1::tape()
{
    return *m_tape;
}

void Form1::startTape()
{
    // Cheap: the tape opens its file at its first line, long after the window is shown.
    m_tape = std::make_unique<tape::Tape>();
    m_engine.setKeyListener([this](const calc::KeyStroke &key, const calc::CalculatorState &before,
                                   const QString &displayBefore,
                                   const calc::CalculatorEngine &after) {
        recordOnTape(tape::keyLines(key, before, displayBefore, after));
    });
}

void Form1::recordOnTape(QList<tape::Line> lines)
{
    if (lines.isEmpty())
        return;
    // One time for the whole block: a calculation is written at one moment.
    const QDateTime now = tape::localNow();
    for (tape::Line &line : lines)
        line.time = now;
    m_tape->append(lines);
}

void Form1::recordVatKey(tape::VatKind kind, const vat::VatStep &step)
{
    recordOnTape(tape::vatLines({kind, step.display, step.amount, TauxTVA, step.resultText},
                                m_engine.regionalMark(),
                                calc::fixedDecimals(m_engine.switches().decimals)));
}

void Form1::recordMarginWindow()
{
    const QChar mark = m_engine.regionalMark();
    connect(m_form2, &Form2::marginCalculated, this,
            [this, mark](const QList<margin::ShownQuantity> &quantities) {
                QList<tape::Shown> shown;
                for (const margin::ShownQuantity &q : quantities)
                    shown.append(
                        {q.caption, q.text, q.rate ? QStringLiteral("%") : QString(), q.computed});
                recordOnTape(tape::shownLines(shown, mark));
            });
    connect(
        m_form2, &Form2::priceChangeCalculated, this,
        [this, mark](bool increase, bool fixedRate, const QString &first, const QString &second,
                     const QString &rate) {
            recordOnTape(tape::priceChangeLines({increase, fixedRate, first, second, rate}, mark));
        });
}
