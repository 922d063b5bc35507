// A program's command line as the platform splits it, and the switches read
// from it: /NAME or -NAME, the name in any letter case, a switch that takes a
// value written NAME=value. Both programs read theirs this way, so that
// administrators write the same switches for each.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "framework/wintypes.h"

// The arguments of a whole command line, the program's name first, split as
// the platform splits them: blanks and tabs separate arguments except inside
// double quotes, which are dropped; 2n backslashes before a double quote
// stand for n backslashes, 2n+1 for n and a literal double quote; other
// backslashes are themselves. The program's name ends at its closing quote
// or its first blank and knows no escapes.
std::vector<std::string> SplitCommandLine(const std::string& strCommandLine);

// The argument in double quotes, written so that SplitCommandLine gives it
// back whole (backslashes before a quote doubled, the quote escaped).
std::string QuoteArgument(const std::string& strArgument);

// A switch a program takes: its name in capitals, without its / or -.
struct CommandSwitch {
    const char* pszName;
    bool bValue;  // written NAME=value; else NAME alone
};

// What the command line said of one switch.
struct SwitchSetting {
    bool bGiven = false;
    std::string strValue;  // as kept by the accept function
};

// Checks a switch's value and gives the one to keep: FALSE with a short
// text that names it when the value is refused. strName is the switch as
// written, with its / or -.
typedef BOOL (*AcceptSwitchValue)(const std::string& strName, const std::string& strValue, std::string& strKept,
                                  std::string& strError);

// Reads the arguments from nFirst on into settings (one per switch, in the
// order of switches; pfnAccept, when given, checks each value). Every
// argument is read, so that switches after an error still hold (a /S then
// keeps its error from showing in a box to nobody). FALSE with the first
// error when an argument is no switch of these, a switch lacks its value
// or is given twice, or a value is refused.
BOOL ReadSwitches(const std::vector<std::string>& astrArgs, std::size_t nFirst, const CommandSwitch* pSwitches,
                  std::size_t nSwitches, SwitchSetting* pSettings, AcceptSwitchValue pfnAccept,
                  std::string& strError);

// True when strArg is the switch pszName (capitals, no / or -) written with
// its / or - in any letter case.
bool IsSwitch(const std::string& strArg, const char* pszName);
