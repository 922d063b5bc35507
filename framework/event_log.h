// The program's one event log: what a run did, one line per event, for the
// administrator who runs it without a screen. The program installs the log
// it was asked for; without one every event is dropped at once.
#pragma once

#include <string>

#include "framework/format_text.h"

// Writes one event; the writer adds the time and ends the line.
class IEventLog {
public:
    virtual ~IEventLog() = default;
    virtual void Write(const std::string& strEvent) = 0;
};

// Installs the log (nullptr: none) and returns the previous one.
IEventLog* SetEventLog(IEventLog* pLog);

// Whether events are written at all, so that a caller can skip the work
// of gathering what only the log needs.
bool IsEventLogOn();

// Writes a printf-style event to the log, if there is one.
void LogEvent(const char* pszFormat, ...) SETUP_PRINTF_FORMAT(1, 2);
