// Exceptions of the framework layer: thrown by value, caught by reference.
#pragma once

#include <stdexcept>
#include <string>

#include "wintypes.h"

class CFileException;

class CException : public std::exception {
public:
    const char* what() const noexcept override { return "CException"; }

    // The kind of failure, told by the exception itself: Setup.exe is built
    // without run-time type information.
    virtual const CFileException* AsFileException() const { return nullptr; }
    virtual bool IsUserQuit() const { return false; }
};

// The user chose to quit: the operation ends without an error report.
class CUserException : public CException {
public:
    const char* what() const noexcept override { return "CUserException"; }
    bool IsUserQuit() const override { return true; }
};

// A failed file operation: the cause, the platform's error code and the file.
class CFileException : public CException {
public:
    enum {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    CFileException(int cause = none, LONG osError = -1, std::string fileName = std::string())
        : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)) {}

    const char* what() const noexcept override { return "CFileException"; }
    const CFileException* AsFileException() const override { return this; }

    // The cause that a platform error code stands for.
    static int OsErrorToCause(LONG osError);

    int m_cause;
    LONG m_lOsError;  // the platform error code (Win32 numbering on every host), -1 when none
    std::string m_strFileName;
};

// A failure of the archive itself: the stream ended early or does not hold
// what its format says.
class CArchiveException : public CException {
public:
    enum {
        none = 0,
        genericException = 1,
        readOnly = 2,
        endOfFile = 3,
        writeOnly = 4,
        badIndex = 5,
        badClass = 6,
        badSchema = 7,
    };

    explicit CArchiveException(int cause = none, std::string fileName = std::string())
        : m_cause(cause), m_strFileName(std::move(fileName)) {}

    const char* what() const noexcept override { return "CArchiveException"; }

    int m_cause;
    std::string m_strFileName;
};
