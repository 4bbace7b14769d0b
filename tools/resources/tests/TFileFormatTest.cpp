#include "ResTestSupport.h"

#include "TFileHeader.h"

#include <memory>

using namespace restest;

namespace {

// The record TResource writes for an identifier.
std::string ResRecord(const std::string& id, const std::string& cls = "TResource", uint32_t lParam = 0)
{
    return Bytes().U16(31).Str(cls).Str("").U16(0).U32(lParam).U16(11).U16(1).U16(21).Str(id).U16(30).str();
}

class TDescribedHdl : public TFileHdl {
public:
    TString GetCustomDescription() const override { return "ZORVIK Brackenholt"; }
    TString GetCustomVersion() const override { return "V3.00.17"; }
    void SetCustomVersion(const char* pszVersion) override { m_coRead = pszVersion; }
    TString m_coRead;
};

class TFileFormat : public ScratchTest {
protected:
    unsigned short OpenBytes(TFileHdl& coHdl, const std::string& bytes, const char* pszPassword = nullptr)
    {
        const std::string path = At("f.drf");
        WriteFileBytes(path, bytes);
        return coHdl.OpenRead(path.c_str(), 0, pszPassword);
    }
};

} // namespace

TEST_F(TFileFormat, HandBuiltFileReadsFieldByField)
{
    HeaderFields fields;
    fields.customVersion = "V9.99";
    fields.customNumber = 0xA1B2C3D4u;
    fields.userChanged = "editor";
    fields.dateChanged = { 31, 11, 1999 };
    fields.timeChanged = { 23, 59, 58 };
    // Entries out of order on disk: the index sorts them without case.
    const std::vector<Record> records = {
        { "zeta", "TResource", ResRecord("zeta"), 31, 3, 0xFFFFFFFFu },
        { "Alpha", "TResource", ResRecord("Alpha", "TResource", 2), 31, 1, 2 }, { "empty", "TResource", "", 40, 0, 0 },
    };
    const std::string bytes = FileBytes(fields, records);
    TFileHdl coHdl;
    ASSERT_EQ(OpenBytes(coHdl, bytes), 1);
    EXPECT_EQ(coHdl.GetOpenType(), 1);
    EXPECT_EQ(coHdl.GetResCount(), 3);
    std::string strIndexes;
    for (const char* pszId : { "ALPHA", "EMPTY", "Zeta", "nothing", "" })
        strIndexes += std::to_string(coHdl.GetResIndex(pszId)) + " ";
    EXPECT_EQ(strIndexes, "0 1 2 -1 -1 ");
    const TResInfo coInfo = coHdl.GetResInfo("zeta");
    EXPECT_EQ(std::string(coInfo.GetId()) + static_cast<const char*>(coInfo.GetClass()), "zetaTResource");
    EXPECT_EQ(coInfo.GetLParam(), 0xFFFFFFFFu);
    EXPECT_TRUE(coHdl.GetResInfo(static_cast<unsigned short>(3)).GetId().IsEmpty());
    EXPECT_EQ(coHdl.GetResInfo(static_cast<unsigned short>(1)).GetType(), 40);
    EXPECT_EQ(coHdl.GetFileVersionNumber(), 260);
    EXPECT_EQ(std::string(coHdl.GetUserCreated()) + " " + static_cast<const char*>(coHdl.GetDateCreated()) + " "
                  + static_cast<const char*>(coHdl.GetTimeCreated()) + " "
                  + static_cast<const char*>(coHdl.GetUserChanged()) + " "
                  + static_cast<const char*>(coHdl.GetDateChanged()) + " "
                  + static_cast<const char*>(coHdl.GetTimeChanged()),
              "maker 01/07/1998 12:30:05 editor 12/31/1999 23:59:58");
    const TFileHeader& coHeader = coHdl.GetHeader();
    const int32_t lDataPos = static_cast<int32_t>(HeaderBytes(fields).size() + 2 + 3 * 112);
    EXPECT_EQ(coHeader.GetDataPos(), lDataPos);
    EXPECT_EQ(coHeader[0]->GetDataPos(), lDataPos + static_cast<int32_t>(records[0].bytes.size()));
    EXPECT_EQ(coHeader[1]->GetDataPos(), -1);
    EXPECT_EQ(coHeader[static_cast<short>(3)], coHeader[-1]);

    std::unique_ptr<TResource> pcoAlpha(coHdl.LoadResource("ALPHA", nullptr, nullptr, 0));
    ASSERT_NE(pcoAlpha, nullptr);
    EXPECT_EQ(std::string(pcoAlpha->GetResId()) + "/" + std::to_string(pcoAlpha->GetLParam()), "Alpha/2");
    // By index, none for an empty record, then the same through the read cache.
    EXPECT_EQ(LoadedId(coHdl, static_cast<short>(2)) + LoadedId(coHdl, "empty") + LoadedId(coHdl, "missing"),
              "zeta<none><none>");
    coHdl.SetReadCache(1);
    EXPECT_EQ(LoadedId(coHdl, "zeta"), "zeta");
    coHdl.Close();
    EXPECT_TRUE(coHdl.GetFileVersion().IsEmpty());
    EXPECT_EQ(coHdl.GetDateCreated().Day() + coHdl.GetTimeCreated().Hour(), -1);
    std::string strNumbers;
    const char* const apszVersions[] = { "V2.60", "V3.00.17", "V3", "V1.5", "2.60", "", nullptr, "v2.60", "V" };
    for (const char* pszVersion : apszVersions)
        strNumbers += std::to_string(TFileHeader::VersionNumber(pszVersion)) + " ";
    EXPECT_EQ(strNumbers, "260 300 300 105 0 0 0 0 0 ");
    EXPECT_STREQ(TFileHdl::GetCurrentCompileVersion(), "V2.60");
    EXPECT_EQ(TFileHdl::GetCurrentCompileVersionNumber(), 260);
}

// Files of another maker, damaged headers and indexes, and passwords that
// do not fit: each is refused with its code, and the handler stays closed.
TEST_F(TFileFormat, ForeignAndDamagedFilesAreRefusedWithTheirCode)
{
    HeaderFields described;
    described.description = "ZORVIK Brackenholt";
    described.customVersion = "V3.00.17";
    // A file without resources whose header fields the function edits.
    auto With = [](auto fnEdit) {
        HeaderFields fields;
        fnEdit(fields);
        return FileBytes(fields, {});
    };
    auto WithBlock = [](uint16_t unFlags, std::vector<uint32_t> block) {
        HeaderFields fields;
        fields.flags = unFlags;
        (unFlags == 1 ? fields.readBlock : fields.writeBlock) = std::move(block);
        return FileBytes(fields, {});
    };
    HeaderFields protectedFields;
    protectedFields.flags = 3;
    protectedFields.readBlock = TFileHeader::MakePasswordBlock("r\xE9" "ad", 101010);
    protectedFields.writeBlock = TFileHeader::MakePasswordBlock("wr", 0);
    const std::string protectedBytes = FileBytes(protectedFields, {});
    // An index of the given count and entries, then one record.
    const std::string record = ResRecord("A");
    const Bytes head = HeaderBytes(HeaderFields());
    auto Index = [&](uint16_t unCount, std::vector<std::pair<std::string, std::pair<int32_t, int32_t>>> entries) {
        Bytes b = head;
        b.U16(unCount);
        for (const auto& e : entries)
            Entry(b, e.first, "TResource", 31, 0, 0, e.second.first, e.second.second);
        return b.str() + record;
    };
    const int32_t lData = static_cast<int32_t>(head.size() + 2 + 112);
    const int32_t lSize = lData + static_cast<int32_t>(record.size());
    const unsigned short unDamaged = TFileHdl::ErrDamaged;
    const unsigned short unFormat = TFileHdl::ErrFormat;
    struct {
        const char* pszWhat;
        std::string bytes;
        unsigned short unCode;
        int nDescribed = 0;
        const char* pszPassword = nullptr;
    } const aCases[] = {
        { "description missing", FileBytes(HeaderFields(), {}), unFormat, 1 },
        { "other description", With([](HeaderFields& f) { f.description = "ZORVIK Brackenhol_"; }), unFormat, 1 },
        // The description is compared with its zero byte: a longer one differs.
        { "longer description", With([](HeaderFields& f) { f.description = "ZORVIK Brackenholtx"; }), unFormat, 1 },
        // A handler without a description takes the leading bytes as the
        // custom version and fails on the signature.
        { "unexpected description", FileBytes(described, {}), TFileHdl::ErrNoSignature },
        { "no signature", With([](HeaderFields& f) { f.signature.clear(); }), TFileHdl::ErrNoSignature },
        { "shorter signature", With([](HeaderFields& f) { f.signature.erase(0, 1); }), TFileHdl::ErrSignature },
        { "other signature", With([](HeaderFields& f) { f.signature[0] = 'X'; }), TFileHdl::ErrSignature },
        { "empty file", "", TFileHdl::ErrNoSignature },
        { "no password", protectedBytes, TFileHdl::ErrNoReadAccess },
        { "password in other case", protectedBytes, TFileHdl::ErrNoReadAccess, 0, "READ" },
        // Block lengths that cannot be: N + 2 not positive as a 16-bit number.
        { "read block 32766", WithBlock(1, { 32766u << 8, 1, 2, 3 }), unDamaged, 0, "x" },
        { "read block -1", WithBlock(1, { 0xFFFFFFFFu, 1, 2, 3 }), unDamaged, 0, "x" },
        { "read block 40000", WithBlock(1, { 40000u << 8, 1, 2, 3 }), unDamaged, 0, "x" },
        { "write block 32766", WithBlock(2, { 32766u << 8, 1, 2, 3 }), unDamaged },
        { "write block 40000", WithBlock(2, { 40000u << 8, 1, 2, 3 }), unDamaged },
        { "end beyond the file", Index(1, { { "A", { lData, lSize + 1 } } }), unDamaged },
        { "end before data", Index(1, { { "A", { lData + 4, lData + 2 } } }), unDamaged },
        { "data inside the header", Index(1, { { "A", { 3, lSize } } }), unDamaged },
        { "data beyond the file", Index(1, { { "A", { lSize + 100, lSize + 200 } } }), unDamaged },
        { "negative other than -1", Index(1, { { "A", { -5, lSize } } }), unDamaged },
        { "more entries than bytes", Index(5, { { "A", { -1, -1 } } }), unDamaged },
        { "negative count", Index(0x8000, {}), unDamaged },
        { "two entries of one id", Index(2, { { "Same", { -1, -1 } }, { "SAME", { -1, -1 } } }), unDamaged },
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszWhat);
        TDescribedHdl coDescribed;
        TFileHdl coPlain;
        TFileHdl& coHdl = c.nDescribed ? coDescribed : coPlain;
        EXPECT_EQ(OpenBytes(coHdl, c.bytes, c.pszPassword), c.unCode);
        EXPECT_EQ(coHdl.GetOpenType(), 0);
    }
    TFileHdl coHdl;
    EXPECT_EQ(coHdl.OpenRead(At("missing.drf").c_str(), 0, nullptr), TFileHdl::ErrNotExist);
    EXPECT_EQ(coHdl.OpenRead("", 0, nullptr), TFileHdl::ErrGeneral);
    // A protected file opens with its password, case and characters above
    // 127 counting.
    ASSERT_EQ(OpenBytes(coHdl, protectedBytes, "r\xE9" "ad"), 1);
    EXPECT_EQ(coHdl.IsReadProtect() * 10 + coHdl.IsWriteProtect(), 11);
    coHdl.Close();
    // The expected description opens, and the custom version is handed over.
    TDescribedHdl coDescribed;
    ASSERT_EQ(OpenBytes(coDescribed, FileBytes(described, {})), 1);
    EXPECT_STREQ(coDescribed.m_coRead, "V3.00.17");
    EXPECT_EQ(coDescribed.GetHeader().GetDataPos(), static_cast<int32_t>(FileBytes(described, {}).size()));
    coDescribed.Close();
    // Fields filled to the last byte are cut, not read beyond.
    Bytes full = head;
    full.U16(1);
    full.Raw(std::string(32, 'i')).Raw(std::string(64, 'c')).U16(31).U16(0).U32(0).U32(0xFFFFFFFFu).U32(0xFFFFFFFFu);
    ASSERT_EQ(OpenBytes(coHdl, full.str()), 1);
    EXPECT_STREQ(coHdl.GetResInfo(static_cast<unsigned short>(0)).GetId(), std::string(31, 'i').c_str());
    EXPECT_EQ(coHdl.GetResInfo(static_cast<unsigned short>(0)).GetClass().Strlen(), 63);
    coHdl.Close();
    // A record that runs past its entry's end is damaged, not read further.
    ASSERT_EQ(OpenBytes(coHdl, Index(1, { { "A", { lData, lData + 10 } } })), 1);
    EXPECT_EQ(coHdl.LoadResource("A", nullptr, nullptr, 0), nullptr);
    coHdl.SetReadCache(1);
    EXPECT_EQ(coHdl.LoadResource("A", nullptr, nullptr, 0), nullptr);
}

TEST_F(TFileFormat, PasswordBlocks)
{
    // The words stored files hold: count, rotated key, rotated products.
    auto rotl = [](uint32_t v, unsigned n) { return (v << n) | (v >> (32 - n)); };
    EXPECT_EQ(TFileHeader::MakePasswordBlock("AB", 123456),
              (std::vector<uint32_t> { 2u << 8, rotl(123456, 8), rotl(65u * 123456u, 16), rotl(66u * 123456u, 16) }));
    // A block opens to its own password only, case and every character
    // above 127 counting, whatever the key of the day.
    const char* const pszHigh = "p\xE4\xFF\x80!";
    for (uint32_t ulKey : { 123456u, 235959u, 0u, 1u }) {
        const std::vector<uint32_t> coBlock = TFileHeader::MakePasswordBlock(pszHigh, ulKey);
        EXPECT_EQ(coBlock.size(), 7u);
        EXPECT_EQ(TFileHeader::PasswordMatches(coBlock, pszHigh), 1) << ulKey;
        const char* const apszWrong[] = { "p\xE4\xFF\x80?", "P\xE4\xFF\x80!", "p\xE4\xFF\x80", "", nullptr };
        for (const char* pszWrong : apszWrong)
            EXPECT_EQ(TFileHeader::PasswordMatches(coBlock, pszWrong), 0) << ulKey;
    }
    // A foreign block with key 0 opens to nobody and divides by nothing.
    EXPECT_EQ(TFileHeader::PasswordMatches({ 1u << 8, 0u, 0u }, "x"), 0);
    EXPECT_EQ(TFileHeader::PasswordMatches({ 3u << 8, 5u << 8 }, "abc"), 0);
    EXPECT_TRUE(TFileHeader::MakePasswordBlock("", 5).empty());
}
