#include "path_component.h"

namespace {

std::string Upper(const std::string& s)
{
    std::string out(s);
    // ASCII and the letters of Windows-1252.
    for (char& ch : out) {
        unsigned char c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
            c = static_cast<unsigned char>(c - 0x20);
        else if (c == 0x9A || c == 0x9C || c == 0x9E)
            c = static_cast<unsigned char>(c - 0x10);
        else if (c == 0xFF)
            c = 0x9F;
        ch = static_cast<char>(c);
    }
    return out;
}

// CON, NUL, COM1, CONOUT$ ... name devices in every directory, with any extension.
bool IsDeviceName(const std::string& name)
{
    std::string base = Upper(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"}) {
        if (base == device)
            return true;
    }
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

}  // namespace

std::string CheckPathComponent(const std::string& name)
{
    if (name.empty())
        return "is empty";
    if (name == "." || name == "..")
        return "is not a plain name";
    for (char ch : name) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20)
            return "contains a control character";
        if (std::string("\\/:*?\"<>|").find(ch) != std::string::npos)
            return std::string("contains the character '") + ch + "'";
    }
    // The target's file system drops trailing dots and spaces, so two
    // different names here could become one file there.
    if (name.back() == '.' || name.back() == ' ')
        return "ends in a dot or a space";
    if (IsDeviceName(name))
        return "is a device name on the target system";
    return std::string();
}

bool SameName(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }
