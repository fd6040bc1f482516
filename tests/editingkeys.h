#pragma once

// The editing keys of a number field, sent as each window system sends them: X11 gives Delete
// the text "\x7f" and Backspace, Enter and Escape their control characters; synthetic events
// carry no text at all. The field must judge a key by what it is, not by its text. Shared by the
// tests of the windows that have number fields.

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

namespace editingkeys {

struct Key
{
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QString text;
};
using Keys = QList<Key>;

// Rows: keys pressed after "123" was typed into the empty field, and the text left.
inline void addRows()
{
    QTest::addColumn<Keys>("keys");
    QTest::addColumn<QString>("shown");

    const Key left{Qt::Key_Left, {}, {}};
    const Key home{Qt::Key_Home, {}, {}};
    const Key selectToEnd{Qt::Key_End, Qt::ShiftModifier, {}};
    const Key x11Delete{Qt::Key_Delete, {}, QStringLiteral("\x7f")};
    const Key bareDelete{Qt::Key_Delete, {}, {}};
    QTest::newRow("Delete as X11 sends it") << Keys{left, x11Delete} << "12";
    QTest::newRow("Delete without text") << Keys{left, bareDelete} << "12";
    QTest::newRow("all selected, Delete as X11 sends it")
        << Keys{home, selectToEnd, x11Delete} << "";
    QTest::newRow("Shift+Left selects, a digit replaces")
        << Keys{{Qt::Key_Left, Qt::ShiftModifier, {}}, {Qt::Key_9, {}, QStringLiteral("9")}}
        << "129";
    QTest::newRow("Backspace, Enter, Escape discarded, with and without text")
        << Keys{{Qt::Key_Backspace, {}, QStringLiteral("\b")},
                {Qt::Key_Backspace, {}, {}},
                {Qt::Key_Return, {}, QStringLiteral("\r")},
                {Qt::Key_Enter, {}, {}},
                {Qt::Key_Escape, {}, QStringLiteral("\x1b")}}
        << "123";
    QTest::newRow("cut shortcut's control character discarded")
        << Keys{home, selectToEnd, {Qt::Key_X, Qt::ControlModifier, QStringLiteral("\x18")}}
        << "123";
}

// The field's text after "123" and the keys.
inline QString afterKeys(QLineEdit *field, const Keys &keys)
{
    field->setFocus();
    field->clear();
    QTest::keyClicks(field, QStringLiteral("123"));
    for (const Key &k : keys) {
        QKeyEvent press(QEvent::KeyPress, k.key, k.modifiers, k.text);
        QApplication::sendEvent(field, &press);
        QKeyEvent release(QEvent::KeyRelease, k.key, k.modifiers, k.text);
        QApplication::sendEvent(field, &release);
    }
    return field->text();
}

} // namespace editingkeys

Q_DECLARE_METATYPE(editingkeys::Keys)
