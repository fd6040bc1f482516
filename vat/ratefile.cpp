#include "ratefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

#include <utility>

namespace vat {

namespace {

// Reads the fields of the rate file one after another: a field runs to the next comma or line
// end (CR LF, LF or CR), blanks before it are skipped, and a field that starts with a double
// quote runs to the closing quote, anything between that quote and the next separator dropped.
class FieldReader
{
public:
    explicit FieldReader(QString text) : m_text(std::move(text)) {}

    std::optional<QString> next()
    {
        while (m_pos < m_text.size() && isBlank(m_text.at(m_pos)))
            ++m_pos;
        if (m_pos >= m_text.size())
            return std::nullopt;

        QString field;
        if (m_text.at(m_pos) == QLatin1Char('"')) {
            const qsizetype close = m_text.indexOf(QLatin1Char('"'), m_pos + 1);
            const qsizetype end = close < 0 ? m_text.size() : close;
            field = m_text.mid(m_pos + 1, end - m_pos - 1);
            m_pos = end + 1;
            while (m_pos < m_text.size() && !isSeparator(m_text.at(m_pos)))
                ++m_pos;
        } else {
            const qsizetype start = m_pos;
            while (m_pos < m_text.size() && !isSeparator(m_text.at(m_pos)))
                ++m_pos;
            field = m_text.mid(start, m_pos - start);
        }
        skipSeparator();
        return field;
    }

private:
    static bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }
    static bool isSeparator(QChar c)
    {
        return c == QLatin1Char(',') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
    }

    // A CR LF pair is one line end.
    void skipSeparator()
    {
        if (m_pos >= m_text.size())
            return;
        const QChar c = m_text.at(m_pos++);
        if (c == QLatin1Char('\r') && m_pos < m_text.size() &&
            m_text.at(m_pos) == QLatin1Char('\n'))
            ++m_pos;
    }

    QString m_text;
    qsizetype m_pos = 0;
};

std::optional<QByteArray> readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool saveAtomically(const QString &path, const QByteArray &bytes)
{
    // The new content goes to a temporary file beside the old one and replaces it only once
    // written whole, so a full disk or a crash never leaves a half-written or empty rate file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // The explicit flush matters: a disk that fills up part way makes the buffered write short,
    // and commit() alone would not notice it and would put the truncated file in place.
    if (file.write(bytes) != bytes.size() || !file.flush())
        file.cancelWriting();
    return file.commit();
}

// Whether the text starts with a whole line of UTF-16 without a byte order mark: every
// character of it plain ASCII, its zero byte on the high side (the second of each pair little
// endian, the first big endian), up to its line feed or the end of the file. A file the program
// wrote in UTF-8 never passes: its line break is CR LF in two bytes.
bool startsAsUtf16(const QByteArray &bytes, bool littleEndian)
{
    if (bytes.size() < 2)
        return false;
    for (qsizetype at = 0; at + 1 < bytes.size(); at += 2) {
        const char low = littleEndian ? bytes[at] : bytes[at + 1];
        const char high = littleEndian ? bytes[at + 1] : bytes[at];
        if (high != 0 || low == 0 || (low & 0x80) != 0)
            return false;
        if (low == '\n')
            return true;
    }
    return bytes.size() % 2 == 0;
}

// The file's text. Edited by hand, it may come back from Notepad in "Unicode" (UTF-16, little
// endian, with a byte order mark) or in UTF-8 with a mark: the digits are read the same.
QString decodedText(const QByteArray &bytes)
{
    auto encoding = QStringConverter::Utf8;
    if (bytes.startsWith("\xFF\xFE") || startsAsUtf16(bytes, true))
        encoding = QStringConverter::Utf16LE;
    else if (bytes.startsWith("\xFE\xFF") || startsAsUtf16(bytes, false))
        encoding = QStringConverter::Utf16BE;
    // The decoder drops a leading byte order mark.
    QStringDecoder decoder(encoding);
    const QString text = decoder(bytes);
    if (encoding == QStringConverter::Utf8)
        return text;
    // A lone half of a surrogate pair passes the UTF-16 decoder; it becomes the replacement
    // character, as it would in UTF-8, so that a field kept as text is written back as it reads.
    return QString::fromUtf8(text.toUtf8());
}

} // namespace

std::optional<RateFileContent> parseRateFile(const QByteArray &bytes)
{
    FieldReader reader(decodedText(bytes));
    const std::optional<QString> first = reader.next();
    if (!first)
        return std::nullopt;
    const std::optional<QString> second = reader.next();
    if (!second)
        return std::nullopt;

    RateFileContent content;
    // The file is written with a point whatever the regional settings.
    if (const std::optional<double> number = readWholeNumber(*first, QLatin1Char('.')))
        content.first = Rate::fromNumber(*number);
    else
        content.first = Rate::fromText(*first);
    content.second = *second;
    return content;
}

QByteArray formatRateFile(const QString &first, const QString &second)
{
    return first.toUtf8() + "\r\n" + second.toUtf8() + "\r\n";
}

RateFile::RateFile(QString programFolder, QString userFolder)
    : m_programFolder(std::move(programFolder)), m_userFolder(std::move(userFolder))
{
}

RateFile RateFile::standard()
{
    return RateFile(QCoreApplication::applicationDirPath(),
                    QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

QString RateFile::programFilePath() const
{
    return programPath(fileName());
}

QString RateFile::userFilePath() const
{
    return userPath(fileName());
}

QString RateFile::programPath(const QString &name) const
{
    return QDir(m_programFolder).filePath(name);
}

QString RateFile::userPath(const QString &name) const
{
    return QDir(m_userFolder).filePath(name);
}

std::optional<RateFileContent> RateFile::read() const
{
    // The per-user file exists only because the program's folder could not be written: it holds
    // the rates stored last. Should it be unreadable, the rates beside the program still serve.
    if (!m_userFolder.isEmpty() && QFileInfo::exists(userFilePath())) {
        if (const std::optional<QByteArray> bytes = readAll(userFilePath())) {
            if (std::optional<RateFileContent> content = parseRateFile(*bytes))
                return content;
        }
    }
    if (const std::optional<QByteArray> bytes = readAll(programFilePath()))
        return parseRateFile(*bytes);
    return std::nullopt;
}

bool RateFile::write(const QString &first, const QString &second) const
{
    return writeKept(fileName(), formatRateFile(first, second));
}

std::optional<QByteArray> RateFile::readKept(const QString &name) const
{
    // Opening is the test of existence: a start without the file pays no more than the failed
    // opens.
    if (!m_userFolder.isEmpty()) {
        if (std::optional<QByteArray> bytes = readAll(userPath(name)))
            return bytes;
    }
    return readAll(programPath(name));
}

bool RateFile::writeKept(const QString &name, const QByteArray &bytes) const
{
    const QString user = userPath(name);
    if (saveAtomically(programPath(name), bytes)) {
        // A per-user copy left from a time the folder could not be written would be read first
        // at the next start and hide what was just stored: drop it, or bring it up to date.
        if (!m_userFolder.isEmpty() && QFileInfo::exists(user) && !QFile::remove(user))
            saveAtomically(user, bytes);
        return true;
    }

    if (m_userFolder.isEmpty() || !QDir().mkpath(m_userFolder))
        return false;
    return saveAtomically(user, bytes);
}

} // namespace vat
