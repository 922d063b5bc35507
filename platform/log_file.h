// The log file an administrator names on the command line: plain text, one
// line per event behind the local time. Lines are added to whatever the file
// holds, so that a log is never lost to a later run (or to a mistyped name),
// and each goes to the file in one write as it happens: a run that is killed
// leaves its log up to that moment.
#pragma once

#include <string>

#include <windows.h>

#include "framework/event_log.h"

class CLogFile : public IEventLog {
public:
    CLogFile() = default;
    ~CLogFile() override;
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    // Opens the file for adding lines, creating it when it is missing. FALSE
    // with the platform's error in the last-error value.
    BOOL Open(const std::string& strPath);

    // One line: the time, two blanks, the event with every line break and
    // other control character turned into a blank. A failed write is dropped:
    // the run does not depend on its log.
    void Write(const std::string& strEvent) override;

private:
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
};
