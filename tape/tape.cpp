#include "tape/tape.h"

#include "tape/cents.h"
#include "tape/tapefile.h"

#include <QDir>
#include <QStandardPaths>

#include <algorithm>
#include <memory>

namespace tape {

namespace {

constexpr qsizetype keptLines = 20000;
constexpr qint64 keptDays = 31;
// A file bigger than this is not a tape this program wrote: 20 000 lines take about 1 MB.
constexpr qint64 largestFile = 64 * 1024 * 1024;
// The file is trimmed when it grows past this: the kept lines take about 60 bytes each.
constexpr qint64 trimBytes = keptLines * 100;

// Drops the lines older than the kept days, then the oldest beyond the kept count, and carries
// the results they held into the grand total's base, so trimming never changes the total.
void trim(TapeContents &contents, qint64 nowMsecs)
{
    const qint64 cutoff = nowMsecs - keptDays * 24 * 3600 * 1000;
    qsizetype drop = std::max<qsizetype>(0, contents.lines.size() - keptLines);
    while (drop < contents.lines.size() && contents.lines[drop].time.toMSecsSinceEpoch() < cutoff)
        ++drop;
    for (qsizetype i = 0; i < drop; ++i) {
        if (contents.lines[i].total)
            contents.baseCents =
                addCents(contents.baseCents, amountCents(contents.lines[i].amount));
    }
    contents.lines.remove(0, drop);
}

QByteArray fileBytes(const TapeContents &contents, qint64 nowMsecs)
{
    QByteArray bytes = startRecord(nowMsecs, contents.baseCents);
    for (const Line &line : contents.lines)
        bytes += lineRecord(line);
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

    QByteArray pending; // records waiting for the idle moment after the key
    qsizetype pendingLines = 0;
    bool flushPosted = false;
    qint64 trimAtBytes = trimBytes;
    // Before load(): the lines of this session the file did not take, and whether a clear of
    // this session could not be written, so that load() neither loses nor revives anything.
    QList<Line> unsaved;
    bool clearUnsaved = false;

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
        if (d->writable)
            d->pending += lineRecord(line);
        else if (!d->loaded)
            d->unsaved.append(line);
    }
    d->pendingLines += d->writable ? block.size() : 0;
    emit appended(first, int(block.size()));
    // The file is written once the key is done, so that a key costs no disk access.
    if (!d->pending.isEmpty() && !d->flushPosted) {
        d->flushPosted = true;
        QMetaObject::invokeMethod(this, &Tape::flush, Qt::QueuedConnection);
    }
    // The lines shown are trimmed in memory, a tenth at a time; the file is trimmed on its own
    // once it grows past what the kept lines take.
    if (d->lines.size() > keptLines + keptLines / 10)
        trimMemory();
}

void Tape::flush()
{
    d->flushPosted = false;
    if (d->pending.isEmpty())
        return;
    const QByteArray bytes = std::exchange(d->pending, {});
    const qsizetype count = std::exchange(d->pendingLines, 0);
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
    d->baseCents = memory.baseCents;
    d->recount();
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
    d->pendingLines = 0;
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
