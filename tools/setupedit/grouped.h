// Byte counts for people: 1439998 as "1,439,998".
#pragma once

#include <cstdint>
#include <string>

inline std::string Grouped(std::uint64_t v)
{
    std::string digits = std::to_string(v), out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}
