// The crossing between the framework's text (UTF-8, the code page of the
// test programs) and the UTF-16 of the ...W calls.
#include "KwWindows.h"
#include "TWideText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

TEST(TWideTextTest, TextCrossesBothWaysAndCutsKeepWholeCharacters)
{
    const char* const pszName = "\xCE\xA9mega-\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB-\xE6\x97\xA5-\xF0\x9F\x98\x80-e\xCC\x81";
    const std::wstring wstrName = L"\u03A9mega-\u0444\u0430\u0439\u043B-\u65E5-\U0001F600-e\u0301";
    EXPECT_EQ(TWideText::Wide(pszName), wstrName);
    EXPECT_EQ(TWideText::Wide(pszName, 6), L"\u03A9mega");
    EXPECT_EQ(TWideText::Wide(nullptr), L"");
    int nLost = -1;
    EXPECT_STREQ(TWideText::Narrow(wstrName.c_str(), -1, &nLost), pszName);
    EXPECT_EQ(nLost, 0);
    // A lone surrogate is no character: it does not come back.
    const wchar_t awchLone[] = { L'a', 0xD83D, L'b', 0 };
    TWideText::Narrow(awchLone, -1, &nLost);
    EXPECT_EQ(nLost, 1);
    EXPECT_EQ(static_cast<const wchar_t*>(TWideArg(nullptr)), nullptr);

    // A buffer of n bytes takes whole characters only, and its zero.
    char achBuffer[16];
    for (const auto& [nSize, pszKept] : { std::pair { 1, "" }, std::pair { 2, "" }, std::pair { 3, "\xCE\xA9" },
                                          std::pair { 7, "\xCE\xA9mega" }, std::pair { 9, "\xCE\xA9mega-" } }) {
        EXPECT_EQ(TWideText::NarrowInto(wstrName.c_str(), -1, achBuffer, nSize), static_cast<int>(std::strlen(pszKept)));
        EXPECT_STREQ(achBuffer, pszKept) << nSize;
    }
}

TEST(TWideTextTest, LongPathsTakeTheFormWithoutLimit)
{
    const std::string strLong = "T:\\" + std::string(300, 'x');
    EXPECT_EQ(TWideText::Path(strLong.c_str()), L"\\\\?\\" + TWideText::Wide(strLong.c_str()));
    EXPECT_EQ(TWideText::Path(("\\\\server\\share\\" + std::string(300, 'x')).c_str()),
              L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L'x'));
    // Short paths stay as the system tidies them; a relative name stays.
    EXPECT_EQ(TWideText::Path("T:\\a\\..\\b"), L"T:\\b");
    EXPECT_EQ(TWideText::Path("name.txt"), L"name.txt");
    EXPECT_EQ(TWideText::Path(("T:\\" + std::string(300, 'x') + "\\..\\y").c_str()), L"T:\\y");
}
