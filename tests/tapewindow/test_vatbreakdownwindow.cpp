// The tape window's "Ventilation TVA": the table of the whole tape or of the lines chosen, kept up
// to date by a correction, and what it copies, saves and prints.

#include "calculator/numbertext.h"
#include "desk/desk.h"
#include "tape/tapemodel.h"
#include "tapewindow/TapeWindow.h"
#include "tapewindow/VatBreakdownWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QPdfWriter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "filebytes.h"

#include <memory>

namespace {

// The table's rows as they read, the decimal mark written ",".
QList<QStringList> shown(const QTableWidget *table)
{
    QList<QStringList> rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < table->columnCount(); ++c)
            row << table->item(r, c)->text().replace(calc::regionalDecimalMark(), u',');
        rows << row;
    }
    return rows;
}

} // namespace

class TestVatBreakdownWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    std::unique_ptr<desk::Desk> m_desk;

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void breakdownTable()
    {
        QVERIFY(filebytes::write(m_folder.filePath("Taux.ini"), "20\r\n5.5\r\n"));
        QVERIFY(filebytes::write(m_folder.filePath("AutresTaux.ini"), "10\r\n"));
        m_desk = std::make_unique<desk::Desk>(
            QLatin1Char(','), vat::RateFile(m_folder.path(), m_folder.path()), m_folder.path());
        m_desk->startUp();
        while (m_desk->convertingRates())
            m_desk->stepRateConversion();
        for (const char *amount : {"100", "50", "30"}) {
            for (const char *c = amount; *c; ++c)
                m_desk->typeKey(QLatin1Char(*c));
            m_desk->vatKey(vat::VatKey::TTC);
            m_desk->switchRate();
        }
        TapeWindow window(*m_desk, m_desk->tapeEditing());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!window.breakdownWindow()); // made when first asked for
        QTest::mouseClick(window.findChild<QPushButton *>("CmdVentilation"), Qt::LeftButton);
        VatBreakdownWindow *breakdown = window.breakdownWindow();
        QVERIFY(breakdown && breakdown->isVisible());
        const QTableWidget *table = breakdown->table();
        QCOMPARE(table->accessibleName(), QStringLiteral("Ventilation de la TVA"));
        QCOMPARE(shown(table), (QList<QStringList>{{"20 %", "1", "100,00", "20,00", "120,00"},
                                                   {"5,5 %", "1", "50,00", "2,75", "52,75"},
                                                   {"10 %", "1", "30,00", "3,00", "33,00"},
                                                   {"Total", "3", "180,00", "25,75", "205,75"}}));

        // One line of the 5,5 % block chosen, then its amount corrected.
        const QList<tape::Line> &lines = m_desk->tape().lines();
        int given = -1;
        for (int i = 0; i < lines.size(); ++i) {
            if (lines[i].amount == u"50" && lines[i].mark == u"HT")
                given = i;
        }
        QListView *list = window.lines();
        list->selectionModel()->select(window.model()->indexOfLine(given + 2),
                                       QItemSelectionModel::ClearAndSelect);
        QCOMPARE(shown(table), (QList<QStringList>{{"5,5 %", "1", "50,00", "2,75", "52,75"},
                                                   {"Total", "1", "50,00", "2,75", "52,75"}}));
        QVERIFY(m_desk->tapeEditing()->replaceAmount(given, "60"));
        list->clearSelection();
        QCOMPARE(shown(table)[1], (QStringList{"5,5 %", "1", "60,00", "3,30", "63,30"}));
        QCOMPARE(shown(table)[3], (QStringList{"Total", "3", "190,00", "26,30", "216,30"}));

        // Handed out: the copy, the CSV file, the print of the breakdown and of the tape with it.
        QTest::mouseClick(breakdown->findChild<QPushButton *>("CmdCopier"), Qt::LeftButton);
        QVERIFY(QGuiApplication::clipboard()->text().endsWith("Total\t3\t190,00\t26,30\t216,30\n"));
        const QString csv = m_folder.filePath("ruban-tva.csv");
        QVERIFY(window.saveBreakdownTo(csv));
        QFile saved(csv);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().endsWith(
            "\r\n10;1;30,00;3,00;33,00\r\nTotal;3;190,00;26,30;216,30\r\n"));
        QVERIFY(!window.saveBreakdownTo(m_folder.filePath("missing/ruban-tva.csv")));
        QPdfWriter alone(m_folder.filePath("ventilation.pdf"));
        QVERIFY(window.printBreakdownTo(alone));
        QPdfWriter withTape(m_folder.filePath("ruban.pdf"));
        QVERIFY(window.printTo(withTape));
    }
};

QTEST_MAIN(TestVatBreakdownWindow)
#include "test_vatbreakdownwindow.moc"
