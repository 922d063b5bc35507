#include "mem_status.h"

#include "archive.h"

IMPLEMENT_SERIAL(CMemStatus, CObject, 0)

namespace {
constexpr size_t kInitialEntries = 50;
}

CMemStatus::CMemStatus() : m_astrEntries(kInitialEntries) {}

void CMemStatus::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<DWORD>(m_astrEntries.size()));
        for (const std::string& entry : m_astrEntries)
            ar << entry;
        ar << m_strStatus << m_wValue;
    } else {
        DWORD count = ar.ReadCount();
        ar.Require(count);  // every string takes at least its one-byte prefix
        m_astrEntries.assign(count, std::string());
        for (std::string& entry : m_astrEntries)
            ar >> entry;
        ar >> m_strStatus >> m_wValue;
    }
}
