#include "framework/File.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// The POSIX half of CFile, for the native tests: it keeps the Win32 half's
// (File.cpp) exclusive opens and reports errors as the same causes.

BOOL CFile::Open(const char* path, UINT flags, CFileException* pError)
{
    CloseQuietly();
    m_strFileName = path;
    m_bFlushOnClose = (flags & osFlushOnClose) != 0;
    const UINT access = flags & 3;
    const bool create = (flags & modeCreate) != 0;

    const int mode = access == modeRead ? O_RDONLY : access == modeWrite ? O_WRONLY : O_RDWR;
    // No O_TRUNC here: a file held by another open must not be emptied
    // before the lock below refuses us.
    m_fd = ::open(path, mode | O_CLOEXEC | (create ? O_CREAT : 0), 0666);
    LONG osError = 0;
    if (m_fd < 0) {
        osError = errno;
    } else {
        struct stat st;
        if (::fstat(m_fd, &st) != 0)
            osError = errno;
        else if (S_ISDIR(st.st_mode))
            osError = EISDIR;  // Windows refuses to open a directory as a file too
        else if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0)
            osError = errno;  // flock locks belong to the open, so our own opens exclude each other
        else if (create && ::ftruncate(m_fd, 0) != 0)
            osError = errno;
        if (osError == 0)
            return TRUE;
        CloseQuietly();
    }
    if (pError)
        *pError = CFileException::FromOsError(osError, m_strFileName);
    return FALSE;
}

UINT CFile::Read(void* buf, UINT count)
{
    char* out = static_cast<char*>(buf);
    UINT total = 0;
    // Loop until count bytes or end of file, so a short result always means end of file.
    while (total < count) {
        const ssize_t got = ::read(m_fd, out + total, count - total);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ThrowLastError();
        }
        if (got == 0)
            break;
        total += static_cast<UINT>(got);
    }
    return total;
}

void CFile::Write(const void* buf, UINT count)
{
    const char* in = static_cast<const char*>(buf);
    UINT total = 0;
    while (total < count) {
        const ssize_t put = ::write(m_fd, in + total, count - total);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            ThrowLastError();
        }
        if (put == 0)
            throw CFileException(CFileException::diskFull, ENOSPC, m_strFileName);
        total += static_cast<UINT>(put);
    }
}

ULONGLONG CFile::MovePointer(LONGLONG off, UINT from) const
{
    static const int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    const off_t position = ::lseek(m_fd, static_cast<off_t>(off), whence[from]);
    if (position < 0) {
        // lseek reports a position before the start as EINVAL
        if (errno == EINVAL)
            throw CFileException(CFileException::badSeek, EINVAL, m_strFileName);
        ThrowLastError();
    }
    return static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::GetLength() const
{
    struct stat st;
    if (::fstat(m_fd, &st) != 0)
        ThrowLastError();
    return static_cast<ULONGLONG>(st.st_size);
}

void CFile::Close()
{
    if (!IsOpen())
        return;
    // Written data may wait in the system's cache; fsync returns only once
    // it is on the disk.
    if (m_bFlushOnClose && ::fsync(m_fd) != 0) {
        const LONG osError = errno;
        CloseQuietly();
        CFileException::ThrowOsError(osError, m_strFileName);
    }
    // The descriptor is gone after close() even when it fails, so never retry.
    const int result = ::close(m_fd);
    const LONG osError = errno;
    m_fd = -1;
    if (result != 0 && osError != EINTR)
        CFileException::ThrowOsError(osError, m_strFileName);
}

BOOL CFile::IsOpen() const
{
    return m_fd >= 0;
}

void CFile::CloseQuietly() noexcept
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void CFile::ThrowLastError() const
{
    CFileException::ThrowOsError(errno, m_strFileName);
}

CString AfxGetCurrentFolder()
{
    char folder[4096];
    return getcwd(folder, sizeof folder) != nullptr ? CString(folder) : CString();
}
