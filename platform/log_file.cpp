#include "platform/log_file.h"

#include "framework/format_text.h"

CLogFile::~CLogFile()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        CloseHandle(m_hFile);
}

BOOL CLogFile::Open(const std::string& strPath)
{
    // Append access only: every write lands at the end, also when a second
    // copy of the program (which ends at once) adds its lines meanwhile.
    m_hFile = CreateFileA(strPath.c_str(), FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return m_hFile != INVALID_HANDLE_VALUE;
}

void CLogFile::Write(const std::string& strEvent)
{
    if (m_hFile == INVALID_HANDLE_VALUE)
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::string strLine = FormatText("%04u-%02u-%02u %02u:%02u:%02u.%03u  ", now.wYear, now.wMonth, now.wDay,
                                     now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    for (size_t i = 0; i < strEvent.size(); ++i) {
        const char c = strEvent[i];
        if (c == '\r' && i + 1 < strEvent.size() && strEvent[i + 1] == '\n')
            continue;  // a line break is one blank
        strLine += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
    strLine += "\r\n";
    DWORD dwWritten = 0;
    WriteFile(m_hFile, strLine.data(), static_cast<DWORD>(strLine.size()), &dwWritten, nullptr);
}
