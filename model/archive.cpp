#include "archive.h"

#include <algorithm>
#include <cstring>

#include "ansi_code_page.h"
#include "little_endian.h"

namespace {

constexpr BYTE kLongString = 0xFF;
constexpr WORD kWideMarker = 0xFFFE;
constexpr WORD kDwordFollows = 0xFFFF;

// A string of 16-bit characters in the program's 8-bit code page.
std::string NarrowString(const std::vector<WORD>& wide)
{
    if (wide.empty())
        return std::string();
#ifdef _WIN32
    // A plain buffer: std::wstring would bring its own 24 KB instantiation
    // into Setup.exe for this one conversion.
    const std::vector<wchar_t> text(wide.begin(), wide.end());
    int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string result(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &result[0], size,
                            nullptr, nullptr);
    return result;
#else
    // The product's code page; what it cannot represent reads as '?', as the
    // platform's conversion does.
    std::string result;
    result.reserve(wide.size());
    for (WORD ch : wide) {
        char ansi;
        result.push_back(UnicodeToAnsi(ch, ansi) ? ansi : '?');
    }
    return result;
#endif
}

}  // namespace

CArchive::CArchive(CFile* file, UINT mode, int bufferSize)
    : m_pFile(file), m_nMode(mode == load ? load : store),
      m_buffer(static_cast<size_t>(std::max(bufferSize, 16)))
{
    if (IsLoading() && m_pFile) {
        ULONGLONG length = m_pFile->GetLength();
        ULONGLONG position = m_pFile->GetPosition();
        m_nFileLeft = length > position ? length - position : 0;
    }
}

CArchive::~CArchive() = default;

void CArchive::ThrowArchive(int cause) const
{
    throw CArchiveException(cause, m_pFile ? m_pFile->GetFilePath() : std::string());
}

void CArchive::CheckOpen(Mode wanted) const
{
    if (!m_pFile)
        ThrowArchive(CArchiveException::genericException);
    if (m_nMode != wanted)
        ThrowArchive(wanted == load ? CArchiveException::writeOnly : CArchiveException::readOnly);
}

// ---- Storing

void CArchive::Put(const void* data, UINT count)
{
    CheckOpen(store);
    const BYTE* in = static_cast<const BYTE*>(data);
    const UINT size = static_cast<UINT>(m_buffer.size());
    while (count > 0) {
        if (m_nPos == size)
            Flush();
        if (m_nPos == 0 && count >= size) {
            m_pFile->Write(in, count);  // a large block goes straight through
            return;
        }
        UINT n = std::min(count, size - m_nPos);
        std::memcpy(m_buffer.data() + m_nPos, in, n);
        m_nPos += n;
        in += n;
        count -= n;
    }
}

CArchive& CArchive::operator<<(BYTE value)
{
    Put(&value, 1);
    return *this;
}

CArchive& CArchive::operator<<(WORD value)
{
    BYTE bytes[2];
    WriteLE16(bytes, value);
    Put(bytes, 2);
    return *this;
}

CArchive& CArchive::operator<<(DWORD value)
{
    BYTE bytes[4];
    WriteLE32(bytes, value);
    Put(bytes, 4);
    return *this;
}

CArchive& CArchive::operator<<(LONG value) { return *this << static_cast<DWORD>(value); }

CArchive& CArchive::operator<<(const std::string& value)
{
    const ULONGLONG length = value.size();
    if (length < kLongString) {
        *this << static_cast<BYTE>(length);
    } else if (length < kWideMarker) {
        *this << kLongString << static_cast<WORD>(length);
    } else {
        *this << kLongString << kDwordFollows << static_cast<DWORD>(length);
    }
    Put(value.data(), static_cast<UINT>(length));
    return *this;
}

void CArchive::Write(const void* data, UINT count) { Put(data, count); }

void CArchive::WriteCount(DWORD count)
{
    if (count < kDwordFollows)
        *this << static_cast<WORD>(count);
    else
        *this << kDwordFollows << count;
}

void CArchive::Flush()
{
    if (m_pFile && IsStoring() && m_nPos > 0) {
        UINT n = m_nPos;
        m_nPos = 0;
        m_pFile->Write(m_buffer.data(), n);
    }
}

void CArchive::Close()
{
    if (!m_pFile)
        return;
    if (IsStoring())
        Flush();
    else if (m_nEnd > m_nPos)
        // Hand the file back positioned just after what was read, so that
        // another archive can go on from there.
        m_pFile->Seek(-static_cast<LONGLONG>(m_nEnd - m_nPos), CFile::current);
    m_pFile = nullptr;
}

// ---- Loading

ULONGLONG CArchive::GetBytesLeft() const { return (m_nEnd - m_nPos) + m_nFileLeft; }

void CArchive::Require(ULONGLONG count) const
{
    if (count > GetBytesLeft())
        ThrowArchive(CArchiveException::endOfFile);
}

UINT CArchive::FillBuffer(UINT wanted)
{
    UINT available = m_nEnd - m_nPos;
    if (available >= wanted || m_nFileLeft == 0)
        return available;
    // Keep the unread bytes: move them to the front, then top up from the file.
    std::memmove(m_buffer.data(), m_buffer.data() + m_nPos, available);
    m_nPos = 0;
    m_nEnd = available;
    UINT room = static_cast<UINT>(m_buffer.size()) - m_nEnd;
    UINT n = m_pFile->Read(m_buffer.data() + m_nEnd, room);
    m_nEnd += n;
    m_nFileLeft = n < room ? 0 : m_nFileLeft - std::min<ULONGLONG>(n, m_nFileLeft);
    return m_nEnd - m_nPos;
}

UINT CArchive::Read(void* data, UINT count)
{
    CheckOpen(load);
    BYTE* out = static_cast<BYTE*>(data);
    UINT done = 0;
    while (done < count) {
        UINT available = FillBuffer(1);
        if (available == 0)
            break;
        UINT n = std::min(count - done, available);
        std::memcpy(out + done, m_buffer.data() + m_nPos, n);
        m_nPos += n;
        done += n;
    }
    return done;
}

void CArchive::Get(void* data, UINT count)
{
    if (Read(data, count) != count)
        ThrowArchive(CArchiveException::endOfFile);
}

CArchive& CArchive::operator>>(BYTE& value)
{
    Get(&value, 1);
    return *this;
}

CArchive& CArchive::operator>>(WORD& value)
{
    BYTE bytes[2];
    Get(bytes, 2);
    value = ReadLE16(bytes);
    return *this;
}

CArchive& CArchive::operator>>(DWORD& value)
{
    BYTE bytes[4];
    Get(bytes, 4);
    value = ReadLE32(bytes);
    return *this;
}

CArchive& CArchive::operator>>(LONG& value)
{
    DWORD raw;
    *this >> raw;
    value = static_cast<LONG>(raw);
    return *this;
}

DWORD CArchive::ReadCount()
{
    WORD count;
    *this >> count;
    if (count != kDwordFollows)
        return count;
    DWORD wide;
    *this >> wide;
    return wide;
}

// The length prefix; a marker for 16-bit characters may precede it once.
DWORD CArchive::ReadStringLength(bool& wide)
{
    wide = false;
    for (;;) {
        BYTE b;
        *this >> b;
        if (b != kLongString)
            return b;
        WORD w;
        *this >> w;
        if (w == kDwordFollows) {
            DWORD length;
            *this >> length;
            return length;
        }
        if (w != kWideMarker)
            return w;
        if (wide)
            ThrowArchive(CArchiveException::genericException);
        wide = true;
    }
}

CArchive& CArchive::operator>>(std::string& value)
{
    CheckOpen(load);
    bool wide;
    DWORD length = ReadStringLength(wide);
    const ULONGLONG bytes = wide ? 2ULL * length : length;
    Require(bytes);  // before anything is allocated for it
    if (bytes > 0xFFFFFFFFULL)
        ThrowArchive(CArchiveException::endOfFile);
    if (!wide) {
        value.assign(length, '\0');
        if (length)
            Get(&value[0], length);
        return *this;
    }
    std::vector<BYTE> raw(static_cast<size_t>(bytes));
    if (length)
        Get(raw.data(), static_cast<UINT>(bytes));
    std::vector<WORD> chars(length);
    for (DWORD i = 0; i < length; ++i)
        chars[i] = ReadLE16(&raw[2 * i]);
    value = NarrowString(chars);
    return *this;
}
