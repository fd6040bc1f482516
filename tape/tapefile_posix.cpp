// The tape file on a POSIX system: flock() on the file itself, shared for appends and reads,
// exclusive for a rewrite, with a check once locked that the name still points to the file
// opened (a rewrite replaces the file by renaming a new one over it).
#include "tape/tapefile.h"
#include "tape/tapefilesystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tape {

namespace {

// The whole file, from its start, on a descriptor locked by the caller: false when it is larger
// than maxBytes or could not all be read.
bool readWhole(int fd, QByteArray &bytes, qint64 maxBytes)
{
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || info.st_size > maxBytes)
        return false;
    bytes.resize(qsizetype(info.st_size));
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::pread(fd, bytes.data() + got, size_t(bytes.size() - got), off_t(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    return got == info.st_size;
}

} // namespace

void TapeFile::closeDescriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

// Opens the file (or keeps it open), locks it, and makes sure that the name still points to it:
// a rewrite by another program may have replaced it while this one waited for the lock.
int TapeFile::lockedDescriptor(bool exclusive, bool create)
{
    const QByteArray name = QFile::encodeName(m_path);
    for (int attempt = 0; attempt < 8; ++attempt) {
        if (m_fd < 0) {
            const int flags = O_RDWR | O_APPEND | O_CLOEXEC | (create ? O_CREAT : 0);
            m_fd = ::open(name.constData(), flags, 0644);
            if (m_fd < 0)
                return -1;
        }
        if (::flock(m_fd, exclusive ? LOCK_EX : LOCK_SH) != 0) {
            closeDescriptor();
            return -1;
        }
        struct stat opened
        {
        }, named{};
        const bool named_ok = ::stat(name.constData(), &named) == 0;
        const bool gone = !named_ok && errno == ENOENT;
        if (named_ok && ::fstat(m_fd, &opened) == 0 && opened.st_dev == named.st_dev &&
            opened.st_ino == named.st_ino)
            return m_fd;
        closeDescriptor();
        if (gone && !create) {
            errno = ENOENT;
            return -1;
        }
    }
    return -1;
}

bool TapeFile::append(const QByteArray &bytes)
{
    if (m_fd < 0 && !QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return false;
    const int fd = lockedDescriptor(false, true);
    if (fd < 0)
        return false;
    // One write with O_APPEND: another program's block goes wholly before or after this one.
    const ssize_t written = ::write(fd, bytes.constData(), size_t(bytes.size()));
    struct stat info
    {
    };
    m_size = ::fstat(fd, &info) == 0 ? qint64(info.st_size) : 0;
    ::flock(fd, LOCK_UN);
    return written == bytes.size();
}

TapeFile::ReadResult TapeFile::read(QByteArray &bytes, qint64 maxBytes)
{
    const int fd = lockedDescriptor(false, false);
    if (fd < 0)
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    const bool whole = readWhole(fd, bytes, maxBytes);
    ::flock(fd, LOCK_UN);
    return whole ? ReadResult::Read : ReadResult::Failed;
}

bool TapeFile::rewriteWith(QByteArray (*edit)(QByteArrayView, void *), void *context)
{
    const int fd = lockedDescriptor(true, true);
    if (fd < 0)
        return false;
    // What cannot be read whole is left as it is: an edit of part of it would lose the rest.
    QByteArray old;
    if (!readWhole(fd, old, std::numeric_limits<qint64>::max())) {
        ::flock(fd, LOCK_UN);
        return false;
    }
    QSaveFile out(m_path);
    const bool done =
        out.open(QIODevice::WriteOnly) && out.write(edit(old, context)) >= 0 && out.commit();
    // The old file is unlocked by closing it; whoever waits on it finds the new one by name.
    closeDescriptor();
    return done;
}

QString TapeFile::setAside()
{
    const QString aside = asidePath(m_path);
    const bool locked = lockedDescriptor(true, false) >= 0;
    const bool moved = QFile::rename(m_path, aside);
    if (locked)
        closeDescriptor();
    return moved ? aside : QString();
}

} // namespace tape
