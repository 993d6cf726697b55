#include "framework/File.h"

// The Win32 half of CFile; the POSIX half, for the native tests, is FilePosix.cpp.

BOOL CFile::Open(const char* path, UINT flags, CFileException* pError)
{
    CloseQuietly();
    m_strFileName = path;
    m_bFlushOnClose = (flags & osFlushOnClose) != 0;
    const UINT access = flags & 3;
    const bool create = (flags & modeCreate) != 0;

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
    const LONG osError = static_cast<LONG>(GetLastError());
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
        DWORD got = 0;
        if (!ReadFile(m_hFile, out + total, count - total, &got, nullptr))
            ThrowLastError();
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

void CFile::Write(const void* buf, UINT count)
{
    const char* in = static_cast<const char*>(buf);
    UINT total = 0;
    while (total < count) {
        DWORD put = 0;
        if (!WriteFile(m_hFile, in + total, count - total, &put, nullptr))
            ThrowLastError();
        // A successful WriteFile that writes nothing to a disk file means the disk is full.
        if (put == 0)
            throw CFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
        total += put;
    }
}

ULONGLONG CFile::MovePointer(LONGLONG off, UINT from) const
{
    // FILE_BEGIN, FILE_CURRENT and FILE_END have the values of begin, current and end.
    LARGE_INTEGER distance;
    distance.QuadPart = off;
    LARGE_INTEGER position;
    if (!SetFilePointerEx(m_hFile, distance, &position, from))
        ThrowLastError();  // ERROR_NEGATIVE_SEEK before the start maps to badSeek
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size;
    // GetFileSizeEx gives the whole 64-bit size in one call (GetFileSize splits it).
    if (!GetFileSizeEx(m_hFile, &size))
        ThrowLastError();
    return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::Close()
{
    if (!IsOpen())
        return;
    // Written data may wait in the system's cache; FlushFileBuffers returns
    // only once it is on the disk.
    if (m_bFlushOnClose && !FlushFileBuffers(m_hFile)) {
        const LONG osError = static_cast<LONG>(GetLastError());
        // Drives and redirectors with nothing to flush (RAM disks, some
        // network redirectors) answer these two: no flush there, no lost data.
        if (osError != ERROR_INVALID_FUNCTION && osError != ERROR_NOT_SUPPORTED) {
            CloseQuietly();
            CFileException::ThrowOsError(osError, m_strFileName);
        }
    }
    // A failed CloseHandle is reported: the file may not hold what was written.
    const BOOL closed = CloseHandle(m_hFile);
    const LONG osError = static_cast<LONG>(GetLastError());
    m_hFile = INVALID_HANDLE_VALUE;
    if (!closed)
        CFileException::ThrowOsError(osError, m_strFileName);
}

BOOL CFile::IsOpen() const
{
    return m_hFile != INVALID_HANDLE_VALUE;
}

void CFile::CloseQuietly() noexcept
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
}

void CFile::ThrowLastError() const
{
    CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName);
}

CString AfxGetCurrentFolder()
{
    // The length asked for first, the NUL counted; a folder longer than
    // MAX_PATH still fits.
    const DWORD size = ::GetCurrentDirectoryA(0, nullptr);
    if (size == 0)
        return CString();
    CString folder;
    const DWORD length = ::GetCurrentDirectoryA(size, folder.GetBuffer(static_cast<int>(size)));
    folder.ReleaseBuffer(length > 0 && length < size ? static_cast<int>(length) : 0);
    return folder;
}
