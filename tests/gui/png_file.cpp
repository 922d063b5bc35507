// PNG files of captured images: zlib stored blocks, so that no compressor
// is needed.
#include "tests/gui/gui_driver.h"

#include <cstdio>

namespace gui {

namespace {

void PutBE32(std::vector<unsigned char>& out, unsigned long v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

unsigned long Crc32(const unsigned char* p, size_t n)
{
    unsigned long crc = 0xFFFFFFFFul;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320ul & (0ul - (crc & 1)));
    }
    return crc ^ 0xFFFFFFFFul;
}

void PutChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data)
{
    PutBE32(out, data.size());
    std::vector<unsigned char> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBE32(out, Crc32(body.data(), body.size()));
}

std::vector<unsigned char> Deflated(const std::vector<unsigned char>& raw)
{
    std::vector<unsigned char> z = {0x78, 0x01};
    size_t pos = 0;
    do {
        const size_t n = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
        z.push_back(pos + n == raw.size() ? 1 : 0);
        z.push_back(static_cast<unsigned char>(n));
        z.push_back(static_cast<unsigned char>(n >> 8));
        z.push_back(static_cast<unsigned char>(~n));
        z.push_back(static_cast<unsigned char>(~n >> 8));
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
    } while (pos < raw.size());
    unsigned long a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBE32(z, (b << 16) | a);
    return z;
}

}  // namespace

bool SavePng(const Image& image, const std::string& strPath)
{
    if (image.cx <= 0 || image.cy <= 0)
        return false;
    std::vector<unsigned char> raw;
    raw.reserve(static_cast<size_t>(image.cy) * (image.cx * 3 + 1));
    for (int y = 0; y < image.cy; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < image.cx; ++x) {
            const COLORREF colour = image.At(x, y);
            raw.push_back(GetRValue(colour));
            raw.push_back(GetGValue(colour));
            raw.push_back(GetBValue(colour));
        }
    }
    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    PutBE32(header, static_cast<unsigned long>(image.cx));
    PutBE32(header, static_cast<unsigned long>(image.cy));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", Deflated(raw));
    PutChunk(png, "IEND", {});
    FILE* f = std::fopen(strPath.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool bWritten = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && bWritten;
}

}  // namespace gui
