#include "app/command_line.h"

#include "framework/format_text.h"
#include "framework/message_box.h"
#include "platform/command_line.h"
#include "wizard/dest_page_logic.h"
#include "wizard/folder_page_logic.h"

namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

enum { SWITCH_S, SWITCH_D, SWITCH_GROUP, SWITCH_LOG, SWITCH_COUNT };
const CommandSwitch kSwitches[SWITCH_COUNT] = {{"S", false}, {"D", true}, {"GROUP", true}, {"LOG", true}};

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

BOOL ParseCommandLine(const std::string& strCommandLine, SetupOptions& options, std::string& strError)
{
    options = SetupOptions();
    SwitchSetting settings[SWITCH_COUNT];
    const BOOL bRead =
        ReadSwitches(SplitCommandLine(strCommandLine), 1, kSwitches, SWITCH_COUNT, settings, AcceptValue, strError);
    options.bUnattended = settings[SWITCH_S].bGiven;
    options.strDestDir = settings[SWITCH_D].strValue;
    options.strGroup = settings[SWITCH_GROUP].strValue;
    options.strLog = settings[SWITCH_LOG].strValue;
    return bRead;
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
