#include "TUtf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Names in several alphabets, each character kept apart: a combining
// accent is a character of its own, a single-byte code page's "é" (0xE9
// before an ASCII letter) too.
const std::vector<std::string> s_vecChars = { "a", "\xCE\xA9", "\xD1\x84", "\xE6\x97\xA5", "\xF0\x9F\x98\x80",
                                              "e", "\xCC\x81", "\xD7\xA9", "\xE9", "t" };

std::string Joined()
{
    std::string strText;
    for (const std::string& strChar : s_vecChars)
        strText += strChar;
    return strText;
}

} // namespace

TEST(TUtf8Test, MalformedSequencesAreSingleBytes)
{
    const struct {
        const char* pszBytes;
        size_t nSize;
    } aCases[] = {
        { "a", 1 },
        { "\xC3\xA9", 2 },
        { "\xE6\x97\xA5", 3 },
        { "\xF0\x9F\x98\x80", 4 },
        { "\xC3t", 1 },                 // a lead byte without its continuation
        { "\xE6\x97", 1 },              // cut short
        { "\xC0\x80", 1 },              // overlong
        { "\xE0\x80\x80", 1 },          // overlong
        { "\xED\xA0\x80", 1 },          // a surrogate
        { "\xF4\x90\x80\x80", 1 },      // beyond U+10FFFF
        { "\x80", 1 },                  // a stray continuation byte
    };
    for (const auto& coCase : aCases)
        EXPECT_EQ(TUtf8::CharSize(coCase.pszBytes, std::char_traits<char>::length(coCase.pszBytes)), coCase.nSize)
            << coCase.pszBytes;
    EXPECT_EQ(TUtf8::CharSize("", 0), 0u);
}

TEST(TUtf8Test, StepsAndCutsFallOnCharacterBoundaries)
{
    const std::string strText = Joined();
    std::vector<size_t> vecBounds = { 0 };
    for (const std::string& strChar : s_vecChars)
        vecBounds.push_back(vecBounds.back() + strChar.size());
    std::vector<size_t> vecForward = { 0 };
    while (vecForward.back() < strText.size())
        vecForward.push_back(TUtf8::Next(strText.data(), strText.size(), vecForward.back()));
    EXPECT_EQ(vecForward, vecBounds);
    std::vector<size_t> vecBackward = { strText.size() };
    while (vecBackward.front() > 0)
        vecBackward.insert(vecBackward.begin(), TUtf8::Prev(strText.data(), strText.size(), vecBackward.front()));
    EXPECT_EQ(vecBackward, vecBounds);

    // Every cut keeps whole characters only.
    for (size_t nMax = 0; nMax <= strText.size() + 1; ++nMax) {
        const size_t nFit = TUtf8::Fit(strText.data(), strText.size(), nMax);
        size_t nExpected = 0;
        for (size_t nBound : vecBounds)
            if (nBound <= nMax)
                nExpected = nBound;
        EXPECT_EQ(nFit, nExpected) << nMax;
    }
    EXPECT_EQ(TUtf8::CharCount(strText.c_str()), s_vecChars.size());

    // A text that a printf cut: a split character goes, a whole one stays.
    const std::string strCut = "ab\xE6\x97\xA5\xF0\x9F\x98";
    for (size_t nLength : { 2, 3, 4, 5, 6, 7, 8 })
        EXPECT_EQ(TUtf8::WithoutSplitEnd(strCut.data(), nLength), nLength == 3 || nLength == 4 ? 2u
                                                                    : nLength >= 6 ? 5u : nLength)
            << nLength;
    EXPECT_TRUE(TUtf8::IsOneChar("\xF0\x9F\x98\x80"));
    EXPECT_FALSE(TUtf8::IsOneChar("e\xCC\x81"));
    EXPECT_FALSE(TUtf8::IsOneChar(""));
}

TEST(TUtf8Test, CodePointsRoundTripAndSurrogatePairsJoin)
{
    char ach[4];
    for (unsigned long ulCode : { 0x41ul, 0x7Ful, 0x80ul, 0x3A9ul, 0x7FFul, 0x800ul, 0x65E5ul, 0xFFFDul, 0x10000ul,
                                  0x1F600ul, 0x10FFFFul }) {
        const size_t nSize = TUtf8::Encode(ulCode, ach);
        size_t nRead = 0;
        EXPECT_EQ(TUtf8::Decode(ach, nSize, &nRead), ulCode);
        EXPECT_EQ(nRead, nSize);
    }
    EXPECT_EQ(TUtf8::Encode(0xD800, ach), 0u);
    EXPECT_EQ(TUtf8::Encode(0x110000, ach), 0u);
    EXPECT_EQ(TUtf8::Decode("\xE9t", 2, nullptr), 0xE9ul);

    // "a", an emoji in two halves, a lone low half, a high half that loses
    // its partner, "b".
    unsigned short unPending = 0;
    std::vector<unsigned long> vecChars;
    for (unsigned short unUnit : { 0x61, 0xD83D, 0xDE00, 0xDE00, 0xD83D, 0x62 }) {
        unsigned long ulCode = 0;
        if (TUtf8::JoinUnit(unUnit, unPending, ulCode))
            vecChars.push_back(ulCode);
    }
    EXPECT_EQ(vecChars, std::vector<unsigned long>({ 0x61, 0x1F600, 0xDE00, 0x62 }));
}

TEST(TUtf8Test, OnlyAsciiLettersIgnoreTheirCase)
{
    EXPECT_TRUE(TUtf8::SameCharIgnoringCase("a", 1, "A", 1));
    EXPECT_FALSE(TUtf8::SameCharIgnoringCase("a", 1, "b", 1));
    // U+00E9 and U+00C9 differ in the second byte; folding it as a letter
    // would make other characters equal (and change bytes).
    EXPECT_FALSE(TUtf8::SameCharIgnoringCase("\xC3\xA9", 2, "\xC3\x89", 2));
    EXPECT_TRUE(TUtf8::SameCharIgnoringCase("\xE6\x97\xA5", 3, "\xE6\x97\xA5", 3));
    EXPECT_FALSE(TUtf8::SameCharIgnoringCase("\xE9", 1, "\xC9", 1));
    EXPECT_FALSE(TUtf8::SameCharIgnoringCase("a", 1, "\xC3\xA1", 2));
}
