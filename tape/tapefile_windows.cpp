// The tape file on Windows. Windows cannot rename a file over one that another program holds
// open, and a program cannot lock a file that is renamed over meanwhile, so the programs lock a
// second file instead, "ruban.txt.lock" beside the tape, which is never replaced: LockFileEx on
// it, exclusive for an append or a rewrite, shared for a read. The tape itself is opened only
// while that lock is held and closed before it is let go, so that a rewrite's rename never meets
// it open. A program that dies lets go of its lock with its last handle.
#include "tape/tapefile.h"
#include "tape/tapefilesystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <io.h>
#include <windows.h>

#include <cerrno>
#include <limits>

namespace tape {

namespace {

HANDLE handleOf(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

void unlock(int fd)
{
    OVERLAPPED whole = {};
    UnlockFileEx(handleOf(fd), 0, MAXDWORD, MAXDWORD, &whole);
}

// Lets go of the lock when the operation ends, however it ends.
struct Unlocker
{
    int fd;
    ~Unlocker() { unlock(fd); }
};

} // namespace

void TapeFile::closeDescriptor()
{
    if (m_fd >= 0)
        _close(m_fd); // closes the handle under it too
    m_fd = -1;
}

// Opens the lock file (or keeps it open) and takes the lock. With create, the tape's folder is made
// when missing; without, a tape that does not exist is told by errno ENOENT and nothing is made.
int TapeFile::lockedDescriptor(bool exclusive, bool create)
{
    if (m_fd < 0) {
        if (!create && !QFileInfo::exists(m_path)) {
            errno = ENOENT;
            return -1;
        }
        if (create && !QDir().mkpath(QFileInfo(m_path).absolutePath()))
            return -1;
        const QString lockPath = QDir::toNativeSeparators(m_path + QStringLiteral(".lock"));
        const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t *>(lockPath.utf16()),
                                        GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            errno = EACCES;
            return -1;
        }
        m_fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), 0);
        if (m_fd < 0) {
            CloseHandle(file);
            return -1;
        }
    }
    OVERLAPPED whole = {};
    if (!LockFileEx(handleOf(m_fd), exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0, 0, MAXDWORD, MAXDWORD,
                    &whole)) {
        closeDescriptor();
        errno = EACCES;
        return -1;
    }
    return m_fd;
}

bool TapeFile::append(const QByteArray &bytes)
{
    const int fd = lockedDescriptor(true, true);
    if (fd < 0)
        return false;
    const Unlocker unlocker{fd};
    // One write at the end, under the exclusive lock: another program's block goes wholly before
    // or after this one.
    QFile file(m_path);
    if (!file.open(QIODevice::Append))
        return false;
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    m_size = file.size();
    return written;
}

TapeFile::ReadResult TapeFile::read(QByteArray &bytes, qint64 maxBytes)
{
    const int fd = lockedDescriptor(false, false);
    if (fd < 0)
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    const Unlocker unlocker{fd};
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return file.exists() ? ReadResult::Failed : ReadResult::Missing;
    if (file.size() > maxBytes)
        return ReadResult::Failed;
    bytes = file.readAll();
    return bytes.size() == file.size() ? ReadResult::Read : ReadResult::Failed;
}

bool TapeFile::rewriteWith(QByteArray (*edit)(QByteArrayView, void *), void *context)
{
    const int fd = lockedDescriptor(true, true);
    if (fd < 0)
        return false;
    const Unlocker unlocker{fd};
    // What cannot be read whole is left as it is: an edit of part of it would lose the rest.
    QByteArray old;
    {
        QFile file(m_path);
        if (file.open(QIODevice::ReadOnly)) {
            old = file.readAll();
            if (old.size() != file.size())
                return false;
        } else if (file.exists()) {
            return false;
        }
    }
    QSaveFile out(m_path);
    return out.open(QIODevice::WriteOnly) && out.write(edit(old, context)) >= 0 && out.commit();
}

QString TapeFile::setAside()
{
    const QString aside = asidePath(m_path);
    const int fd = lockedDescriptor(true, false);
    const bool moved = QFile::rename(m_path, aside);
    if (fd >= 0)
        unlock(fd);
    return moved ? aside : QString();
}

} // namespace tape
