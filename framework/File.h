#pragma once

#include "framework/FileException.h"
#include "framework/Platform.h"
#include "framework/String.h"

// Binary file, always opened for exclusive use: while one CFile (in this or
// any other process) holds a file open, every other open of it fails. The
// members not defined here have one source per platform: FileWin32.cpp (Win32)
// and FilePosix.cpp (POSIX, for the native tests).
class CFile
{
public:
    enum OpenFlags {
        modeRead = 0,
        modeWrite = 1,
        modeReadWrite = 2,
        shareExclusive = 0x10,
        modeCreate = 0x1000,
        typeText = 0x4000,
        typeBinary = 0x8000,
        // For a file opened for writing: Close puts its data on the disk
        // before it lets the file go, and fails (throws) when it cannot. A
        // drive that has no flush at all is no failure. Abort never flushes.
        osFlushOnClose = 0x10000
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile() = default;
    // Throws CFileException when the file cannot be opened.
    CFile(const char* path, UINT flags)
    {
        CFileException error;
        if (!Open(path, flags, &error))
            throw error;
    }
    virtual ~CFile() { CloseQuietly(); }

    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Returns FALSE and fills *pError (when given) when the file cannot be opened.
    virtual BOOL Open(const char* path, UINT flags, CFileException* pError = nullptr);

    // Returns fewer than count bytes only at end of file.
    virtual UINT Read(void* buf, UINT count);
    virtual void Write(const void* buf, UINT count);
    virtual ULONGLONG Seek(LONGLONG off, UINT from)
    {
        if (from > end)
            throw CFileException(CFileException::badSeek, -1, m_strFileName);
        return MovePointer(off, from);
    }
    void SeekToBegin() { Seek(0, begin); }
    virtual ULONGLONG GetPosition() const { return MovePointer(0, current); }
    virtual ULONGLONG GetLength() const;
    virtual void Close();
    // Lets the file go as it stands, without a flush and without reporting
    // errors: for a file given up after an error (and deleted, say).
    virtual void Abort() noexcept { CloseQuietly(); }
    BOOL IsOpen() const;
    const CString& GetFilePath() const { return m_strFileName; }

protected:
    // Releases the handle without reporting errors (destructors, failed opens).
    void CloseQuietly() noexcept;
    [[noreturn]] void ThrowLastError() const;

private:
    // Moves the OS file pointer (from is begin, current or end) and returns the new position.
    ULONGLONG MovePointer(LONGLONG off, UINT from) const;

#ifdef _WIN32
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
#else
    int m_fd = -1;
#endif
    CString m_strFileName;
    bool m_bFlushOnClose = false;
};

// The process's current folder ("C:\Music"), or empty when it cannot be had.
// Relative paths are taken against it when they are given: the open and save
// dialogs move it.
CString AfxGetCurrentFolder();
