#pragma once

// Helpers of the resource tests: a scratch directory per test, files as
// byte strings, a builder of little-endian byte sequences and a stream over
// memory.

#include "KwScratchTest.h"
#include "MemoryLog.h"
#include "TFile.h"
#include "TFileHdl.h"
#include "TResVar.h"
#include "TResource.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace restest {

namespace fs = std::filesystem;

// Bytes as the tables of the format give them.
class Bytes {
public:
    Bytes& U8(uint8_t b) { m_s.push_back(static_cast<char>(b)); return *this; }
    Bytes& U16(uint16_t v) { return U8(static_cast<uint8_t>(v)).U8(static_cast<uint8_t>(v >> 8)); }
    Bytes& U32(uint32_t v) { return U16(static_cast<uint16_t>(v)).U16(static_cast<uint16_t>(v >> 16)); }
    Bytes& F64(double d)
    {
        uint64_t u;
        std::memcpy(&u, &d, 8);
        return U32(static_cast<uint32_t>(u)).U32(static_cast<uint32_t>(u >> 32));
    }
    Bytes& F32(float f)
    {
        uint32_t u;
        std::memcpy(&u, &f, 4);
        return U32(u);
    }
    // Counted string: length, characters and a zero byte (nothing for "").
    Bytes& Str(const std::string& s)
    {
        U16(static_cast<uint16_t>(s.size()));
        if (!s.empty()) {
            m_s += s;
            U8(0);
        }
        return *this;
    }
    Bytes& Raw(const std::string& s) { m_s += s; return *this; }
    // A zero-filled field of n bytes.
    Bytes& Field(const std::string& s, size_t n)
    {
        std::string f = s.substr(0, n);
        f.resize(n, '\0');
        m_s += f;
        return *this;
    }
    const std::string& str() const { return m_s; }
    size_t size() const { return m_s.size(); }

private:
    std::string m_s;
};

// The fields of a file header, each as it is stored.
inline const std::string kSignature = "File created with Dynamic Resource File Handler (DRF) - Brackenholt";

struct HeaderFields {
    std::string description;           // raw, with its zero byte when not empty
    std::string customVersion;
    uint32_t customNumber { 0 };
    std::string signature { kSignature };
    std::string version { "V2.60" };
    std::string userCreated { "maker" };
    std::array<int16_t, 3> dateCreated { 7, 0, 1998 };
    std::array<int16_t, 3> timeCreated { 12, 30, 5 };
    std::string userChanged;
    std::array<int16_t, 3> dateChanged { 0, 0, 0 };
    std::array<int16_t, 3> timeChanged { -1, -1, -1 };
    uint16_t flags { 0 };
    std::vector<uint32_t> readBlock;
    std::vector<uint32_t> writeBlock;
};

struct Record {
    std::string id;
    std::string cls;
    std::string bytes;     // empty: no data (-1)
    uint16_t type { 31 };
    uint16_t wParam { 0 };
    uint32_t lParam { 0 };
};

inline Bytes HeaderBytes(const HeaderFields& fields)
{
    Bytes b;
    auto Triple = [&b](const std::array<int16_t, 3>& an) {
        b.U16(static_cast<uint16_t>(an[0])).U16(static_cast<uint16_t>(an[1])).U16(static_cast<uint16_t>(an[2]));
    };
    if (!fields.description.empty())
        b.Raw(fields.description).U8(0);
    b.Str(fields.customVersion).U32(fields.customNumber).Str(fields.signature).Str(fields.version);
    b.Str(fields.userCreated);
    Triple(fields.dateCreated);
    Triple(fields.timeCreated);
    b.Str(fields.userChanged);
    Triple(fields.dateChanged);
    Triple(fields.timeChanged);
    b.U16(fields.flags);
    for (uint32_t w : fields.readBlock)
        b.U32(w);
    for (uint32_t w : fields.writeBlock)
        b.U32(w);
    return b;
}

inline Bytes& Entry(Bytes& b, const std::string& id, const std::string& cls, uint16_t type, uint16_t wParam,
                    uint32_t lParam, int32_t data, int32_t end)
{
    b.Field(id, 32).Field(cls, 64).U16(type).U16(wParam).U32(lParam);
    return b.U32(static_cast<uint32_t>(data)).U32(static_cast<uint32_t>(end));
}

// A complete file: header, entries in the given order, records back to back.
inline std::string FileBytes(const HeaderFields& fields, const std::vector<Record>& records)
{
    Bytes b = HeaderBytes(fields);
    b.U16(static_cast<uint16_t>(records.size()));
    int32_t pos = static_cast<int32_t>(b.size() + records.size() * 112);
    std::string data;
    for (const Record& r : records) {
        const int32_t start = r.bytes.empty() ? -1 : pos;
        const int32_t end = r.bytes.empty() ? -1 : pos + static_cast<int32_t>(r.bytes.size());
        Entry(b, r.id, r.cls, r.type, r.wParam, r.lParam, start, end);
        pos += static_cast<int32_t>(r.bytes.size());
        data += r.bytes;
    }
    return b.str() + data;
}

// A resource with one text besides its identifier (variable 1).
class TTextRes : public TResource {
public:
    TTextRes(const char* pszId, const char* pszText) : m_text(pszText) { SetResId(pszId); }
    std::string m_text;

protected:
    void WriteData(TFile& coFile) const override
    {
        TResource::WriteData(coFile);
        TResString(1, m_text.c_str()).Write(coFile);
    }
};

// The identifier of the resource a handler loads by name or index, "<none>"
// when it loads none.
template <class TId> std::string LoadedId(TFileHdl& coHdl, TId id)
{
    TResource* pcoRes = coHdl.LoadResource(id, nullptr, nullptr, 0);
    const std::string strId = pcoRes ? static_cast<const char*>(pcoRes->GetResId()) : "<none>";
    delete pcoRes;
    return strId;
}

using kwtest::ReadFileBytes;
using kwtest::WriteFileBytes;

// A scratch directory for each test.
class ScratchTest : public kwtest::TScratchTest {
protected:
    ScratchTest() : TScratchTest("kwres-") {}

    // What a TFile writer puts into a file.
    template <class F>
    std::string Written(F fnWrite)
    {
        const std::string path = At("written.bin");
        {
            TFile coFile;
            EXPECT_EQ(coFile.Open(path.c_str(), TFile::ModeCreate), 1);
            fnWrite(coFile);
        }
        return ReadFileBytes(path);
    }
};

} // namespace restest
