// Listing an install description (Setup.dat) or install record (Setup.inf).
#pragma once

#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

class CSetupEdit;

// Identity, sizes, strings, the text and the tree with each file's flags,
// size and product version, for reading.
void DumpText(CSetupEdit& ed, const std::string& fileName, std::ostream& out);

// The same as JSON; "files" lists every file entry in tree order with its
// path in the tree, name, flags, size, product and file version and record.
nlohmann::json DumpJson(CSetupEdit& ed);

// "selfreg shortcut" for a flag set; unknown bits as a hex number.
std::string FlagNames(unsigned flags);
