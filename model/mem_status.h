// A small persistent status object that lives for the whole run beside the
// tracked memory blocks. Nothing in the installer reads or writes it; it keeps
// its stream format so that a record of it stays readable.
#pragma once

#include <string>
#include <vector>

#include "framework/object.h"

class CMemStatus : public CObject {
    DECLARE_SERIAL(CMemStatus)
public:
    CMemStatus();

    // The array as a compact count and its strings, then the string, then the WORD.
    void Serialize(CArchive& ar) override;

    std::vector<std::string> m_astrEntries;
    std::string m_strStatus;
    WORD m_wValue = 0;
};
