// The switches' menus on the real windows: each choice shows on the display's annunciator and in
// its accessible description, applies to the next key, and is there again at the next start.

#include "shell/Form1.h"

#include "calculator/switchsettings.h"
#include "margin/Form2.h"

#include "headless.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QTest>

#include <memory>

class TestSwitchMenus : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1> m_window;

    void start()
    {
        m_window = std::make_unique<Form1>();
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    template <typename T = QWidget> T *element(const char *name) const
    {
        T *found = m_window->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no element %s", name);
        return found;
    }
    QLineEdit *display() const { return element<QLineEdit>("Text1"); }
    QLabel *annunciator() const
    {
        auto *label = display()->findChild<QLabel *>(QStringLiteral("Annonciateur"));
        return label && label->isVisible() ? label : nullptr;
    }
    void click(const QStringList &names) const
    {
        for (const QString &name : names)
            QTest::mouseClick(element<QAbstractButton>(name.toLatin1().constData()),
                              Qt::LeftButton);
    }
    static void rightClick(QWidget *window, QPoint at)
    {
        QTest::mouseClick(window->windowHandle(), Qt::RightButton, {}, at);
    }
    // Opens the window's menu where given and picks an entry of one of its submenus.
    static bool choose(QWidget *window, QPoint at, const char *menuName, const char *submenuName,
                       const QString &entry)
    {
        rightClick(window, at);
        auto *menu = window->findChild<QMenu *>(QLatin1String(menuName));
        if (!menu || !menu->isVisible())
            return false;
        auto *submenu = menu->findChild<QMenu *>(QLatin1String(submenuName));
        emit submenu->aboutToShow();
        bool chosen = false;
        for (QAction *action : submenu->actions()) {
            if (action->text() == entry) {
                action->trigger();
                chosen = action->isChecked();
            }
        }
        menu->hide();
        return chosen;
    }
    bool chooseOnDisplay(const char *submenu, const QString &entry) const
    {
        return choose(m_window.get(), display()->geometry().center(), "mnuContexte", submenu,
                      entry);
    }

private slots:
    void initTestCase() { headless::quietPlatformLimits(); }
    void init()
    {
        QSettings().clear(); // this suite's own settings: every switch at its default
        start();
    }
    void cleanup() { m_window.reset(); }

    void decimals()
    {
        const QImage before = display()->grab().toImage();
        QVERIFY(!annunciator());

        QVERIFY(chooseOnDisplay("mnuDecimales", QStringLiteral("2")));
        QVERIFY(annunciator());
        QCOMPARE(annunciator()->text(), QStringLiteral("2"));
        QCOMPARE(display()->accessibleDescription(), QStringLiteral("2 décimales"));
        click({"C1", "C0", "Div", "C3", "egal"});
        QCOMPARE(display()->text(), QStringLiteral(" 3.33"));
        QCOMPARE(calc::SwitchSettings().load().decimals, calc::Decimals::Two);

        // Back at the default, the display is as it always was, pixel for pixel.
        QVERIFY(chooseOnDisplay("mnuDecimales", QStringLiteral("F (toutes)")));
        QVERIFY(!annunciator());
        QCOMPARE(display()->accessibleDescription(), QString());
        click({"efface"});
        QCOMPARE(display()->grab().toImage(), before);
    }

    // The display's text never draws under the annunciator; a text too long to stand beside it
    // has the display to itself, exactly as at the defaults.
    void longTexts()
    {
        QVERIFY(chooseOnDisplay("mnuArrondi", QStringLiteral("Par excès (↑)")));
        QVERIFY(chooseOnDisplay("mnuDecimales", QStringLiteral("Add2")));
        QCOMPARE(annunciator()->text(), QStringLiteral("A2\n↑"));
        QCOMPARE(display()->accessibleDescription(),
                 QStringLiteral("mode Add2, 2 décimales, arrondi par excès"));
        const QImage empty = display()->grab().toImage();
        // The marks and the gap beside them, clear of the frame (whose colour follows the focus).
        const QRect marks = annunciator()->geometry().adjusted(0, 3, 2, -3);
        click({"C1", "C2", "C3", "C4", "C5", "C6", "C7", "C8", "C9", "C0", "C1", "C2", "virgule",
               "C3", "Multi", "C1", "egal"});
        QCOMPARE(display()->text(), QStringLiteral(" 123456789012.30"));
        QVERIFY(annunciator());
        QCOMPARE(display()->grab().toImage().copy(marks), empty.copy(marks));

        const QStringList longest{"C0", "moins",   "C9", "C9", "C9",  "C9", "C9",
                                  "C9", "C9",      "C9", "C9", "C9",  "C9", "C9",
                                  "C9", "virgule", "C9", "C9", "egal"};
        click(longest);
        QCOMPARE(display()->text(), QStringLiteral("-9999999999999.99"));
        QVERIFY(!annunciator());
        const QImage beside = display()->grab().toImage();
        QVERIFY(chooseOnDisplay("mnuDecimales", QStringLiteral("F (toutes)")));
        QVERIFY(chooseOnDisplay("mnuArrondi", QStringLiteral("5/4 (au plus proche)")));
        click(longest);
        QCOMPARE(display()->text(), QStringLiteral("-9999999999999.99"));
        QCOMPARE(display()->grab().toImage(), beside);
    }

    void rounding()
    {
        QVERIFY(chooseOnDisplay("mnuArrondi", QStringLiteral("Par défaut (↓)")));
        QVERIFY(chooseOnDisplay("mnuDecimales", QStringLiteral("2")));
        QCOMPARE(annunciator()->text(), QStringLiteral("2\n↓"));
        QCOMPARE(display()->accessibleDescription(),
                 QStringLiteral("2 décimales, arrondi par défaut"));
        click({"C2", "Div", "C3", "egal"});
        QCOMPARE(display()->text(), QStringLiteral(" 0.66"));

        // The next start takes up the switches where they were left.
        m_window.reset();
        start();
        QCOMPARE(annunciator()->text(), QStringLiteral("2\n↓"));
        QCOMPARE(display()->accessibleDescription(),
                 QStringLiteral("2 décimales, arrondi par défaut"));
    }

    void priceEnding()
    {
        click({"CmdMarge"});
        Form2 *form = m_window->marginWindow();
        QVERIFY(form && form->isVisible());
        // The number fields keep their own menu.
        auto *field = form->findChild<QLineEdit *>(QStringLiteral("TxtAchat"));
        rightClick(form, field->mapTo(form, field->rect().center()));
        QVERIFY(!form->findChild<QMenu *>(QStringLiteral("mnuMarge")));
        if (QWidget *fieldMenu = QApplication::activePopupWidget())
            fieldMenu->close();

        QPoint background;
        for (int y = 20; y < form->height() && background.isNull(); y += 4) {
            for (int x = 20; x < form->width() && background.isNull(); x += 4) {
                if (!form->childAt(x, y))
                    background = {x, y};
            }
        }
        QVERIFY(choose(form, background, "mnuMarge", "mnuArrondiPrix", QStringLiteral("à ,90")));
        QCOMPARE(form->priceEnding(), calc::PriceEnding::Ninety);
        QCOMPARE(calc::SwitchSettings().load().priceEnding, calc::PriceEnding::Ninety);
        // The display's annunciator shows only the calculator's own switches.
        QVERIFY(!annunciator());

        m_window.reset();
        start();
        click({"CmdMarge"});
        QCOMPARE(m_window->marginWindow()->priceEnding(), calc::PriceEnding::Ninety);
    }
};

QTEST_MAIN(TestSwitchMenus)
#include "test_switchmenus.moc"
