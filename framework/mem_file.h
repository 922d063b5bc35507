// A file held in memory: the file class's reads, writes, seeks and lengths on
// a growing byte buffer. Lets loaders and tests work without touching a disk.
#pragma once

#include <vector>

#include "file.h"

class CMemFile : public CFile {
public:
    CMemFile() = default;
    // Starts with a copy of the given bytes, positioned at the start.
    CMemFile(const void* data, size_t size);

    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;
    ULONGLONG Seek(LONGLONG offset, UINT from) override;
    ULONGLONG GetPosition() const override { return m_nPosition; }
    ULONGLONG GetLength() const override { return m_data.size(); }
    void SetLength(ULONGLONG newLength) override;
    void Flush() override {}
    void Close() override {}
    void Abort() override {}
    bool IsOpen() const override { return true; }  // memory is always there to read and write

    const std::vector<BYTE>& Data() const { return m_data; }

private:
    std::vector<BYTE> m_data;
    size_t m_nPosition = 0;
};
