// The main window's navigation: the options and margin windows, minimising and quitting, and
// dragging the borderless window by its background with the margin window docked to it.
#include "Form1.h"

#include "desktop/docking.h"
#include "desktop/platform.h"
#include "margin/Form2.h"
#include "options/frmAbout.h"
#include "vat/vatkeys.h"

#include <QCoreApplication>
#include <QMouseEvent>

namespace {
// The other two windows have no owner (each has its own taskbar button), so nothing would
// delete them when the program ends: they go with the main window.
void deleteWith(QObject *mainWindow, QWidget *window)
{
    QObject::connect(mainWindow, &QObject::destroyed, window, [window] { delete window; });
}
} // namespace

void Form1::CmdOption_Click()
{
    // The options window destroys itself when it is closed; the next click makes a new one,
    // which fills its fields afresh.
    if (!m_about) {
        m_about = new frmAbout(m_rates);
        connect(m_about, &frmAbout::firstRateStored, this, [this](const QString &rateText) {
            setVatCaption(vat::storedRateCaption(rateText));
            makeFirstRateActive();
        });
        deleteWith(this, m_about);
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void Form1::CmdMarge_Click()
{
    if (!m_form2) {
        m_form2 = new Form2(this, m_rates);
        deleteWith(this, m_form2);
        m_form2->setPriceEnding(m_switches.priceEnding);
        connect(m_form2, &Form2::priceEndingChosen, this, &Form1::choosePriceEnding);
        recordMarginWindow();
    }
    // Every press shifts the main window, even when the margin window is already shown.
    move(x() + dock::openingShift(m_form2->width()), y());
    m_form2->move(dock::marginWindowPlace(geometry()));
    m_form2->show();
}

void Form1::CmdMinimise_Click()
{
    showMinimized();
    // Nothing shows them again when the main window is restored: only their buttons do.
    if (m_about && m_about->isVisible())
        m_about->hide();
    if (m_form2 && m_form2->isVisible())
        m_form2->hide();
}

void Form1::CmdQuitte_Click()
{
    // Ends the event loop at once: no window is asked to close, nothing is saved.
    QCoreApplication::exit(0);
}

// Form_MouseDown: a left press on the window's own background drags the window; presses on
// keys, fields and other elements are theirs.
void Form1::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !desktop::pressedOnBackground(this, event)) {
        QWidget::mousePressEvent(event);
        return;
    }
    desktop::makeTopmost(this);
    desktop::moveWithMouse(
        this, event, [this] { dockMarginWindow(); }, m_form2);
}

void Form1::dockMarginWindow()
{
    // The margin window is re-placed whether it is shown or hidden.
    if (m_form2)
        m_form2->move(dock::marginWindowPlace(geometry()));
}
