#include "framework/FileException.h"

CFileException::CFileException(int cause, LONG osError, const CString& fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
{
}

const char* CFileException::what() const noexcept
{
    switch (m_cause) {
    case none: return "no error";
    case fileNotFound: return "file not found";
    case badPath: return "bad path";
    case tooManyOpenFiles: return "too many open files";
    case accessDenied: return "access denied";
    case invalidFile: return "invalid file";
    case removeCurrentDir: return "cannot remove the current directory";
    case directoryFull: return "directory full";
    case badSeek: return "bad seek";
    case hardIO: return "hardware I/O error";
    case sharingViolation: return "sharing violation";
    case lockViolation: return "lock violation";
    case diskFull: return "disk full";
    case endOfFile: return "end of file";
    default: return "file error";
    }
}

CFileException CFileException::FromOsError(LONG osError, const CString& fileName)
{
    return CFileException(OsErrorToException(osError), osError, fileName);
}

void CFileException::ThrowOsError(LONG osError, const CString& fileName)
{
    throw FromOsError(osError, fileName);
}
