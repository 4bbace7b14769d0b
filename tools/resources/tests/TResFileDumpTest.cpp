#include "ResTestSupport.h"

#include "TResFileCompile.h"
#include "TResFileDump.h"

#include <limits>

using namespace restest;

namespace {

std::string Dumped(const std::string& bytes, int* pnErrors = nullptr, const char* pszDescription = nullptr)
{
    TResFileDump coDump;
    if (pszDescription)
        coDump.SetDescription(pszDescription);
    const int nErrors = coDump.Dump(bytes.data(), bytes.size());
    if (pnErrors)
        *pnErrors = nErrors;
    EXPECT_EQ(nErrors, coDump.GetErrorCount());
    EXPECT_EQ(nErrors == 0, *coDump.GetFirstError() == 0);
    std::string text(coDump.GetText(), coDump.GetTextLength());
    // Whatever the bytes, compiling their dump gives them back.
    TResFileCompile coCompile;
    EXPECT_EQ(coCompile.Compile(text.data(), text.size()), 1) << coCompile.GetError() << "\n" << text;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(coCompile.GetData()), coCompile.GetSize()), bytes) << text;
    return text;
}

bool Holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const char* const kHeaderText = "kwtdump 1\n"
                                "header\n"
                                "  custom-version \"V1\"\n"
                                "  custom-number 7\n"
                                "  signature \"File created with Dynamic Resource File Handler (DRF) - Brackenholt\"\n"
                                "  format-version \"V2.60\"\n"
                                "  user-created \"maker\"\n"
                                "  date-created 7 0 1998\n"
                                "  time-created 12 30 5\n"
                                "  user-changed absent\n"
                                "  date-changed 0 0 0\n"
                                "  time-changed -1 -1 -1\n"
                                "  protection 0\n";

// A record with every kind of variable, single values and arrays, and a
// child resource.
std::string FullRecord()
{
    Bytes b;
    b.U16(31).Str("TMain").Str("").U16(1).U32(2);
    b.U16(11).U16(1).U16(21).Str("Alpha");
    b.U16(1).U16(1).U16(4).U8(200);
    b.U16(3).U16(2).U16(5).U16(0xffff).U16(2);
    b.U16(7).U16(0).U16(6).U32(static_cast<uint32_t>(-7));
    b.U16(9).U16(1).U16(7).F64(1.5);
    b.U16(9).U16(3).U16(8).F32(1.5f).F32(-0.25f).F32(0.1f);
    b.U16(10).U16(1).U16(9).F64(0.1);
    b.U16(10).U16(3).U16(10).F64(-0.0).F64(-std::numeric_limits<double>::infinity()).U32(1).U32(0x7ff80000);
    b.U16(11).U16(3).U16(11).Str("a\"b\\").Str("").Str("x\ny\x01\xff");
    b.U16(40).Str("TChild").Str("Cpp").U16(0).U32(0xffffffff);
    b.U16(7).U16(9).U16(1);
    for (uint32_t i = 1; i <= 9; ++i)
        b.U32(i);
    b.U16(30).U16(30);
    return b.str();
}

std::string SmallRecord(const std::string& id)
{
    return Bytes().U16(31).Str("TResource").Str("").U16(0).U32(0).U16(11).U16(1).U16(21).Str(id).U16(30).str();
}

// A resource nested nLevels deep below the record's resource.
std::string NestedRecord(int nLevels)
{
    Bytes b;
    for (int i = 0; i <= nLevels; ++i)
        b.U16(40).Str("").Str("").U16(0).U32(0);
    for (int i = 0; i <= nLevels; ++i)
        b.U16(30);
    return b.str();
}


} // namespace

TEST(TResFileDump, PrintsEveryFieldAndEveryByteInFileOrder)
{
    HeaderFields fields;
    fields.customVersion = "V1";
    fields.customNumber = 7;
    Bytes b = HeaderBytes(fields);
    b.U16(2);
    Entry(b, "Alpha", "TMain", 31, 1, 2, 349, 576);
    Entry(b, "beta", "TResource", 31, 0, 0, 579, 618);
    ASSERT_EQ(b.size(), 349u);
    const std::string bytes = b.str() + FullRecord() + "\xaa\xbb\xcc" + SmallRecord("beta") + "\x01\x02" + "\xff";
    int nErrors = -1;
    EXPECT_EQ(Dumped(bytes, &nErrors), std::string(kHeaderText)
                  + "  index 2\n"
                    "    entry id \"Alpha\" class \"TMain\" type 31 wparam 1 lparam 2 data 349 end 576\n"
                    "    entry id \"beta\" class \"TResource\" type 31 wparam 0 lparam 0 data 579 end 618\n"
                    "data 349\n"
                    "  record \"Alpha\" at 349\n"
                    "    resource 31 class \"TMain\" cpp absent wparam 1 lparam 2\n"
                    "      string 21 \"Alpha\"\n"
                    "      char 4 200\n"
                    "      short 5 [2] -1 2\n"
                    "      long 6 (0) -7\n"
                    "      float 7 1.5\n"
                    "      float 8 [3] 1.5 -0.25 0.1\n"
                    "      double 9 0.1\n"
                    "      double 10 [3] -0 -inf nan:0x7ff8000000000001\n"
                    "      string 11 [3]\n"
                    "        \"a\\\"b\\\\\"\n"
                    "        absent\n"
                    "        \"x\\ny\\x01\\xff\"\n"
                    "      resource 40 class \"TChild\" cpp \"Cpp\" wparam 0 lparam 4294967295\n"
                    "        long 1 [9] 1 2 3 4 5 6 7 8\n"
                    "          9\n"
                    "      end\n"
                    "    end\n"
                    "  unused 3 at 576\n"
                    "    aa bb cc\n"
                    "  record \"beta\" at 579\n"
                    "    resource 31 class \"TResource\" cpp absent wparam 0 lparam 0\n"
                    "      string 21 \"beta\"\n"
                    "    end\n"
                    "    unused 2 at 616\n"
                    "      01 02\n"
                    "  unused 1 at 618\n"
                    "    ff\n"
                    "end\n");
    EXPECT_EQ(nErrors, 0);
}

// Variants of the header and of the index, and damaged files and records:
// a damaged one gives its error lines where it breaks, with the rest as
// unread bytes in hex.
TEST(TResFileDump, HeaderVariantsAndDamageAreShownWhereTheyAre)
{
    const HeaderFields fields;
    const std::string good = FileBytes(fields, { Record { "Alpha", "TMain", FullRecord() },
                                                 Record { "beta", "TResource", SmallRecord("beta") } });
    auto FileOf = [&](const std::string& record) { return FileBytes(fields, { Record { "R", "TResource", record } }); };
    auto HeaderWith = [](uint16_t unFlags, std::vector<uint32_t> readBlock, std::string userCreated = "maker") {
        HeaderFields header;
        header.flags = unFlags;
        header.readBlock = std::move(readBlock);
        header.userCreated = std::move(userCreated);
        return FileBytes(header, {});
    };
    const std::string empty = FileBytes(fields, {});
    HeaderFields described;
    described.description = "ZORVIK Brackenholt";
    described.customVersion = "V3.00.17";
    const std::string describedBytes = FileBytes(described, { Record { "Main", "TResource", SmallRecord("Main") } });
    // Password blocks are raw words, and wrap after eight.
    HeaderFields prot;
    prot.flags = 1;
    prot.readBlock = { 9u << 8, 0x12345678 };
    for (uint32_t i = 0; i < 9; ++i)
        prot.readBlock.push_back(0x1000 + i);
    // Id and class fields that are not zero-filled texts keep their bytes.
    Bytes raw = HeaderBytes(fields);
    raw.U16(1);
    raw.Raw(std::string("ab\0c", 4) + std::string(28, '\0')).Raw(std::string(64, 'D'));
    raw.U16(31).U16(0).U32(0).U32(0xFFFFFFFFu).U32(0xFFFFFFFFu);
    const std::string twice = FileBytes(fields, { Record { "Main", "TResource", SmallRecord("Main") },
                                                  Record { "MAIN", "TResource", SmallRecord("MAIN") } });
    // Ids are compared as the handler keeps them: 31 characters.
    const std::string longIds = FileBytes(fields, { Record { std::string(31, 'x') + "1", "TResource", "" },
                                                    Record { std::string(31, 'x') + "2", "TResource", "" } });
    auto RecordOf = [](uint16_t unType) { return Bytes().U16(31).Str("").Str("").U16(0).U32(0).U16(unType); };
    Bytes shared = HeaderBytes(fields);
    shared.U16(2);
    const std::string one = SmallRecord("A");
    const auto nData = static_cast<int32_t>(shared.size() + 2 * 112);
    Entry(shared, "A", "TResource", 31, 0, 0, nData, nData + static_cast<int32_t>(one.size()));
    Entry(shared, "B", "TResource", 31, 0, 0, nData, nData + static_cast<int32_t>(one.size()));
    struct {
        const char* pszWhat;
        std::string bytes;
        int nErrors;   // at least one when negative
        std::vector<std::string> parts;
        const char* pszDescription = nullptr;
    } const aCases[] = {
        // Without resources the data area starts at the end.
        { "no resources", empty, 0, { "  index 0\ndata " + std::to_string(empty.size()) + "\nend\n" } },
        // A description is found without being named, and can be named.
        { "description found", describedBytes, 0,
          { "header\n  description \"ZORVIK Brackenholt\"\n  custom-version \"V3.00.17\"\n", "string 21 \"Main\"\n" } },
        { "description named", describedBytes, 0, { "  description \"ZORVIK Brackenholt\"\n" }, "ZORVIK Brackenholt" },
        { "blocks", FileBytes(prot, {}), 0,
          { " 0x00001004 0x00001005\n    0x00001006 0x00001007 0x00001008\n  index 0\n" } },
        { "raw fields", raw.str(), 0,
          { "    entry id-raw 61620063" + std::string(56, '0') + " class-raw " + std::string(128, '4')
            + " type 31 wparam 0 lparam 0 data -1 end -1\n" } },
        { "nothing", "", 1, {} },
        { "other description", describedBytes, 1,
          { "# error at 0: the file does not start with the description \"ZORVIK Brackenhol_\"\n  unread "
            + std::to_string(describedBytes.size()) + " at 0\n    5a 4f 52 56 49 4b 20" },
          "ZORVIK Brackenhol_" },
        // Told that there is none, the leading text is read as the custom
        // version and the signature fails.
        { "no description", describedBytes, 1,
          { "# error at 0: custom-version ends past the end of the data\n  unread " }, "" },
        // Strings keep absent apart from empty (L > 0 with zero characters
        // inside), and the protection's unknown bits are reported.
        { "odd header", HeaderWith(4, {}, std::string("\0\0", 2)), 1,
          { "  user-created \"\\x00\\x00\"\n", ": protection flags other than read (1) and write (2)\n" } },
        { "last byte missing", good.substr(0, good.size() - 1), 1, { "lies outside the data area" } },
        { "block too long", HeaderWith(1, { 32766u << 8, 1 }), 1,
          { "read-password-block of 32768 words is longer than 32767 words\n  unread 10 at " } },
        { "block cut", HeaderWith(1, { 32765u << 8, 1 }), 1, { "words ends past the end of the file" } },
        { "negative count", HeaderBytes(fields).U16(0x8000).str(), -1,
          { ": negative entry count -32768\n  unread 2 at " } },
        { "twice", twice, 1, { ": a second entry of the id \"MAIN\"\n" } },
        { "long ids", longIds, 1, {} },
        // Children may nest MaxDepth deep, not deeper.
        { "deepest", FileOf(NestedRecord(TResFileDump::MaxDepth)), 0, {} },
        { "too deep", FileOf(NestedRecord(TResFileDump::MaxDepth + 1)), 1, { ": children nest deeper than 64\n" } },
        // A string without its zero byte: the variable and all behind it are
        // printed as unread bytes.
        { "no zero byte", FileOf(RecordOf(11).U16(1).U16(21).U16(2).Raw("ab!").U16(30).str()), 1,
          { "      # error at ", "string variable 21: value 0 at ", " lacks its zero byte\n    unread 13 at ",
            "      0b 00 01 00 15 00 02 00 61 62 21 1e 00\n" } },
        { "values beyond", FileOf(RecordOf(7).U16(1000).U16(3).U32(1).U16(30).str()), 1,
          { "long variable 3: 1000 values end past the end of the record\n" } },
        { "no end mark", FileOf(RecordOf(3).U16(1).U16(3).U16(5).str()), -1,
          { "      short 3 5\n      # error at ", ": the resource ends without its end mark\n" } },
        { "variable first", FileOf(Bytes().U16(11).U16(1).U16(21).Str("x").U16(30).str()), -1,
          { ": the record does not start with a resource\n" } },
        { "one byte", FileOf("\x1f"), -1, { ": the record is shorter than a type code\n" } },
        { "class cut", FileOf(Bytes().U16(31).U16(9).Raw("abc").str()), -1,
          { ": the resource's class name ends past the end of the data\n" } },
        // Two entries on the same bytes are both printed.
        { "shared bytes", shared.str() + one, 0,
          { "  # note: this record shares bytes with the one before\n  record \"B\"" } },
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.pszWhat);
        int nErrors = 0;
        const std::string text = Dumped(c.bytes, &nErrors, c.pszDescription);
        EXPECT_TRUE(c.nErrors < 0 ? nErrors >= 1 : nErrors == c.nErrors) << nErrors << " errors in\n" << text;
        for (const std::string& part : c.parts)
            EXPECT_TRUE(Holds(text, part)) << part << " not in\n" << text;
    }
    TResFileDump coDump;
    EXPECT_EQ(coDump.Dump(nullptr, 100), 1);

    // Every cut of the file is damaged, and every byte changed, one at a time, still gives a dump; none reads
    // past the end (the sanitizers watch) and every dump is complete text (Dumped compiles it back).
    for (size_t n = 0; n < good.size(); ++n) {
        SCOPED_TRACE(n);
        int nErrors = 0;
        Dumped(good.substr(0, n), &nErrors);
        ASSERT_GE(nErrors, 1);
        std::string bad = good;
        bad[n] = static_cast<char>(bad[n] ^ 0xa5);
        Dumped(bad);
    }
}

TEST(TResFileCompile, TextsThatDoNotFitAreRefusedWithTheirLine)
{
    const std::string good = FileBytes(HeaderFields(), { Record { "R", "TResource", SmallRecord("R") } });
    const std::string text = Dumped(good);
    auto errorOf = [](const std::string& strText) {
        TResFileCompile coCompile;
        EXPECT_EQ(coCompile.Compile(strText.data(), strText.size()), 0) << strText;
        EXPECT_EQ(coCompile.GetSize(), 0u);
        return std::string(coCompile.GetError());
    };
    auto edited = [&](const std::string& from, const std::string& to) {
        std::string strText = text;
        const size_t nAt = strText.find(from);
        EXPECT_NE(nAt, std::string::npos) << from;
        return nAt == std::string::npos ? strText : strText.replace(nAt, from.size(), to);
    };
    EXPECT_EQ(errorOf(""), "line 1: expected \"kwtdump\", found the end of the text");
    EXPECT_EQ(errorOf("kwtdump 2"), "line 1: expected the version of the text from 1 to 1, found \"2\"");
    EXPECT_EQ(errorOf(text.substr(0, text.size() - 4)), "line 21: expected \"end\", found the end of the text");
    EXPECT_EQ(errorOf(text + "end\n"), "line 22: text after the final end");
    // Each edit breaks the text at one line.
    const struct { const char* pszFrom; std::string strTo; const char* pszError; } edits[] = {
        { "\ndata 234", "\ndata 233", "line 16: the data area starts at 234, not at 233" },
        { "record \"R\" at 234", "record \"R\" at 240",
          "line 17: position 240 lies behind the 234 bytes compiled so far" },
        { "\"maker\"", "\"ma\\qker\"", "line 7: unknown escape in a quoted text" },
        { "\"maker\"", "\"ma\\x4ker\"", "line 7: \\x needs two hex digits" },
        { "\"maker\"", "\"maker", "line 7: a quoted text does not end on its line" },
        { "\"maker\"", "\"\"", "line 7: user-created: a stored text has 1 to 65535 characters" },
        { "entry id \"R\"", "entry id \"" + std::string(32, 'x') + "\"",
          "line 15: expected the id as a quoted text of at most 31 characters, found a quoted text" },
        { "entry id \"R\"", "entry id-raw 00", "line 15: expected 32 bytes of the id field in hex, found \"00\"" },
        { "string 21 \"R\"", "char 21 256", "line 19: expected a char value from 0 to 255, found \"256\"" },
        { "string 21 \"R\"", "long 21 [1] 5", "line 19: expected an array count from [2] to [65535], found \"[1]\"" },
        { "string 21 \"R\"", "double 21 1.5x", "line 19: expected a double value, found \"1.5x\"" },
        { "string 21 \"R\"", "float 21 [2] nan:0x7ff8000000000000 1",
          "line 19: expected a float value, found \"nan:0x7ff8000000000000\"" },
        { "resource 31", "resource 30", "line 18: a resource type may not be 1, 3, 7, 9, 10, 11 or 30" },
        { "string 21 \"R\"", "blob 21", "line 19: expected a variable, a resource, end or unread, found \"blob\"" },
        { "protection 0", "protection 1",
          "line 14: expected \"read-password-block\", found \"index\"" },
    };
    for (const auto& edit : edits)
        EXPECT_EQ(errorOf(edited(edit.pszFrom, edit.strTo)), edit.pszError) << edit.pszFrom;

    // Children deeper than a reader accepts are refused.
    const Record deepest { "D", "TResource", NestedRecord(TResFileDump::MaxDepth) };
    std::string deep = Dumped(FileBytes(HeaderFields(), { deepest }));
    const std::string strLevel = "resource 40 class absent cpp absent wparam 0 lparam 0\n";
    deep.insert(deep.rfind(strLevel) + strLevel.size(), strLevel + "end\n");
    EXPECT_TRUE(Holds(errorOf(deep), ": children nest deeper than 64")) << errorOf(deep);
}

// "auto" in place of an entry's data and end, of the data area's start and
// of a record's position stands for the real position.
TEST(TResFileCompile, AutomaticPositionsGiveTheFileWithItsRealPositions)
{
    HeaderFields fields;
    fields.customVersion = "V1";
    fields.customNumber = 7;
    const std::string good = FileBytes(fields, { Record { "A", "TResource", SmallRecord("A") },
                                                 Record { "B", "TResource", SmallRecord("B") } });
    std::string text = std::string(kHeaderText) + "  index 2\n";
    for (const std::string id : { "A", "B" })
        text += "    entry id \"" + id + "\" class \"TResource\" type 31 wparam 0 lparam 0 data auto end auto\n";
    text += "data auto\n";
    for (const std::string id : { "A", "B" })
        text += "  record \"" + id + "\" at auto\n    resource 31 class \"TResource\" cpp absent wparam 0 lparam 0\n"
            + "      string 21 \"" + id + "\"\n    end\n";
    text += "end\n";
    TResFileCompile coCompile;
    ASSERT_EQ(coCompile.Compile(text.data(), text.size()), 1) << coCompile.GetError() << "\n" << text;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(coCompile.GetData()), coCompile.GetSize()), good);

    // An automatic entry needs a record of its id.
    text.replace(text.find("record \"B\""), 10, "record \"C\"");
    EXPECT_EQ(coCompile.Compile(text.data(), text.size()), 0);
    EXPECT_STREQ(coCompile.GetError(), "line 16: no record \"B\" for the automatic position of its index entry");
}
