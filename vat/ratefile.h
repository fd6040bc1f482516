#pragma once

// Taux.ini: the two VAT rates kept between runs, one per line, "." as decimal point, each line
// ended by CR LF. It lives beside the program; when that folder cannot be written (an installed
// program) it is kept in the user's configuration folder instead, which is then read first.

#include "rate.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace vat {

struct RateFileContent
{
    Rate first;     // a number when the first field reads as one, its text otherwise
    QString second; // the second field's text, unchanged
};

// The two first fields of the file's text: a field runs to the next comma or line end, leading
// blanks skipped; a field that starts with a double quote runs to the closing quote. Anything
// after two fields is ignored. Nothing when the text holds fewer than two fields.
std::optional<RateFileContent> parseRateFile(const QByteArray &bytes);

// The file's exact bytes for two rate texts: "first\r\nsecond\r\n".
QByteArray formatRateFile(const QString &first, const QString &second);

class RateFile
{
public:
    // programFolder: the folder that holds the executable; userFolder: the per-user
    // configuration folder used when the program's folder cannot be written.
    RateFile(QString programFolder, QString userFolder);
    // The folders of the running program.
    static RateFile standard();

    static QString fileName() { return QStringLiteral("Taux.ini"); }

    // The per-user file when it exists, the file beside the program otherwise. Nothing when
    // neither can be read or the file holds fewer than two fields.
    std::optional<RateFileContent> read() const;
    // Replaces the file atomically: a failed write leaves any existing file as it was. Falls
    // back to the per-user file when the program's folder cannot be written. True on success.
    bool write(const QString &first, const QString &second) const;

    QString programFilePath() const;
    QString userFilePath() const;

    // Any other file kept by the same rules, beside the program or in the per-user folder (the
    // extra rates): the per-user copy when it exists, the program's otherwise. Nothing when
    // neither can be opened; a missing file costs a failed open of each, nothing more.
    std::optional<QByteArray> readKept(const QString &name) const;
    // Replaces such a file atomically, falling back to the per-user copy when the program's
    // folder cannot be written, exactly as write() does for the rates. True on success.
    bool writeKept(const QString &name, const QByteArray &bytes) const;
    QString programPath(const QString &name) const;
    QString userPath(const QString &name) const;

private:
    QString m_programFolder;
    QString m_userFolder;
};

} // namespace vat
