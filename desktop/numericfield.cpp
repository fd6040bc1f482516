#include "numericfield.h"

#include "calculator/numbertext.h"
#include "calculator/numericfilter.h"
#include "calculator/pricereader.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>

#include <algorithm>

namespace numericfield {

namespace {

// The character a key types, judged by the key rather than by its text: X11 gives Delete the
// text "\x7f", yet Delete types nothing and must keep editing the field. Backspace, Enter and
// Escape type their control characters even when an event carries no text, so the handler
// discards them the same way whatever sent the event. Null: the key types nothing.
QChar typedCharacter(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Backspace:
        return QChar(u'\b');
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(u'\r');
    case Qt::Key_Escape:
        return QChar(u'\x1b');
    default:
        break;
    }
    // The other keys beyond the character range (Delete, arrows, Home, End, function keys) type
    // nothing, whatever text they carry.
    if (event.key() >= Qt::Key_Escape && event.key() != Qt::Key_unknown)
        return {};
    const QString text = event.text();
    return text.size() == 1 ? text.front() : QChar();
}

class KeyFilter : public QObject
{
public:
    KeyFilter(QLineEdit *field, KeyPressHandler handler)
        : QObject(field), m_field(field), m_handler(std::move(handler))
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_field || event->type() != QEvent::KeyPress)
            return false;
        const auto *keyEvent = static_cast<QKeyEvent *>(event);
        // Tab and Shift+Tab move the focus before any key handler sees them.
        if (keyEvent->key() == Qt::Key_Tab || keyEvent->key() == Qt::Key_Backtab)
            return false;
        const QChar typed = typedCharacter(*keyEvent);
        // Keys without a character (Delete, arrows, Home, End) keep their usual effect.
        if (typed.isNull())
            return false;
        QChar key = typed;
        m_handler(key);
        if (key.isNull())
            return true; // discarded: the field receives nothing
        if (key != typed) {
            if (!m_field->isReadOnly())
                m_field->insert(QString(key));
            return true;
        }
        return false;
    }

private:
    QLineEdit *m_field;
    KeyPressHandler m_handler;
};

// Prices pasted into a number field are read as one price ("1.234,56" is 1234.56), not filtered
// character by character, which would make 1.234 of it. The fields take no sign. A paste is a
// whole entry: it replaces the field's text. The field's own menu stays (undo, cut, select all);
// its "Copier" copies the whole number, selected or not.
class PriceClipboard : public QObject
{
public:
    explicit PriceClipboard(QLineEdit *field) : QObject(field), m_field(field)
    {
        field->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(field, &QWidget::customContextMenuRequested, this, &PriceClipboard::showMenu);
        field->installEventFilter(this);
    }

    // Shift+Insert pastes through the reader too. Ctrl+V types a control character, which the
    // field's key filter discards.
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<const QKeyEvent *>(event);
        if (key->key() != Qt::Key_Insert ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::ShiftModifier)
            return false;
        paste();
        return true;
    }

private:
    std::optional<calc::PastedPrice> clipboardPrice() const
    {
        return calc::readPastedPrice(QGuiApplication::clipboard()->text(),
                                     calc::regionalDecimalMark(), calc::PriceSign::Refused);
    }

    void paste()
    {
        if (m_field->isReadOnly())
            return;
        const auto price = clipboardPrice();
        if (!price) {
            QApplication::beep();
            return;
        }
        m_field->selectAll();
        m_field->insert(price->digits); // one step of the field's undo
    }

    // The field's menu names its entries only by their translated texts, each followed by the
    // entry's shortcut written the way the desktop writes it; that shortcut tells them apart.
    static bool isEntryOf(const QAction *action, QKeySequence::StandardKey key)
    {
        const QString keys = QKeySequence(key).toString(QKeySequence::NativeText);
        return !keys.isEmpty() && action->text().endsWith(QLatin1Char('\t') + keys);
    }

    void showMenu(QPoint pos)
    {
        QMenu *menu = m_field->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        for (QAction *action : menu->actions()) {
            if (isEntryOf(action, QKeySequence::Copy)) {
                disconnect(action, &QAction::triggered, nullptr, nullptr);
                action->setEnabled(!m_field->text().isEmpty());
                connect(action, &QAction::triggered, this,
                        [this] { QGuiApplication::clipboard()->setText(m_field->text()); });
            } else if (isEntryOf(action, QKeySequence::Paste)) {
                disconnect(action, &QAction::triggered, nullptr, nullptr);
                action->setEnabled(!m_field->isReadOnly() && clipboardPrice().has_value());
                connect(action, &QAction::triggered, this, &PriceClipboard::paste);
            }
        }
        menu->popup(m_field->mapToGlobal(pos));
    }

    QLineEdit *m_field;
};

} // namespace

void install(QLineEdit *field, KeyPressHandler keyPress)
{
    // Text that reaches the field without a typed character (a paste from the context menu or
    // with Shift+Insert) is filtered once it is in. textEdited only follows the user's edits, so
    // what the program itself writes ("119,6", "   NON   ") is left alone.
    QObject::connect(field, &QLineEdit::textEdited, field, [field](const QString &text) {
        const QString kept = calc::filterNumericText(text);
        if (kept == text)
            return;
        const int removed = int(text.size() - kept.size());
        const int cursor = std::clamp(field->cursorPosition() - removed, 0, int(kept.size()));
        field->setText(kept);
        field->setCursorPosition(cursor);
    });
    field->installEventFilter(new KeyFilter(field, std::move(keyPress)));
    new PriceClipboard(field);
}

} // namespace numericfield
