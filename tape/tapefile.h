#pragma once

// The tape file: one record per text line, so that a reader can always find the next record
// after a line that a crash cut short.
//
//   TVX1 <tab> msecs since 1970 (UTC) <tab> kind <tab> label <tab> amount <tab> mark <tab> crc
//
// kind is "-" for a plain line, "r" for a result, "t" for an amount counted in the grand total,
// "rt" for both, and "X" for a start record: the tape was cleared there (or trimmed, and then the
// amount holds, in cents, the grand total of the lines dropped). Backslash, tab, carriage return
// and line feed inside a field are written \\ \t \r \n. crc is the CRC-32 of everything before
// its tab, as 8 lowercase hex digits. A record is only read back when its checksum matches, and a
// line that a torn write glued to the front of a record is skipped up to the record's own prefix.
//
// The journal of calculations (desk/journal.h) adds two kinds in the same frame, its own text in
// the amount field and an empty mark:
//   "E"  what made the block of lines just before it (written in the same write as the block).
//        Its label tags those lines: "calculation entry inputs check", the calculation's number
//        in hex, the entry's number, the input each line shows ("0,-,-": "-" for none) and the
//        qChecksum of the block's texts in hex, so that a block that lost a line is not tagged.
//   "K"  a correction: "calculation count entry..." (the calculation in hex and its entries as
//        corrected) and nothing else, whatever the number of later calculations that went on
//        from it and were worked again: reading works them again from it, following the chain
//        up to the last one the label names. The label is "calculation:cents last": the change
//        the correction made to the grand total and, when later calculations were worked again,
//        the last of them in hex. Trimming drops a corrected calculation and those it changed
//        together: it keeps them all while the last is kept, or drops them with the record and
//        carries the change into the base.
//        Files of earlier versions hold a longer form, still read: the label lists
//        "calculation:cents" for each calculation changed, and the entries are followed by the
//        number of later calculations worked again, then the number and new start of each.

#include "tape/tape.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace tape {

// A record of the journal of calculations, as the tape file holds it.
struct JournalRecord
{
    enum Kind : char
    {
        Block = 'E',
        Correction = 'K',
    };
    Kind kind = Block;
    qint64 msecs = 0;
    QString label;      // Block: the calculation; Correction: the calculations it changed
    QString payload;    // the journal's own text
    qsizetype line = 0; // how many lines of the contents come before it

    bool operator==(const JournalRecord &) const = default;
};

// What a tape file holds, from its last start record on.
struct TapeContents
{
    QList<Line> lines;
    QList<JournalRecord> journal;
    qint64 baseCents = 0;  // grand total carried by the last start record
    bool started = false;  // a start record was read (lines before it were dropped)
    qsizetype records = 0; // well-formed records read, start records included
    qsizetype skipped = 0; // lines that were not well-formed records (torn or foreign)
};

QByteArray lineRecord(const Line &line);
QByteArray journalRecord(const JournalRecord &record);
// The label of the "E" record that follows a block of tagged lines.
QString blockLabel(const QList<Line> &block);
// What a correction's label says: the calculation corrected, the last one worked again with it
// (the same one when no other was) and the change to the grand total, in cents.
struct CorrectionSpan
{
    qint64 first = 0;
    qint64 last = 0;
    qint64 cents = 0;

    bool operator==(const CorrectionSpan &) const = default;
};
// Reads both forms of the label; nothing when it is not well formed.
std::optional<CorrectionSpan> correctionSpan(QStringView label);
QString correctionLabel(const CorrectionSpan &span);
// A start record: a clear (baseCents 0) or the head of a trimmed file.
QByteArray startRecord(qint64 msecs, qint64 baseCents);
// Reads every well-formed record of the bytes; never fails, whatever they hold.
TapeContents readTape(QByteArrayView bytes);
// True when the bytes cannot be a tape file: they do not begin with a record, whole or torn.
bool looksForeign(QByteArrayView bytes);

// The file itself, shared by every Tarvex running for the same user. Appends take a shared lock
// and rewrites an exclusive one on the file, and each checks, once it holds the lock, that the
// name still points to the file it opened, so an append never lands in a file that a rewrite has
// just replaced. On Windows the lock is on a file beside the tape that is never replaced, and
// appends take it whole (tapefile_windows.cpp).
class TapeFile
{
public:
    explicit TapeFile(QString path);
    ~TapeFile();
    TapeFile(const TapeFile &) = delete;
    TapeFile &operator=(const TapeFile &) = delete;

    const QString &path() const { return m_path; }
    // Creates the folder if needed and appends the bytes in one write.
    bool append(const QByteArray &bytes);
    // The size of the file after the last append.
    qint64 size() const { return m_size; }
    enum class ReadResult
    {
        Missing,
        Read,
        Failed,
    };
    ReadResult read(QByteArray &bytes, qint64 maxBytes);
    // Replaces the file, atomically, with what edit() makes of its current content (read under
    // the lock, so that lines another program appended in the meantime are not lost).
    template <typename Edit> bool rewrite(Edit edit);
    // Renames the file aside under a name that says it could not be read; returns the new name.
    QString setAside();

private:
    bool rewriteWith(QByteArray (*edit)(QByteArrayView, void *), void *context);
    int lockedDescriptor(bool exclusive, bool create);
    void closeDescriptor();

    QString m_path;
    int m_fd = -1;
    qint64 m_size = 0;
};

template <typename Edit> bool TapeFile::rewrite(Edit edit)
{
    return rewriteWith([](QByteArrayView old, void *e) { return (*static_cast<Edit *>(e))(old); },
                       &edit);
}

} // namespace tape
