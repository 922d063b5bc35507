#include "uninstall/copy_command.h"

#include <vector>

#include "platform/command_line.h"

namespace {

const char COPY_SWITCH[] = "/COPY:";

enum { SWITCH_S, SWITCH_LOG, SWITCH_COUNT };
const CommandSwitch kSwitches[SWITCH_COUNT] = {{"S", false}, {"LOG", true}};

// The switches from args[nFirst] on.
BOOL ReadOptions(const std::vector<std::string>& args, size_t nFirst, UninstallOptions& options, std::string& strError)
{
    options = UninstallOptions();
    SwitchSetting settings[SWITCH_COUNT];
    const BOOL bRead = ReadSwitches(args, nFirst, kSwitches, SWITCH_COUNT, settings, nullptr, strError);
    options.bUnattended = settings[SWITCH_S].bGiven;
    options.strLog = settings[SWITCH_LOG].strValue;
    return bRead;
}

std::string Hex(UINT_PTR value)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789abcdef"[value & 15]);
        value >>= 4;
    } while (value);
    return digits;
}

// The hexadecimal number from pos up to the next ':' or the end; false for
// none, another character or more digits than a handle has.
bool ParseHex(const std::string& strText, std::string::size_type& pos, UINT_PTR& value)
{
    value = 0;
    const std::string::size_type start = pos;
    for (; pos < strText.size() && strText[pos] != ':'; ++pos) {
        const char c = strText[pos];
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0 || pos - start >= sizeof(UINT_PTR) * 2)
            return false;
        value = value << 4 | static_cast<UINT_PTR>(digit);
    }
    return pos > start;
}

}  // namespace

BOOL ParseUninstallOptions(const std::string& strCommandLine, UninstallOptions& options, std::string& strError)
{
    return ReadOptions(SplitCommandLine(strCommandLine), 1, options, strError);
}

std::string UninstallUsageText(const std::string& strError)
{
    return strError + "\r\n\r\nUninst [/S] [/LOG=file]";
}

std::string FormatCopyCommand(const std::string& strCopy, const CopyCommand& command)
{
    std::string strLine = QuoteArgument(strCopy) + " " + COPY_SWITCH + Hex(command.hPipe) + ":" +
                          Hex(command.hStarted) + " " + QuoteArgument(command.strStarted);
    if (command.options.bUnattended)
        strLine += " /S";
    if (!command.options.strLog.empty())
        strLine += " " + QuoteArgument("/LOG=" + command.options.strLog);
    return strLine;
}

bool ParseCopyCommand(const std::string& strCommandLine, CopyCommand& command)
{
    const std::vector<std::string> args = SplitCommandLine(strCommandLine);
    const std::string::size_type nSwitch = sizeof COPY_SWITCH - 1;
    if (args.size() < 3 || args[1].compare(0, nSwitch, COPY_SWITCH) != 0 || args[2].empty())
        return false;
    std::string::size_type pos = nSwitch;
    CopyCommand parsed;
    std::string strError;
    if (!ParseHex(args[1], pos, parsed.hPipe) || pos == args[1].size() || !ParseHex(args[1], ++pos, parsed.hStarted) ||
        pos != args[1].size() || !parsed.hPipe || !parsed.hStarted || !ReadOptions(args, 3, parsed.options, strError))
        return false;
    parsed.strStarted = args[2];
    command = parsed;
    return true;
}
