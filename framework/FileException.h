#pragma once

#include "framework/Platform.h"
#include "framework/String.h"

#include <exception>

// Raised by CFile and CStdioFile when a file operation fails.
class CFileException : public std::exception
{
public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    // osError is the platform's own code: GetLastError() on Windows, errno natively.
    CFileException(int cause = none, LONG osError = -1, const CString& fileName = CString());

    const char* what() const noexcept override;

    // Maps the platform's error code (as kept in m_lOsError) to a cause.
    static int OsErrorToException(LONG osError);
    // The exception that the platform's error code stands for.
    static CFileException FromOsError(LONG osError, const CString& fileName = CString());
    [[noreturn]] static void ThrowOsError(LONG osError, const CString& fileName = CString());

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};
