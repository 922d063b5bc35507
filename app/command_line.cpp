#include "app/command_line.h"

#include "framework/format_text.h"
#include "framework/message_box.h"
#include "wizard/dest_page_logic.h"
#include "wizard/folder_page_logic.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// strName is the switch written with its / or -, in any letter case.
bool IsSwitch(const std::string& strName, const char* pszName)
{
    if (strName.empty() || (strName[0] != '/' && strName[0] != '-'))
        return false;
    size_t i = 1;
    for (; i < strName.size() && *pszName != '\0'; ++i, ++pszName) {
        if (UpperAscii(strName[i]) != *pszName)
            return false;
    }
    return i == strName.size() && *pszName == '\0';
}

// The value as it is kept, by the rule of the page that takes it; FALSE with
// the error when the rule refuses it.
BOOL AcceptValue(const std::string& strName, const std::string& strValue, std::string& strKept,
                 std::string& strError)
{
    if (IsSwitch(strName, "D")) {
        // As the destination page composes a path: trimmed, then checked.
        strKept = TrimWhiteSpace(strValue);
        if (CDestPageLogic::IsValidDestination(strKept))
            return TRUE;
        strError = FormatText("The destination directory \"%s\" is not valid.", strValue.c_str());
        return FALSE;
    }
    if (IsSwitch(strName, "GROUP")) {
        strKept = TrimWhiteSpace(strValue);
        if (CFolderPageLogic::IsValidFolderName(strKept))
            return TRUE;
        strError = FormatText("The program folder name \"%s\" is not valid.", strValue.c_str());
        return FALSE;
    }
    strKept = strValue;  // the log: whether it can be made is found by making it
    return TRUE;
}

}  // namespace

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

BOOL ParseCommandLine(const std::string& strCommandLine, SetupOptions& options, std::string& strError)
{
    options = SetupOptions();
    strError.clear();
    const std::vector<std::string> astrArgs = SplitCommandLine(strCommandLine);
    bool bUnattendedGiven = false;
    // Every argument is read, so that /S and /LOG= hold also on a line with an
    // error before them: the error then goes to the log, and no box waits
    // for nobody. The first error is the one reported.
    for (size_t n = 1; n < astrArgs.size(); ++n) {
        const std::string& strArg = astrArgs[n];
        const size_t nEquals = strArg.find('=');
        const std::string strName = strArg.substr(0, nEquals);
        std::string strArgError;
        std::string* pValue = IsSwitch(strName, "D")       ? &options.strDestDir
                              : IsSwitch(strName, "GROUP") ? &options.strGroup
                              : IsSwitch(strName, "LOG")   ? &options.strLog
                                                           : nullptr;
        if (IsSwitch(strArg, "S")) {
            if (bUnattendedGiven)
                strArgError = FormatText("The option %s is given twice.", strArg.c_str());
            bUnattendedGiven = options.bUnattended = true;
        } else if (pValue == nullptr) {
            strArgError = FormatText("The option \"%s\" is not known.", strArg.c_str());
        } else if (nEquals == std::string::npos || nEquals + 1 == strArg.size()) {
            strArgError = FormatText("The option %s needs a value: %s=...", strName.c_str(), strName.c_str());
        } else if (!pValue->empty()) {
            // Every kept value is non-empty, so an empty one was not given yet.
            strArgError = FormatText("The option %s= is given twice.", strName.c_str());
        } else {
            std::string strValue;
            if (AcceptValue(strName, strArg.substr(nEquals + 1), strValue, strArgError))
                *pValue = strValue;
        }
        if (strError.empty())
            strError = strArgError;
    }
    return strError.empty();
}

void ShowCommandLineError(const std::string& strError)
{
    SetupMessageBox(strError + "\r\n\r\nSetup [/S] [/D=directory] [/GROUP=name] [/LOG=file]", MB_OK | MB_ICONSTOP);
}

BOOL PresetWizard(const SetupOptions& options, IWizardEngine& engine)
{
    if (!options.strDestDir.empty()) {
        const char chDrive = UpperAscii(options.strDestDir[0]);
        int nDrive = 0;
        while (nDrive < engine.GetDriveCount() && engine.GetDriveLetter(nDrive) != chDrive)
            ++nDrive;
        if (nDrive == engine.GetDriveCount()) {
            ShowCommandLineError(FormatText("The destination directory \"%s\" is not on a drive Setup can install on.",
                                            options.strDestDir.c_str()));
            return FALSE;
        }
        engine.SetDestDrive(nDrive);
        // Below the drive, as the description holds its default.
        engine.SetDestDir(options.strDestDir.substr(2));
    }
    if (!options.strGroup.empty())
        engine.SetProgramFolder(options.strGroup);
    return TRUE;
}
