#include "tapewindow/amounteditor.h"

#include "calculator/numbertext.h"
#include "calculator/numericfilter.h"
#include "calculator/pricereader.h"
#include "desktop/numericfield.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

namespace tapewindow {

std::optional<tape::EntryOperator> typedOperator(QChar key)
{
    switch (key.unicode()) {
    case u'+':
        return tape::EntryOperator::Add;
    case u'-':
    case u'\u2212':
        return tape::EntryOperator::Subtract;
    case u'*':
    case u'x':
    case u'X':
    case u'\u00D7':
        return tape::EntryOperator::Multiply;
    case u'/':
    case u'\u00F7':
        return tape::EntryOperator::Divide;
    default:
        return std::nullopt;
    }
}

QString operatorMark(tape::EntryOperator op)
{
    switch (op) {
    case tape::EntryOperator::Add:
        return QStringLiteral("+");
    case tape::EntryOperator::Subtract:
        return QStringLiteral("-");
    case tape::EntryOperator::Multiply:
        return QStringLiteral("×");
    case tape::EntryOperator::Divide:
        return QStringLiteral("÷");
    }
    return {};
}

AmountEditor::AmountEditor(QWidget *parent) : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setAcceptDrops(false);
    // The program's number field: its key filter, its price paste from the menu and
    // Shift+Insert, and its filter of anything else that arrives.
    numericfield::install(this, [this](QChar &key) { keyTyped(key); });
    // Installed last, so seen first: Ctrl+V pastes a price here, as the calculator's does.
    installEventFilter(this);
}

void AmountEditor::keyTyped(QChar &key)
{
    if (const auto op = typedOperator(key)) {
        key = QChar();
        emit operatorTyped(*op);
        return;
    }
    // Backspace corrects what is being typed; Enter and Escape belong to the list's editing.
    if (key == u'\b' || key == u'\r' || key == u'\x1b')
        return;
    key = calc::filterNumericKey(key);
    if (key != u'.')
        return;
    // One decimal mark, as on the calculator: a second one is ignored, unless it replaces the
    // first.
    QString kept = text();
    if (hasSelectedText())
        kept.remove(selectionStart(), selectedText().size());
    if (kept.contains(u'.') || kept.contains(u','))
        key = QChar();
}

bool AmountEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Paste)) {
        pastePrice();
        return true;
    }
    return QLineEdit::eventFilter(watched, event);
}

// As the program's number fields read a paste: one price or nothing, never the leading number
// of a longer text. An entry takes no sign: "-" is an operator here.
void AmountEditor::pastePrice()
{
    const auto price = calc::readPastedPrice(QGuiApplication::clipboard()->text(),
                                             calc::regionalDecimalMark(), calc::PriceSign::Refused);
    if (!price) {
        QApplication::beep();
        return;
    }
    selectAll();
    insert(price->digits);
}

} // namespace tapewindow
