#include "TRefMem.h"
#include "TString.h"

#include <gtest/gtest.h>

#include <cstdarg>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<int> g_errors;

void RecordError(int nCode) { g_errors.push_back(nCode); }

// The block a string reads from, without unsharing it.
const char* Block(const TString& coText) { return coText; }

class TStringTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_errors.clear();
        TString::SetErrorHandler(RecordError);
    }
    void TearDown() override { TString::SetErrorHandler(nullptr); }
};

} // namespace

TEST_F(TStringTest, IndexingReachesTheTerminatorAndReportsBeyond)
{
    TString coText("abc");
    const TString& coConst = coText;
    coText[4] = 'x';                 // the dummy absorbs the write
    EXPECT_EQ(std::vector<char>({ coText[3], coText[-2], coConst[9], coConst[-1] }), std::vector<char>(4, '\0'));
    EXPECT_EQ(g_errors, std::vector<int>({ 2, 3, 2, 3 }));
    coText[1] = 'B';
    EXPECT_STREQ(coText, "aBc");
}

TEST_F(TStringTest, CopiesShareOneBlockUntilOneIsModified)
{
    const TString coFirst("Hello");
    TString coCopies[5] = { coFirst, coFirst, coFirst, coFirst, coFirst };
    EXPECT_EQ(Block(coFirst), Block(coCopies[0]));
    coCopies[0].Strupr();
    static_cast<char*>(coCopies[1])[0] = 'J';
    coCopies[2][0] = 'C';
    coCopies[3].Strlwr();
    coCopies[4].Strrev();
    std::string text(coFirst);
    for (const TString& coCopy : coCopies)
        text += std::string(" ") + static_cast<const char*>(coCopy);
    EXPECT_EQ(text, "Hello HELLO Jello Cello hello olleH");
}

TEST_F(TStringTest, ComparisonsAndSearchesTreatEmptyAndNullAsEmptyText)
{
    const TString coEmpty;
    const TString coText("Beta");
    // "\xe4" after "a": the bytes compare unsigned.
    EXPECT_EQ(std::vector<int>({ coEmpty == nullptr, coEmpty.Strcmp(nullptr), coEmpty.Strcmp(""), coEmpty.Strcmp("a"),
                                 coText.Strcmp("Alpha"), coText.Strcmp("Gamma"), TString("\xe4").Strcmp("a"),
                                 coText.Stricmp("BETA"), coText.Stricmp("gamma") < 0, coText.Strncmp("Bex", 2),
                                 coText.Strncmp("Bex", 3) != 0, coText.Strnicmp("bEX", 2) }),
              std::vector<int>({ 1, 0, 0, -1, 1, -1, 1, 0, 1, 0, 1, 0 }));
    EXPECT_TRUE(coText < "Gamma" && coText > "Alpha" && coText <= "Beta" && coText >= "Beta" && coText != "beta");

    const TString coWorld("Hello World");
    EXPECT_STREQ(coWorld.Strchr('o'), "o World");
    EXPECT_EQ(coWorld.Strstr("world"), nullptr);
    EXPECT_STREQ(coWorld.Stristr("WORLD"), "World");
    // A count of 0 copies nothing; a null text empties.
    TString coPart = coWorld + '!';
    EXPECT_STREQ(coPart.Strncpy("xyz", 0), "Hello World!");
    EXPECT_TRUE(coPart.Strncpy(nullptr, 3).IsEmpty());
}

TEST_F(TStringTest, SetTextFormatsWithoutEverOverflowing)
{
    TString coText;
    coText.SetText("%d-%s", 42, "x");
    EXPECT_STREQ(coText, "42-x");
    coText.SetText(nullptr);
    EXPECT_TRUE(coText.IsEmpty());

    // Far beyond both work areas.
    const std::string sLong(100000, 'q');
    coText.SetText("<%s>", sLong.c_str());
    EXPECT_EQ(std::string(coText), "<" + sLong + ">");
    const std::string sLongFormat(300, 'f');
    coText.SetText((sLongFormat + "%s").c_str(), sLong.c_str());
    EXPECT_EQ(std::string(coText), sLongFormat + sLong);

    // The arguments may be the string's own text; copies keep their text.
    TString coOwn("own");
    TString coCopy(coOwn);
    coOwn.SetText("%s+%s", static_cast<const char*>(coOwn), static_cast<const char*>(coOwn));
    EXPECT_EQ(std::string(coOwn) + " " + static_cast<const char*>(coCopy), "own+own own");
}

namespace {

// SetTextV as the framework's own "...Ft" functions call it; the result and the text.
std::string FormattedV(TString& coText, int nMaxLen, const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    const int nResult = coText.SetTextV(pszFormat, args, nMaxLen);
    va_end(args);
    return std::to_string(nResult) + " " + static_cast<const char*>(coText);
}

} // namespace

TEST_F(TStringTest, SetTextVCutsAtACharacterBoundaryAndTellsAMissingFormat)
{
    TString coText("old");
    // "\xC3\xA4" is one character of two bytes: a cut never splits it.
    const char* const pszWide = "a\xC3\xA4\xC3\xB6";
    EXPECT_EQ(FormattedV(coText, -1, "%s!", pszWide), std::string("1 ") + pszWide + "!");
    EXPECT_EQ(FormattedV(coText, 6, "%s!", pszWide), std::string("1 ") + pszWide + "!");
    EXPECT_EQ(FormattedV(coText, 5, "%s!", pszWide), std::string("1 ") + pszWide);
    EXPECT_EQ(FormattedV(coText, 4, "%s!", pszWide), "1 a\xC3\xA4");
    EXPECT_EQ(FormattedV(coText, 2, "%s!", pszWide), "1 a");
    EXPECT_EQ(FormattedV(coText, 0, "%d", 12), "1 ");
    EXPECT_EQ(FormattedV(coText, -1, ""), "1 ");
    coText = "old";
    EXPECT_EQ(FormattedV(coText, -1, nullptr), "0 ");
    // Cut past both work areas, from its own text.
    const std::string sLong(5000, 'q');
    coText = sLong.c_str();
    EXPECT_EQ(FormattedV(coText, 4001, "<%s>", static_cast<const char*>(coText)), "1 <" + sLong.substr(0, 4000));
}

TEST_F(TStringTest, BlocksKeepTheirAllocationAndReportAReleaseBelowZero)
{
    TRefMem coMem(4);
    coMem.SetMemory("abcdefgh", 9);
    const char* pBlock = coMem.GetMemory();
    coMem.SetMemory("xy", 3);
    EXPECT_EQ(coMem.GetSize(), 3u);
    coMem.SetMemory("12345", 6);     // still fits the old allocation
    EXPECT_EQ(coMem.GetMemory(), pBlock);
    EXPECT_STREQ(coMem.GetMemory(), "12345");
    coMem.SetMemory(nullptr, 5);
    EXPECT_EQ(coMem.GetMemory(), nullptr);
    EXPECT_EQ(TRefMem(nullptr, 10).GetSize(), 0u);
    coMem.SetPointer(new char[2] { 'k', 0 }, 2);
    EXPECT_STREQ(coMem.GetMemory(), "k");
    coMem.SetPointer(nullptr, 0);
    EXPECT_EQ(coMem.GetSize(), 0u);

    EXPECT_EQ(std::vector<unsigned long>({ coMem.Connect(), coMem.Disconnect(), coMem.Disconnect() }),
              std::vector<unsigned long>({ 1, 0, 0 }));
    EXPECT_EQ(g_errors, std::vector<int>({ 1 }));
    // A handler of the blocks' own comes first.
    TRefMem::SetErrorHandler([](int) { g_errors.push_back(-1); });
    coMem.Disconnect();
    TRefMem::SetErrorHandler(nullptr);
    EXPECT_EQ(g_errors, std::vector<int>({ 1, -1 }));
}

TEST(StringFunctionsTest, CopiesSearchesAndArrayComparisons)
{
    EXPECT_EQ(Strdup(nullptr), nullptr);
    for (const std::pair<int, const char*>& c : { std::make_pair(3, "abc"), std::make_pair(9, "abcdef") }) {
        char* pszCopy = Strdup("abcdef", c.first);   // never reads past the text
        EXPECT_STREQ(pszCopy, c.second);
        std::free(pszCopy);
    }

    const char* pszText = "aabc";
    const char* pszMixed = "xyzXYZ";
    EXPECT_EQ(std::vector<const char*>({ StringInString(pszText, "ab"), StringInStringl(pszText, "AB"),
                                         StringInString(pszText, "AB"), StringInString(pszText, ""),
                                         StringInString(pszText, "abcd"), StringInString(nullptr, "a"),
                                         StringInStringl(pszText, nullptr), StringInStringl(pszMixed, "zx") }),
              std::vector<const char*>({ pszText + 1, pszText + 1, nullptr, pszText, nullptr, nullptr, nullptr,
                                         pszMixed + 2 }));

    // Null first, bytes unsigned.
    EXPECT_EQ(std::vector<int>({ TArrayCmpString(nullptr, nullptr), TArrayCmpString(nullptr, "a"),
                                 TArrayCmpString("a", nullptr), TArrayCmpString("b", "B"), TArrayCmpString("\xe4", "z"),
                                 TArrayCmpiString("b", "B"), TArrayCmpiString("a", "B") < 0,
                                 TArrayCmpiString(nullptr, "a") }),
              std::vector<int>({ 0, -1, 1, 1, 1, 0, 1, -1 }));
}
