#include "framework/FileException.h"

#include <cerrno>

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

int CFileException::OsErrorToException(LONG osError)
{
#ifdef _WIN32
    switch (static_cast<DWORD>(osError)) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_CANNOT_MAKE: return directoryFull;
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK: return badSeek;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE: return hardIO;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return genericException;
    }
#else
    switch (osError) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return accessDenied;
    case EBADF: return invalidFile;
    case EIO: return hardIO;
    // flock(LOCK_NB) refuses with EWOULDBLOCK while another open holds the file
    case EWOULDBLOCK: return sharingViolation;
    case ENOSPC:
    case EFBIG:
    case EDQUOT: return diskFull;
    default: return genericException;
    }
#endif
}

CFileException CFileException::FromOsError(LONG osError, const CString& fileName)
{
    return CFileException(OsErrorToException(osError), osError, fileName);
}

void CFileException::ThrowOsError(LONG osError, const CString& fileName)
{
    throw FromOsError(osError, fileName);
}
