// The tape file's reader under any bytes: it never crashes and reads no more records than the
// bytes could hold; and whatever junk a crash or another program left between well-formed
// records, every one of them reads back, in order, and a torn last record does not.
//
// The bytes are read once as a whole file, then cut at 0xFF bytes into pieces that become, in
// turn, junk and the label of a record.

#include "check.h"
#include "tape/tapefile.h"

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

    const QList<tape::Line> read = tape::readTape(file).lines;
    FUZZ_CHECK(read == written, describe(read) + QLatin1String(" for ") + describe(written));
    return 0;
}
