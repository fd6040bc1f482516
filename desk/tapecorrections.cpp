#include "desk/tapecorrections.h"

#include "desk/desk.h"

namespace desk {

namespace {

calc::Operation operation(tape::EntryOperator op)
{
    switch (op) {
    case tape::EntryOperator::Add:
        return calc::Addition;
    case tape::EntryOperator::Subtract:
        return calc::Subtraction;
    case tape::EntryOperator::Multiply:
        return calc::Multiplication;
    case tape::EntryOperator::Divide:
        return calc::Division;
    }
    return calc::Addition;
}

} // namespace

QString TapeCorrections::whyNotCorrectable(int line) const
{
    return m_desk.m_journal.refusal(line);
}

QString TapeCorrections::keyedText(int line) const
{
    return m_desk.m_journal.keyedText(line);
}

QString TapeCorrections::formerAmount(int line) const
{
    // Asked for every row painted: the line carries it.
    const QList<tape::Line> &lines = m_desk.m_tape.lines();
    return line >= 0 && line < lines.size() ? lines[line].former : QString();
}

bool TapeCorrections::replaceAmount(int line, const QString &text)
{
    return corrected(m_desk.m_journal.correctAmount(line, text).done);
}

bool TapeCorrections::setOperator(int line, tape::EntryOperator op)
{
    return corrected(m_desk.m_journal.changeOperator(line, operation(op)).done);
}

bool TapeCorrections::removeEntry(int line)
{
    return corrected(m_desk.m_journal.removeEntry(line).done);
}

bool TapeCorrections::insertBefore(int line, const QString &text, tape::EntryOperator op)
{
    return corrected(m_desk.m_journal.insertEntry(line, text, operation(op)).done);
}

bool TapeCorrections::canUndo() const
{
    return m_desk.m_journal.canUndo();
}

bool TapeCorrections::undo()
{
    return corrected(m_desk.m_journal.undo().done);
}

bool TapeCorrections::canRedo() const
{
    return m_desk.m_journal.canRedo();
}

bool TapeCorrections::redo()
{
    return corrected(m_desk.m_journal.redo().done);
}

bool TapeCorrections::corrected(bool done)
{
    // The calculator's own calculation was worked again: its display shows the new result, and a
    // pending operation goes on from the corrected value.
    if (done && m_desk.m_journal.calculatorAfterCorrection())
        m_desk.resumeCalculator(*m_desk.m_journal.calculatorAfterCorrection());
    return done;
}

bool TapeCorrections::takeBack(int line)
{
    const QList<tape::Line> &lines = m_desk.m_tape.lines();
    if (line < 0 || line >= lines.size() || lines[line].amount.isEmpty())
        return false;
    // Exactly what a paste of the amount does.
    return m_desk.pastePrice(lines[line].amount);
}

} // namespace desk
