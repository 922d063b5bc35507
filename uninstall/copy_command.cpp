#include "uninstall/copy_command.h"

namespace {

const char COPY_SWITCH[] = "/COPY:";

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

std::string FormatCopyCommand(const std::string& strCopy, const CopyCommand& command)
{
    return "\"" + strCopy + "\" " + COPY_SWITCH + Hex(command.hPipe) + ":" + Hex(command.hStarted) + " \"" +
           command.strStarted + "\"";
}

bool ParseCopyCommand(const std::string& strCommandLine, CopyCommand& command)
{
    const std::vector<std::string> args = SplitCommandLine(strCommandLine);
    const std::string::size_type nSwitch = sizeof COPY_SWITCH - 1;
    if (args.size() < 3 || args[1].compare(0, nSwitch, COPY_SWITCH) != 0 || args[2].empty())
        return false;
    std::string::size_type pos = nSwitch;
    CopyCommand parsed;
    if (!ParseHex(args[1], pos, parsed.hPipe) || pos == args[1].size() || !ParseHex(args[1], ++pos, parsed.hStarted) ||
        pos != args[1].size() || !parsed.hPipe || !parsed.hStarted)
        return false;
    parsed.strStarted = args[2];
    command = parsed;
    return true;
}

std::vector<std::string> SplitCommandLine(const std::string& strCommandLine)
{
    std::vector<std::string> args;
    std::string::size_type pos = 0;
    for (;;) {
        pos = strCommandLine.find_first_not_of(" \t", pos);
        if (pos == std::string::npos)
            return args;
        std::string::size_type end;
        if (strCommandLine[pos] == '"') {
            end = strCommandLine.find('"', pos + 1);
            args.push_back(strCommandLine.substr(pos + 1, end == std::string::npos ? end : end - pos - 1));
            if (end != std::string::npos)
                ++end;
        } else {
            end = strCommandLine.find_first_of(" \t", pos);
            args.push_back(strCommandLine.substr(pos, end == std::string::npos ? end : end - pos));
        }
        if (end == std::string::npos)
            return args;
        pos = end;
    }
}
