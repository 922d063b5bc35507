// Builds small PE32 / PE32+ images with a version resource, laid out the
// way linkers lay them out: headers, one .rsrc section at file offset 0x200
// and RVA 0x1000, a three-level resource directory, then VS_VERSIONINFO.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

struct PeLayout {
    // Offsets inside the image, for tests that damage them.
    std::size_t peHeader = 0x40;
    std::size_t optHeader = 0x58;
    std::size_t sectionTable = 0;
    std::size_t rsrc = 0x200;
    std::size_t dataEntry = 0;
    std::size_t versionInfo = 0;
};

inline void PutLe(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v, int n)
{
    for (int i = 0; i < n; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// product version ms.ls and file version fms.fls.
inline std::vector<std::uint8_t> BuildPeImage(bool plus, std::uint32_t prodMs, std::uint32_t prodLs,
                                              PeLayout* layout = nullptr, std::uint32_t typeId = 16,
                                              std::uint32_t nameId = 1)
{
    PeLayout l;
    std::uint32_t optSize = plus ? 240 : 224;
    l.sectionTable = l.optHeader + optSize;
    std::vector<std::uint8_t> b(0x200 + 0x100, 0);
    b[0] = 'M';
    b[1] = 'Z';
    PutLe(b, 0x3C, static_cast<std::uint32_t>(l.peHeader), 4);
    std::memcpy(&b[l.peHeader], "PE\0\0", 4);
    PutLe(b, l.peHeader + 4, plus ? 0x8664 : 0x14C, 2);
    PutLe(b, l.peHeader + 6, 1, 2);          // sections
    PutLe(b, l.peHeader + 20, optSize, 2);   // optional header size
    PutLe(b, l.optHeader, plus ? 0x20B : 0x10B, 2);
    std::size_t dirs = l.optHeader + (plus ? 112 : 96);
    PutLe(b, l.optHeader + (plus ? 108 : 92), 16, 4);
    PutLe(b, dirs + 16, 0x1000, 4);  // resource directory RVA
    PutLe(b, dirs + 20, 0x100, 4);
    std::memcpy(&b[l.sectionTable], ".rsrc", 5);
    PutLe(b, l.sectionTable + 8, 0x100, 4);    // virtual size
    PutLe(b, l.sectionTable + 12, 0x1000, 4);  // RVA
    PutLe(b, l.sectionTable + 16, 0x100, 4);   // raw size
    PutLe(b, l.sectionTable + 20, 0x200, 4);   // raw offset

    std::size_t r = l.rsrc;
    // type level -> 0x18, name level -> 0x30, language level -> data entry 0x48
    PutLe(b, r + 14, 1, 2);
    PutLe(b, r + 16, typeId, 4);
    PutLe(b, r + 20, 0x80000018u, 4);
    PutLe(b, r + 0x18 + 14, 1, 2);
    PutLe(b, r + 0x18 + 16, nameId, 4);
    PutLe(b, r + 0x18 + 20, 0x80000030u, 4);
    PutLe(b, r + 0x30 + 14, 1, 2);
    PutLe(b, r + 0x30 + 16, 0x409, 4);
    PutLe(b, r + 0x30 + 20, 0x48, 4);
    l.dataEntry = r + 0x48;
    PutLe(b, l.dataEntry, 0x1000 + 0x58, 4);
    PutLe(b, l.dataEntry + 4, 92, 4);
    l.versionInfo = r + 0x58;
    std::size_t v = l.versionInfo;
    PutLe(b, v, 92, 2);
    PutLe(b, v + 2, 52, 2);
    const char key[] = "VS_VERSION_INFO";
    for (std::size_t i = 0; i < sizeof key; ++i)
        PutLe(b, v + 6 + 2 * i, static_cast<std::uint8_t>(key[i]), 2);
    std::size_t f = v + 40;
    PutLe(b, f, 0xFEEF04BD, 4);
    PutLe(b, f + 4, 0x10000, 4);
    PutLe(b, f + 8, 0x00050006, 4);  // file version 5.6.7.8
    PutLe(b, f + 12, 0x00070008, 4);
    PutLe(b, f + 16, prodMs, 4);
    PutLe(b, f + 20, prodLs, 4);
    PutLe(b, f + 32, 0x40004, 4);  // VOS_NT_WINDOWS32
    PutLe(b, f + 36, 1, 4);        // VFT_APP
    if (layout)
        *layout = l;
    return b;
}
