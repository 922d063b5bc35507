#include "platform/progman_text.h"

#include <cstring>
#include <initializer_list>

#include "model/path_component.h"

namespace {

// A name of dots and blanks only is left empty as stored: the folder around it.
bool IsPlainWhenStored(const std::string& name)
{
    const std::string stored = StoredName(name);
    return !stored.empty() && IsPlainComponent(stored);
}

// "[Verb("first","second"...tail)]" into command: every argument in quotes,
// then the tail (numbers of our own). False when an argument holds a quote
// or a control character, which no quoting keeps inside the argument, or
// when the command does not fit the send buffer.
bool Format(const char* pszVerb, std::initializer_list<const std::string*> args, const std::string& tail,
            std::string& command)
{
    std::string text = std::string("[") + pszVerb + "(";
    for (const std::string* pArg : args) {
        for (char ch : *pArg) {
            const unsigned char c = static_cast<unsigned char>(ch);
            if (c == '"' || c < 0x20 || c == 0x7F)
                return false;
        }
        if (pArg != *args.begin())
            text += ',';
        text += '"' + *pArg + '"';
    }
    text += tail + ")]";
    if (text.size() > PROGMAN_MAX_COMMAND)
        return false;
    command.swap(text);
    return true;
}

// A group name that passes the group rule and fits its buffer.
bool IsGroupArgument(const std::string& name)
{
    return name.size() <= PROGMAN_MAX_GROUP_NAME && IsSafeGroupName(name);
}

}  // namespace

std::string StoredName(const std::string& name)
{
    return name.substr(0, name.find_last_not_of(". ") + 1);
}

bool IsSafeGroupName(const std::string& name)
{
    // Each part on its own: a leading, trailing or doubled backslash leaves an empty one.
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type end = name.find('\\', start);
        if (!IsPlainWhenStored(name.substr(start, end == std::string::npos ? end : end - start)))
            return false;
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}

bool IsSafeCaption(const std::string& caption) { return IsPlainWhenStored(caption); }

bool FormatCreateGroup(const std::string& name, std::string& command)
{
    return IsGroupArgument(name) && Format("CreateGroup", {&name}, std::string(), command);
}

bool FormatShowGroup(const std::string& name, int nShow, std::string& command)
{
    return IsGroupArgument(name) && Format("ShowGroup", {&name}, "," + std::to_string(nShow), command);
}

bool FormatAddItem(const ProgramItem& item, std::string& command)
{
    return IsSafeCaption(item.m_strCaption) &&
           Format("AddItem", {&item.m_strCommandLine, &item.m_strCaption}, std::string(), command);
}

bool FormatDeleteItem(const std::string& caption, std::string& command)
{
    return IsSafeCaption(caption) && Format("DeleteItem", {&caption}, std::string(), command);
}

bool FormatDeleteGroup(const std::string& name, std::string& command)
{
    return IsGroupArgument(name) && Format("DeleteGroup", {&name}, std::string(), command);
}

std::vector<std::string> ParseGroupList(const char* reply, std::size_t size)
{
    std::string text(reply, reply ? strnlen(reply, size) : 0);

    std::size_t count = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] == '\n')
            ++count;
    }
    std::vector<std::string> groups(count);

    // Pieces between runs of LF, none empty, each cut at its first CR.
    std::size_t index = 0;
    std::size_t pos = text.find_first_not_of('\n');
    while (pos != std::string::npos) {
        std::size_t end = text.find('\n', pos);
        std::string piece = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        piece = piece.substr(0, piece.find('\r'));
        if (index < groups.size())
            groups[index] = piece;
        else
            groups.push_back(piece);
        ++index;
        pos = end == std::string::npos ? end : text.find_first_not_of('\n', end);
    }
    return groups;
}
