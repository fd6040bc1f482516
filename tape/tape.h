#pragma once

// The tape: what a printing calculator would have printed, one line per amount, kept in memory
// and appended to a file in the user's data folder as calculations happen, with the grand total
// of the results since the tape was last cleared. QtCore only; the window shows it.

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

namespace tape {

struct Line
{
    QDateTime time;      // local time the calculation was made
    QString label;       // words before the amount ("TVA 20 %", "Prix d'achat HT"); often empty
    QString amount;      // the number as the program shows it, regional decimal mark
    QString mark;        // what the amount is: "+", "=", "*", "%", "C", "HT", "TTC", "TVA", ...
    bool result = false; // a result line (bold in the window)
    bool total = false;  // counted in the grand total (results of =, % and the VAT keys)
    // What made the line, for correcting it (desk/journal.h): the calculation that wrote it (0 for
    // a line written before calculations were kept), the entry of that calculation, and which
    // amount of the entry the user keyed the line shows (-1: a result, a heading, a VAT amount).
    qint64 calculation = 0;
    qint32 entry = -1;
    qint8 input = -1;
    QString former{}; // the amount as first keyed, when it has been corrected since

    bool operator==(const Line &) const = default;
};

} // namespace tape

// Its members move by plain copy of their bytes, so a tape of 20 000 lines is trimmed and grows
// at memmove speed.
Q_DECLARE_TYPEINFO(tape::Line, Q_RELOCATABLE_TYPE);

namespace tape {

struct JournalRecord; // tapefile.h

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

    // What made a block of lines, written to the file right after the block in the same write:
    // the journal of calculations gives it, when the file is written, from the block's lines.
    using BlockRecorder = std::function<QString(const QList<Line> &block)>;
    void setBlockRecorder(BlockRecorder recorder);
    // Lines [row, row + count) give way to the given ones.
    struct Replacement
    {
        qsizetype row = 0;
        qsizetype count = 0;
        QList<Line> lines;
        qsizetype order = 0; // set by replace()
    };
    // A correction: the replacements (rows as they stand before any of them) are made in memory
    // and the grand total is worked out again at once. Its record (a correction's, see
    // tapefile.h) is made and appended to the file once the correction is shown, as a key's
    // lines are, in one write, after whatever was waiting and before anything that follows:
    // the maker must hold copies, not references. It is given the change the replacements made
    // to the grand total, in cents. Without a maker the memory only changes (reading back
    // corrections already on file).
    using RecordMaker = std::function<JournalRecord(qint64 change)>;
    void replace(QList<Replacement> replacements, RecordMaker correction = {});
    // The records of the journal read by load(), in the file's order; handed over once.
    QList<JournalRecord> takeJournalRecords();
    // Reads the file, once (the first time the window opens); lines appended before are kept.
    void load();
    bool isLoaded() const;

    const QList<Line> &lines() const;
    qint64 grandTotalCents() const;
    // Empties the tape and its grand total, in memory and on file.
    void clear();
    // Does now what append() and replace() left for the moment after the key: writes the file
    // and trims the lines kept in memory (it runs by itself from the event loop, and when the
    // tape is destroyed).
    void flush();
    // Writes to the file now what waits for it, and only that: the lines in memory stay as they
    // are, so that rows found before stay true (a correction's).
    void write();

    // One sentence for the window when the file was set aside or the folder cannot be written;
    // empty when all is well.
    QString problem() const;

signals:
    void appended(int first, int count); // rows [first, first + count) are new
    void changed(int first, int last);   // rows [first, last] were corrected, same count
    void reset();                        // after load() or clear(): read lines() afresh
    void problemChanged();

private:
    void trimMemory();
    void trimFile();
    void postFlush();
    void setProblem(const QString &text);

    struct Private;
    Private *d;
};

// The grand total as the program shows an amount ("1234,56"), with the given decimal mark.
QString centsText(qint64 cents, QChar decimalMark);

} // namespace tape
