// The tape file's reader under any bytes: it never crashes and reads no more records than the
// bytes could hold; and whatever junk a crash or another program left between well-formed
// records, every one of them reads back, in order, and a torn last record does not.
//
// The bytes are read once as a whole file, then cut at 0xFF bytes into pieces that become, in
// turn, junk and the label of a record; every third record is one of the journal of
// calculations, the piece its text. The journal reads the bytes as a tape file, corrections and
// all, without failing, and its own texts read back what they wrote.

#include "check.h"
#include "desk/journal.h"
#include "tape/tapefile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

QString describe(const QList<tape::Line> &lines)
{
    QStringList out;
    for (const tape::Line &l : lines)
        out << l.label + QLatin1Char('|') + l.amount + QLatin1Char('|') + l.mark;
    return out.join(QLatin1String(" / "));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // The smallest record, "TVX1\t0\t-\t\t\t\t" with its checksum and line feed, takes 21 bytes.
    const tape::TapeContents raw = tape::readTape(bytes);
    FUZZ_CHECK(raw.lines.size() * 21 <= bytes.size(), describe(raw.lines));
    FUZZ_CHECK(raw.records + raw.skipped <= bytes.count('\n') + 1, describe(raw.lines));

    QList<tape::Line> written;
    QList<tape::JournalRecord> journal;
    QByteArray file;
    const QList<QByteArrayView> pieces = [&] {
        QList<QByteArrayView> out;
        QByteArrayView rest = bytes;
        for (qsizetype cut; (cut = rest.indexOf('\xff')) >= 0; rest = rest.sliced(cut + 1))
            out.append(rest.first(cut));
        out.append(rest);
        return out;
    }();
    for (qsizetype i = 0; i + 1 < pieces.size(); i += 2) {
        const int n = int(i / 2);
        if (n % 3 == 2) {
            // A label that tags no lines, so that the lines read back as written.
            const tape::JournalRecord record{
                n % 2 ? tape::JournalRecord::Block : tape::JournalRecord::Correction, n,
                QStringLiteral("x"), QString::fromUtf8(pieces[i + 1]), written.size()};
            journal.append(record);
            file += pieces[i].toByteArray() + tape::journalRecord(record);
            continue;
        }
        const tape::Line line{QDateTime::fromMSecsSinceEpoch(1'700'000'000'000 + n),
                              QString::fromUtf8(pieces[i + 1]),
                              QString::number(n),
                              QStringLiteral("+"),
                              n % 2 == 0,
                              n % 3 == 0};
        written.append(line);
        file += pieces[i].toByteArray() + tape::lineRecord(line);
    }
    // A record that a crash cut short, after everything else.
    const QByteArray torn = tape::lineRecord(written.isEmpty() ? tape::Line{} : written.last());
    file += torn.first(torn.size() / 2);

    const tape::TapeContents contents = tape::readTape(file);
    FUZZ_CHECK(contents.lines == written,
               describe(contents.lines) + QLatin1String(" for ") + describe(written));
    FUZZ_CHECK(contents.journal == journal, QString::number(contents.journal.size()));

    // The journal's own texts: words read back as written, and anything read without failing.
    QStringList words;
    for (const QByteArrayView piece : pieces) {
        const QString text = QString::fromUtf8(piece);
        words << text;
        if (const auto entry = tape::entryFromText(text))
            FUZZ_CHECK(tape::entryText(
                           tape::entryFromText(tape::entryText(*entry)).value_or(tape::Entry{})) ==
                           tape::entryText(*entry),
                       text);
        if (const auto snapshot = tape::snapshotFromText(text))
            FUZZ_CHECK(tape::snapshotFromText(tape::snapshotText(*snapshot)) == snapshot, text);
        tape::numbersFromText(text);
        if (const auto span = tape::correctionSpan(text))
            FUZZ_CHECK(tape::correctionSpan(tape::correctionLabel(*span)) == span, text);
    }
    FUZZ_CHECK(tape::splitWords(tape::joinWords(words)) == words, words.join(u'|'));

    // The bytes as a tape file: read with its journal, then corrected where it can be.
    static QTemporaryDir dir;
    {
        QFile out(dir.filePath(QStringLiteral("ruban.txt")));
        if (!out.open(QIODevice::WriteOnly) ||
            out.write(bytes.data(), bytes.size()) != bytes.size())
            return 0;
    }
    tape::Tape tape(dir.path());
    tape::Journal reader(tape, QLatin1Char(','));
    tape.load();
    for (qsizetype row = 0; row < tape.lines().size(); ++row) {
        if (!reader.isCorrectable(row))
            continue;
        const qint64 id = tape.lines()[row].calculation;
        FUZZ_CHECK(reader.replay(id) == reader.linesOf(id), QString::number(row));
        if (reader.correctAmount(row, QStringLiteral("12,5")).done)
            FUZZ_CHECK(reader.undo().done, QString::number(row));
        break;
    }
    return 0;
}
