// The real main window, offscreen: how it starts, what the code adds to its form, and the
// calculator driven through the real buttons and the real keyboard.

#include "desk/desk.h"
#include "shell/Form1.h"

#include "headless.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <cmath>
#include <memory>

class TestForm1 : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1> m_window;

    template <typename T = QWidget> T *element(const char *name) const
    {
        T *found = m_window->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no element %s", name);
        return found;
    }
    QString shown() const { return element<QLineEdit>("Text1")->text(); }

    // Clicks the named buttons one after the other and returns the display after each click.
    QStringList click(const QStringList &names) const
    {
        QStringList after;
        for (const QString &name : names) {
            QTest::mouseClick(element<QAbstractButton>(name.toLatin1().constData()),
                              Qt::LeftButton);
            after << shown();
        }
        return after;
    }

private slots:
    void initTestCase() { headless::quietPlatformLimits(); }

    void init()
    {
        m_window = std::make_unique<Form1>();
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    void cleanup() { m_window.reset(); }

    void startsReady()
    {
        QVERIFY(m_window->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(QApplication::focusWidget(), element("egal"));
        QCOMPARE(shown(), QString());
        QVERIFY(element<QLineEdit>("Text1")->isReadOnly());
    }

    // A screen reader can name every key, with or without a caption.
    void everyKeyHasAName()
    {
        for (const QAbstractButton *button : m_window->findChildren<QAbstractButton *>()) {
            const QString name =
                button->text().isEmpty() ? button->accessibleName() : button->text();
            QVERIFY2(!name.trimmed().isEmpty(), qPrintable(button->objectName()));
        }
    }

    void displayLooksAndTips()
    {
        auto *display = element<QLineEdit>("Text1");
        QCOMPARE(display->toolTip(), QStringLiteral(" Tarvex - " TARVEX_WEBSITE " - "));
        QCOMPARE(display->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(display->palette().color(QPalette::Base), QColor(0xE0, 0xE0, 0xE0));
        QCOMPARE(element<QLabel>("Label1")->text(), QStringLiteral("V 3.1"));
        QCOMPARE(element("C5")->palette().color(QPalette::Button), QColor(0xE0, 0xE0, 0xE0));
        QCOMPARE(element("TVA")->palette().color(QPalette::Button), QColor(0xFF, 0xE0, 0xC0));
        QCOMPARE(element("FrmTVA")->palette().color(QPalette::Window), QColor(0xA7, 0xA7, 0xA7));
        QCOMPARE(element("FrmTVA")->palette().color(QPalette::WindowText),
                 QColor(0xFF, 0xFF, 0x80));
    }

    // The form keeps fractional point sizes beside the whole-point fonts; the window applies them.
    void fractionalFontSizes()
    {
        QList<QWidget *> widgets{m_window.get()};
        widgets += m_window->findChildren<QWidget *>();
        int fractional = 0;
        for (const QWidget *w : std::as_const(widgets)) {
            const QVariant size = w->property("pointSizeF");
            if (!size.isValid())
                continue;
            QCOMPARE(w->font().pointSizeF(), size.toDouble());
            fractional += size.toDouble() != std::floor(size.toDouble());
        }
        QVERIFY(fractional > 0);
    }

    // The form names a picture beside some elements; the window shows it.
    void pictures()
    {
        int shown = 0;
        for (const QWidget *w : m_window->findChildren<QWidget *>()) {
            if (!w->property("picture").isValid())
                continue;
            const auto *label = qobject_cast<const QLabel *>(w);
            const auto *button = qobject_cast<const QAbstractButton *>(w);
            QVERIFY2(label ? !label->pixmap().isNull() : button && !button->icon().isNull(),
                     qPrintable(w->objectName()));
            ++shown;
        }
        QVERIFY(shown > 0);
    }

    void cursors()
    {
        for (const char *name : {"C0", "egal", "CmdTTC", "TVA", "CmdQuitte", "CmdOption"})
            QVERIFY2(element(name)->cursor().shape() != Qt::ArrowCursor, name);
        for (const char *name : {"CmdPourCent", "DontTVA", "Text1"})
            QVERIFY2(element(name)->cursor().shape() == Qt::ArrowCursor ||
                         element(name)->cursor().shape() == Qt::IBeamCursor,
                     name);
    }

    void rateSwitchInFrontOfItsFrame()
    {
        const QWidget *peach = element("TVA");
        QCOMPARE(m_window->childAt(peach->geometry().center()), peach);
    }

    void displayFrameIsPainted()
    {
        // The thin blue edge of the frame behind the display shows to its right.
        const QImage image = m_window->grab().toImage();
        QCOMPARE(image.pixelColor(200, 80), QColor(0x00, 0x00, 0xC0));
    }

    void mouse_data()
    {
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("sum") << QStringList{"C5", "plus", "C3", "egal", "egal"}
                             << QStringList{" 5", " 5", " 3", " 8", " 13"};
        QTest::newRow("every digit")
            << QStringList{"C1", "C2", "C3", "C4", "C5", "C6", "C7", "C8", "C9", "C0"}
            << QStringList{" 1",      " 12",      " 123",      " 1234",      " 12345",
                           " 123456", " 1234567", " 12345678", " 123456789", " 1234567890"};
        // At start a number cannot begin with the point: the first digit must come first.
        QTest::newRow("point at start") << QStringList{"virgule", "C0", "virgule", "C5"}
                                        << QStringList{"", " 0", " 0.", " 0.5"};
        QTest::newRow("fraction and clear")
            << QStringList{"C0", "virgule", "C5", "efface", "virgule", "C5"}
            << QStringList{" 0", " 0.", " 0.5", "", ".", ".5"};
        QTest::newRow("operations")
            << QStringList{"C8", "Div", "C2", "Multi", "C3", "moins", "C4", "egal"}
            << QStringList{" 8", " 8", " 2", " 4", " 3", " 12", " 4", " 8"};
        QTest::newRow("mark-up") << QStringList{"C5", "C0",          "plus", "C1",
                                                "C0", "CmdPourCent", "egal"}
                                 << QStringList{" 5", " 50", " 50", " 1", " 10", "50 + 10 %", "55"};
    }
    void mouse()
    {
        QFETCH(QStringList, buttons);
        QFETCH(QStringList, shown);
        QCOMPARE(click(buttons), shown);
    }

    void keyboard_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("chain") << "5+3+2="
                               << " 10";
        QTest::newRow("repeated equals") << "5*3=="
                                         << " 75";
        QTest::newRow("comma and point") << "1,5+0.25="
                                         << " 1.75";
        QTest::newRow("division") << "9/4="
                                  << " 2.25";
        QTest::newRow("percentage") << "50+10%"
                                    << "50 + 10 %";
        QTest::newRow("percentage result") << "50+10%="
                                           << "55";
        QTest::newRow("ignored letters") << "5a+b3c="
                                         << " 8";
    }
    void keyboard()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        // Typed into the window as a person would: the keys go to the focused key first.
        for (QChar c : typed)
            QTest::keyClick(m_window->windowHandle(), c.toLatin1());
        QCOMPARE(this->shown(), shown);
    }

    void keyboardReachesTheCalculatorOnceFromAnyElement_data()
    {
        QTest::addColumn<QString>("focused");
        QTest::newRow("a key") << "C5";
        QTest::newRow("a key inside the VAT frame") << "CmdTTC";
        QTest::newRow("the display") << "Text1";
        QTest::newRow("the window itself") << "";
    }
    void keyboardReachesTheCalculatorOnceFromAnyElement()
    {
        QFETCH(QString, focused);
        QWidget *target = focused.isEmpty() ? static_cast<QWidget *>(m_window.get())
                                            : element(focused.toLatin1().constData());
        target->setFocus();
        QTest::keyClicks(target, QStringLiteral("12+3"));
        QCOMPARE(shown(), QStringLiteral(" 3"));
        QTest::keyClick(target, Qt::Key_Delete);
        QCOMPARE(shown(), QString());
        // Delete also set the first operand to 0.
        QTest::keyClicks(target, QStringLiteral("4="));
        QCOMPARE(shown(), QStringLiteral(" 4"));
    }

    void enterPressesTheFocusedKey()
    {
        for (char c : {'5', '+', '3'})
            QTest::keyClick(m_window->windowHandle(), c);
        QCOMPARE(QApplication::focusWidget(), element("egal"));
        QTest::keyClick(m_window->windowHandle(), Qt::Key_Return);
        QCOMPARE(shown(), QStringLiteral(" 8"));
        QTest::keyClick(m_window->windowHandle(), Qt::Key_Enter);
        QCOMPARE(shown(), QStringLiteral(" 13"));
        // The space bar presses it too.
        QTest::keyClick(m_window->windowHandle(), Qt::Key_Space);
        QCOMPARE(shown(), QStringLiteral(" 18"));
    }

    void clickedKeyTakesTheFocus()
    {
        // As on the desktop, a clicked key keeps the focus, so Enter presses it again.
        click({"C7"});
        QTest::keyClick(m_window->windowHandle(), Qt::Key_Return);
        QCOMPARE(shown(), QStringLiteral(" 77"));
    }

    void mouseAndKeysTogether()
    {
        click({"C5", "plus"});
        QTest::keyClick(m_window->windowHandle(), 'a');
        click({"egal"});
        QCOMPARE(shown(), QStringLiteral(" 5"));
        QTest::keyClick(m_window->windowHandle(), '4');
        click({"egal"});
        QCOMPARE(shown(), QStringLiteral(" 9"));
    }

    void displayWrittenElsewhereFollowsTheEngine()
    {
        click({"C1", "virgule"});
        QVERIFY(!m_window->desk().engine().state().virg);
        element<QLineEdit>("Text1")->setText(QStringLiteral("119,6 TTC"));
        QCOMPARE(m_window->desk().engine().display(), QStringLiteral("119,6 TTC"));
        element<QLineEdit>("Text1")->clear();
        QCOMPARE(m_window->desk().engine().display(), QString());
        QVERIFY(m_window->desk().engine().state().virg);
    }

    void readOnlyDisplayTakesNoTyping()
    {
        element("Text1")->setFocus();
        QTest::keyClicks(element("Text1"), QStringLiteral("7x"));
        QCOMPARE(shown(), QStringLiteral(" 7"));
        QTest::keyClick(element("Text1"), Qt::Key_Backspace);
        QCOMPARE(shown(), QStringLiteral(" 7"));
    }
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
