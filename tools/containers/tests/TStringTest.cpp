#include "TRefMem.h"
#include "TString.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(coText[2], 'c');
    EXPECT_EQ(coText[3], '\0');
    EXPECT_TRUE(g_errors.empty());
    char& chBad = coText[4];
    EXPECT_EQ(chBad, '\0');
    chBad = 'x';                     // the dummy absorbs the write
    EXPECT_EQ(coText[-2], '\0');
    const TString& coConst = coText;
    EXPECT_EQ(coConst[9], '\0');
    EXPECT_EQ(coConst[-1], '\0');
    EXPECT_EQ(g_errors, std::vector<int>({ 2, 3, 2, 3 }));
    EXPECT_STREQ(coText, "abc");
    coText[1] = 'B';
    EXPECT_STREQ(coText, "aBc");
}

TEST_F(TStringTest, CopiesShareOneBlockUntilOneIsModified)
{
    TString coFirst("Hello");
    TString coSecond(coFirst);
    EXPECT_EQ(Block(coFirst), Block(coSecond));

    coSecond.Strupr();
    EXPECT_STREQ(coFirst, "Hello");
    EXPECT_STREQ(coSecond, "HELLO");

    TString coThird(coFirst);
    char* pszWritable = static_cast<char*>(coThird);
    EXPECT_NE(pszWritable, Block(coFirst));
    pszWritable[0] = 'J';
    EXPECT_STREQ(coFirst, "Hello");
    EXPECT_STREQ(coThird, "Jello");

    TString coFourth(coFirst), coFifth(coFirst), coSixth(coFirst);
    coFourth[0] = 'C';
    coFifth.Strlwr();
    coSixth.Strrev();
    EXPECT_EQ(std::string(coFirst) + static_cast<const char*>(coFourth) + static_cast<const char*>(coFifth) + static_cast<const char*>(coSixth),
              "HelloCellohelloolleH");
}

TEST_F(TStringTest, ComparisonsTreatEmptyAndNullAsEmptyText)
{
    const TString coEmpty;
    EXPECT_EQ(coEmpty.Strcmp(nullptr), 0);
    EXPECT_EQ(coEmpty.Strcmp(""), 0);
    EXPECT_TRUE(coEmpty == nullptr);
    EXPECT_EQ(coEmpty.Strcmp("a"), -1);

    const TString coText("Beta");
    // "\xe4" after "a": the bytes compare unsigned.
    EXPECT_EQ(std::vector<int>({ coText.Strcmp("Alpha"), coText.Strcmp("Gamma"), TString("\xe4").Strcmp("a"),
                                 coText.Stricmp("BETA"), coText.Stricmp("gamma") < 0, coText.Strncmp("Bex", 2),
                                 coText.Strncmp("Bex", 3) != 0, coText.Strnicmp("bEX", 2) }),
              std::vector<int>({ 1, -1, 1, 0, 1, 0, 1, 0 }));
    EXPECT_TRUE(coText < "Gamma" && coText > "Alpha" && coText <= "Beta" && coText >= "Beta" && coText != "beta");
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
    EXPECT_EQ(coText.Strlen(), 100002);
    EXPECT_EQ(coText[100001], '>');

    const std::string sLongFormat(300, 'f');
    coText.SetText((sLongFormat + "%s").c_str(), sLong.c_str());
    EXPECT_EQ(coText.Strlen(), 100300);

    // The arguments may be the string's own text; copies keep their text.
    TString coOwn("own");
    TString coCopy(coOwn);
    coOwn.SetText("%s+%s", static_cast<const char*>(coOwn), static_cast<const char*>(coOwn));
    EXPECT_STREQ(coOwn, "own+own");
    EXPECT_STREQ(coCopy, "own");
}

TEST_F(TStringTest, QueriesFindCharactersAndTexts)
{
    const TString coText("Hello World");
    EXPECT_STREQ(coText.Strchr('o'), "o World");
    EXPECT_EQ(coText.Strstr("world"), nullptr);
    EXPECT_STREQ(coText.Stristr("WORLD"), "World");
    char* pszCopy = coText.Strdup();
    EXPECT_STREQ(pszCopy, "Hello World");
    std::free(pszCopy);
    // A count of 0 copies nothing; a null text empties.
    TString coPart = coText + '!';
    EXPECT_STREQ(coPart.Strncpy("xyz", 0), "Hello World!");
    EXPECT_TRUE(coPart.Strncpy(nullptr, 3).IsEmpty());
}

TEST_F(TStringTest, ReleasingABlockBelowZeroReportsErrorOne)
{
    TRefMem coMem("ab", 3);
    EXPECT_EQ(coMem.Connect(), 1u);
    EXPECT_EQ(coMem.Disconnect(), 0u);
    EXPECT_EQ(coMem.Disconnect(), 0u);
    EXPECT_EQ(coMem.GetRefCount(), 0u);
    EXPECT_EQ(g_errors, std::vector<int>({ 1 }));

    std::vector<int> own;
    static std::vector<int>* s_pOwn = nullptr;
    s_pOwn = &own;
    TRefMem::SetErrorHandler([](int n) { s_pOwn->push_back(n); });
    coMem.Disconnect();
    TRefMem::SetErrorHandler(nullptr);
    EXPECT_EQ(own, std::vector<int>({ 1 }));
    EXPECT_EQ(g_errors, std::vector<int>({ 1 }));
}

TEST(TRefMemTest, SetMemoryGrowsButNeverShrinksTheAllocation)
{
    TRefMem coMem(4);
    coMem.SetMemory("abcdefgh", 9);
    EXPECT_EQ(coMem.GetSize(), 9u);
    const char* pBlock = coMem.GetMemory();
    coMem.SetMemory("xy", 3);
    EXPECT_EQ(coMem.GetMemory(), pBlock);
    EXPECT_EQ(coMem.GetSize(), 3u);
    coMem.SetMemory("12345", 6);     // still fits the old allocation
    EXPECT_EQ(coMem.GetMemory(), pBlock);
    coMem.SetMemory(nullptr, 5);
    EXPECT_EQ(coMem.GetMemory(), nullptr);
    TRefMem coEmpty(nullptr, 10);
    EXPECT_EQ(coEmpty.GetSize(), 0u);
    TRefMem coZero(0ul);

    char* pOwned = new char[2] { 'k', 0 };
    coZero.SetPointer(pOwned, 2);
    EXPECT_STREQ(coZero.GetMemory(), "k");
    coZero.SetPointer(nullptr, 0);
    EXPECT_EQ(coZero.GetSize(), 0u);
}

TEST(StringFunctionsTest, StrdupCopiesWholeOrBoundedTexts)
{
    EXPECT_EQ(Strdup(nullptr), nullptr);
    char* pszPart = Strdup("abcdef", 3);
    EXPECT_STREQ(pszPart, "abc");
    std::free(pszPart);
    char* pszShort = Strdup("ab", 5);       // never reads past the text
    EXPECT_STREQ(pszShort, "ab");
    std::free(pszShort);
}

TEST(StringFunctionsTest, StringInStringFindsMatchesInsidePartialMatches)
{
    const char* pszText = "aabc";
    EXPECT_EQ(StringInString(pszText, "ab"), pszText + 1);
    EXPECT_EQ(StringInStringl(pszText, "AB"), pszText + 1);
    EXPECT_EQ(StringInString(pszText, "AB"), nullptr);
    EXPECT_EQ(StringInString(pszText, ""), pszText);
    EXPECT_EQ(StringInString(pszText, "abcd"), StringInString(nullptr, "a"));
    EXPECT_EQ(StringInStringl(pszText, nullptr), nullptr);
    const char* pszMixed = "xyzXYZ";
    EXPECT_EQ(StringInStringl(pszMixed, "zx"), pszMixed + 2);
}

TEST(StringFunctionsTest, ArrayCompareFunctionsOrderNullFirst)
{
    EXPECT_EQ(std::vector<int>({ TArrayCmpString(nullptr, nullptr), TArrayCmpString(nullptr, "a"), TArrayCmpString("a", nullptr),
                                 TArrayCmpString("b", "B"), TArrayCmpString("\xe4", "z"), TArrayCmpiString("b", "B"),
                                 TArrayCmpiString("a", "B") < 0, TArrayCmpiString(nullptr, "a") }),
              std::vector<int>({ 0, -1, 1, 1, 1, 0, 1, -1 }));
}
