#include "platform/progman.h"

#include <new>

#include "platform/dde_handles.h"
#include "platform/progman_text.h"

namespace {

const char kProgman[] = "PROGMAN";
const DWORD kGroupTimeout = 10000;
const DWORD kItemTimeout = 1000;
const DWORD kRequestTimeout = 1000;
// Shown minimised and not activated, where the shell honours it: the group is
// selected only for the item commands after it.
const int kSelectOnly = SW_SHOWMINNOACTIVE;

// Sends one command with its NUL; true when Program Manager accepted it.
bool Execute(const CDdeInstance& dde, const CDdeConversation& conv, const std::string& command, DWORD timeout)
{
    if (!conv.Get())
        return false;
    HDDEDATA data = DdeCreateDataHandle(dde.Get(), reinterpret_cast<LPBYTE>(const_cast<char*>(command.c_str())),
                                        static_cast<DWORD>(command.size() + 1), 0, nullptr, CF_TEXT, 0);
    if (!data)
        return false;
    // The library takes the data handle over, whatever the outcome.
    return DdeClientTransaction(reinterpret_cast<LPBYTE>(data), static_cast<DWORD>(-1), conv.Get(), nullptr, CF_TEXT,
                                XTYP_EXECUTE, timeout, nullptr) != nullptr;
}

// Sends the commands in order over one conversation; a refused command does
// not stop the rest, except a first one that selects the group the others
// act on. FALSE only when DDE cannot be used.
BOOL SendCommands(const std::vector<std::string>& commands, DWORD timeout, bool bFirstSelects)
{
    CDdeInstance dde;
    if (!dde.IsValid())
        return FALSE;
    CDdeConversation conv;
    {
        CDdeString progman(dde, kProgman);
        if (progman.Get())
            conv.Connect(dde, progman);
    }
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (!Execute(dde, conv, commands[i], timeout) && i == 0 && bFirstSelects)
            break;
    }
    return TRUE;
}

bool FormatAddItems(const ProgramItem* const* items, std::size_t count, std::vector<std::string>& commands)
{
    commands.assign(count, std::string());
    for (std::size_t i = 0; i < count; ++i) {
        if (!items || !items[i] || !FormatAddItem(*items[i], commands[i]))
            return false;
    }
    return true;
}

BOOL RefuseInput()
{
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

}  // namespace

BOOL DdeRequestText(const std::string& item, std::string& text)
{
    CDdeInstance dde;
    if (!dde.IsValid())
        return FALSE;
    HDDEDATA reply = nullptr;
    {
        CDdeConversation conv;
        CDdeString progman(dde, kProgman);
        CDdeString itemName(dde, item.c_str());
        if (progman.Get() && conv.Connect(dde, progman) && itemName.Get())
            reply = DdeClientTransaction(nullptr, 0, conv.Get(), itemName.Get(), CF_TEXT, XTYP_REQUEST,
                                         kRequestTimeout, nullptr);
    }
    if (!reply || reply == reinterpret_cast<HDDEDATA>(1)) {
        text.clear();
        return TRUE;
    }
    DWORD size = 0;
    if (LPBYTE bytes = DdeAccessData(reply, &size)) {
        try {
            text.assign(reinterpret_cast<const char*>(bytes), size);
        } catch (const std::bad_alloc&) {
            // No buffer: the caller's text stays as it was.
        }
        DdeUnaccessData(reply);
    }
    DdeFreeDataHandle(reply);
    return TRUE;
}

BOOL GetProgramGroups(std::vector<std::string>& groups)
{
    std::string reply;
    if (!DdeRequestText("Groups", reply) || reply.empty())
        return FALSE;
    groups = ParseGroupList(reply.data(), reply.size());
    return TRUE;
}

BOOL DdeCreateGroup(const std::string& name)
{
    std::string command;
    if (!FormatCreateGroup(name, command))
        return RefuseInput();
    return SendCommands({command}, kGroupTimeout, false);
}

BOOL DdeExecuteAll(const std::vector<std::string>& commands)
{
    for (const std::string& command : commands) {
        if (command.size() > PROGMAN_MAX_COMMAND)
            return RefuseInput();
    }
    return SendCommands(commands, kItemTimeout, false);
}

BOOL DdeAddItems(const ProgramItem* const* items, std::size_t count)
{
    std::vector<std::string> commands;
    if (!FormatAddItems(items, count, commands))
        return RefuseInput();
    return SendCommands(commands, kItemTimeout, false);
}

BOOL DdeCreateProgramGroup(const std::string& name, const ProgramItem* const* items, std::size_t count)
{
    // Everything is checked before the group is made, so bad input sends nothing.
    std::string command;
    std::vector<std::string> commands;
    if (!FormatCreateGroup(name, command) || !FormatAddItems(items, count, commands))
        return RefuseInput();
    if (!SendCommands({command}, kGroupTimeout, false))
        return FALSE;
    return SendCommands(commands, kItemTimeout, false);
}

BOOL DdeDeleteItems(const std::string& group, const std::vector<std::string>& captions)
{
    std::vector<std::string> commands(captions.size() + 1);
    if (!FormatShowGroup(group, kSelectOnly, commands[0]))
        return RefuseInput();
    for (std::size_t i = 0; i < captions.size(); ++i) {
        if (!FormatDeleteItem(captions[i], commands[i + 1]))
            return RefuseInput();
    }
    return SendCommands(commands, kItemTimeout, true);
}

BOOL DdeDeleteGroup(const std::string& name)
{
    std::string command;
    if (!FormatDeleteGroup(name, command))
        return RefuseInput();
    return SendCommands({command}, kGroupTimeout, false);
}
