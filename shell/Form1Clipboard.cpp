// The main window's clipboard: the number on the display goes out in the form a spreadsheet under
// the same regional settings reads, and a price comes in as the operand, as if it had been keyed.
// The calculator's own keys are untouched: only the copy and paste shortcuts are taken here.
#include "Form1.h"
#include "ui_Form1.h"

#include "desk/desk.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

namespace {

enum class ClipboardKey
{
    None,
    Copy,
    Paste,
};

// The shortcuts every desktop program knows. Only these exact combinations: Ctrl+Shift+C and the
// like are left to whatever else wants them. The keypad's Insert (Num Lock off) counts too.
ClipboardKey clipboardKey(const QKeyEvent &key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    const int k = key.key();
    if (modifiers == Qt::ControlModifier && (k == Qt::Key_C || k == Qt::Key_Insert))
        return ClipboardKey::Copy;
    if ((modifiers == Qt::ControlModifier && k == Qt::Key_V) ||
        (modifiers == Qt::ShiftModifier && k == Qt::Key_Insert))
        return ClipboardKey::Paste;
    return ClipboardKey::None;
}

} // namespace

bool Form1::clipboardShortcut(const QKeyEvent *key)
{
    switch (clipboardKey(*key)) {
    case ClipboardKey::Copy:
        mnuCopier_Click();
        return true;
    case ClipboardKey::Paste:
        mnuColler_Click();
        return true;
    case ClipboardKey::None:
        break;
    }
    return false;
}

void Form1::mnuCopier_Click()
{
    // An empty display has nothing to give: the clipboard keeps what it held.
    const QString text = m_desk->copiedText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void Form1::mnuColler_Click()
{
    if (m_desk->pastePrice(QGuiApplication::clipboard()->text()))
        return;
    // Not one price: nothing changes, and the desktop says so the way it does for any refusal.
    QApplication::beep();
}

// A right-click on the window's background or on the display (which hands its own event up)
// opens the window's menu. The keys, frames and pictures keep their clicks to themselves.
void Form1::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() == QContextMenuEvent::Mouse) {
        const QWidget *under = childAt(event->pos());
        if (under && under != ui->Text1) {
            event->ignore();
            return;
        }
    }
    contextMenu()->popup(event->globalPos());
    event->accept();
}

// All the entries of the window's menu, in their order. Made on the first right-click, so that
// the start-up never pays for it; each entry is brought up to date just before the menu shows.
QMenu *Form1::contextMenu()
{
    if (m_contextMenu)
        return m_contextMenu;
    m_contextMenu = new QMenu(this);
    m_contextMenu->setObjectName(QStringLiteral("mnuContexte"));

    auto addEntry = [this](const char *name, const QString &text, QKeySequence keys,
                           void (Form1::*handler)()) {
        // The shortcut is only written beside the entry: the window's own key handling carries
        // it out wherever the focus is, which an action's shortcut could not do without taking
        // the same keys from the other windows' fields.
        QAction *action = m_contextMenu->addAction(
            text + QLatin1Char('\t') + keys.toString(QKeySequence::NativeText), this, handler);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    QAction *copier = addEntry("mnuCopier", QStringLiteral("Copier"),
                               QKeySequence(Qt::CTRL | Qt::Key_C), &Form1::mnuCopier_Click);
    QAction *coller = addEntry("mnuColler", QStringLiteral("Coller"),
                               QKeySequence(Qt::CTRL | Qt::Key_V), &Form1::mnuColler_Click);
    m_contextMenu->addSeparator();
    QAction *ruban = addEntry("mnuRuban", QStringLiteral("Ruban"),
                              QKeySequence(Qt::CTRL | Qt::Key_R), &Form1::toggleTapeWindow);
    ruban->setCheckable(true);
    m_contextMenu->addSeparator();
    addSwitchMenus(m_contextMenu);
    addRateMenu(m_contextMenu);

    // Greyed when they could do nothing: an empty display, a clipboard without one price. The
    // tape's entry is ticked while its window is open.
    connect(m_contextMenu, &QMenu::aboutToShow, this, [this, copier, coller, ruban] {
        copier->setEnabled(!m_desk->copiedText().isEmpty());
        coller->setEnabled(m_desk->canPaste(QGuiApplication::clipboard()->text()));
        ruban->setChecked(tapeWindowOpen());
    });
    return m_contextMenu;
}
