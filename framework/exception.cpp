#include "exception.h"

int CFileException::OsErrorToCause(LONG osError)
{
    switch (osError) {
    case 0:
        return none;
    case 2:   // ERROR_FILE_NOT_FOUND
        return fileNotFound;
    case 3:   // ERROR_PATH_NOT_FOUND
    case 15:  // ERROR_INVALID_DRIVE
    case 123: // ERROR_INVALID_NAME
    case 161: // ERROR_BAD_PATHNAME
    case 206: // ERROR_FILENAME_EXCED_RANGE
        return badPath;
    case 4:   // ERROR_TOO_MANY_OPEN_FILES
        return tooManyOpenFiles;
    case 5:   // ERROR_ACCESS_DENIED
    case 19:  // ERROR_WRITE_PROTECT
    case 80:  // ERROR_FILE_EXISTS
    case 183: // ERROR_ALREADY_EXISTS
        return accessDenied;
    case 6:   // ERROR_INVALID_HANDLE
        return invalidFile;
    case 16:  // ERROR_CURRENT_DIRECTORY
        return removeCurrentDir;
    case 18:  // ERROR_NO_MORE_FILES
        return directoryFull;
    case 25:  // ERROR_SEEK
    case 131: // ERROR_NEGATIVE_SEEK
        return badSeek;
    case 21:  // ERROR_NOT_READY
    case 23:  // ERROR_CRC
    case 29:  // ERROR_WRITE_FAULT
    case 30:  // ERROR_READ_FAULT
        return hardIO;
    case 32:  // ERROR_SHARING_VIOLATION
        return sharingViolation;
    case 33:  // ERROR_LOCK_VIOLATION
        return lockViolation;
    case 39:  // ERROR_HANDLE_DISK_FULL
    case 112: // ERROR_DISK_FULL
        return diskFull;
    case 38:  // ERROR_HANDLE_EOF
        return endOfFile;
    default:
        return genericException;
    }
}
