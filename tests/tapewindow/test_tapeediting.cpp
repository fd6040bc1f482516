// Checking and correcting the tape from its window: the keys that choose a line, the editor that
// opens on an amount, removing and inserting entries, taking an amount back, undo and redo, and
// the keys that still go to the calculator. The corrections themselves are the desk's; here a
// fake stands in for it (it only notes what the window asked), over a real tape.
#include "desk/desk.h"
#include "tape/tape.h"
#include "tape/tapeediting.h"
#include "tape/tapemodel.h"
#include "tapewindow/TapeWindow.h"
#include "tapewindow/amounteditor.h"

#include "headless.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QListView>
#include <QMap>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

using tape::EntryOperator;
using tape::Line;
using tapewindow::AmountEditor;

namespace {

const QString resultReason = QStringLiteral("Un résultat se recalcule.");

QString opName(EntryOperator op)
{
    return tapewindow::operatorMark(op);
}

// Notes every call in `calls`; a result line is not correctable; a correction only makes the
// tape show itself afresh, as the desk's would after its replay.
class FakeEditing : public tape::TapeEditing
{
public:
    explicit FakeEditing(tape::Tape &tape) : m_tape(tape) {}

    QStringList calls;
    QMap<int, QString> former;

    QString whyNotCorrectable(int line) const override
    {
        return m_tape.lines()[line].result ? resultReason : QString();
    }
    QString keyedText(int line) const override { return m_tape.lines()[line].amount; }
    QString formerAmount(int line) const override { return former.value(line); }
    bool replaceAmount(int line, const QString &text) override
    {
        return done(QStringLiteral("replace %1 %2").arg(line).arg(text));
    }
    bool setOperator(int line, EntryOperator op) override
    {
        return done(QStringLiteral("operator %1 %2").arg(line).arg(opName(op)));
    }
    bool removeEntry(int line) override { return done(QStringLiteral("remove %1").arg(line)); }
    bool insertBefore(int line, const QString &text, EntryOperator op) override
    {
        return done(QStringLiteral("insert %1 %2 %3").arg(line).arg(text, opName(op)));
    }
    bool canUndo() const override { return true; }
    bool undo() override { return done(QStringLiteral("undo")); }
    bool canRedo() const override { return true; }
    bool redo() override { return done(QStringLiteral("redo")); }
    bool takeBack(int line) override
    {
        calls += QStringLiteral("takeBack %1").arg(line);
        return true;
    }

private:
    bool done(const QString &call)
    {
        calls += call;
        emit m_tape.reset();
        return true;
    }
    tape::Tape &m_tape;
};

// What a screen reader is told: the focus, with the name of what has it, and new descriptions.
QStringList told;

void listen(QAccessibleEvent *event)
{
    QAccessibleInterface *object = event->accessibleInterface();
    if (!object)
        return;
    if (event->type() == QAccessible::Focus)
        told += QStringLiteral("focus: ") + object->text(QAccessible::Name);
    else if (event->type() == QAccessible::DescriptionChanged)
        told += QStringLiteral("description: ") + object->text(QAccessible::Description);
}

// The headless platform tells no screen reader: Qt drops every event unless told one listens.
void listenAsAScreenReader(bool on)
{
    QAccessible::installUpdateHandler(on ? listen : nullptr);
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(on);
}

Line line(const QString &amount, const QString &mark, bool result = false)
{
    return {QDateTime(QDate(2026, 12, 8), QTime(9, 0)), {}, amount, mark, result, result};
}

} // namespace

class TestTapeEditing : public QObject
{
    Q_OBJECT

    // Rows: 0 the day's heading, 1 "100 +", 2 "20 +", 3 "30 =", 4 "150 *" (lines 0 to 3).
    void open(bool editable = true)
    {
        m_folder = std::make_unique<QTemporaryDir>();
        m_desk = std::make_unique<desk::Desk>(
            QLatin1Char(','), vat::RateFile(m_folder->path(), m_folder->path()), m_folder->path());
        m_desk->tape().append(
            {line("100", "+"), line("20", "+"), line("30", "="), line("150", "*", true)});
        m_editing = std::make_unique<FakeEditing>(m_desk->tape());
        m_window = std::make_unique<TapeWindow>(*m_desk, editable ? m_editing.get() : nullptr);
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        list()->setFocus();
    }
    QListView *list() const { return m_window->lines(); }
    void choose(int row)
    {
        const QModelIndex index = list()->model()->index(row, 0);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualRect(index).center());
        QCOMPARE(list()->currentIndex().row(), row);
    }
    // The editor open on the list; null when none is.
    AmountEditor *editor() const
    {
        for (AmountEditor *e : list()->findChildren<AmountEditor *>()) {
            if (e->isVisible())
                return e;
        }
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        headless::quietPlatformLimits();
        QStandardPaths::setTestModeEnabled(true);
    }
    void init() { open(); }
    void cleanup()
    {
        m_window.reset();
        m_editing.reset();
        m_desk.reset();
        m_folder.reset();
    }

    void keysChooseLines_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("row");
        QTest::newRow("home") << QList<int>{Qt::Key_Home} << 0;
        QTest::newRow("end") << QList<int>{Qt::Key_End} << 4;
        QTest::newRow("end, up") << QList<int>{Qt::Key_End, Qt::Key_Up} << 3;
        QTest::newRow("home, down") << QList<int>{Qt::Key_Home, Qt::Key_Down} << 1;
        QTest::newRow("page down, page up") << QList<int>{Qt::Key_PageDown, Qt::Key_PageUp} << 0;
        // Just opened, the keyboard stands on the newest line: Up chooses the one above it.
        QTest::newRow("up, as opened") << QList<int>{Qt::Key_Up} << 3;
    }
    void keysChooseLines()
    {
        QFETCH(QList<int>, keys);
        QFETCH(int, row);
        QVERIFY(!m_window->lineChosen());
        for (int key : keys)
            QTest::keyClick(list(), Qt::Key(key));
        QCOMPARE(list()->currentIndex().row(), row);
        QVERIFY(m_window->lineChosen());
        // The calculator's next key ends the choice.
        m_desk->typeKey(QLatin1Char('5'));
        QVERIFY(!m_window->lineChosen());
        choose(2);
        QVERIFY(m_window->lineChosen());
    }

    void editorOnTheAmount_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("endKey");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("typing replaces")
            << "25" << int(Qt::Key_Return) << QStringList{"replace 1 25"};
        QTest::newRow("keypad enter") << "25" << int(Qt::Key_Enter) << QStringList{"replace 1 25"};
        QTest::newRow("escape cancels") << "25" << int(Qt::Key_Escape) << QStringList{};
        QTest::newRow("one decimal mark")
            << "2,5,0" << int(Qt::Key_Return) << QStringList{"replace 1 2.50"};
        QTest::newRow("letters ignored")
            << "2a5" << int(Qt::Key_Return) << QStringList{"replace 1 25"};
        QTest::newRow("operator typed")
            << "25-" << int(Qt::Key_Return) << QStringList{"replace 1 25", "operator 1 -"};
        QTest::newRow("x is times, amount kept")
            << "x" << int(Qt::Key_Return) << QStringList{"operator 1 ×"};
        QTest::newRow("operator forgotten on escape")
            << "/" << int(Qt::Key_Escape) << QStringList{};
    }
    void editorOnTheAmount()
    {
        QFETCH(QString, typed);
        QFETCH(int, endKey);
        QFETCH(QStringList, calls);
        choose(2);
        QTest::keyClick(list(), Qt::Key_F2);
        AmountEditor *amount = editor();
        QVERIFY(amount);
        QCOMPARE(amount->text(), QStringLiteral("20"));
        QCOMPARE(amount->selectedText(), QStringLiteral("20"));
        QVERIFY(!amount->accessibleName().isEmpty());
        QTest::keyClicks(amount, typed);
        QTest::keyClick(amount, Qt::Key(endKey));
        QVERIFY(!editor());
        QCOMPARE(m_editing->calls, calls);
        // The chosen line stays chosen after the tape is shown afresh.
        QCOMPARE(list()->currentIndex().row(), 2);
        QVERIFY(list()->hasFocus());
    }

    // The operator typed shows in the line's mark column while the editor is open.
    void operatorShownWhileEditing()
    {
        choose(2);
        QTest::keyClick(list(), Qt::Key_F2);
        QTest::keyClick(editor(), Qt::Key_Asterisk);
        QCOMPARE(list()->model()->index(2, 0).data(tape::TapeModel::MarkRole).toString(), "×");
        QTest::keyClick(editor(), Qt::Key_Escape);
        QCOMPARE(list()->model()->index(2, 0).data(tape::TapeModel::MarkRole).toString(), "+");
    }

    void deleteAndInsert_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("endKey");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("delete") << int(Qt::Key_Delete) << "" << 0 << QStringList{"remove 1"};
        QTest::newRow("insert") << int(Qt::Key_Insert) << "7" << int(Qt::Key_Return)
                                << QStringList{"insert 1 7 +"};
        QTest::newRow("insert with operator")
            << int(Qt::Key_Insert) << "/3" << int(Qt::Key_Return) << QStringList{"insert 1 3 ÷"};
        QTest::newRow("insert cancelled")
            << int(Qt::Key_Insert) << "7" << int(Qt::Key_Escape) << QStringList{};
        QTest::newRow("insert nothing")
            << int(Qt::Key_Insert) << "" << int(Qt::Key_Return) << QStringList{};
    }
    void deleteAndInsert()
    {
        QFETCH(int, key);
        QFETCH(QString, typed);
        QFETCH(int, endKey);
        QFETCH(QStringList, calls);
        choose(2);
        const int rows = list()->model()->rowCount();
        QTest::keyClick(list(), Qt::Key(key));
        if (endKey) {
            // A new row, before the chosen one, with the editor on it.
            QCOMPARE(list()->model()->rowCount(), rows + 1);
            QVERIFY(editor());
            QCOMPARE(editor()->text(), QString());
            QCOMPARE(list()->model()->index(2, 0).data(tape::TapeModel::MarkRole).toString(), "+");
            QCOMPARE(list()->model()->index(3, 0).data(tape::TapeModel::AmountRole).toString(),
                     "20");
            QTest::keyClicks(editor(), typed);
            QTest::keyClick(editor(), Qt::Key(endKey));
            QVERIFY(!editor());
        }
        QCOMPARE(list()->model()->rowCount(), rows);
        QCOMPARE(m_editing->calls, calls);
        QCOMPARE(list()->currentIndex().row(), 2);
    }

    void resultsAreNotCorrected_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("F2") << int(Qt::Key_F2);
        QTest::newRow("delete") << int(Qt::Key_Delete);
        QTest::newRow("insert") << int(Qt::Key_Insert);
    }
    void resultsAreNotCorrected()
    {
        QFETCH(int, key);
        choose(4);
        QTest::keyClick(list(), Qt::Key(key));
        QVERIFY(!editor());
        QVERIFY(m_editing->calls.isEmpty());
        QCOMPARE(QToolTip::text(), resultReason);
        QVERIFY(!m_window->findChild<QPushButton *>("CmdCorriger")->isEnabled());
        // Nor is a day's heading.
        choose(0);
        QTest::keyClick(list(), Qt::Key(key));
        QVERIFY(!editor());
        QVERIFY(m_editing->calls.isEmpty());
    }

    // With no line chosen since the calculator's last key, Enter, Delete and the characters are
    // the calculator's; on a chosen line Enter takes the amount back.
    void keysForTheCalculator()
    {
        QSignalSpy wanted(m_window.get(), &TapeWindow::calculatorWanted);
        QTest::keyClicks(list(), "5+3");
        QTest::keyClick(list(), Qt::Key_Return);
        QCOMPARE(m_desk->display(), QStringLiteral(" 8"));
        QTest::keyClick(list(), Qt::Key_Delete);
        QCOMPARE(m_desk->display(), QString());
        QVERIFY(m_editing->calls.isEmpty());
        QCOMPARE(wanted.count(), 0);

        // The keys wrote "5 +", "3 =", "8 *" and "0 C" (lines 4 to 7): the line above the last.
        QTest::keyClick(list(), Qt::Key_End);
        QTest::keyClick(list(), Qt::Key_Up);
        QTest::keyClick(list(), Qt::Key_Return);
        QCOMPARE(m_editing->calls, QStringList{"takeBack 6"});
        QCOMPARE(wanted.count(), 1);

        // A key of the calculator, and Enter is its equals button again.
        m_desk->typeKey(QLatin1Char('2'));
        QTest::keyClick(list(), Qt::Key_Return);
        QCOMPARE(m_editing->calls.size(), 1);
        QCOMPARE(m_desk->display(), QStringLiteral(" 2"));
    }

    void undoAndRedo()
    {
        QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(list(), Qt::Key_Y, Qt::ControlModifier);
        QTest::keyClick(m_window->findChild<QPushButton *>("CmdCopier"), Qt::Key_Z,
                        Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m_editing->calls, QStringList({"undo", "redo", "redo"}));
    }

    void correctedLineKeepsItsFormerAmount()
    {
        choose(2);
        m_editing->former[1] = QStringLiteral("20");
        emit m_desk->tape().reset();
        QCOMPARE(list()->currentIndex().row(), 2);
        const QModelIndex corrected = list()->model()->index(2, 0);
        QCOMPARE(corrected.data(tape::TapeModel::FormerAmountRole).toString(), "20");
        QVERIFY(list()
                    ->model()
                    ->index(1, 0)
                    .data(tape::TapeModel::FormerAmountRole)
                    .toString()
                    .isEmpty());
        QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(list());
        QVERIFY(reader->child(2)->text(QAccessible::Name).contains("corrigé"));
        QVERIFY(!reader->child(1)->text(QAccessible::Name).contains("corrigé"));

        m_window->findChild<QPushButton *>("CmdCopier")->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), "20\t+\tcorrigé : 20\n");
    }

    // Once a correction is made, the screen reader hears the new result, then the line the user
    // is on as it now reads.
    void correctionTold_data()
    {
        QTest::addColumn<QList<QKeyCombination>>("keys");
        QTest::newRow("amount corrected")
            << QList<QKeyCombination>{Qt::Key_F2, Qt::Key_2, Qt::Key_5, Qt::Key_Return};
        QTest::newRow("undone") << QList<QKeyCombination>{Qt::CTRL | Qt::Key_Z};
        QTest::newRow("entry removed") << QList<QKeyCombination>{Qt::Key_Delete};
    }
    void correctionTold()
    {
        QFETCH(QList<QKeyCombination>, keys);
        choose(2);
        m_editing->former[1] = QStringLiteral("20");
        told.clear();
        listenAsAScreenReader(true);
        for (QKeyCombination key : keys)
            QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        listenAsAScreenReader(false);
        const QString result =
            QStringLiteral("description: Nouveau résultat : 150 total. Grand total : 150,00");
        QVERIFY2(told.contains(result), qPrintable(told.join(u'\n')));
        QCOMPARE(told.last(), QStringLiteral("focus: 20 plus, corrigé, auparavant 20"));
        QVERIFY(told.indexOf(result) < told.size() - 1);
    }

    // Without the desk's editing the tape stays read-only, as it always was.
    void readOnlyWithoutEditing()
    {
        cleanup();
        open(false);
        QVERIFY(!m_window->findChild<QPushButton *>("CmdCorriger")->isVisible());
        QVERIFY(!m_window->findChild<QWidget *>("LblAide")->isVisible());
        QTest::keyClick(list(), Qt::Key_Up);
        QTest::keyClick(list(), Qt::Key_F2);
        QVERIFY(!editor());
        QTest::keyClicks(list(), "4*2");
        QTest::keyClick(list(), Qt::Key_Return);
        QCOMPARE(m_desk->display(), QStringLiteral(" 8"));
        QVERIFY(m_editing->calls.isEmpty());
    }

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<desk::Desk> m_desk;
    std::unique_ptr<FakeEditing> m_editing;
    std::unique_ptr<TapeWindow> m_window;
};

QTEST_MAIN(TestTapeEditing)
#include "test_tapeediting.moc"
