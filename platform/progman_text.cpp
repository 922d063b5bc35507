#include "platform/progman_text.h"

#include <cstring>

bool FormatCreateGroup(const std::string& name, std::string& command)
{
    if (name.size() > PROGMAN_MAX_GROUP_NAME)
        return false;
    command = "[CreateGroup(" + name + ")]";
    return true;
}

bool FormatAddItem(const ProgramItem& item, std::string& command)
{
    std::string text = "[AddItem(\"" + item.m_strCommandLine + "\"," + item.m_strCaption + ")]";
    if (text.size() > PROGMAN_MAX_COMMAND)
        return false;
    command = text;
    return true;
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
