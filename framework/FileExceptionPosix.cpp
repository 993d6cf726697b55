#include "framework/FileException.h"

#include <cerrno>

int CFileException::OsErrorToException(LONG osError)
{
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
}
