// The tape window ("Ruban") seen from the main window: Ctrl+R and the context menu open and close
// it. It is made the first time it opens, and the tape file is read then, so that neither costs
// the calculator's start-up anything.
#include "Form1.h"

#include "tape/TapeWindow.h"
#include "tape/tape.h"

#include <QKeySequence>
#include <QShortcut>
#include <QTimer>

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
    bool dock = false;
    if (!m_tapeWindow) {
        tape().load();
        m_tapeWindow = new TapeWindow(tape());
        // A window of its own (its own taskbar button), so nothing would delete it: it goes with
        // the tape it shows, which goes with this window.
        connect(&tape(), &QObject::destroyed, m_tapeWindow, [w = m_tapeWindow.data()] { delete w; });
        dock = !m_tapeWindow->restorePlace();
        if (dock)
            m_tapeWindow->dockLeftOf(frameGeometry());
    }
    m_tapeWindow->show();
    m_tapeWindow->raise();
    m_tapeWindow->activateWindow();
    if (dock) {
        // The desktop frames the window once it is shown; dock it again, frame included.
        QTimer::singleShot(0, m_tapeWindow, [this] {
            if (m_tapeWindow)
                m_tapeWindow->dockLeftOf(frameGeometry());
        });
    }
}
