#include "wizard/page_logic.h"

#ifndef _WIN32
#include <strings.h>
#endif

#include "framework/format_text.h"
#include "framework/message_box.h"

BOOL CPageLogic::OnQueryCancel()
{
    return SetupMessageBox("Do you really want to quit Setup ?", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

std::string TrimWhiteSpace(const std::string& strText)
{
    const char* const WHITE = " \t\r\n";
    const size_t nFirst = strText.find_first_not_of(WHITE);
    if (nFirst == std::string::npos)
        return std::string();
    return strText.substr(nFirst, strText.find_last_not_of(WHITE) - nFirst + 1);
}

std::string FormatMegabytes(DWORD dwBytes)
{
    return FormatText("%2.1f MB", dwBytes * (1.0 / 1048576.0));
}

bool EqualIgnoringCase(const std::string& strA, const std::string& strB)
{
#ifdef _WIN32
    return lstrcmpiA(strA.c_str(), strB.c_str()) == 0;
#else
    return strcasecmp(strA.c_str(), strB.c_str()) == 0;
#endif
}
