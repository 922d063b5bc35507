#include "platform/command_line.h"

#include "framework/format_text.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool IsSwitch(const std::string& strArg, const char* pszName)
{
    if (strArg.empty() || (strArg[0] != '/' && strArg[0] != '-'))
        return false;
    size_t i = 1;
    for (; i < strArg.size() && *pszName != '\0'; ++i, ++pszName) {
        if (UpperAscii(strArg[i]) != *pszName)
            return false;
    }
    return i == strArg.size() && *pszName == '\0';
}

std::vector<std::string> SplitCommandLine(const std::string& strCommandLine)
{
    const std::string& s = strCommandLine;
    std::vector<std::string> astrArgs;
    if (s.empty())
        return astrArgs;

    size_t i = 0;
    if (s[0] == '"') {
        const size_t nEnd = s.find('"', 1);
        astrArgs.push_back(s.substr(1, nEnd == std::string::npos ? std::string::npos : nEnd - 1));
        i = nEnd == std::string::npos ? s.size() : nEnd + 1;
    } else {
        while (i < s.size() && !IsBlank(s[i]))
            ++i;
        astrArgs.push_back(s.substr(0, i));
    }

    for (;;) {
        while (i < s.size() && IsBlank(s[i]))
            ++i;
        if (i == s.size())
            return astrArgs;
        std::string strArg;
        bool bQuoted = false;
        while (i < s.size() && (bQuoted || !IsBlank(s[i]))) {
            size_t nSlashes = 0;
            while (i < s.size() && s[i] == '\\') {
                ++nSlashes;
                ++i;
            }
            if (i < s.size() && s[i] == '"') {
                strArg.append(nSlashes / 2, '\\');
                if (nSlashes % 2 != 0)
                    strArg += '"';
                else
                    bQuoted = !bQuoted;
                ++i;
            } else if (nSlashes != 0) {
                strArg.append(nSlashes, '\\');
            } else if (i < s.size()) {
                strArg += s[i++];
            }
        }
        astrArgs.push_back(strArg);
    }
}

std::string QuoteArgument(const std::string& strArgument)
{
    std::string strQuoted = "\"";
    size_t nSlashes = 0;
    for (const char c : strArgument) {
        if (c == '\\') {
            ++nSlashes;
        } else {
            // Backslashes before a quote are doubled, and the quote escaped.
            if (c == '"')
                strQuoted.append(nSlashes + 1, '\\');
            nSlashes = 0;
        }
        strQuoted += c;
    }
    // Those before the closing quote are doubled too.
    strQuoted.append(nSlashes, '\\');
    return strQuoted + "\"";
}

BOOL ReadSwitches(const std::vector<std::string>& astrArgs, std::size_t nFirst, const CommandSwitch* pSwitches,
                  std::size_t nSwitches, SwitchSetting* pSettings, AcceptSwitchValue pfnAccept,
                  std::string& strError)
{
    strError.clear();
    for (size_t n = nFirst; n < astrArgs.size(); ++n) {
        const std::string& strArg = astrArgs[n];
        const size_t nEquals = strArg.find('=');
        const std::string strName = strArg.substr(0, nEquals);
        size_t nSwitch = 0;
        while (nSwitch < nSwitches &&
               !IsSwitch(pSwitches[nSwitch].bValue ? strName : strArg, pSwitches[nSwitch].pszName))
            ++nSwitch;
        std::string strArgError;
        if (nSwitch == nSwitches) {
            strArgError = FormatText("The option \"%s\" is not known.", strArg.c_str());
        } else if (!pSwitches[nSwitch].bValue) {
            if (pSettings[nSwitch].bGiven)
                strArgError = FormatText("The option %s is given twice.", strArg.c_str());
            pSettings[nSwitch].bGiven = true;
        } else if (nEquals == std::string::npos || nEquals + 1 == strArg.size()) {
            strArgError = FormatText("The option %s needs a value: %s=...", strName.c_str(), strName.c_str());
        } else if (pSettings[nSwitch].bGiven) {
            strArgError = FormatText("The option %s= is given twice.", strName.c_str());
        } else {
            const std::string strGiven = strArg.substr(nEquals + 1);
            std::string strValue = strGiven;
            if (!pfnAccept || pfnAccept(strName, strGiven, strValue, strArgError)) {
                pSettings[nSwitch].bGiven = true;
                pSettings[nSwitch].strValue = strValue;
            }
        }
        if (strError.empty())
            strError = strArgError;
    }
    return strError.empty();
}
