// Copy and paste through the real clipboard, offscreen: the main window's shortcuts and menu,
// and the paste of a number field.

#include "desk/desk.h"
#include "shell/Form1.h"

#include "calculator/numericfilter.h"
#include "desktop/numericfield.h"

#include "headless.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

QClipboard *clipboard()
{
    return QGuiApplication::clipboard();
}

struct Shortcut
{
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};

} // namespace

Q_DECLARE_METATYPE(Shortcut)

class TestClipboard : public QObject
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
    void click(const QStringList &names) const
    {
        for (const QString &name : names)
            QTest::mouseClick(element<QAbstractButton>(name.toLatin1().constData()),
                              Qt::LeftButton);
    }
    void press(const Shortcut &s) const
    {
        QTest::keyClick(QApplication::focusWidget(), s.key, s.modifiers);
    }
    void rightClick(QWidget *on) const
    {
        QTest::mouseClick(m_window->windowHandle(), Qt::RightButton, {},
                          on->mapTo(m_window.get(), on->rect().center()));
    }
    QPoint backgroundPoint() const
    {
        for (int y = 20; y < m_window->height(); y += 4) {
            for (int x = 20; x < m_window->width(); x += 4) {
                if (!m_window->childAt(x, y))
                    return {x, y};
            }
        }
        qFatal("no background");
    }
    QMenu *shownMenu() const
    {
        auto *menu = m_window->findChild<QMenu *>(QStringLiteral("mnuContexte"));
        return menu && menu->isVisible() ? menu : nullptr;
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

    void copyThenPasteBetweenOperators_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<Shortcut>("copy");
        QTest::addColumn<Shortcut>("paste");

        const Shortcut ctrlC{Qt::Key_C, Qt::ControlModifier};
        const Shortcut ctrlV{Qt::Key_V, Qt::ControlModifier};
        const Shortcut ctrlIns{Qt::Key_Insert, Qt::ControlModifier};
        const Shortcut shiftIns{Qt::Key_Insert, Qt::ShiftModifier};
        QTest::newRow("ctrl, on a key") << "egal" << ctrlC << ctrlV;
        QTest::newRow("insert, on a key") << "CmdTTC" << ctrlIns << shiftIns;
        QTest::newRow("ctrl, on the display") << "Text1" << ctrlC << ctrlV;
    }

    void copyThenPasteBetweenOperators()
    {
        QFETCH(QString, focus);
        QFETCH(Shortcut, copy);
        QFETCH(Shortcut, paste);
        element(focus.toLatin1().constData())->setFocus();
        const QChar mark = m_window->desk().engine().regionalMark();

        click({"C1", "C2", "virgule", "C5", "C0"});
        element<QLineEdit>("Text1")->selectAll(); // the display's own selection is not copied
        press(copy);
        QCOMPARE(clipboard()->text(), QStringLiteral("12") + mark + QStringLiteral("5"));
        QCOMPARE(shown(), QStringLiteral(" 12.50"));

        click({"plus"});
        clipboard()->setText(QStringLiteral("1 234,56 €"));
        press(paste);
        QCOMPARE(shown(), QStringLiteral(" 1234.56"));
        click({"egal"});
        QCOMPARE(shown(), QStringLiteral(" 1247.06"));
    }

    void emptyDisplayCopiesNothing()
    {
        clipboard()->setText(QStringLiteral("avant"));
        press({Qt::Key_C, Qt::ControlModifier});
        QCOMPARE(clipboard()->text(), QStringLiteral("avant"));
    }

    void refusedPasteChangesNothing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("percentage") << "12,5 %";
        QTest::newRow("empty") << "";
        QTest::newRow("two numbers") << "12 34";
    }

    void refusedPasteChangesNothing()
    {
        QFETCH(QString, text);
        click({"C5", "plus", "C3"});
        const calc::CalculatorState before = m_window->desk().engine().state();
        clipboard()->setText(text);
        press({Qt::Key_V, Qt::ControlModifier});
        QCOMPARE(shown(), QStringLiteral(" 3"));
        QVERIFY(m_window->desk().engine().state() == before);
    }

    void contextMenu()
    {
        const QPoint placed = m_window->pos();
        rightClick(element("C5"));
        QVERIFY(!shownMenu()); // the keys keep their clicks

        clipboard()->setText(QStringLiteral("12,50"));
        rightClick(element("Text1"));
        QMenu *menu = shownMenu();
        QVERIFY(menu);
        auto *copier = menu->findChild<QAction *>(QStringLiteral("mnuCopier"));
        auto *coller = menu->findChild<QAction *>(QStringLiteral("mnuColler"));
        QVERIFY(!copier->isEnabled()); // empty display
        QVERIFY(coller->isEnabled());
        coller->trigger();
        menu->hide();
        QCOMPARE(shown(), QStringLiteral(" 12.50"));

        clipboard()->setText(QStringLiteral("abc"));
        QTest::mouseClick(m_window->windowHandle(), Qt::RightButton, {}, backgroundPoint());
        QVERIFY(shownMenu());
        QVERIFY(copier->isEnabled());
        QVERIFY(!coller->isEnabled());
        menu->hide();
        QCOMPARE(m_window->pos(), placed);
    }

    // A number field reads a paste as one price and takes no sign; typed shortcuts stay
    // discarded by its key filter.
    void numberFieldPaste_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<bool>("viaMenu");
        QTest::addColumn<QString>("after");
        QTest::newRow("menu") << "1.234,56" << true << "1234.56";
        QTest::newRow("shift+insert") << "€ 12,50" << false << "12.50";
        QTest::newRow("sign refused") << "-7" << true << "5";
    }

    void numberFieldPaste()
    {
        QFETCH(QString, pasted);
        QFETCH(bool, viaMenu);
        QFETCH(QString, after);
        QWidget host;
        auto *field = new QLineEdit(QStringLiteral("5"), &host);
        numericfield::install(field, [](QChar &key) { key = calc::filterNumericKey(key); });
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        field->setFocus();

        clipboard()->setText(pasted);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(field->text(), QStringLiteral("5"));
        if (viaMenu) {
            QTest::mouseClick(host.windowHandle(), Qt::RightButton, {}, field->geometry().center());
            auto *menu = field->findChild<QMenu *>();
            QVERIFY(menu && menu->isVisible());
            const QString pasteKeys =
                QLatin1Char('\t') +
                QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
            const QList<QAction *> entries = menu->actions();
            const auto paste = std::find_if(entries.begin(), entries.end(), [&](QAction *a) {
                return a->text().endsWith(pasteKeys);
            });
            QVERIFY(paste != entries.end());
            (*paste)->trigger();
            menu->hide();
        } else {
            QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
        }
        QCOMPARE(field->text(), after);
    }
};

QTEST_MAIN(TestClipboard)
#include "test_clipboard.moc"
