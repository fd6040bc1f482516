// What the tape window hands out: the copied text, the CSV file, the words a screen reader says,
// and the rows of the list, days under their headings.
#include "tape/tapemodel.h"
#include "tape/tapetext.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using tape::Line;

namespace {

Line line(const QString &when, const QString &amount, const QString &mark,
          const QString &label = {}, bool result = false)
{
    return {QDateTime::fromString(when, Qt::ISODate), label, amount, mark, result, result};
}

// A day of a shop: a sum, a VAT key, a margin block, across midnight into the next day.
QList<Line> sampleDay()
{
    return {
        line("2026-12-08T09:15:02", "100", "+"),
        line("2026-12-08T09:15:04", "20", "="),
        line("2026-12-08T09:15:04", "120", "*", {}, true),
        line("2026-12-08T10:02:40", "100", "HT"),
        line("2026-12-08T10:02:40", "20", "", "TVA 20 %"),
        line("2026-12-08T10:02:40", "120", "TTC", {}, true),
        line("2026-12-08T23:59:59", "80,00", "", "Prix d'achat HT"),
        line("2026-12-09T00:00:01", "0", "C"),
    };
}

} // namespace

class TestTapeText : public QObject
{
    Q_OBJECT

private slots:
    void copyText_data()
    {
        QTest::addColumn<QList<Line>>("lines");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing") << QList<Line>{} << QString();
        QTest::newRow("operand and mark")
            << QList<Line>{line("2026-12-08T09:00:00", "100", "+")} << "100\t+\n";
        QTest::newRow("blank before a shown number goes")
            << QList<Line>{line("2026-12-08T09:00:00", " 7", "=")} << "7\t=\n";
        QTest::newRow("words in a third column")
            << QList<Line>{line("2026-12-08T09:00:00", "19,6", "", "TVA 19,6 %"),
                           line("2026-12-08T09:00:00", "119,6", "TTC")}
            << "19,6\t\tTVA 19,6 %\n119,6\tTTC\n";
        QTest::newRow("a line with words only")
            << QList<Line>{line("2026-12-08T09:00:00", "", "", "Taux de TVA : 5,5 %")}
            << "\t\tTaux de TVA : 5,5 %\n";
    }
    void copyText()
    {
        QFETCH(QList<Line>, lines);
        QFETCH(QString, text);
        QCOMPARE(tape::copyText(lines), text);
    }

    void csvFile_data()
    {
        QTest::addColumn<QList<Line>>("lines");
        QTest::addColumn<QByteArray>("rows"); // after the byte order mark and the heading row
        QTest::newRow("empty tape") << QList<Line>{} << QByteArray();
        QTest::newRow("date, time, decimal comma")
            << QList<Line>{line("2026-12-08T09:05:07", "12.5", "*", {}, true)}
            << QByteArray("08/12/2026;09:05:07;;12,5;*\r\n");
        QTest::newRow("words and an accent in UTF-8")
            << QList<Line>{line("2026-01-31T18:00:00", "106,67", "", "Prix de vente HT"),
                           line("2026-01-31T18:00:00", "", "", "Taux de TVA : 5,5 %")}
            << QByteArray("31/01/2026;18:00:00;Prix de vente HT;106,67;\r\n"
                          "31/01/2026;18:00:00;Taux de TVA : 5,5 %;;\r\n");
        QTest::newRow("separator and quotes are quoted")
            << QList<Line>{line("2026-12-08T09:00:00", "-3", "=", "a;b \"c\"")}
            << QByteArray("08/12/2026;09:00:00;\"a;b \"\"c\"\"\";-3;=\r\n");
        QTest::newRow("leading blank trimmed")
            << QList<Line>{line("2026-12-08T09:00:00", " 0.5", "%")}
            << QByteArray("08/12/2026;09:00:00;;0,5;%\r\n");
    }
    void csvFile()
    {
        QFETCH(QList<Line>, lines);
        QFETCH(QByteArray, rows);
        const QByteArray file = tape::csvFile(lines);
        QVERIFY(file.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(QString::fromUtf8(file.mid(3)),
                 QStringLiteral("date;heure;libellé;montant;marque\r\n") + QString::fromUtf8(rows));
    }

    void spokenLine_data()
    {
        QTest::addColumn<Line>("line");
        QTest::addColumn<QString>("words");
        QTest::newRow("plus") << line("2026-12-08T09:00:00", "100", "+") << "100 plus";
        QTest::newRow("minus") << line("2026-12-08T09:00:00", "3", "-") << "3 moins";
        QTest::newRow("times") << line("2026-12-08T09:00:00", "3", "\u00D7") << "3 multiplié par";
        QTest::newRow("divided") << line("2026-12-08T09:00:00", "3", "\u00F7") << "3 divisé par";
        QTest::newRow("equals") << line("2026-12-08T09:00:00", "20", "=") << "20 égal";
        QTest::newRow("result") << line("2026-12-08T09:00:00", "120", "*", {}, true) << "120 total";
        QTest::newRow("percent") << line("2026-12-08T09:00:00", "10", "%") << "10 pour cent";
        QTest::newRow("clear") << line("2026-12-08T09:00:00", "0", "C") << "0 effacement";
        QTest::newRow("ttc") << line("2026-12-08T09:00:00", "119,6", "TTC")
                             << "119,6 toutes taxes comprises";
        QTest::newRow("words first")
            << line("2026-12-08T09:00:00", "20", "", "TVA 20 %") << "TVA 20 % 20";
        QTest::newRow("unknown mark read as is")
            << line("2026-12-08T09:00:00", "4", "M+") << "4 M+";
    }
    void spokenLine()
    {
        QFETCH(Line, line);
        QFETCH(QString, words);
        QCOMPARE(tape::spokenLine(line), words);
    }

    // A corrected line says what it was, beside its own words, in every text handed out; the
    // other lines are as they were.
    void correctedLines_data()
    {
        QTest::addColumn<QList<Line>>("lines");
        QTest::addColumn<QStringList>("former");
        QTest::addColumn<QString>("copied");
        QTest::addColumn<QByteArray>("csvRows");
        QTest::addColumn<QString>("spokenFirst");
        const QList<Line> sum{line("2026-12-08T09:00:00", "25", "+"),
                              line("2026-12-08T09:00:00", "30", "=")};
        QTest::newRow("operand") << sum << QStringList{"20", ""} << "25\t+\tcorrigé : 20\n30\t=\n"
                                 << QByteArray("08/12/2026;09:00:00;corrigé : 20;25;+\r\n"
                                               "08/12/2026;09:00:00;;30;=\r\n")
                                 << "25 plus, corrigé, auparavant 20";
        QTest::newRow("margin input with words")
            << QList<Line>{line("2026-12-08T09:00:00", "100,00", "", "Prix d'achat HT")}
            << QStringList{" 80,00"} << "100,00\t\tPrix d'achat HT (corrigé : 80,00)\n"
            << QByteArray("08/12/2026;09:00:00;Prix d'achat HT (corrigé : 80,00);100,00;\r\n")
            << "Prix d'achat HT 100,00, corrigé, auparavant 80,00";
        QTest::newRow("fewer former amounts than lines")
            << sum << QStringList{} << "25\t+\n30\t=\n"
            << QByteArray("08/12/2026;09:00:00;;25;+\r\n08/12/2026;09:00:00;;30;=\r\n")
            << "25 plus";
    }
    void correctedLines()
    {
        QFETCH(QList<Line>, lines);
        QFETCH(QStringList, former);
        QFETCH(QString, copied);
        QFETCH(QByteArray, csvRows);
        QFETCH(QString, spokenFirst);
        QCOMPARE(tape::copyText(lines, former), copied);
        QCOMPARE(tape::csvFile(lines, former).mid(3),
                 QStringLiteral("date;heure;libellé;montant;marque\r\n").toUtf8() + csvRows);
        QCOMPARE(tape::spokenLine(lines[0], former.value(0)), spokenFirst);
    }

    void dayHeading_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("heading");
        QTest::newRow("tuesday") << QDate(2026, 12, 8) << "mardi 8 décembre 2026";
        QTest::newRow("first of the month") << QDate(2027, 2, 1) << "lundi 1 février 2027";
        QTest::newRow("no date") << QDate() << "";
    }
    void dayHeading()
    {
        QFETCH(QDate, date);
        QFETCH(QString, heading);
        QCOMPARE(tape::dayHeading(date), heading);
    }

    // The rows of the list: a heading each time the day changes, whether the lines were there
    // when the model was made or arrived one calculation at a time.
    void rows_data()
    {
        QTest::addColumn<int>("splitAt"); // lines present before the model; the rest appended
        QTest::newRow("loaded") << 8;
        QTest::newRow("appended one by one") << 0;
        QTest::newRow("midnight while open") << 7;
    }
    void rows()
    {
        QFETCH(int, splitAt);
        QTemporaryDir folder;
        tape::Tape record(folder.path());
        const QList<Line> day = sampleDay();
        record.append(day.mid(0, splitAt));
        tape::TapeModel model(record);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        for (qsizetype i = splitAt; i < day.size(); ++i)
            record.append({day[i]});
        QCOMPARE(resets.count(), 0);

        QStringList shown;
        for (int r = 0; r < model.rowCount(); ++r)
            shown += model.index(r).data(Qt::AccessibleTextRole).toString();
        QCOMPARE(shown, QStringList({"mardi 8 décembre 2026", "100 plus", "20 égal", "120 total",
                                     "100 hors taxes", "TVA 20 % 20", "120 toutes taxes comprises",
                                     "Prix d'achat HT 80,00", "mercredi 9 décembre 2026",
                                     "0 effacement"}));
        QVERIFY(model.index(0).data(tape::TapeModel::HeadingRole).toBool());
        QVERIFY(model.index(3).data(tape::TapeModel::ResultRole).toBool());
        QVERIFY(!model.index(2).data(tape::TapeModel::ResultRole).toBool());

        // A heading stands for its day; a line chosen twice is copied once.
        const QList<Line> chosen = model.linesOf({model.index(8), model.index(0), model.index(2)});
        QCOMPARE(chosen, day);
        QCOMPARE(model.linesOf({model.index(9), model.index(5), model.index(8)}),
                 QList<Line>({day[4], day[7]}));

        // An entry being inserted is a row of its own, before its line, that nothing copies.
        const QModelIndex added = model.addNewEntry(4, QStringLiteral("+"));
        QCOMPARE(added.row(), 5);
        QCOMPARE(model.lineAt(added), -1);
        QCOMPARE(model.indexOfLine(4).row(), 6);
        QCOMPARE(model.linesOf({model.index(0)}), day.mid(0, 7));
        model.endEditing();
        QCOMPARE(model.rowCount(), 10);
        QCOMPARE(model.indexOfLine(4).row(), 5);
        QCOMPARE(model.lineAt(model.index(9)), 7);
        QVERIFY(!model.indexOfLine(8).isValid());

        record.clear();
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestTapeText)
#include "test_tapetext.moc"
