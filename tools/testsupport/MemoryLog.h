#pragma once

// A stream over bytes in memory, for the resource tests and the fuzz
// targets; it needs nothing beyond the tool library.

#include "TLogFile.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

namespace restest {

// A stream over bytes in memory, for reading and writing.
class MemoryLog : public TLogFile {
public:
    explicit MemoryLog(std::string bytes = std::string()) : m_bytes(std::move(bytes)) {}

    int Seek(int64_t llPosition, unsigned short unMode) override
    {
        const int64_t llBase = unMode == FromCurrent ? static_cast<int64_t>(m_nPos)
                                                     : (unMode == FromEnd ? static_cast<int64_t>(m_bytes.size()) : 0);
        if (llBase + llPosition < 0)
            return 0;
        m_nPos = static_cast<size_t>(llBase + llPosition);
        return 1;
    }
    int64_t Tell() override { return static_cast<int64_t>(m_nPos); }
    int64_t Size() override { return static_cast<int64_t>(m_bytes.size()); }
    uint32_t Read(void* pvBuffer, uint32_t ulSize, uint32_t ulCount) override
    {
        size_t n = static_cast<size_t>(ulSize) * ulCount;
        if (m_nPos >= m_bytes.size())
            return 0;
        if (n > m_bytes.size() - m_nPos)
            n = m_bytes.size() - m_nPos;
        std::memcpy(pvBuffer, m_bytes.data() + m_nPos, n);
        m_nPos += n;
        return static_cast<uint32_t>(n);
    }
    // Writes over what is there and grows the bytes.
    uint32_t Write(const void* pvBuffer, uint32_t ulSize, uint32_t ulCount) override
    {
        const size_t n = static_cast<size_t>(ulSize) * ulCount;
        if (m_bytes.size() < m_nPos + n)
            m_bytes.resize(m_nPos + n);
        if (n > 0)
            std::memcpy(&m_bytes[m_nPos], pvBuffer, n);
        m_nPos += n;
        return static_cast<uint32_t>(n);
    }
    using TLogFile::Read;
    using TLogFile::Write;

    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
    size_t m_nPos { 0 };
};

} // namespace restest
