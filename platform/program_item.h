// One Program Manager item: the text under its icon and what it starts.
#pragma once

#include <string>

struct ProgramItem {
    std::string m_strCaption;
    std::string m_strCommandLine;  // the full installed path of the file
};
