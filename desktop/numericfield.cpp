#include "numericfield.h"

#include "calculator/numericfilter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

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
}

} // namespace numericfield
