#include "tape/tapefile.h"

#include "tape/cents.h"
#include "tape/localtime.h"
#include "tape/tapefilesystem.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <array>
#include <cstdint>

namespace tape {

namespace {

constexpr QByteArrayView prefix("TVX1\t");
constexpr qsizetype fieldCount = 6; // time, kind, label, amount, mark, crc

constexpr std::array<std::uint32_t, 256> crcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

std::uint32_t crc32(QByteArrayView bytes)
{
    static constexpr auto table = crcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (const char b : bytes)
        c = table[(c ^ std::uint8_t(b)) & 0xFFu] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void appendEscaped(QByteArray &out, const QString &field)
{
    for (const char b : field.toUtf8()) {
        switch (b) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += b;
        }
    }
}

std::optional<QString> unescaped(QByteArrayView field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char b = field[i];
        if (b != '\\') {
            out += b;
            continue;
        }
        if (++i == field.size())
            return std::nullopt;
        switch (field[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    return QString::fromUtf8(out);
}

QByteArray sealed(QByteArray body)
{
    body += '\t';
    body += QByteArray::number(crc32(body.left(body.size() - 1)), 16).rightJustified(8, '0');
    body += '\n';
    return body;
}

quint16 blockCheck(const Line *first, qsizetype count)
{
    QByteArray texts;
    for (qsizetype i = 0; i < count; ++i)
        texts +=
            (first[i].label + u'\t' + first[i].amount + u'\t' + first[i].mark + u'\n').toUtf8();
    return qChecksum(texts);
}

// Tags the block an "E" record follows, when its last lines are that block.
void tagBlock(QList<Line> &lines, const QString &label)
{
    const QStringList parts = label.split(u' ');
    if (parts.size() != 4)
        return;
    bool ok = false, entryOk = false, checkOk = false;
    const qint64 calculation = parts[0].toLongLong(&ok, 16);
    const qint32 entry = parts[1].toInt(&entryOk);
    const uint check = parts[3].toUInt(&checkOk, 16);
    const QStringList inputs = parts[2].split(u',');
    const qsizetype count = inputs.size();
    if (!ok || !entryOk || !checkOk || calculation == 0 || count > lines.size())
        return;
    Line *first = lines.data() + lines.size() - count;
    if (blockCheck(first, count) != check)
        return;
    QList<qint8> tags;
    for (const QString &input : inputs) {
        const int value = input == u'-' ? -1 : input.toInt(&ok);
        if ((input != u'-' && !ok) || value < -1 || value > 100)
            return;
        tags.append(qint8(value));
    }
    for (qsizetype i = 0; i < count; ++i) {
        first[i].calculation = calculation;
        first[i].entry = entry;
        first[i].input = tags[i];
    }
}

// One record, from its prefix to the end of its text line (without the line feed).
bool readRecord(QByteArrayView text, TapeContents &into)
{
    const qsizetype crcTab = text.lastIndexOf('\t');
    if (crcTab < 0 || text.size() - crcTab - 1 != 8)
        return false;
    bool ok = false;
    const auto crc = text.sliced(crcTab + 1).toULong(&ok, 16);
    if (!ok || crc != crc32(text.first(crcTab)))
        return false;
    const QList<QByteArrayView> fields = [&] {
        QList<QByteArrayView> parts;
        QByteArrayView rest = text.first(crcTab).sliced(prefix.size());
        for (qsizetype tab; (tab = rest.indexOf('\t')) >= 0; rest = rest.sliced(tab + 1))
            parts.append(rest.first(tab));
        parts.append(rest);
        return parts;
    }();
    if (fields.size() != fieldCount - 1)
        return false;
    const qint64 msecs = fields[0].toLongLong(&ok);
    if (!ok)
        return false;
    const QByteArrayView kind = fields[1];
    if (kind == "E" || kind == "K") {
        const auto label = unescaped(fields[2]);
        const auto payload = unescaped(fields[3]);
        if (!label || !payload || !fields[4].isEmpty())
            return false;
        into.journal.append(
            {JournalRecord::Kind(kind[0]), msecs, *label, *payload, into.lines.size()});
        if (kind == "E")
            tagBlock(into.lines, *label);
        return true;
    }
    if (kind == "X") {
        const qint64 base = fields[3].toLongLong(&ok);
        if (!ok)
            return false;
        into.lines.clear();
        into.journal.clear();
        into.baseCents = base;
        into.started = true;
        return true;
    }
    if (kind != "-" && kind != "r" && kind != "t" && kind != "rt")
        return false;
    const auto label = unescaped(fields[2]);
    const auto amount = unescaped(fields[3]);
    const auto mark = unescaped(fields[4]);
    if (!label || !amount || !mark)
        return false;
    into.lines.append(
        Line{localTime(msecs), *label, *amount, *mark, kind.contains('r'), kind.contains('t')});
    return true;
}

} // namespace

QString asidePath(const QString &path)
{
    const QFileInfo info(path);
    return info.absolutePath() + QLatin1Char('/') + info.completeBaseName() +
           QDateTime::currentDateTime().toString(QStringLiteral("-'illisible'-yyyyMMdd-HHmmss.")) +
           info.suffix();
}

QByteArray lineRecord(const Line &line)
{
    QByteArray body = prefix.toByteArray();
    body += QByteArray::number(line.time.toMSecsSinceEpoch());
    body += '\t';
    body += line.result ? (line.total ? "rt" : "r") : (line.total ? "t" : "-");
    body += '\t';
    appendEscaped(body, line.label);
    body += '\t';
    appendEscaped(body, line.amount);
    body += '\t';
    appendEscaped(body, line.mark);
    return sealed(body);
}

QByteArray journalRecord(const JournalRecord &record)
{
    QByteArray body = prefix.toByteArray();
    body += QByteArray::number(record.msecs);
    body += '\t';
    body += char(record.kind);
    body += '\t';
    appendEscaped(body, record.label);
    body += '\t';
    appendEscaped(body, record.payload);
    body += '\t';
    return sealed(body);
}

QString blockLabel(const QList<Line> &block)
{
    if (block.isEmpty())
        return {};
    QStringList inputs;
    for (const Line &line : block)
        inputs << (line.input < 0 ? QStringLiteral("-") : QString::number(line.input));
    return QString::number(block.front().calculation, 16) + u' ' +
           QString::number(block.front().entry) + u' ' + inputs.join(u',') + u' ' +
           QString::number(blockCheck(block.constData(), block.size()), 16);
}

std::optional<CorrectionSpan> correctionSpan(QStringView label)
{
    // "first:cents last", or the earlier "calculation:cents" for every calculation changed.
    std::optional<CorrectionSpan> span;
    bool lastGiven = false;
    for (const QStringView word : label.split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype colon = word.indexOf(u':');
        bool idOk = false, centsOk = true;
        const qint64 id = (colon < 0 ? word : word.first(colon)).toLongLong(&idOk, 16);
        const qint64 cents = colon < 0 ? 0 : word.sliced(colon + 1).toLongLong(&centsOk);
        if (!idOk || !centsOk || id == 0 || lastGiven || (colon < 0 && !span))
            return std::nullopt;
        if (!span)
            span = CorrectionSpan{id, id, 0};
        span->last = id;
        span->cents = addCents(span->cents, cents);
        lastGiven = colon < 0;
    }
    return span;
}

QString correctionLabel(const CorrectionSpan &span)
{
    QString label = QString::number(span.first, 16) + u':' + QString::number(span.cents);
    if (span.last != span.first)
        label += u' ' + QString::number(span.last, 16);
    return label;
}

QByteArray startRecord(qint64 msecs, qint64 baseCents)
{
    QByteArray body = prefix.toByteArray();
    body += QByteArray::number(msecs) + "\tX\t\t" + QByteArray::number(baseCents) + "\t";
    return sealed(body);
}

TapeContents readTape(QByteArrayView bytes)
{
    TapeContents contents;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', start);
        // A last line without its line feed is a write that a crash cut short.
        if (end < 0) {
            ++contents.skipped;
            break;
        }
        QByteArrayView text = bytes.sliced(start, end - start);
        start = end + 1;
        // A torn record glued to the front of a whole one: the whole one begins at the first
        // prefix from which the rest of the line reads as a record.
        bool read = false;
        for (qsizetype at = text.indexOf(prefix); at >= 0 && !read;
             at = text.indexOf(prefix, at + 1))
            read = readRecord(text.sliced(at), contents);
        read ? ++contents.records : ++contents.skipped;
    }
    return contents;
}

bool looksForeign(QByteArrayView bytes)
{
    // This program's file begins with a record, or with a torn one that the next record was
    // glued to: a first line without any record prefix was written by something else.
    const qsizetype end = bytes.indexOf('\n');
    return !bytes.isEmpty() && !(end < 0 ? bytes : bytes.first(end)).contains(prefix);
}

// --- The file on disk ---------------------------------------------------------------------------

TapeFile::TapeFile(QString path) : m_path(std::move(path)) {}

TapeFile::~TapeFile()
{
    closeDescriptor();
}

} // namespace tape
