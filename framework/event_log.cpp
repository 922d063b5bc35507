#include "framework/event_log.h"

#include <cstdarg>

namespace {
IEventLog* g_pLog = nullptr;
}

IEventLog* SetEventLog(IEventLog* pLog)
{
    IEventLog* pPrevious = g_pLog;
    g_pLog = pLog;
    return pPrevious;
}

bool IsEventLogOn() { return g_pLog != nullptr; }

void LogEvent(const char* pszFormat, ...)
{
    if (g_pLog == nullptr)
        return;
    va_list args;
    va_start(args, pszFormat);
    const std::string strEvent = FormatTextV(pszFormat, args);
    va_end(args);
    g_pLog->Write(strEvent);
}
