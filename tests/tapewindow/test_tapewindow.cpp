// The tape window on a tape filled here: lines arrive and show, the newest in view; a screen
// reader reads each line; copy, save, print (to a PDF file, or the dialog cancelled) and clear.
#include "calculator/numbertext.h"
#include "desk/desk.h"
#include "tape/tape.h"
#include "tape/tapemodel.h"
#include "tape/tapetext.h"
#include "tapewindow/TapeWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPdfWriter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using tape::Line;

namespace {

Line line(const QDateTime &when, const QString &amount, const QString &mark, bool result = false,
          const QString &label = {})
{
    return {when, label, amount, mark, result, result};
}

// One calculation as the calculator writes it: a + b = sum.
QList<Line> sum(const QDateTime &when, int a, int b)
{
    return {line(when, QString::number(a), "+"), line(when, QString::number(b), "="),
            line(when, QString::number(a + b), "*", true)};
}

// Answers the next message box the window opens with the button of the given text.
void answerNextQuestion(const QString &buttonText)
{
    QTimer::singleShot(0, [buttonText] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == buttonText)
                button->click();
        }
    });
}

} // namespace

class TestTapeWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        m_desk = std::make_unique<desk::Desk>(
            QLatin1Char(','), vat::RateFile(m_folder->path(), m_folder->path()), m_folder->path());
        m_window = std::make_unique<TapeWindow>(*m_desk);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup()
    {
        m_window.reset();
        m_desk.reset();
        m_folder.reset();
    }

    void linesArriveInView()
    {
        const QDateTime morning(QDate(2026, 12, 8), QTime(9, 0));
        for (int i = 0; i < 200; ++i)
            m_desk->tape().append(sum(morning.addSecs(i), i, 1));
        QListView *view = m_window->lines();
        QCOMPARE(view->model()->rowCount(), 1 + 200 * 3);
        QScrollBar *bar = view->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);
        QTRY_COMPARE(bar->value(), bar->maximum());
        const QModelIndex last = view->model()->index(view->model()->rowCount() - 1, 0);
        QTRY_VERIFY(view->viewport()->rect().intersects(view->visualRect(last)));

        // Each line is one item of the list for a screen reader, read in words.
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(view);
        QVERIFY(list);
        QCOMPARE(list->childCount(), view->model()->rowCount());
        QCOMPARE(list->child(1)->text(QAccessible::Name), QStringLiteral("0 plus"));
        QCOMPARE(list->child(3)->text(QAccessible::Name), QStringLiteral("1 total"));
        QCOMPARE(list->child(0)->text(QAccessible::Name), QStringLiteral("mardi 8 décembre 2026"));

        auto *total = m_window->findChild<QLineEdit *>("TxtGT");
        QVERIFY(total->isReadOnly());
        QCOMPARE(m_desk->tape().grandTotalCents(), (199 * 200 / 2 + 200) * 100);
        QCOMPARE(total->text(),
                 tape::centsText(m_desk->tape().grandTotalCents(), calc::regionalDecimalMark()));
    }

    void copiesSelectionOrAll()
    {
        const QDateTime now(QDate(2026, 12, 8), QTime(11, 30));
        m_desk->tape().append(sum(now, 2, 3));
        m_desk->tape().append(sum(now, 4, 5));
        auto *copy = m_window->findChild<QPushButton *>("CmdCopier");
        copy->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), tape::copyText(m_desk->tape().lines()));

        QListView *view = m_window->lines();
        view->selectionModel()->select(view->model()->index(6, 0), QItemSelectionModel::Select);
        view->selectionModel()->select(view->model()->index(4, 0), QItemSelectionModel::Select);
        copy->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("4\t+\n9\t*\n"));
    }

    void savesCsv()
    {
        m_desk->tape().append(sum(QDateTime(QDate(2026, 12, 8), QTime(8, 1)), 10, 20));
        const QString file = m_folder->filePath("ruban.csv");
        QVERIFY(m_window->saveTo(file));
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), tape::csvFile(m_desk->tape().lines()));

        // A folder that is not there: the window says so in its notice line.
        auto *notice = m_window->findChild<QLabel *>("LblProbleme");
        QVERIFY(!notice->isVisible());
        QVERIFY(!m_window->saveTo(m_folder->filePath("absent/ruban.csv")));
        QVERIFY(notice->isVisible());
        QVERIFY(notice->text().contains("ruban.csv"));
        QVERIFY(m_window->saveTo(file));
        QVERIFY(!notice->isVisible());
    }

    void printsToPdf()
    {
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed: scripts/setup.sh installs it");
        const QDateTime monday(QDate(2026, 12, 7), QTime(17, 45));
        m_desk->tape().append(sum(monday, 100, 20));
        m_desk->tape().append({line(monday.addDays(1), "100", "HT"),
                               line(monday.addDays(1), "20", "", false, "TVA 20 %"),
                               line(monday.addDays(1), "120", "TTC", true)});
        // Enough lines for a second page.
        for (int i = 0; i < 60; ++i)
            m_desk->tape().append(sum(monday.addDays(1).addSecs(60 + i), 1, 1));

        const QString pdf = m_folder->filePath("ruban.pdf");
        {
            QPdfWriter writer(pdf);
            QVERIFY(m_window->printTo(writer));
        }

        QProcess convert;
        convert.start(pdftotext, {"-layout", pdf, "-"});
        QVERIFY(convert.waitForFinished(30000));
        QCOMPARE(convert.exitCode(), 0);
        const QString text = QString::fromUtf8(convert.readAllStandardOutput());
        const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
        QVERIFY2(pages.size() >= 2, qPrintable(text));
        QVERIFY(pages[0].contains("Tarvex - Ruban"));
        QVERIFY(pages[0].contains(tape::dayHeading(QDate::currentDate())));
        QVERIFY(pages[0].contains("lundi 7 décembre 2026"));
        QVERIFY(pages[0].contains("mardi 8 décembre 2026"));
        QVERIFY(pages[0].contains(QRegularExpression("TVA 20 %\\s+20\\n")));
        QVERIFY(pages[0].contains(QRegularExpression("120\\s+TTC\\n")));
        QVERIFY(pages[1].contains("page 2"));
        const QString grandTotal =
            tape::centsText(m_desk->tape().grandTotalCents(), calc::regionalDecimalMark());
        QVERIFY2(pages.last().contains(
                     QRegularExpression(QRegularExpression::escape(grandTotal) + "\\s+GT\\n")),
                 qPrintable(pages.last()));
    }

    // The print button loads print support and asks for a printer; a dialog closed without
    // printing changes nothing.
    void printDialogCancelled()
    {
        QString title;
        QTimer::singleShot(0, [&title] {
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            title = dialog->windowTitle();
            QVERIFY(QMetaObject::invokeMethod(dialog, "reject"));
        });
        m_window->findChild<QPushButton *>("CmdImprimer")->click();
        QCOMPARE(title, QStringLiteral("Imprimer le ruban"));
        QVERIFY(!m_window->findChild<QLabel *>("LblProbleme")->isVisible());
    }

    // A tape whose folder cannot be written says so in the window's notice line.
    void showsTheTapesProblem()
    {
        auto *notice = m_window->findChild<QLabel *>("LblProbleme");
        QVERIFY(!notice->isVisible());
        QFile blocker(m_folder->filePath("not-a-folder"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        desk::Desk unwritable(QLatin1Char(','), vat::RateFile(m_folder->path(), m_folder->path()),
                              blocker.fileName());
        TapeWindow window(unwritable);
        window.show();
        unwritable.tape().append(sum(QDateTime::currentDateTime(), 1, 1));
        unwritable.tape().flush();
        QVERIFY(!unwritable.tape().problem().isEmpty());
        auto *shown = window.findChild<QLabel *>("LblProbleme");
        QVERIFY(shown->isVisible());
        QCOMPARE(shown->text(), unwritable.tape().problem());
    }

    void clearsAfterConfirmation_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("cleared");
        QTest::newRow("confirmed") << "Effacer" << true;
        QTest::newRow("cancelled") << "Annuler" << false;
    }
    void clearsAfterConfirmation()
    {
        QFETCH(QString, answer);
        QFETCH(bool, cleared);
        m_desk->tape().append(sum(QDateTime::currentDateTime(), 1, 2));
        answerNextQuestion(answer);
        m_window->findChild<QPushButton *>("CmdEffacer")->click();
        QCOMPARE(m_desk->tape().lines().isEmpty(), cleared);
        QCOMPARE(m_window->lines()->model()->rowCount(), cleared ? 0 : 4);
        QCOMPARE(m_window->findChild<QLineEdit *>("TxtGT")->text().startsWith("0"), cleared);
    }

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<desk::Desk> m_desk;
    std::unique_ptr<TapeWindow> m_window;
};

QTEST_MAIN(TestTapeWindow)
#include "test_tapewindow.moc"
