#pragma once

// The real margin window, offscreen, beside a stand-in for the main window, with the helpers the
// window tests share: clicking and typing through the real widgets, and reading the role of a
// field or the state of a button.

#include "margin/Form2.h"

#include "calculator/numbertext.h"
#include "desk/desk.h"
#include "desktop/docking.h"
#include "vat/rate.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

inline const QStringList marginFields = {"TxtAchat",      "TxtVente", "TxtTauxMarge",
                                         "TxtTauxMarque", "TxtCoef",  "TxtMargeBrute"};

class Form2Fixture : public QObject
{
    Q_OBJECT

protected:
    void openWindow()
    {
        m_desk = std::make_unique<desk::Desk>(calc::regionalDecimalMark(),
                                              vat::RateFile::standard(), m_tapeFolder.path());
        m_desk->resumeRates({vat::Rate::fromNumber(19.6), QString()});
        m_main = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
        m_main->resize(219, 328);
        m_main->move(300, 200);
        m_form = std::make_unique<Form2>(m_main.get(), *m_desk);
        m_form->move(dock::marginWindowPlace(m_main->geometry()));
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    void closeWindow()
    {
        m_form.reset();
        m_main.reset();
        m_desk.reset();
    }

    template <typename T = QWidget> T *w(const QString &name) const
    {
        T *found = m_form->findChild<T *>(name);
        if (!found)
            qFatal("no element %s", qPrintable(name));
        return found;
    }
    QLineEdit *edit(const QString &name) const { return w<QLineEdit>(name); }
    void click(const QString &name) const
    {
        QWidget *target = w(name);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
    }
    // Clicks a field (which empties it), then types through the key filter.
    void type(const QString &name, const QString &keys) const
    {
        click(name);
        QTest::keyClicks(edit(name), keys);
    }

    // E: entry (shown, yellow, unlocked); R: result (shown, cyan, locked); H: hidden result.
    QString fieldLook(const QString &name) const
    {
        const QLineEdit *field = edit(name);
        const QRgb colour = field->palette().color(QPalette::Base).rgb() & 0xFFFFFF;
        const bool shown = !field->isHidden();
        if (shown && colour == 0xFFFFC0 && !field->isReadOnly())
            return QStringLiteral("E");
        if (colour == 0xC0FFFF && field->isReadOnly())
            return shown ? QStringLiteral("R") : QStringLiteral("H");
        return QStringLiteral("?");
    }
    // d: disabled, e: enabled, S: enabled and selected, x: disabled yet selected (never right).
    QString buttonState(const QString &name) const
    {
        const auto *button = w<QAbstractButton>(name);
        if (button->isChecked())
            return button->isEnabled() ? QStringLiteral("S") : QStringLiteral("x");
        return button->isEnabled() ? QStringLiteral("e") : QStringLiteral("d");
    }

    QTemporaryDir m_tapeFolder;
    std::unique_ptr<desk::Desk> m_desk;
    std::unique_ptr<QWidget> m_main;
    std::unique_ptr<Form2> m_form;
};
