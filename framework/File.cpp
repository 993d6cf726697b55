#include "framework/File.h"

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

LONG LastOsError()
{
#ifdef _WIN32
    return static_cast<LONG>(GetLastError());
#else
    return errno;
#endif
}

}

CFile::CFile() = default;

CFile::CFile(const char* path, UINT flags)
{
    CFileException error;
    if (!Open(path, flags, &error))
        throw error;
}

CFile::~CFile()
{
    CloseQuietly();
}

BOOL CFile::Open(const char* path, UINT flags, CFileException* pError)
{
    CloseQuietly();
    m_strFileName = path;
    m_bFlushOnClose = (flags & osFlushOnClose) != 0;
    const UINT access = flags & 3;
    const bool create = (flags & modeCreate) != 0;

#ifdef _WIN32
    const DWORD desired = access == modeRead ? GENERIC_READ
        : access == modeWrite                ? GENERIC_WRITE
                                             : GENERIC_READ | GENERIC_WRITE;
    // Share mode 0: no other open of the file succeeds while this handle
    // lives, and this open fails with ERROR_SHARING_VIOLATION while another
    // process (the player, say) holds it.
    m_hFile = CreateFileA(path, desired, 0, nullptr, create ? CREATE_ALWAYS : OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hFile != INVALID_HANDLE_VALUE)
        return TRUE;
    const LONG osError = LastOsError();
#else
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
#endif
    if (pError) {
        pError->m_cause = CFileException::OsErrorToException(osError);
        pError->m_lOsError = osError;
        pError->m_strFileName = m_strFileName;
    }
    return FALSE;
}

UINT CFile::Read(void* buf, UINT count)
{
    char* out = static_cast<char*>(buf);
    UINT total = 0;
    // Loop until count bytes or end of file, so a short result always means end of file.
    while (total < count) {
#ifdef _WIN32
        DWORD got = 0;
        if (!ReadFile(m_hFile, out + total, count - total, &got, nullptr))
            ThrowLastError();
#else
        const ssize_t got = ::read(m_fd, out + total, count - total);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ThrowLastError();
        }
#endif
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
#ifdef _WIN32
        DWORD put = 0;
        if (!WriteFile(m_hFile, in + total, count - total, &put, nullptr))
            ThrowLastError();
        // A successful WriteFile that writes nothing to a disk file means the disk is full.
        if (put == 0)
            throw CFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
#else
        const ssize_t put = ::write(m_fd, in + total, count - total);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            ThrowLastError();
        }
        if (put == 0)
            throw CFileException(CFileException::diskFull, ENOSPC, m_strFileName);
#endif
        total += static_cast<UINT>(put);
    }
}

ULONGLONG CFile::Seek(LONGLONG off, UINT from)
{
    if (from > end)
        throw CFileException(CFileException::badSeek, -1, m_strFileName);
    return MovePointer(off, from);
}

ULONGLONG CFile::GetPosition() const
{
    return MovePointer(0, current);
}

ULONGLONG CFile::MovePointer(LONGLONG off, UINT from) const
{
#ifdef _WIN32
    // FILE_BEGIN, FILE_CURRENT and FILE_END have the values of begin, current and end.
    LARGE_INTEGER distance;
    distance.QuadPart = off;
    LARGE_INTEGER position;
    if (!SetFilePointerEx(m_hFile, distance, &position, from))
        ThrowLastError();  // ERROR_NEGATIVE_SEEK before the start maps to badSeek
    return static_cast<ULONGLONG>(position.QuadPart);
#else
    static const int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    const off_t position = ::lseek(m_fd, static_cast<off_t>(off), whence[from]);
    if (position < 0) {
        // lseek reports a position before the start as EINVAL
        if (errno == EINVAL)
            throw CFileException(CFileException::badSeek, EINVAL, m_strFileName);
        ThrowLastError();
    }
    return static_cast<ULONGLONG>(position);
#endif
}

ULONGLONG CFile::GetLength() const
{
#ifdef _WIN32
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile, &size))
        ThrowLastError();
    return static_cast<ULONGLONG>(size.QuadPart);
#else
    struct stat st;
    if (::fstat(m_fd, &st) != 0)
        ThrowLastError();
    return static_cast<ULONGLONG>(st.st_size);
#endif
}

void CFile::Close()
{
    if (!IsOpen())
        return;
    if (m_bFlushOnClose) {
        // Written data may wait in the system's cache; FlushFileBuffers (and
        // fsync) return only once it is on the disk.
#ifdef _WIN32
        const bool flushed = FlushFileBuffers(m_hFile) != 0;
#else
        const bool flushed = ::fsync(m_fd) == 0;
#endif
        if (!flushed) {
            const LONG osError = LastOsError();
            CloseQuietly();
            CFileException::ThrowOsError(osError, m_strFileName);
        }
    }
#ifdef _WIN32
    const BOOL closed = CloseHandle(m_hFile);
    const LONG osError = LastOsError();
    m_hFile = INVALID_HANDLE_VALUE;
    if (!closed)
        CFileException::ThrowOsError(osError, m_strFileName);
#else
    // The descriptor is gone after close() even when it fails, so never retry.
    const int result = ::close(m_fd);
    const LONG osError = LastOsError();
    m_fd = -1;
    if (result != 0 && osError != EINTR)
        CFileException::ThrowOsError(osError, m_strFileName);
#endif
}

BOOL CFile::IsOpen() const
{
#ifdef _WIN32
    return m_hFile != INVALID_HANDLE_VALUE;
#else
    return m_fd >= 0;
#endif
}

void CFile::CloseQuietly() noexcept
{
#ifdef _WIN32
    if (m_hFile != INVALID_HANDLE_VALUE)
        CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
#else
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
#endif
}

void CFile::ThrowLastError() const
{
    CFileException::ThrowOsError(LastOsError(), m_strFileName);
}
