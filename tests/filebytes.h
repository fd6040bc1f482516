#pragma once

// A file's whole bytes written or read in one call, for the suites that prepare or check files.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace filebytes {

inline bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace filebytes
