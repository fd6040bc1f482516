// The "Taux de TVA" submenu of the main window and its "Autres taux" dialog, through the real
// windows: the radio entries of every rate, the switch stepping through them, the caption and what
// a screen reader is told, and the dialog's refusals and storing.

#include "shell/Form1.h"

#include "desk/desk.h"
#include "options/frmAutresTaux.h"

#include "filebytes.h"
#include "headless.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <array>

namespace {

QString userFile(const QString &name)
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).filePath(name);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    return QDir().mkpath(QFileInfo(path).path()) && filebytes::write(path, bytes);
}

const auto readFile = &filebytes::read;

// The submenu's entries as they read when it opens, the ticked one marked "*".
QStringList entries(QMenu *menu)
{
    emit menu->aboutToShow();
    QStringList texts;
    for (const QAction *action : menu->actions()) {
        if (!action->isSeparator())
            texts << action->text() + (action->isChecked() ? QStringLiteral("*") : QString());
    }
    return texts;
}

QAction *entry(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    qFatal("no entry %s", qPrintable(text));
}

} // namespace

class TestRateMenu : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        headless::quietPlatformLimits();
    }
    void cleanup() { QFile::remove(userFile("AutresTaux.ini")); }

    void submenu()
    {
        QVERIFY(writeFile(userFile("AutresTaux.ini"), "10\r\n"));
        Form1 window;
        window.show();
        QTRY_VERIFY(!window.desk().rates().TauxTVA().isEmpty());
        auto *display = window.findChild<QWidget *>("Text1");
        QTest::mouseClick(window.windowHandle(), Qt::RightButton, {}, display->geometry().center());
        auto *menu = window.findChild<QMenu *>("mnuTaux");
        QVERIFY(menu);
        QCOMPARE(entries(menu), (QStringList{"20 %*", "5,5 %", "10 %", "Autres taux…"}));

        entry(menu, "10 %")->trigger();
        QCOMPARE(window.vatCaption(), QStringLiteral("      Taux de TVA : 10 %"));
        auto *rateSwitch = window.findChild<QAbstractButton *>("TVA");
        QCOMPARE(rateSwitch->accessibleDescription(),
                 QStringLiteral("3 taux de TVA : 20 %, 5,5 % et 10 %"));
        QTest::mouseClick(rateSwitch, Qt::LeftButton);
        QCOMPARE(window.vatCaption(), QStringLiteral("      Taux de TVA : 20 %"));
        QCOMPARE(entries(menu).first(), QStringLiteral("20 %*"));

        entry(menu, "Autres taux…")->trigger();
        frmAutresTaux *dialog = window.extraRatesDialog();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->findChild<QLineEdit *>("TxtTVA3")->text(), QStringLiteral("10"));
        QCOMPARE(dialog->findChild<QLineEdit *>("TxtTVA4")->text(), QString());
        QTest::mouseClick(dialog->findChild<QAbstractButton *>("CmdAnnuler"), Qt::LeftButton);
        QTRY_VERIFY(!window.extraRatesDialog());
        QCOMPARE(readFile(userFile("AutresTaux.ini")), QByteArray("10\r\n"));
    }

    void dialog_data()
    {
        QTest::addColumn<QString>("third"); // as typed
        QTest::addColumn<QString>("fourth");
        QTest::addColumn<QString>("thirdAfter");
        QTest::addColumn<QString>("fourthAfter");
        QTest::addColumn<QByteArray>("file"); // null: none written, the dialog stays open
        QTest::newRow("both") << "10"
                              << "2,1"
                              << ""
                              << "" << QByteArray("10\r\n2.1\r\n");
        QTest::newRow("typed letters dropped") << "1a0"
                                               << ""
                                               << ""
                                               << "" << QByteArray("10\r\n");
        QTest::newRow("none left") << ""
                                   << ""
                                   << ""
                                   << "" << QByteArray("");
        QTest::newRow("equal to the second") << "10"
                                             << "5,5"
                                             << "10"
                                             << "   NON   " << QByteArray();
        QTest::newRow("zero") << "0"
                              << "10"
                              << "   NON   "
                              << "10" << QByteArray();
        QTest::newRow("two separators") << "2,1,1"
                                        << ""
                                        << "  NON  "
                                        << "" << QByteArray();
    }
    void dialog()
    {
        QFETCH(QString, third);
        QFETCH(QString, fourth);
        QFETCH(QString, thirdAfter);
        QFETCH(QString, fourthAfter);
        QFETCH(QByteArray, file);
        QTemporaryDir folder;
        QVERIFY(writeFile(folder.filePath("Taux.ini"), "20\r\n5.5\r\n"));
        QVERIFY(writeFile(folder.filePath("AutresTaux.ini"), "7\r\n"));
        desk::Desk desk(QLatin1Char(','), vat::RateFile(folder.path(), folder.filePath("user")),
                        folder.path());
        desk.startUp();
        while (desk.convertingRates())
            desk.stepRateConversion();

        auto *dialog = new frmAutresTaux(desk);
        QPointer<frmAutresTaux> open(dialog);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        const std::array<QLineEdit *, 2> fields{dialog->findChild<QLineEdit *>("TxtTVA3"),
                                                dialog->findChild<QLineEdit *>("TxtTVA4")};
        QCOMPARE(fields[0]->text(), QStringLiteral("7"));
        const QString typed[] = {third, fourth};
        for (int i = 0; i < 2; ++i) {
            fields[i]->selectAll();
            QTest::keyClick(fields[i], Qt::Key_Backspace);
            QTest::keyClicks(fields[i], typed[i]);
        }
        QTest::keyClick(fields[1], Qt::Key_Return);
        if (file.isNull()) {
            QVERIFY(open);
            QCOMPARE(fields[0]->text(), thirdAfter);
            QCOMPARE(fields[1]->text(), fourthAfter);
            QCOMPARE(readFile(folder.filePath("AutresTaux.ini")), QByteArray("7\r\n"));
            delete dialog;
            return;
        }
        QTRY_VERIFY(!open);
        QCOMPARE(readFile(folder.filePath("AutresTaux.ini")), file);
        QCOMPARE(desk.rates().extraRates().join(u' '), QString::fromLatin1(file).simplified());
    }
};

QTEST_MAIN(TestRateMenu)
#include "test_ratemenu.moc"
