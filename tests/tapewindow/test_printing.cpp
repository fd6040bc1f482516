// The print module and its loader: the module built beside the program exports the entry point
// the loader looks for, and print support that cannot be loaded is told, never a crash.
#include "desktop/print/printentry.h"
#include "desktop/printing.h"

#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TestPrinting : public QObject
{
    Q_OBJECT

private slots:
    void moduleExportsTheEntryPoint()
    {
        QLibrary module(QStringLiteral(TARVEX_PRINT_MODULE_FILE));
        QVERIFY2(module.load(), qPrintable(module.errorString()));
        QVERIFY(module.resolve(desktop::print::entryName));
    }

    void unavailable_data()
    {
        QTest::addColumn<QByteArray>("moduleFile");
        QTest::newRow("no module") << QByteArray();
        QTest::newRow("not a library") << QByteArray("not a library\n");
    }
    void unavailable()
    {
        QFETCH(QByteArray, moduleFile);
        QTemporaryDir folder;
        if (!moduleFile.isEmpty()) {
            QFile file(folder.filePath(QFileInfo(TARVEX_PRINT_MODULE_FILE).fileName()));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(moduleFile);
        }
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("^Print support could not be loaded: "));
        bool painted = false;
        const auto paint = [&painted](QPagedPaintDevice &) { return painted = true; };
        QCOMPARE(desktop::printPages(nullptr, "Imprimer", "Document", paint, folder.path()),
                 desktop::PrintOutcome::Unavailable);
        QVERIFY(!painted);
    }
};

QTEST_GUILESS_MAIN(TestPrinting)
#include "test_printing.moc"
