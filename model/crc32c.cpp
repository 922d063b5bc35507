#include "crc32c.h"

#include <cstring>

#include "little_endian.h"

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define CRC32C_X86 1
#include <cpuid.h>
#include <nmmintrin.h>
#include <wmmintrin.h>
#endif

namespace {

// The polynomial without its x^32 term, as the reflected register holds it.
constexpr DWORD REFLECTED_POLYNOMIAL = 0x82F63B78;

// The register after one more byte, for every value of the byte ([0]); [k]
// is the same after k zero bytes more, so that eight bytes take eight
// lookups. Made before main (below), on the heap: a zero-filled array would
// take its 8 KB in the program file as well.
typedef DWORD ByteTable[8][256];
const ByteTable* g_pByteTable;

// The raw register (no inversions) after the bytes.
DWORD UpdateByTable(DWORD reg, const BYTE* p, size_t size)
{
    const ByteTable& t = *g_pByteTable;
    for (; size >= 8; p += 8, size -= 8) {
        const DWORD lo = ReadLE32(p) ^ reg;
        const DWORD hi = ReadLE32(p + 4);
        reg = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^ t[3][hi & 0xFF] ^
              t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
    }
    for (; size > 0; ++p, --size)
        reg = t[0][(reg ^ *p) & 0xFF] ^ (reg >> 8);
    return reg;
}

#ifdef CRC32C_X86

// Folding with carry-less multiplication (PCLMULQDQ). Read from memory, 16
// bytes are a polynomial V of degree < 128 whose first byte's lowest bit is
// the highest term: V = Lo * x^64 + Hi for its two 8-byte halves. The
// message up to some point keeps the CRC it has when it is replaced by a
// shorter one congruent to it modulo the polynomial P, so 16 bytes followed
// by D more fold onto the 16 bytes D further on as
//   V * x^(8D) = Lo * x^(8D+64) + Hi * x^(8D)   (mod P),
// two products of degree < 96. A carry-less product of two such reflected
// halves comes out multiplied by x once more, so each constant is
// x^(8D+63) or x^(8D-1) modulo P. Four lanes fold 64 bytes ahead, then into
// one; the CRC32 instruction takes the last 16 bytes and the rest.
bool g_bInstructions;
long long g_fold64[2], g_fold16[2];  // for D = 64 and D = 16: Lo's constant, Hi's

unsigned long long XPowerModP(unsigned n)
{
    unsigned long long r = 1;
    while (n--) {
        r <<= 1;
        if (r >> 32)
            r ^= 0x11EDC6F41ULL;
    }
    return r;
}

// A polynomial of degree < 64 with its highest term in the lowest bit.
long long Reflected(unsigned long long poly)
{
    unsigned long long r = 0;
    for (int d = 0; d < 64; ++d)
        if ((poly >> d) & 1)
            r |= 1ULL << (63 - d);
    return static_cast<long long>(r);
}

void SetFoldingConstants(long long (&k)[2], unsigned bytes)
{
    k[0] = Reflected(XPowerModP(8 * bytes + 63));
    k[1] = Reflected(XPowerModP(8 * bytes - 1));
}

__attribute__((target("sse4.2,pclmul"))) inline __m128i Load(const BYTE* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// v moved on by the constants' distance, XOR the lane there.
__attribute__((target("sse4.2,pclmul"))) inline __m128i Fold(__m128i v, __m128i k, __m128i there)
{
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(v, k, 0x00), _mm_clmulepi64_si128(v, k, 0x11)), there);
}

__attribute__((target("sse4.2,pclmul"))) DWORD UpdateByFolding(DWORD reg, const BYTE* p, size_t size)
{
    if (size >= 64) {
        const __m128i k64 = _mm_set_epi64x(g_fold64[1], g_fold64[0]);
        const __m128i k16 = _mm_set_epi64x(g_fold16[1], g_fold16[0]);
        // The register goes into the first four bytes: a CRC begun from it is
        // the CRC from 0 of the message with them XORed.
        __m128i v0 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(reg)));
        __m128i v1 = Load(p + 16), v2 = Load(p + 32), v3 = Load(p + 48);
        for (p += 64, size -= 64; size >= 64; p += 64, size -= 64) {
            v0 = Fold(v0, k64, Load(p));
            v1 = Fold(v1, k64, Load(p + 16));
            v2 = Fold(v2, k64, Load(p + 32));
            v3 = Fold(v3, k64, Load(p + 48));
        }
        __m128i v = Fold(Fold(Fold(v0, k16, v1), k16, v2), k16, v3);
        for (; size >= 16; p += 16, size -= 16)
            v = Fold(v, k16, Load(p));
        reg = 0;
        for (int i = 0; i < 4; ++i) {
            reg = _mm_crc32_u32(reg, static_cast<unsigned>(_mm_cvtsi128_si32(v)));
            v = _mm_srli_si128(v, 4);
        }
    }
    for (; size >= 4; p += 4, size -= 4) {
        unsigned w;
        std::memcpy(&w, p, sizeof w);
        reg = _mm_crc32_u32(reg, w);
    }
    for (; size > 0; ++p, --size)
        reg = _mm_crc32_u8(reg, *p);
    return reg;
}

#endif  // CRC32C_X86

// Fills the tables and asks the processor once, before main: nothing is
// initialised on first use, so no call pays for a guard.
struct Initialiser {
    Initialiser()
    {
        ByteTable& t = *new ByteTable[1];
        for (DWORD n = 0; n < 256; ++n) {
            DWORD c = n;
            for (int bit = 0; bit < 8; ++bit)
                c = (c & 1) ? (c >> 1) ^ REFLECTED_POLYNOMIAL : c >> 1;
            t[0][n] = c;
        }
        for (int k = 1; k < 8; ++k)
            for (DWORD n = 0; n < 256; ++n)
                t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
        g_pByteTable = &t;
#ifdef CRC32C_X86
        unsigned eax, ebx, ecx, edx;
        g_bInstructions = __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (ecx & bit_SSE4_2) && (ecx & bit_PCLMUL);
        SetFoldingConstants(g_fold64, 64);
        SetFoldingConstants(g_fold16, 16);
#endif
    }
} const g_initialiser;

}  // namespace

bool HasCrc32cInstructions()
{
#ifdef CRC32C_X86
    return g_bInstructions;
#else
    return false;
#endif
}

DWORD Crc32cByTable(DWORD crc, const void* data, size_t size)
{
    return ~UpdateByTable(~crc, static_cast<const BYTE*>(data), size);
}

DWORD Crc32c(DWORD crc, const void* data, size_t size)
{
#ifdef CRC32C_X86
    if (g_bInstructions)
        return ~UpdateByFolding(~crc, static_cast<const BYTE*>(data), size);
#endif
    return Crc32cByTable(crc, data, size);
}
