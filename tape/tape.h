#pragma once

// The tape: what a printing calculator would have printed, one line per amount, kept in memory
// and appended to a file in the user's data folder as calculations happen, with the grand total
// of the results since the tape was last cleared. QtCore only; the window shows it.

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

namespace tape {

struct Line
{
    QDateTime time;      // local time the calculation was made
    QString label;       // words before the amount ("TVA 20 %", "Prix d'achat HT"); often empty
    QString amount;      // the number as the program shows it, regional decimal mark
    QString mark;        // what the amount is: "+", "=", "*", "%", "C", "HT", "TTC", "TVA", ...
    bool result = false; // a result line (bold in the window)
    bool total = false;  // counted in the grand total (results of =, % and the VAT keys)

    bool operator==(const Line &) const = default;
};

class Tape : public QObject
{
    Q_OBJECT

public:
    // folder: where the tape file lives; empty means the user's data folder
    // (QStandardPaths::AppDataLocation). Nothing is read or opened here.
    explicit Tape(QString folder = {}, QObject *parent = nullptr);
    ~Tape() override;

    // One calculation's lines: kept in memory and appended to the file in one write.
    void append(const QList<Line> &block);
    // Reads the file, once (the first time the window opens); lines appended before are kept.
    void load();
    bool isLoaded() const;

    const QList<Line> &lines() const;
    qint64 grandTotalCents() const;
    // Empties the tape and its grand total, in memory and on file.
    void clear();
    // Writes to the file now what append() left for the moment after the key (it runs by
    // itself from the event loop, and when the tape is destroyed).
    void flush();

    // One sentence for the window when the file was set aside or the folder cannot be written;
    // empty when all is well.
    QString problem() const;

signals:
    void appended(int first, int count); // rows [first, first + count) are new
    void reset();                        // after load() or clear(): read lines() afresh
    void problemChanged();

private:
    void trimMemory();
    void trimFile();
    void setProblem(const QString &text);

    struct Private;
    Private *d;
};

// The grand total as the program shows an amount ("1234,56"), with the given decimal mark.
QString centsText(qint64 cents, QChar decimalMark);

} // namespace tape
