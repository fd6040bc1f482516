#include "tape/tape.h"

#include "tape/cents.h"
#include "tape/tapefile.h"

#include <QDir>
#include <QHash>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <memory>
#include <numeric>
#include <optional>
#include <tuple>

namespace tape {

namespace {

constexpr qsizetype keptLines = 20000;
constexpr qint64 keptDays = 31;
// A file bigger than this is not a tape this program wrote: 20 000 lines take about 1 MB.
constexpr qint64 largestFile = 64 * 1024 * 1024;
// Lines in memory beyond the kept ones before they are trimmed: trimming moves the kept lines,
// so it is done in large steps, seldom.
constexpr qsizetype trimSlack = keptLines / 2;
// The file is trimmed when it grows past this: the kept lines take about 60 bytes each.
constexpr qint64 trimBytes = keptLines * 100;

// Drops the lines older than the kept days, then the oldest beyond the kept count, and carries
// the results they held into the grand total's base, so trimming never changes the total. A block
// of a calculation goes whole; the journal's records go with the blocks they tell of. A corrected
// calculation and the later ones its correction worked again go together, since only the first
// one's entries are on file: while the last of them is kept, the cut moves back before the first.
// A correction goes when they do, and the change it made to the total goes into the base.
void trim(TapeContents &contents, qint64 nowMsecs)
{
    const qint64 cutoff = nowMsecs - keptDays * 24 * 3600 * 1000;
    qsizetype drop = std::max<qsizetype>(0, contents.lines.size() - keptLines);
    while (drop < contents.lines.size() && contents.lines[drop].time.toMSecsSinceEpoch() < cutoff)
        ++drop;
    const auto sameBlock = [&](qsizetype i) {
        const Line &a = contents.lines[i - 1], &b = contents.lines[i];
        return b.calculation != 0 && a.calculation == b.calculation && a.entry == b.entry;
    };
    while (drop > 0 && drop < contents.lines.size() && sameBlock(drop))
        ++drop;
    if (drop == 0)
        return;
    QList<std::pair<qsizetype, std::optional<CorrectionSpan>>> corrections;
    for (qsizetype i = 0; i < contents.journal.size(); ++i)
        if (contents.journal[i].kind == JournalRecord::Correction)
            corrections.append({i, correctionSpan(contents.journal[i].label)});
    // The first and last row of each calculation a correction names.
    QHash<qint64, std::pair<qsizetype, qsizetype>> rows;
    for (const auto &[record, span] : std::as_const(corrections))
        if (span) {
            rows.insert(span->first, {-1, -1});
            rows.insert(span->last, {-1, -1});
        }
    if (!rows.isEmpty()) {
        for (qsizetype i = 0; i < contents.lines.size(); ++i) {
            const auto it = rows.find(contents.lines[i].calculation);
            if (it == rows.end())
                continue;
            if (it->first < 0)
                it->first = i;
            it->second = i;
        }
        for (bool moved = true; moved && drop > 0;) {
            moved = false;
            for (const auto &[record, span] : std::as_const(corrections)) {
                if (!span)
                    continue;
                const auto first = rows.value(span->first), last = rows.value(span->last);
                const qsizetype begin = first.first < 0 ? last.first : first.first;
                const qsizetype end = std::max(first.second, last.second);
                if (begin >= 0 && begin < drop && end >= drop) {
                    drop = begin;
                    moved = true;
                }
            }
        }
        if (drop == 0)
            return;
    }
    for (qsizetype i = 0; i < drop; ++i) {
        if (contents.lines[i].total)
            contents.baseCents =
                addCents(contents.baseCents, amountCents(contents.lines[i].amount));
    }
    if (!contents.journal.isEmpty()) {
        QList<JournalRecord> records;
        qsizetype next = 0;
        for (qsizetype i = 0; i < contents.journal.size(); ++i) {
            JournalRecord &record = contents.journal[i];
            if (record.kind == JournalRecord::Block) {
                if (record.line <= drop)
                    continue;
            } else {
                const std::optional<CorrectionSpan> span = corrections[next++].second;
                const auto kept = [&](qint64 calculation) {
                    return rows.value(calculation, {-1, -1}).second >= drop;
                };
                if (!span || (!kept(span->first) && !kept(span->last))) {
                    if (span)
                        contents.baseCents = addCents(contents.baseCents, span->cents);
                    continue;
                }
            }
            record.line = std::max<qsizetype>(0, record.line - drop);
            records.append(std::move(record));
        }
        contents.journal = std::move(records);
    }
    contents.lines.remove(0, drop);
}

QByteArray fileBytes(const TapeContents &contents, qint64 nowMsecs)
{
    QByteArray bytes = startRecord(nowMsecs, contents.baseCents);
    qsizetype next = 0;
    for (qsizetype i = 0; i <= contents.lines.size(); ++i) {
        for (; next < contents.journal.size() && contents.journal[next].line <= i; ++next)
            bytes += journalRecord(contents.journal[next]);
        if (i < contents.lines.size())
            bytes += lineRecord(contents.lines[i]);
    }
    return bytes;
}

} // namespace

struct Tape::Private
{
    QString folder;
    std::unique_ptr<TapeFile> file; // opened at the first line or at load()
    QList<Line> lines;
    qint64 baseCents = 0;
    qint64 totalCents = 0;
    bool loaded = false;
    bool writable = true;
    QString problem;

    // What waits for the idle moment after the key: a start record, corrections, and the last
    // lines, written in that order.
    QByteArray pending;
    QList<std::pair<RecordMaker, qint64>> pendingCorrections; // with the change to the total
    qsizetype pendingLines = 0;
    QTimer *flushTimer = nullptr; // made at the first line, not at start-up
    qint64 trimAtBytes = trimBytes;
    // Before load(): the lines of this session the file did not take, and whether a clear of
    // this session could not be written, so that load() neither loses nor revives anything.
    QList<Line> unsaved;
    bool clearUnsaved = false;
    // What made each block, asked for when the block is written; and what load() read of it.
    BlockRecorder blockRecorder;
    QList<JournalRecord> journal;

    TapeFile &tapeFile()
    {
        if (!file) {
            if (folder.isEmpty())
                folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
            file = std::make_unique<TapeFile>(QDir(folder).filePath(QStringLiteral("ruban.txt")));
        }
        return *file;
    }
    void recount()
    {
        totalCents = baseCents;
        for (const Line &line : std::as_const(lines)) {
            if (line.total)
                totalCents = addCents(totalCents, amountCents(line.amount));
        }
    }
};

Tape::Tape(QString folder, QObject *parent) : QObject(parent), d(new Private)
{
    d->folder = std::move(folder);
}

Tape::~Tape()
{
    flush();
    delete d;
}

void Tape::append(const QList<Line> &block)
{
    if (block.isEmpty())
        return;
    const int first = int(d->lines.size());
    for (const Line &line : block) {
        d->lines.append(line);
        if (line.total)
            d->totalCents = addCents(d->totalCents, amountCents(line.amount));
        if (!d->writable && !d->loaded)
            d->unsaved.append(line);
    }
    if (d->unsaved.size() > keptLines + trimSlack)
        d->unsaved.remove(0, d->unsaved.size() - keptLines);
    emit appended(first, int(block.size()));
    // The file is written once the key is done, so that a key costs no disk access: the
    // records are even made then, and the lines shown trimmed.
    if (d->writable)
        d->pendingLines += block.size();
    if (d->writable || d->lines.size() > keptLines + trimSlack)
        postFlush();
}

void Tape::postFlush()
{
    // A timer rather than a posted call: it runs once the events already waiting are done, the
    // repainting of what the key or the correction changed among them, so that the screen
    // shows the new values before the disk is written.
    if (!d->flushTimer) {
        d->flushTimer = new QTimer(this);
        d->flushTimer->setSingleShot(true);
        d->flushTimer->setInterval(0);
        connect(d->flushTimer, &QTimer::timeout, this, &Tape::flush);
    }
    if (!d->flushTimer->isActive())
        d->flushTimer->start();
}

void Tape::flush()
{
    if (d->flushTimer)
        d->flushTimer->stop();
    // The lines shown are trimmed in memory, in large steps (those waiting for the file are
    // the newest, never among them); the file is trimmed on its own once it grows past what the
    // kept lines take.
    if (d->lines.size() > keptLines + trimSlack)
        trimMemory();
    write();
}

void Tape::write()
{
    if (d->pending.isEmpty() && d->pendingCorrections.isEmpty() && d->pendingLines == 0)
        return;
    QByteArray bytes = std::exchange(d->pending, {});
    // A correction follows the lines it changed, which were written before it was made.
    for (const auto &[make, change] : std::exchange(d->pendingCorrections, {}))
        bytes += journalRecord(make(change));
    const qsizetype count = std::min(std::exchange(d->pendingLines, 0), d->lines.size());
    qsizetype blockStart = d->lines.size() - count;
    for (qsizetype i = blockStart; i < d->lines.size(); ++i) {
        const Line &line = d->lines[i];
        bytes += lineRecord(line);
        // What made a block follows it in the same write.
        const bool blockEnds = i + 1 == d->lines.size() ||
                               d->lines[i + 1].calculation != line.calculation ||
                               d->lines[i + 1].entry != line.entry;
        if (!blockEnds)
            continue;
        if (line.calculation != 0 && d->blockRecorder) {
            const QList<Line> block = d->lines.mid(blockStart, i + 1 - blockStart);
            const QString payload = d->blockRecorder(block);
            if (!payload.isEmpty())
                bytes += journalRecord({JournalRecord::Block, line.time.toMSecsSinceEpoch(),
                                        blockLabel(block), payload, 0});
        }
        blockStart = i + 1;
    }
    if (d->tapeFile().append(bytes)) {
        if (d->file->size() > d->trimAtBytes)
            trimFile();
        return;
    }
    d->writable = false;
    if (!d->loaded) {
        // The lines that did not reach the file are the last ones of this session.
        d->unsaved += d->lines.mid(std::max<qsizetype>(0, d->lines.size() - count));
        d->clearUnsaved = d->clearUnsaved || count == 0;
    }
    setProblem(tr("Le dossier « %1 » refuse l'écriture : le ruban reste en mémoire et sera perdu "
                  "à la fermeture du programme.")
                   .arg(QDir::toNativeSeparators(d->folder)));
}

void Tape::load()
{
    if (d->loaded)
        return;
    flush();
    d->loaded = true;
    TapeFile &file = d->tapeFile();
    QByteArray bytes;
    const auto read = file.read(bytes, largestFile);
    TapeContents contents = readTape(bytes);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (read == TapeFile::ReadResult::Failed || looksForeign(bytes)) {
        // Never deleted: the user may want it back. This session's lines start the new file.
        const QString aside = file.setAside();
        if (aside.isEmpty()) {
            d->writable = false;
            setProblem(tr("Le fichier du ruban « %1 » est illisible : le ruban de cette séance "
                          "reste en mémoire.")
                           .arg(QDir::toNativeSeparators(file.path())));
        } else {
            setProblem(tr("Le fichier du ruban était illisible : il a été mis de côté sous le "
                          "nom « %1 ».")
                           .arg(QDir::toNativeSeparators(aside)));
            TapeContents session;
            session.lines = d->lines;
            if (d->writable &&
                !file.rewrite([&](QByteArrayView) { return fileBytes(session, now); }))
                d->writable = false;
        }
        d->unsaved.clear();
        d->recount();
        emit reset();
        return;
    }
    if (read == TapeFile::ReadResult::Read && !d->clearUnsaved) {
        const bool untidy = contents.skipped > 0 || contents.records > contents.lines.size() + 1;
        const qsizetype before = contents.lines.size();
        trim(contents, now);
        const bool trimmed = contents.lines.size() < before;
        if (d->writable && (untidy || trimmed)) {
            // Read again under the lock: another program may have added lines since.
            file.rewrite([&](QByteArrayView current) {
                contents = readTape(current);
                trim(contents, now);
                return fileBytes(contents, now);
            });
        }
        d->lines = contents.lines + d->unsaved;
        d->baseCents = contents.baseCents;
        d->journal = std::move(contents.journal);
    }
    d->unsaved.clear();
    d->recount();
    emit reset();
}

void Tape::trimMemory()
{
    TapeContents memory;
    memory.lines = std::move(d->lines);
    memory.baseCents = d->baseCents;
    trim(memory, QDateTime::currentMSecsSinceEpoch());
    d->lines = std::move(memory.lines);
    // The results dropped went into the base: the grand total stays as it was.
    d->baseCents = memory.baseCents;
    emit reset();
}

void Tape::trimFile()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    qint64 kept = 0;
    d->tapeFile().rewrite([&](QByteArrayView current) {
        TapeContents onFile = readTape(current);
        trim(onFile, now);
        const QByteArray bytes = fileBytes(onFile, now);
        kept = bytes.size();
        return bytes;
    });
    // Lines longer than the usual ones must not make every append trim again.
    d->trimAtBytes = std::max(trimBytes, kept + kept / 10);
}

void Tape::setBlockRecorder(BlockRecorder recorder)
{
    d->blockRecorder = std::move(recorder);
}

QList<JournalRecord> Tape::takeJournalRecords()
{
    return std::exchange(d->journal, {});
}

void Tape::replace(QList<Replacement> replacements, RecordMaker correction)
{
    // What waits for the file goes first, so that the correction follows the lines it changes;
    // the lines stay where they are: the rows given are the rows of now.
    if (correction)
        write();
    // From the last row up, so that the rows of those still to come stay true; at one row, what
    // replaces lines goes before what is put in before them, and lines put in at one row keep
    // the order they were given in.
    for (qsizetype i = 0; i < replacements.size(); ++i)
        replacements[i].order = i;
    const auto later = [](const Replacement &a, const Replacement &b) {
        return std::tie(a.row, a.count, a.order) > std::tie(b.row, b.count, b.order);
    };
    // A long chain of calculations comes in the tape's order: turned round, not sorted.
    if (std::is_sorted(replacements.crbegin(), replacements.crend(), later))
        std::reverse(replacements.begin(), replacements.end());
    else
        std::sort(replacements.begin(), replacements.end(), later);
    bool sameCount = true;
    qsizetype first = d->lines.size(), last = -1;
    // The total changes by what the new lines count less what the old ones did, exactly in
    // cents; near the largest sum, where additions are held, it is added up again.
    qint64 gone = 0, come = 0;
    const auto counted = [](qint64 sum, const Line &line) {
        return line.total ? addCents(sum, amountCents(line.amount)) : sum;
    };
    for (Replacement &r : replacements) {
        const qsizetype row = std::clamp<qsizetype>(r.row, 0, d->lines.size());
        const qsizetype count = std::clamp<qsizetype>(r.count, 0, d->lines.size() - row);
        gone = std::accumulate(d->lines.cbegin() + row, d->lines.cbegin() + row + count, gone,
                               counted);
        come = std::accumulate(r.lines.cbegin(), r.lines.cend(), come, counted);
        // Moved rather than copied: each line holds four texts.
        for (qsizetype i = 0; i < std::min(count, r.lines.size()); ++i)
            d->lines[row + i] = std::move(r.lines[i]);
        if (r.lines.size() > count)
            d->lines.insert(row + count, r.lines.size() - count, Line{});
        for (qsizetype i = count; i < r.lines.size(); ++i)
            d->lines[row + i] = std::move(r.lines[i]);
        if (count > r.lines.size())
            d->lines.remove(row + r.lines.size(), count - r.lines.size());
        sameCount = sameCount && count == r.lines.size();
        first = std::min(first, row);
        last = std::max(last, row + count - 1);
    }
    constexpr qint64 safe = std::numeric_limits<qint64>::max() / 4;
    const qint64 totalBefore = d->totalCents;
    if (std::abs(d->totalCents) < safe && std::abs(gone) < safe && std::abs(come) < safe)
        d->totalCents = addCents(d->totalCents, come - gone);
    else
        d->recount();
    const qint64 change = std::abs(totalBefore) < safe && std::abs(d->totalCents) < safe
                              ? d->totalCents - totalBefore
                              : addCents(come, gone == std::numeric_limits<qint64>::min()
                                                   ? std::numeric_limits<qint64>::max()
                                                   : -gone);
    // The record is made and written once the new values are shown: on a long chain it is most
    // of the work. A crash before then leaves the tape as it was before the correction.
    if (correction && d->writable) {
        d->pendingCorrections.append({std::move(correction), change});
        postFlush();
    }
    if (!sameCount)
        emit reset();
    else if (last >= first)
        emit changed(int(first), int(last));
}

bool Tape::isLoaded() const
{
    return d->loaded;
}

const QList<Line> &Tape::lines() const
{
    return d->lines;
}

qint64 Tape::grandTotalCents() const
{
    return d->totalCents;
}

void Tape::clear()
{
    d->lines.clear();
    d->unsaved.clear();
    d->baseCents = 0;
    d->totalCents = 0;
    // Lines still waiting for the file are cleared with the rest; the start record tells every
    // later reader, and the other Tarvex running, where the tape begins again.
    d->pending.clear();
    d->pendingCorrections.clear();
    d->pendingLines = 0;
    d->journal.clear();
    if (d->writable) {
        d->pending = startRecord(QDateTime::currentMSecsSinceEpoch(), 0);
        flush();
    } else {
        d->clearUnsaved = !d->loaded;
    }
    emit reset();
}

QString Tape::problem() const
{
    return d->problem;
}

void Tape::setProblem(const QString &text)
{
    if (text == d->problem)
        return;
    d->problem = text;
    emit problemChanged();
}

} // namespace tape
