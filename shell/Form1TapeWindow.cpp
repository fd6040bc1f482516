// The tape window ("Ruban") seen from the main window: Ctrl+R and the context menu open and close
// it. It is made the first time it opens, and the tape file is read then, so that neither costs
// the calculator's start-up anything.
#include "Form1.h"

#include "desk/desk.h"
#include "tapewindow/TapeWindow.h"

#include <QKeySequence>
#include <QShortcut>

void Form1::setUpTapeWindowKey()
{
    // Ctrl+R types no character, so the calculator's own keyboard never sees it (an "r" alone
    // stays a key the calculator ignores).
    auto *key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    key->setContext(Qt::WindowShortcut);
    connect(key, &QShortcut::activated, this, &Form1::toggleTapeWindow);
}

TapeWindow *Form1::tapeWindow() const
{
    return m_tapeWindow;
}

bool Form1::tapeWindowOpen() const
{
    return m_tapeWindow && m_tapeWindow->isVisible();
}

void Form1::toggleTapeWindow()
{
    if (tapeWindowOpen()) {
        m_tapeWindow->close();
        return;
    }
    if (!m_tapeWindow) {
        m_desk->openTape();
        // A window of its own (its own taskbar button): this window deletes it before the desk.
        m_tapeWindow = new TapeWindow(*m_desk, m_desk->tapeEditing());
        // An amount taken back from the tape is for the calculator's keys that follow.
        connect(m_tapeWindow, &TapeWindow::calculatorWanted, this, [this] {
            raise();
            activateWindow();
        });
        if (!m_tapeWindow->restorePlace())
            m_tapeWindow->dockLeftOf(frameGeometry());
    }
    m_tapeWindow->show();
    m_tapeWindow->raise();
    m_tapeWindow->activateWindow();
}
