#include "TFmtText.h"
#include "TFmtTextFormat.h"
#include "TResVar.h"

#include "KwResFileHelper.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <vector>

namespace {

constexpr char BS = TFmtText::KeyBackspace;
constexpr char DEL = TFmtText::KeyDelete;
constexpr char HOME = TFmtText::KeyHome;
constexpr char END = TFmtText::KeyEnd;
constexpr char LEFT = TFmtText::KeyLeft;
constexpr char RIGHT = TFmtText::KeyRight;
constexpr unsigned short SH = TFmtText::FlagShift;
constexpr unsigned short CT = TFmtText::FlagCtrl;

// Records the calls of the hooks that owners override, in order, as a short
// text: "F2/2" FixCharPassed(2, 2), "X0" ExitArea(0), "E1" EnterArea(1),
// "G0:0-4" NotifyFocusGot(0, 0, 4), "L0:0-4" NotifyFocusLost(0, 0, 4).
class TProbe : public TFmtText {
public:
    std::string TakeLog()
    {
        std::string str = m_strLog;
        m_strLog.clear();
        return str;
    }

protected:
    int FixCharPassed(unsigned short unPos, unsigned short unDir) override
    {
        Log("F" + std::to_string(unPos) + "/" + std::to_string(unDir));
        return TFmtText::FixCharPassed(unPos, unDir);
    }
    int ExitArea(short nArea) override
    {
        Log("X" + std::to_string(nArea));
        return TFmtText::ExitArea(nArea);
    }
    int EnterArea(short nArea) override
    {
        Log("E" + std::to_string(nArea));
        return TFmtText::EnterArea(nArea);
    }
    void NotifyFocusLost(short nArea, unsigned short unBeg, unsigned short unEnd) override
    {
        Log("L" + std::to_string(nArea) + ":" + std::to_string(unBeg) + "-" + std::to_string(unEnd));
    }
    void NotifyFocusGot(short nArea, unsigned short unBeg, unsigned short unEnd) override
    {
        Log("G" + std::to_string(nArea) + ":" + std::to_string(unBeg) + "-" + std::to_string(unEnd));
    }

private:
    void Log(const std::string& str) { m_strLog += (m_strLog.empty() ? "" : " ") + str; }
    std::string m_strLog;
};

std::string View(const TFmtText& co) { return static_cast<const char*>(co.GetView('_')); }
std::string Text(const TFmtText& co) { return static_cast<const char*>(co.GetText()); }

struct Selection {
    short nStart { -1 };
    short nEnd { -1 };
};

Selection Sel(const TFmtText& co)
{
    Selection coSel;
    co.GetSelection(&coSel.nStart, &coSel.nEnd);
    return coSel;
}

// One key of a typing session and the state after it. A null log is not
// checked; "" means that no hook was called.
struct Step {
    char chKey;
    unsigned short unFlags;
    int nResult;
    const char* pszView;
    const char* pszText;
    int nCursor;
    int nSelStart;
    int nSelEnd;
    const char* pszLog;
};

void Walk(TProbe& co, std::initializer_list<Step> steps)
{
    int nStep = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "step " << nStep++ << ": key " << int(s.chKey) << " flags " << s.unFlags);
        co.TakeLog();
        EXPECT_EQ(co.Input(s.chKey, s.unFlags), s.nResult);
        EXPECT_EQ(View(co), s.pszView);
        EXPECT_EQ(Text(co), s.pszText);
        EXPECT_EQ(co.GetCursorPos(), s.nCursor);
        Selection coSel = Sel(co);
        EXPECT_EQ(coSel.nStart, s.nSelStart);
        EXPECT_EQ(coSel.nEnd, s.nSelEnd);
        if (s.pszLog) {
            EXPECT_EQ(co.TakeLog(), s.pszLog);
        }
    }
}

void Type(TFmtText& co, const char* pszKeys)
{
    for (const char* pch = pszKeys; *pch; ++pch)
        co.Input(*pch, 0);
}

const char* const kAe = "\xE4";     // a with diaeresis
const char* const kAeUp = "\xC4";

} // namespace

TEST(TFmtTextTest, NewEngineHasTwentyStringPositions)
{
    static_assert(std::has_virtual_destructor<TFmtText>::value, "TFmtText is polymorphic");
    TFmtText co;
    EXPECT_EQ(co.GetFullLen(), 20);
    EXPECT_STREQ(co.GetTemplate(), std::string(20, '~').c_str());
    EXPECT_STREQ(co.GetFormat(), std::string(20, '*').c_str());
    EXPECT_STREQ(co.GetArea(), std::string(20, 'a').c_str());
    EXPECT_STREQ(co.GetCurrent(), std::string(20, TFmtText::Empty).c_str());
    EXPECT_EQ(co.GetCursorPos(), 0);
    EXPECT_EQ(co.GetSelection(nullptr, nullptr), 0);
    EXPECT_EQ(co.IsInsertMode(), 1);
    EXPECT_EQ(co.IsSelectOnEnter(), 1);
    EXPECT_EQ(Text(co), "");
}

TEST(TFmtTextTest, TypingLettersInTheDefaultFormat)
{
    TProbe co;
    std::string strRest(18, '_');
    Walk(co, {
        { 'a', 0, 1, ("a_" + strRest).c_str(), "a", 1, -1, -1, "" },
        { 'b', 0, 1, ("ab" + strRest).c_str(), "ab", 2, -1, -1, "" },
        // The alt flag is passed by the owners and changes nothing.
        { 'c', TFmtText::FlagAlt, 1, ("abc" + std::string(17, '_')).c_str(), "abc", 3, -1, -1, "" },
    });
    EXPECT_EQ(Text(co), "abc");
}

TEST(TFmtTextTest, ValidityCodesAcceptAndConvert)
{
    const char* pszCodes = "*9+AaBXxYCcDZz?";
    TFmtText co;
    ASSERT_EQ(co.SetCustomFormat(std::string(std::strlen(pszCodes), '~').c_str(), pszCodes, nullptr), 1);
    struct Row {
        char chCode;
        char ch;
        int nValid;
        char chStored;
    } rows[] = {
        { '*', 'q', 1, 'q' }, { '*', '#', 1, '#' },
        { '9', '5', 1, '5' }, { '9', 'b', 0, 'b' }, { '9', '-', 0, '-' },
        // "+" away from the first position of a left-aligned area: digits only.
        { '+', '7', 1, '7' }, { '+', '-', 0, '-' }, { '+', '+', 0, '+' },
        { 'A', 'b', 1, 'B' }, { 'A', '\xE4', 1, '\xC4' }, { 'A', '\xDF', 1, '\xDF' }, { 'A', '1', 0, '1' },
        { 'a', 'B', 1, 'b' }, { 'a', '\xD6', 1, '\xF6' }, { 'a', '#', 0, '#' },
        { 'B', 'b', 1, 'b' }, { 'B', 'Q', 1, 'Q' }, { 'B', '\xFC', 1, '\xFC' }, { 'B', '3', 0, '3' },
        { 'X', '7', 1, '7' }, { 'X', 'q', 1, 'Q' }, { 'X', '\xFC', 1, '\xDC' }, { 'X', '#', 0, '#' },
        { 'x', 'Q', 1, 'q' }, { 'x', '\xDC', 1, '\xFC' }, { 'x', '_', 0, '_' },
        { 'Y', 'Q', 1, 'Q' }, { 'Y', 'q', 1, 'q' }, { 'Y', '0', 1, '0' }, { 'Y', '.', 0, '.' },
        { 'C', '5', 0, '5' }, { 'C', 'k', 1, 'K' }, { 'C', '#', 1, '#' }, { 'C', '\xE4', 1, '\xC4' },
        { 'c', 'K', 1, 'k' }, { 'c', '9', 0, '9' },
        { 'D', 'K', 1, 'K' }, { 'D', 'k', 1, 'k' }, { 'D', '0', 0, '0' },
        { 'Z', 'k', 1, 'K' }, { 'Z', '5', 1, '5' }, { 'Z', '\xF6', 1, '\xD6' },
        { 'z', 'K', 1, 'k' }, { 'z', '\xC4', 1, '\xE4' }, { 'z', '\xDF', 1, '\xDF' },
        { '?', 'a', 0, 'a' }, { '?', '?', 0, '?' },
        // The empty marker and the end of text are never input.
        { '*', TFmtText::Empty, 0, TFmtText::Empty }, { '*', '\0', 0, '\0' }, { 'Z', TFmtText::Empty, 0, TFmtText::Empty },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "code " << r.chCode << " char " << int(static_cast<unsigned char>(r.ch)));
        unsigned short unPos = static_cast<unsigned short>(std::strchr(pszCodes, r.chCode) - pszCodes);
        char chStored = 'Q';
        EXPECT_EQ(co.CharValid(unPos, r.ch, &chStored, 0), r.nValid);
        EXPECT_EQ(chStored, r.chStored);
        EXPECT_EQ(co.CharValid(unPos, r.ch, nullptr, 1), r.nValid);
    }
    EXPECT_EQ(co.CharValid(co.GetFullLen(), 'a', nullptr, 0), 0);
    EXPECT_EQ(co.CharValid(60000, 'a', nullptr, 0), 0);

    // Typing goes through the same rules: "A" turns b into B and the
    // lower-case a with diaeresis into its upper-case form.
    TFmtText coUpper;
    ASSERT_EQ(coUpper.SetCustomFormat("~~~", "A9C", nullptr), 1);
    EXPECT_EQ(coUpper.Input('b', 0), 1);
    EXPECT_EQ(coUpper.Input('z', 0), 0);
    EXPECT_EQ(coUpper.Input('4', 0), 1);
    EXPECT_EQ(coUpper.Input('7', 0), 0);
    EXPECT_EQ(coUpper.Input('x', 0), 1);
    EXPECT_EQ(Text(coUpper), "B4X");
    coUpper.SetText(("b1" + std::string(kAe)).c_str());
    EXPECT_EQ(Text(coUpper), "B1" + std::string(kAeUp));
    coUpper.SetText(kAe);
    EXPECT_EQ(Text(coUpper), kAeUp);
}

TEST(TFmtTextTest, FixedPositionsAcceptOnlyTheirCharacter)
{
    TFmtText co;
    ASSERT_EQ(co.SetCustomFormat("~~/~~", "99~99", nullptr), 1);
    char chStored = 0;
    EXPECT_EQ(co.CharValid(2, '/', &chStored, 0), 1);
    EXPECT_EQ(chStored, '/');
    EXPECT_EQ(co.CharValid(2, '1', nullptr, 0), 0);
    EXPECT_EQ(co.CharValid(2, '~', nullptr, 0), 0);
}

TEST(TFmtTextTest, SpecialLettersAreTheSevenLatin1Characters)
{
    TFmtText co;
    struct Row {
        char ch;
        char chToUpper;
        char chToLower;
    } rows[] = {
        { '\xC4', '\xC4', '\xE4' }, { '\xD6', '\xD6', '\xF6' }, { '\xDC', '\xDC', '\xFC' },
        { '\xE4', '\xC4', '\xE4' }, { '\xF6', '\xD6', '\xF6' }, { '\xFC', '\xDC', '\xFC' },
        { '\xDF', '\xDF', '\xDF' },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(int(static_cast<unsigned char>(r.ch)));
        int nUpper = 1, nLower = 0;
        char chConv = 0;
        EXPECT_EQ(co.IsSpecialAlphaCharacter(r.ch, &chConv, &nUpper), 1);
        EXPECT_EQ(chConv, r.chToUpper);
        EXPECT_EQ(co.IsSpecialAlphaCharacter(r.ch, &chConv, &nLower), 1);
        EXPECT_EQ(chConv, r.chToLower);
        EXPECT_EQ(co.IsSpecialAlphaCharacter(r.ch, &chConv, nullptr), 1);
        EXPECT_EQ(chConv, r.ch);
        EXPECT_EQ(co.IsSpecialAlphaCharacter(r.ch, nullptr, &nUpper), 1);
    }
    for (char ch : { 'a', 'Z', '\xE9', '\xC0', '\xFF', '\xD7' }) {
        int nUpper = 1;
        char chConv = 0;
        EXPECT_EQ(co.IsSpecialAlphaCharacter(ch, &chConv, &nUpper), 0);
        EXPECT_EQ(chConv, ch);
    }
}

TEST(TFmtTextTest, SignRuleOfLeftAlignedAreas)
{
    TFmtText co;
    ASSERT_EQ(co.SetDoubleFormat(4, 3, 0), 1);
    EXPECT_EQ(co.CharValid(0, '-', nullptr, 0), 1);
    EXPECT_EQ(co.CharValid(0, '+', nullptr, 0), 1);
    EXPECT_EQ(co.CharValid(1, '-', nullptr, 0), 0);
    EXPECT_EQ(co.Input('-', 0), 1);
    EXPECT_EQ(co.Input('-', 0), 0);
    EXPECT_EQ(co.Input('4', 0), 1);
    EXPECT_EQ(View(co), "-4__,__");
    EXPECT_EQ(co.GetLong(), -4);
    // Only when every position of the area has the code "+".
    ASSERT_EQ(co.SetCustomFormat("~~~", "+9+", nullptr), 1);
    EXPECT_EQ(co.CharValid(0, '-', nullptr, 0), 0);
    EXPECT_EQ(co.CharValid(2, '-', nullptr, 0), 0);
    EXPECT_EQ(co.CharValid(0, '5', nullptr, 0), 1);
}

TEST(TFmtTextTest, IntegerFieldAlignsRightForViewingAndLeftForInput)
{
    TProbe co;
    ASSERT_EQ(co.SetIntFormat(5, 0), 1);
    EXPECT_STREQ(co.GetArea(), "gaaaa");
    co.SetText("42");
    EXPECT_EQ(View(co), "___42");
    EXPECT_EQ(Text(co), "42");
    EXPECT_EQ(co.GetLong(), 42);
    co.TakeLog();
    co.GotFocus();
    EXPECT_EQ(co.TakeLog(), "E0 G0:0-4");
    EXPECT_EQ(View(co), "42___");
    EXPECT_EQ(co.GetCursorPos(), 2);
    EXPECT_EQ(Sel(co).nStart, 0);
    EXPECT_EQ(Sel(co).nEnd, 1);
    Walk(co, {
        // A character the selection's positions refuse leaves it alone.
        { 'x', 0, 0, "42___", "42", 2, 0, 1, "" },
        { '7', 0, 1, "7____", "7", 1, -1, -1, "" },
        { '8', 0, 1, "78___", "78", 2, -1, -1, "" },
        { HOME, 0, 1, "78___", "78", 0, -1, -1, "" },
        { '9', 0, 1, "978__", "978", 1, -1, -1, "" },
        { END, 0, 1, "978__", "978", 3, -1, -1, "" },
    });
    co.LostFocus();
    EXPECT_EQ(co.TakeLog(), "X0 L0:0-4");
    EXPECT_EQ(View(co), "__978");
    EXPECT_EQ(co.GetShort(), 978);
}

TEST(TFmtTextTest, FullFieldSelectedOnFocusIsReplacedByValidInputOnly)
{
    TProbe co;
    ASSERT_EQ(co.SetIntFormat(5, 0), 1);
    Type(co, "12345");
    EXPECT_EQ(co.GetCursorPos(), 5);
    co.GotFocus();
    // A full area that ends the text puts the cursor after it.
    EXPECT_EQ(co.GetCursorPos(), 5);
    Walk(co, {
        { 'x', 0, 0, "12345", "12345", 5, 0, 4, "" },
        { '6', 0, 1, "6____", "6", 1, -1, -1, "" },
    });
}

TEST(TFmtTextTest, DecimalFieldTypingAndReading)
{
    TProbe co;
    ASSERT_EQ(co.SetDoubleFormat(4, 3, 0), 1);
    EXPECT_STREQ(co.GetTemplate(), "~~~~,~~");
    EXPECT_STREQ(co.GetFormat(), "++++~99");
    EXPECT_STREQ(co.GetArea(), "haaa~ba");
    EXPECT_EQ(Text(co), "0,00");
    Walk(co, {
        { '1', 0, 1, "1___,__", "1,00", 1, -1, -1, "" },
        { '2', 0, 1, "12__,__", "12,00", 2, -1, -1, "" },
        // The full stop finds the comma; leaving the integer area aligns it.
        { '.', 0, 1, "__12,__", "12,00", 5, -1, -1, "F4/2 X0 E1" },
        { '5', 0, 1, "__12,5_", "12,50", 6, -1, -1, "" },
        { '3', 0, 1, "__12,53", "12,53", 7, -1, -1, "" },
        { '4', 0, 0, "__12,53", "12,53", 7, -1, -1, "" },
        { BS, 0, 1, "__12,5_", "12,50", 6, -1, -1, "" },
        { BS, 0, 1, "__12,__", "12,00", 5, -1, -1, "" },
        // Over the separator: the last digit of the integer area goes, the
        // decimal area is padded as it is left, the integer area entered.
        { BS, 0, 1, "1___,00", "1,00", 1, 0, 0, "F4/1 X1 E0" },
        { '9', 0, 1, "9___,00", "9,00", 1, -1, -1, "" },
    });
    EXPECT_DOUBLE_EQ(co.GetDouble(), 9.0);

    co.SetText("12");
    EXPECT_EQ(Text(co), "12,00");
    co.SetText("12.5");
    EXPECT_EQ(View(co), "__12,50");
    EXPECT_EQ(Text(co), "12,50");
    EXPECT_DOUBLE_EQ(co.GetDouble(), 12.5);
    EXPECT_EQ(co.GetLong(), 12);
}

TEST(TFmtTextTest, RightAlignedIntegerField)
{
    TProbe co;
    ASSERT_EQ(co.SetIntFormat(4, 1), 1);
    EXPECT_STREQ(co.GetArea(), "raaa");
    // Input starts on the area's last position, so the field takes input
    // from the start.
    EXPECT_EQ(co.GetBegPos(), 3);
    EXPECT_EQ(co.GetCursorPos(), 3);
    co.GotFocus();
    EXPECT_EQ(co.TakeLog(), "E0 G0:0-3");
    Walk(co, {
        { '1', 0, 1, "___1", "1", 3, -1, -1, "" },
        { '2', 0, 1, "__12", "12", 3, -1, -1, "" },
        { '3', 0, 1, "_123", "123", 3, -1, -1, "" },
        { DEL, 0, 1, "__12", "12", 3, -1, -1, "" },
        { 'a', 0, 0, "__12", "12", 3, -1, -1, "" },
        { '3', 0, 1, "_123", "123", 3, -1, -1, "" },
        { '4', 0, 1, "1234", "1234", 3, -1, -1, "" },
        { '5', 0, 0, "1234", "1234", 3, -1, -1, "" },
        { BS, 0, 0, "1234", "1234", 3, -1, -1, "" },
        { LEFT, 0, 0, "1234", "1234", 3, -1, -1, "" },
        { RIGHT, 0, 0, "1234", "1234", 3, -1, -1, "" },
        { HOME, 0, 0, "1234", "1234", 3, -1, -1, "" },
        { END, 0, 0, "1234", "1234", 3, -1, -1, "" },
    });
    EXPECT_EQ(co.GetLong(), 1234);
    // A right-aligned area is never selected.
    EXPECT_EQ(co.SelectArea(0), 0);
    co.SetText("42");
    EXPECT_EQ(View(co), "__42");
    EXPECT_EQ(co.GetShort(), 42);
    co.SetCursorPos(0);
    EXPECT_EQ(co.GetCursorPos(), 3);
}

TEST(TFmtTextTest, RightAlignedDecimalFieldWithSign)
{
    TProbe co;
    ASSERT_EQ(co.SetDoubleFormat(4, 3, 1), 1);
    EXPECT_STREQ(co.GetArea(), "raaa~ba");
    EXPECT_EQ(co.GetCursorPos(), 3);
    Walk(co, {
        { '1', 0, 1, "___1,__", "1,00", 3, -1, -1, "" },
        { '2', 0, 1, "__12,__", "12,00", 3, -1, -1, "" },
        // The sign stands right before the number.
        { '-', 0, 1, "_-12,__", "-12,00", 3, -1, -1, "" },
        { '-', 0, 1, "_-12,__", "-12,00", 3, -1, -1, "" },
        // The position kept free for a sign is not needed once there is one.
        { '3', 0, 1, "-123,__", "-123,00", 3, -1, -1, "" },
        { '4', 0, 0, "-123,__", "-123,00", 3, -1, -1, "" },
        { '+', 0, 1, "_123,__", "123,00", 3, -1, -1, "" },
        // Without a sign one position stays free for it...
        { '4', 0, 0, "_123,__", "123,00", 3, -1, -1, "" },
        // ...and takes it.
        { '-', 0, 1, "-123,__", "-123,00", 3, -1, -1, "" },
        { '.', 0, 1, "-123,__", "-123,00", 5, -1, -1, "F4/2 X0 E1" },
        { '5', 0, 1, "-123,5_", "-123,50", 6, -1, -1, "" },
        { LEFT, 0, 1, "-123,5_", "-123,50", 5, -1, -1, "" },
        { LEFT, 0, 1, "-123,50", "-123,50", 3, -1, -1, "F4/1 X1 E0" },
        { DEL, 0, 1, "_-12,50", "-12,50", 3, -1, -1, "" },
        { DEL, 0, 1, "__-1,50", "-1,50", 3, -1, -1, "" },
        { '+', 0, 1, "___1,50", "1,50", 3, -1, -1, "" },
        // Out of right-aligned mode into a full area that ends the text.
        { RIGHT, 0, 1, "___1,50", "1,50", 7, 5, 6, "F4/2 X0 E1" },
    });
    EXPECT_DOUBLE_EQ(co.GetDouble(), 1.5);

    // The sign needs two empty positions in the simple case as well.
    ASSERT_EQ(co.SetDoubleFormat(4, 3, 1), 1);
    Type(co, "12-");
    EXPECT_EQ(View(co), "_-12,__");
    // A single position takes a digit or a sign.
    ASSERT_EQ(co.SetDoubleFormat(1, 2, 1), 1);
    EXPECT_EQ(co.Input('7', 0), 1);
    EXPECT_EQ(co.Input('-', 0), 0);
    EXPECT_EQ(View(co), "7,_");
    ASSERT_EQ(co.SetDoubleFormat(1, 2, 1), 1);
    EXPECT_EQ(co.Input('-', 0), 1);
    EXPECT_EQ(co.Input('7', 0), 0);
    EXPECT_EQ(View(co), "-,_");
}

TEST(TFmtTextTest, SeparatorsAreSteppedOverAndTypedToJump)
{
    TProbe co;
    ASSERT_EQ(co.SetCustomFormat("~~/~~", "99~99", nullptr), 1);
    Walk(co, {
        { '1', 0, 1, "1_/__", "1/", 1, -1, -1, "" },
        { '2', 0, 1, "12/__", "12/", 3, -1, -1, "F2/2 X0 E1" },
        { '3', 0, 1, "12/3_", "12/3", 4, -1, -1, "" },
        { '/', 0, 0, "12/3_", "12/3", 4, -1, -1, "" },
        { '4', 0, 1, "12/34", "12/34", 5, -1, -1, "" },
        { '5', 0, 0, "12/34", "12/34", 5, -1, -1, "" },
    });
    ASSERT_EQ(co.SetCustomFormat("~~/~~", "99~99", nullptr), 1);
    Walk(co, {
        { '/', 0, 1, "__/__", "/", 3, -1, -1, "F2/2 X0 E1" },
        { '9', 0, 1, "__/9_", "/9", 4, -1, -1, "" },
    });
    // Typing a separator hides the selection.
    ASSERT_EQ(co.SetCustomFormat("~~/~~", "99~99", nullptr), 1);
    Type(co, "12");
    Walk(co, {
        { HOME, 0, 1, "12/__", "12/", 0, 0, 1, "X1 E0" },
        { '/', 0, 1, "12/__", "12/", 3, -1, -1, "F2/2 X0 E1" },
    });
    // A decimal point only finds the other separator after a number.
    ASSERT_EQ(co.SetCustomFormat("~~.~~", "99~99", nullptr), 1);
    EXPECT_EQ(co.Input(',', 0), 1);
    EXPECT_EQ(co.GetCursorPos(), 3);
    ASSERT_EQ(co.SetCustomFormat("~~.~~", "AA~99", nullptr), 1);
    EXPECT_EQ(co.Input(',', 0), 0);
    EXPECT_EQ(co.GetCursorPos(), 0);
    EXPECT_EQ(co.Input('.', 0), 1);
    EXPECT_EQ(co.GetCursorPos(), 3);
}

TEST(TFmtTextTest, JumpOverSeveralSeparatorsEndsAfterTheTypedOne)
{
    TProbe co;
    // The middle area has a single position: leaving it calls no hook, and
    // the cursor still ends after the separator that was typed.
    ASSERT_EQ(co.SetCustomFormat("~~/~-~~", "99~9~99", nullptr), 1);
    Walk(co, {
        { '-', 0, 1, "__/_-__", "/-", 5, -1, -1, "F2/2 X0 E1 F4/2" },
        { '7', 0, 1, "__/_-7_", "/-7", 6, -1, -1, "" },
    });
}

TEST(TFmtTextTest, KeysWalkAcrossAreasOfADate)
{
    TProbe co;
    ASSERT_EQ(co.SetCustomFormat("~~/~~", "99~99", nullptr), 1);
    Type(co, "123");
    Walk(co, {
        { LEFT, 0, 1, "12/3_", "12/3", 3, -1, -1, "" },
        // Into a full area: the cursor on its last position, its content
        // selected.
        { LEFT, 0, 1, "12/3_", "12/3", 1, 0, 1, "F2/1 X1 E0" },
        { RIGHT, 0, 1, "12/3_", "12/3", 4, 3, 3, "F2/2 X0 E1" },
        // Only the selection goes when the cursor stands on an empty position.
        { RIGHT, 0, 1, "12/3_", "12/3", 4, -1, -1, "" },
        { RIGHT, 0, 0, "12/3_", "12/3", 4, -1, -1, "" },
        { HOME, 0, 1, "12/3_", "12/3", 0, 0, 1, "X1 E0" },
        { END, 0, 1, "12/3_", "12/3", 4, 3, 3, "X0 E1" },
        { BS, 0, 1, "12/__", "12/", 3, -1, -1, "" },
        { BS, 0, 1, "1_/__", "1/", 1, 0, 0, "F2/1 X1 E0" },
        { DEL, 0, 1, "__/__", "/", 0, -1, -1, "" },
        { DEL, 0, 0, "__/__", "/", 0, -1, -1, "" },
        { BS, 0, 0, "__/__", "/", 0, -1, -1, "" },
        { LEFT, 0, 0, "__/__", "/", 0, -1, -1, "" },
        // From an empty position into the next area; an empty area keeps the
        // cursor on its first position, where input can start.
        { RIGHT, 0, 1, "__/__", "/", 3, -1, -1, "F2/2 X0 E1" },
        { '5', 0, 1, "__/5_", "/5", 4, -1, -1, "" },
    });
}

TEST(TFmtTextTest, ControlMovesByAreas)
{
    TProbe co;
    ASSERT_EQ(co.SetCustomFormat("~~/~~", "99~99", nullptr), 1);
    Type(co, "12");
    Walk(co, {
        { HOME, 0, 1, "12/__", "12/", 0, 0, 1, "X1 E0" },
        { RIGHT, CT, 1, "12/__", "12/", 3, -1, -1, "F2/2 X0 E1" },
        { RIGHT, CT, 0, "12/__", "12/", 3, -1, -1, "" },
        { LEFT, CT, 1, "12/__", "12/", 1, 0, 1, "F2/1 X1 E0" },
        { LEFT, CT, 1, "12/__", "12/", 0, -1, -1, "" },
        { LEFT, CT, 0, "12/__", "12/", 0, -1, -1, "" },
        { RIGHT, CT, 1, "12/__", "12/", 3, -1, -1, "F2/2 X0 E1" },
        { '3', 0, 1, "12/3_", "12/3", 4, -1, -1, "" },
        // From the last position to L.
        { RIGHT, CT, 1, "12/3_", "12/3", 5, -1, -1, "" },
        { LEFT, CT, 1, "12/3_", "12/3", 3, -1, -1, "" },
    });
    ASSERT_EQ(co.SetCustomFormat("~~/~~", "99~99", nullptr), 1);
    Walk(co, {
        { RIGHT, CT, 1, "__/__", "/", 3, -1, -1, "F2/2 X0 E1" },
    });
    TProbe coText;
    ASSERT_EQ(coText.SetStringFormat(6), 1);
    Type(coText, "abc");
    Walk(coText, {
        { HOME, 0, 1, "abc___", "abc", 0, -1, -1, "" },
        { RIGHT, CT, 1, "abc___", "abc", 3, -1, -1, "" },
        { RIGHT, CT, 0, "abc___", "abc", 3, -1, -1, "" },
    });
}

TEST(TFmtTextTest, ShiftExtendsTheSelectionInsideAnArea)
{
    TProbe co;
    ASSERT_EQ(co.SetStringFormat(5), 1);
    Type(co, "abcd");
    Walk(co, {
        { LEFT, SH, 1, "abcd_", "abcd", 3, 3, 3, "" },
        { LEFT, SH, 1, "abcd_", "abcd", 2, 2, 3, "" },
        { RIGHT, SH, 1, "abcd_", "abcd", 3, 3, 3, "" },
        { RIGHT, SH, 1, "abcd_", "abcd", 4, -1, -1, "" },
        { LEFT, SH | CT, 1, "abcd_", "abcd", 0, 0, 3, "" },
        // The cursor crosses the other end of the selection.
        { RIGHT, SH, 1, "abcd_", "abcd", 1, 1, 3, "" },
        { END, 0, 1, "abcd_", "abcd", 4, -1, -1, "" },
        { LEFT, SH, 1, "abcd_", "abcd", 3, 3, 3, "" },
        // A selection that started after the new cursor grows to it.
        { HOME, SH, 1, "abcd_", "abcd", 0, 0, 3, "" },
        { RIGHT, SH, 1, "abcd_", "abcd", 1, 1, 3, "" },
        { RIGHT, SH, 1, "abcd_", "abcd", 2, 2, 3, "" },
        { HOME, 0, 1, "abcd_", "abcd", 0, -1, -1, "" },
        { RIGHT, SH, 1, "abcd_", "abcd", 1, 0, 0, "" },
        { END, SH, 1, "abcd_", "abcd", 4, 0, 3, "" },
        { 'x', 0, 1, "x____", "x", 1, -1, -1, "" },
        { HOME, SH, 1, "x____", "x", 0, 0, 0, "" },
        { RIGHT, SH, 1, "x____", "x", 1, -1, -1, "" },
        { RIGHT, 0, 0, "x____", "x", 1, -1, -1, "" },
    });
    // End with shift over a selection that already reaches the end hides it.
    Type(co, "yz");
    Walk(co, {
        { HOME, 0, 1, "xyz__", "xyz", 0, -1, -1, "" },
        { END, SH, 1, "xyz__", "xyz", 3, 0, 2, "" },
        { HOME, SH, 1, "xyz__", "xyz", 0, -1, -1, "" },
    });
}

TEST(TFmtTextTest, LeftAfterHidingASelectionMovesOnlyOverAFilledPosition)
{
    TProbe co;
    ASSERT_EQ(co.SetStringFormat(5), 1);
    Type(co, "ab");
    ASSERT_EQ(co.SetSelection(0, 1), 1);
    // The cursor is set without any other step; the selection stays.
    EXPECT_EQ(co.Input(4, LEFT, 0), 1);
    EXPECT_EQ(co.GetCursorPos(), 4);
    EXPECT_EQ(co.GetSelection(nullptr, nullptr), 0);
    ASSERT_EQ(co.SetSelection(0, 1), 1);
    EXPECT_EQ(co.Input(2, LEFT, 0), 1);
    EXPECT_EQ(co.GetCursorPos(), 1);
    // A refused key puts the cursor back.
    EXPECT_EQ(co.Input(0, LEFT, 0), 0);
    EXPECT_EQ(co.GetCursorPos(), 1);
    EXPECT_EQ(co.Input(7, 'x', 0), 0);
    EXPECT_EQ(co.GetCursorPos(), 1);
    EXPECT_EQ(co.Input(1, 'x', 0), 1);
    EXPECT_EQ(View(co), "axb__");
    EXPECT_EQ(co.GetCursorPos(), 2);
}

TEST(TFmtTextTest, OverwriteModeReplacesAndStepsOverSeparators)
{
    TProbe co;
    ASSERT_EQ(co.SetCustomFormat("~~/~~", "99~99", nullptr), 1);
    co.SetInsertMode(0);
    EXPECT_EQ(co.IsInsertMode(), 0);
    Walk(co, {
        { '1', 0, 1, "1_/__", "1/", 1, -1, -1, "" },
        { '2', 0, 1, "12/__", "12/", 3, -1, -1, "F2/2 X0 E1" },
        { '3', 0, 1, "12/3_", "12/3", 4, -1, -1, "" },
        { '4', 0, 1, "12/34", "12/34", 5, -1, -1, "" },
        { '5', 0, 0, "12/34", "12/34", 5, -1, -1, "" },
        { LEFT, 0, 1, "12/34", "12/34", 4, -1, -1, "" },
        { '9', 0, 1, "12/39", "12/39", 5, -1, -1, "" },
        { 'a', 0, 0, "12/39", "12/39", 5, -1, -1, "" },
    });
    co.SetInsertMode(1);
    ASSERT_EQ(co.SetStringFormat(3), 1);
    Type(co, "abc");
    Walk(co, {
        { LEFT, 0, 1, "abc", "abc", 2, -1, -1, "" },
        // Insert mode: the area is full from the cursor on.
        { 'x', 0, 0, "abc", "abc", 2, -1, -1, "" },
        { BS, 0, 1, "ac_", "ac", 1, -1, -1, "" },
        { HOME, 0, 1, "ac_", "ac", 0, -1, -1, "" },
        { 'x', 0, 1, "xac", "xac", 1, -1, -1, "" },
        { DEL, 0, 1, "xc_", "xc", 1, -1, -1, "" },
    });
}

TEST(TFmtTextTest, RightAlignedAreaAfterALeftAlignedOne)
{
    TProbe co;
    ASSERT_EQ(co.SetCustomFormat("~~/~~~", "99~999", "a~~r~~"), 1);
    Walk(co, {
        { '1', 0, 1, "1_/___", "1/", 1, -1, -1, "" },
        { '2', 0, 1, "12/___", "12/", 5, -1, -1, "F2/2 X0 E1" },
        { '7', 0, 1, "12/__7", "12/7", 5, -1, -1, "" },
        { '8', 0, 1, "12/_78", "12/78", 5, -1, -1, "" },
        { LEFT, 0, 1, "12/_78", "12/78", 1, 0, 1, "F2/1 X1 E0" },
        { RIGHT, 0, 1, "12/_78", "12/78", 5, -1, -1, "F2/2 X0 E1" },
        { RIGHT, 0, 0, "12/_78", "12/78", 5, -1, -1, "" },
        { DEL, 0, 1, "12/__7", "12/7", 5, -1, -1, "" },
        { HOME, 0, 1, "12/__7", "12/7", 0, 0, 1, "X1 E0" },
        // End lands on the right-aligned area's last position.
        { END, 0, 1, "12/__7", "12/7", 5, -1, -1, "X0 E1" },
        { HOME, 0, 1, "12/__7", "12/7", 0, 0, 1, "X1 E0" },
        { BS, 0, 1, "__/__7", "/7", 0, -1, -1, "" },
        { RIGHT, 0, 1, "__/__7", "/7", 5, -1, -1, "F2/2 X0 E1" },
        // Backspace over the separator into a left-aligned area of nothing.
        { LEFT, 0, 1, "__/__7", "/7", 0, -1, -1, "F2/1 X1 E0" },
    });
    EXPECT_EQ(co.GetEndPos(), 5);
}

TEST(TFmtTextTest, BackspaceOverASeparatorIntoARightAlignedArea)
{
    TProbe co;
    ASSERT_EQ(co.SetCustomFormat("~~~/~~", "999~99", "r~~~a~"), 1);
    EXPECT_EQ(co.GetCursorPos(), 2);
    Walk(co, {
        { '1', 0, 1, "__1/__", "1/", 2, -1, -1, "" },
        { '2', 0, 1, "_12/__", "12/", 2, -1, -1, "" },
        { RIGHT, 0, 1, "_12/__", "12/", 4, -1, -1, "F3/2 X0 E1" },
        { '5', 0, 1, "_12/5_", "12/5", 5, -1, -1, "" },
        { BS, 0, 1, "_12/__", "12/", 4, -1, -1, "" },
        // The right-aligned area keeps its content; only the cursor moves.
        { BS, 0, 1, "_12/__", "12/", 2, -1, -1, "F3/1 X1 E0" },
        { '3', 0, 1, "123/__", "123/", 2, -1, -1, "" },
        { END, 0, 1, "123/__", "123/", 4, -1, -1, "X0 E1" },
        { LEFT, 0, 1, "123/__", "123/", 2, -1, -1, "F3/1 X1 E0" },
    });
}

// Opens the protected steps for the tests of their bounds and answers.
class TOpenFmtText : public TFmtText {
public:
    using TFmtText::AlignAreaLeft;
    using TFmtText::AlignAreaRight;
    using TFmtText::AutoInputAlign;
    using TFmtText::AutoViewAlign;
    using TFmtText::EnterArea;
    using TFmtText::FixCharPassed;
    using TFmtText::InputRightAligned;
};

TEST(TFmtTextTest, ProtectedStepsCheckTheirPositions)
{
    TOpenFmtText co;
    ASSERT_EQ(co.SetCustomFormat("~~~~/~~", "****~**", "a~~~~g~"), 1);
    co.SetText("ab");
    ASSERT_EQ(View(co), "ab__/__");
    struct Row {
        unsigned short unBeg;
        unsigned short unEnd;
        int nRight;
        const char* pszRight;
    } rows[] = {
        { 0, 0, 0, "ab__/__" },   // a single position
        { 2, 1, 0, "ab__/__" },   // begin after end
        { 0, 4, 0, "ab__/__" },   // over a fixed position
        { 5, 7, 0, "ab__/__" },   // beyond L
        { 2, 3, 0, "ab__/__" },   // nothing to move
        { 5, 6, 0, "ab__/__" },   // wholly empty
        { 0, 3, 1, "__ab/__" },
        { 0, 3, 0, "__ab/__" },   // already at the right end
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.unBeg << "-" << r.unEnd);
        EXPECT_EQ(co.AlignAreaRight(r.unBeg, r.unEnd), r.nRight);
        EXPECT_EQ(View(co), r.pszRight);
    }
    EXPECT_EQ(co.AlignAreaLeft(0, 4), 0);
    EXPECT_EQ(co.AlignAreaLeft(1, 3), 1);
    EXPECT_EQ(View(co), "_ab_/__");
    EXPECT_EQ(co.AlignAreaLeft(0, 3), 1);
    EXPECT_EQ(View(co), "ab__/__");

    // Answers of the alignments and of entering an area.
    EXPECT_EQ(co.AutoViewAlign(0), 0);
    EXPECT_EQ(co.AutoViewAlign(1), 0);
    EXPECT_EQ(co.AutoViewAlign(2), 0);
    ASSERT_EQ(co.SetAreaFlag(0, 'g'), 1);
    EXPECT_EQ(co.AutoViewAlign(0), 1);
    EXPECT_EQ(View(co), "__ab/__");
    ASSERT_EQ(co.SetAreaFlag(0, 'b'), 1);
    EXPECT_EQ(co.AutoViewAlign(0), 1);
    EXPECT_EQ(View(co), "00ab/__");
    co.SetCursorPos(0);
    EXPECT_EQ(co.GetCursorPos(), 0);
    EXPECT_EQ(co.AutoInputAlign(0), 1);
    EXPECT_EQ(co.GetCursorPos(), 3);
    EXPECT_EQ(co.AutoInputAlign(0), 0);
    EXPECT_EQ(co.AutoInputAlign(5), 0);
    EXPECT_EQ(co.EnterArea(0), 1);
    EXPECT_EQ(co.GetCursorPos(), 3);
    EXPECT_EQ(Sel(co).nEnd, 3);
    EXPECT_EQ(co.EnterArea(1), 1);
    EXPECT_EQ(co.GetCursorPos(), 5);
    EXPECT_EQ(co.EnterArea(1), 0);
    EXPECT_EQ(co.EnterArea(4), 0);

    // FixCharPassed: only fixed positions and the two directions.
    EXPECT_EQ(co.FixCharPassed(0, 2), 0);
    EXPECT_EQ(co.FixCharPassed(9, 2), 0);
    EXPECT_EQ(co.FixCharPassed(4, 3), 0);
    EXPECT_EQ(co.GetCursorPos(), 5);
    // Leaving area 1 to the left enters area 0.
    EXPECT_EQ(co.FixCharPassed(4, 1), 1);
    EXPECT_EQ(co.GetCursorPos(), 3);
    EXPECT_EQ(Sel(co).nStart, 0);
    // Leaving a single-position area calls nothing.
    ASSERT_EQ(co.SetCustomFormat("~/~~", "9~99", nullptr), 1);
    EXPECT_EQ(co.FixCharPassed(1, 2), 0);
    EXPECT_EQ(co.GetCursorPos(), 0);

    // Right-aligned input only from the area's first position up to the
    // cursor, all of them input positions.
    ASSERT_EQ(co.SetCustomFormat("~~/~~", "99~99", "r~~r~"), 1);
    EXPECT_EQ(co.GetCursorPos(), 1);
    EXPECT_EQ(co.InputRightAligned('5', 3), 0);
    EXPECT_EQ(co.InputRightAligned('5', 0), 1);
    EXPECT_EQ(View(co), "_5/__");
    co.SetCursorPos(4);
    EXPECT_EQ(co.InputRightAligned('5', 0), 0);
    EXPECT_EQ(co.InputRightAligned('x', 3), 0);
    EXPECT_EQ(co.InputRightAligned('6', 3), 1);
    EXPECT_EQ(View(co), "_5/_6");
}

TEST(TFmtTextTest, AreaFlagsForViewAndText)
{
    struct Row {
        char chFlag;
        const char* pszTyped;
        const char* pszText;         // after typing
        const char* pszLostView;     // after LostFocus
        const char* pszLostText;
        const char* pszEmptyText;    // nothing typed
        const char* pszEmptyLostView;
    } rows[] = {
        { 'a', "12", "12", "12__", "12", "", "____" },
        { 'c', "12", "12", "12__", "12", "", "____" },
        { 'b', "12", "1200", "1200", "1200", "0000", "0000" },
        { 'g', "12", "12", "__12", "12", "", "____" },
        { 'h', "12", "12", "__12", "12", "0", "___0" },
        { 'r', "12", "12", "__12", "12", "", "____" },
        { 'z', "12", "12", "__12", "12", "", "____" },
        { 's', "12", "0012", "0012", "0012", "0000", "0000" },
        { 't', "12", "12", "__12", "12", "0", "___0" },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.chFlag);
        std::string strArea = std::string(1, r.chFlag) + "aaa";
        TFmtText co;
        ASSERT_EQ(co.SetCustomFormat("~~~~", "9999", strArea.c_str()), 1);
        Type(co, r.pszTyped);
        EXPECT_EQ(Text(co), r.pszText);
        co.LostFocus();
        EXPECT_EQ(View(co), r.pszLostView);
        EXPECT_EQ(Text(co), r.pszLostText);

        ASSERT_EQ(co.SetCustomFormat("~~~~", "9999", strArea.c_str()), 1);
        EXPECT_EQ(Text(co), r.pszEmptyText);
        co.LostFocus();
        EXPECT_EQ(View(co), r.pszEmptyLostView);
    }
}

TEST(TFmtTextTest, LostFocusAlignsEveryAreaAndGotFocusEntersTheFirst)
{
    TProbe co;
    ASSERT_EQ(co.SetCustomFormat("~~~-~~~", "999~999", "g~~~b~~"), 1);
    co.SetText("12-3");
    // SetText aligns every area for viewing.
    EXPECT_EQ(View(co), "_12-300");
    EXPECT_EQ(Text(co), "12-300");
    co.TakeLog();
    co.GotFocus();
    EXPECT_EQ(co.TakeLog(), "E0 G0:0-2");
    EXPECT_EQ(View(co), "12_-300");
    EXPECT_EQ(co.GetCursorPos(), 2);
    EXPECT_EQ(Sel(co).nEnd, 1);
    co.SetCursorPos(5);
    EXPECT_EQ(co.TakeLog(), "X0 E1");
    EXPECT_EQ(View(co), "_12-300");
    EXPECT_EQ(co.GetCursorPos(), 5);
    EXPECT_EQ(Sel(co).nStart, 4);
    EXPECT_EQ(Sel(co).nEnd, 6);
    co.SetCursorPos(1);
    EXPECT_EQ(co.TakeLog(), "X1 E0");
    EXPECT_EQ(View(co), "12_-300");
    EXPECT_EQ(co.GetCursorPos(), 1);
    co.LostFocus();
    EXPECT_EQ(co.TakeLog(), "X0 L0:0-2");
    EXPECT_EQ(View(co), "_12-300");
    EXPECT_EQ(co.GetSelection(nullptr, nullptr), 0);

    // Without select-on-enter the area is entered but not selected.
    co.SetSelectOnEnter(0);
    EXPECT_EQ(co.IsSelectOnEnter(), 0);
    co.GotFocus();
    EXPECT_EQ(View(co), "12_-300");
    EXPECT_EQ(co.GetSelection(nullptr, nullptr), 0);

    // A cursor after a trailing separator still aligns the areas.
    ASSERT_EQ(co.SetDoubleFormat(4, 1, 0), 1);
    Type(co, "1.");
    EXPECT_EQ(co.GetCursorPos(), 5);
    EXPECT_EQ(View(co), "___1,");
    ASSERT_EQ(co.SetAreaFlag(0, 'b'), 1);
    co.TakeLog();
    co.LostFocus();
    EXPECT_EQ(co.TakeLog(), "X0 L0:0-3");
    EXPECT_EQ(View(co), "0001,");
}

TEST(TFmtTextTest, SetCursorPosLandsAfterTheFilledCharacters)
{
    TProbe co;
    ASSERT_EQ(co.SetCustomFormat("~~/~~", "99~99", nullptr), 1);
    Type(co, "123");
    co.TakeLog();
    co.SetCursorPos(0);
    EXPECT_EQ(co.TakeLog(), "X1 E0");
    EXPECT_EQ(co.GetCursorPos(), 0);
    EXPECT_EQ(Sel(co).nEnd, 1);
    // A fixed position means the next input position.
    co.SetCursorPos(2);
    EXPECT_EQ(co.TakeLog(), "X0 E1");
    EXPECT_EQ(co.GetCursorPos(), 3);
    EXPECT_EQ(Sel(co).nStart, 3);
    co.SetCursorPos(4);
    EXPECT_EQ(co.TakeLog(), "");
    EXPECT_EQ(co.GetCursorPos(), 4);
    EXPECT_EQ(co.GetSelection(nullptr, nullptr), 0);
    co.SetCursorPos(60000);
    EXPECT_EQ(co.GetCursorPos(), 4);
    co.SetCursorPos(3);
    co.SetCursorPos(5);
    EXPECT_EQ(co.GetCursorPos(), 4);
    TFmtText coText;
    Type(coText, "ab");
    coText.SetCursorPos(15);
    EXPECT_EQ(coText.GetCursorPos(), 2);
    // After a trailing separator the cursor is in no area.
    ASSERT_EQ(co.SetCustomFormat("~~,", "99~", nullptr), 1);
    co.SetCursorPos(3);
    EXPECT_EQ(co.GetCursorPos(), 0);
}

TEST(TFmtTextTest, SetTextTypesTheText)
{
    TFmtText co;
    ASSERT_EQ(co.SetCustomFormat("~~/~~/~~~~", "99~99~9999", nullptr), 1);
    co.SetText("1/2/1999");
    EXPECT_EQ(View(co), "1_/2_/1999");
    co.SetText("31121999");
    EXPECT_EQ(View(co), "31/12/1999");
    // A refused character jumps to the next separator and is tried once more.
    co.SetText("x5");
    EXPECT_EQ(View(co), "__/5_/____");
    co.SetText("1-2-3");
    EXPECT_EQ(View(co), "1_/2_/3___");
    co.SetText("123456789012345");
    EXPECT_EQ(View(co), "12/34/5678");
    co.SetText("");
    EXPECT_EQ(View(co), "__/__/____");
    co.SetText("12");
    co.SetText(nullptr);
    EXPECT_EQ(View(co), "__/__/____");
    co.SetText("12");
    co.EmptyInput();
    EXPECT_EQ(View(co), "__/__/____");
    EXPECT_EQ(co.GetCursorPos(), 3);

    // Characters that Input takes for keys are not text.
    ASSERT_EQ(co.SetStringFormat(5), 1);
    co.SetText("a\bb\x02" "c\x05");
    EXPECT_EQ(View(co), "abc__");

    ASSERT_EQ(co.SetStringFormat(127), 1);
    std::string strLong(5000, 'q');
    strLong[126] = 'e';
    co.SetText(strLong.c_str());
    EXPECT_EQ(Text(co), strLong.substr(0, 127));
}

TEST(TFmtTextTest, NumbersInAndOut)
{
    TFmtText co;
    ASSERT_EQ(co.SetIntFormat(5, 0), 1);
    co.SetText(long(40000));
    EXPECT_EQ(co.GetLong(), 40000);
    // Too large for 16 bits.
    EXPECT_EQ(co.GetShort(), 0);
    co.SetText(short(321));
    EXPECT_EQ(co.GetShort(), 321);
    EXPECT_EQ(co.GetChar(), '3');
    EXPECT_DOUBLE_EQ(co.GetDouble(), 321.0);
    // The digits-only field drops the sign.
    co.SetText(long(-7));
    EXPECT_EQ(co.GetLong(), 7);
    co.SetText("");
    EXPECT_EQ(co.GetLong(), 0);
    EXPECT_EQ(co.GetChar(), 0);
    EXPECT_EQ(co.GetDouble(), 0.0);

    ASSERT_EQ(co.SetDoubleFormat(4, 3, 0), 1);
    co.SetText(12.5);
    EXPECT_EQ(View(co), "__12,50");
    EXPECT_DOUBLE_EQ(co.GetDouble(), 12.5);

    ASSERT_EQ(co.SetDoubleFormat(4, 3, 1), 1);
    co.SetText(-3.25);
    EXPECT_EQ(View(co), "__-3,25");
    EXPECT_DOUBLE_EQ(co.GetDouble(), -3.25);
    co.SetText(short(-123));
    EXPECT_EQ(View(co), "-123,00");
    EXPECT_EQ(co.GetShort(), -123);
    EXPECT_DOUBLE_EQ(co.GetDouble(), -123.0);

    ASSERT_EQ(co.SetDoubleFormat(6, 1, 1), 1);
    co.SetText(long(-32768));
    EXPECT_EQ(Text(co), "-32768,");
    EXPECT_EQ(co.GetShort(), -32768);
    co.SetText(long(-32769));
    EXPECT_EQ(co.GetLong(), -32769);
    EXPECT_EQ(co.GetShort(), 0);
    EXPECT_DOUBLE_EQ(co.GetDouble(), -32769.0);

    ASSERT_EQ(co.SetStringFormat(8), 1);
    co.SetText('x');
    EXPECT_EQ(Text(co), "x");
    EXPECT_EQ(co.GetChar(), 'x');
    co.SetTextFt("%s-%d", "ab", 7);
    EXPECT_EQ(Text(co), "ab-7");
    co.SetTextFt(nullptr);
    EXPECT_EQ(Text(co), "");

    // Leading fixed characters are skipped, the separator after the first
    // area is read as the decimal point.
    ASSERT_EQ(co.SetCustomFormat("$~~~.~~", "~999~99", "~a~~~b~"), 1);
    co.SetText("12.5");
    EXPECT_EQ(Text(co), "$12.50");
    EXPECT_EQ(co.GetLong(), 12);
    EXPECT_DOUBLE_EQ(co.GetDouble(), 12.5);
    EXPECT_EQ(co.GetChar(), '$');
    // Without a separator after the first area the text is read as it is.
    ASSERT_EQ(co.SetCustomFormat("#~~~", "#999", nullptr), 1);
    co.SetText("77");
    EXPECT_DOUBLE_EQ(co.GetDouble(), 77.0);
    EXPECT_EQ(co.GetLong(), 77);
    // A number longer than a long is not undefined behaviour.
    ASSERT_EQ(co.SetIntFormat(60, 0), 1);
    co.SetText(std::string(60, '9').c_str());
    EXPECT_NE(co.GetLong(), 0);
    EXPECT_EQ(co.GetShort(), 0);

    // The text of 1,023 characters is the limit of the work area.
    ASSERT_EQ(co.SetCustomFormat(std::string(2000, '~').c_str(), std::string(2000, '*').c_str(), nullptr), 1);
    co.SetTextFt("%s", std::string(1500, 'w').c_str());
    EXPECT_EQ(Text(co).size(), 1023u);
}

TEST(TFmtTextTest, SelectionRules)
{
    TFmtText co;
    ASSERT_EQ(co.SetStringFormat(5), 1);
    Type(co, "ab");
    EXPECT_EQ(co.SetSelection(2, 4), 0);
    EXPECT_EQ(co.SetSelection(0, 4), 1);
    EXPECT_EQ(Sel(co).nStart, 0);
    EXPECT_EQ(Sel(co).nEnd, 1);
    EXPECT_EQ(co.SetSelection(3, 1), 0);
    EXPECT_EQ(co.GetSelection(nullptr, nullptr), 0);
    EXPECT_EQ(co.SetSelection(1, 5), 0);
    EXPECT_EQ(co.HideSelection(), 0);
    EXPECT_EQ(co.RemoveSelection(), 0);
    EXPECT_EQ(co.SetSelection(1, 1), 1);
    EXPECT_EQ(co.HideSelection(), 1);
    EXPECT_EQ(co.HideSelection(), 0);

    ASSERT_EQ(co.SetCustomFormat("~~/~~~", "99~999", nullptr), 1);
    co.SetText("12345");
    EXPECT_EQ(co.SetSelection(2, 3), 0);
    // Positions in different areas select the whole area of the start.
    EXPECT_EQ(co.SetSelection(1, 4), 1);
    EXPECT_EQ(Sel(co).nStart, 0);
    EXPECT_EQ(Sel(co).nEnd, 1);
    EXPECT_EQ(co.SelectArea(1), 1);
    EXPECT_EQ(Sel(co).nStart, 3);
    EXPECT_EQ(Sel(co).nEnd, 5);
    EXPECT_EQ(co.SelectArea(2), 0);
    EXPECT_EQ(co.SelectArea(-1), 0);
    ASSERT_EQ(co.SetSelection(3, 4), 1);
    EXPECT_EQ(co.RemoveSelection(), 1);
    EXPECT_EQ(View(co), "12/5__");
    EXPECT_EQ(co.GetCursorPos(), 3);
    EXPECT_EQ(co.GetSelection(nullptr, nullptr), 0);
    ASSERT_EQ(co.SetAreaFlag(1, 'r'), 1);
    EXPECT_EQ(co.SetSelection(3, 3), 0);
    EXPECT_EQ(co.SetSelection(0, 3), 1);
}

TEST(TFmtTextTest, PositionsAndAreas)
{
    TFmtText co;
    ASSERT_EQ(co.SetCustomFormat("~~/~~~-~", "99~999~9", nullptr), 1);
    const unsigned short L = 8;
    struct Row {
        unsigned short unPos;
        int nInput;
        unsigned short unNext;
        short nNextFix;
        unsigned short unPrev;
        short nPrevFix;
        unsigned short unNextFixPos;
        unsigned short unPrevFixPos;
        short nArea;
        unsigned short unBeg;
        unsigned short unEnd;
    } rows[] = {
        { 0, 1, 1, -1, 0, -1, 2, 0, 0, 0, 1 },
        { 1, 1, 3, 2, 0, -1, 2, L, 0, 0, 1 },
        { 2, 0, 3, -1, 1, -1, 6, L, -1, 0, 0 },
        { 3, 1, 4, -1, 1, 2, 6, 2, 1, 3, 5 },
        { 5, 1, 7, 6, 4, -1, 6, 2, 1, 3, 5 },
        { 6, 0, 7, -1, 5, -1, L, 2, -1, 0, 0 },
        { 7, 1, L, -1, 5, 6, L, 6, 2, 7, 7 },
        { L, 0, L, -1, 7, -1, L, 6, 2, 7, 7 },
        { 9, 0, L, -1, 7, -1, 9, 9, -1, 0, 0 },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.unPos);
        EXPECT_EQ(co.IsInputPos(r.unPos), r.nInput);
        short nFix = 99;
        EXPECT_EQ(co.NextCursorPos(r.unPos, &nFix), r.unNext);
        EXPECT_EQ(nFix, r.nNextFix);
        EXPECT_EQ(co.PrevCursorPos(r.unPos, &nFix), r.unPrev);
        EXPECT_EQ(nFix, r.nPrevFix);
        EXPECT_EQ(co.NextFixPos(r.unPos), r.unNextFixPos);
        EXPECT_EQ(co.PrevFixPos(r.unPos), r.unPrevFixPos);
        unsigned short unBeg = 99, unEnd = 99;
        EXPECT_EQ(co.GetArea(r.unPos, &unBeg, &unEnd), r.nArea);
        EXPECT_EQ(unBeg, r.unBeg);
        EXPECT_EQ(unEnd, r.unEnd);
    }
    EXPECT_EQ(co.GetFirstInputPos(), 0);
    EXPECT_EQ(co.GetLastInputPos(), 7);
    EXPECT_EQ(co.GetAreaCount(), 3);
    unsigned short unBeg = 0, unEnd = 0;
    EXPECT_EQ(co.GetAreaBegEnd(1, &unBeg, &unEnd), 1);
    EXPECT_EQ(unBeg, 3);
    EXPECT_EQ(unEnd, 5);
    EXPECT_EQ(co.GetAreaBegEnd(3, &unBeg, &unEnd), 0);
    EXPECT_EQ(co.GetAreaBegEnd(-1, &unBeg, &unEnd), 0);
    EXPECT_EQ(co.GetAreaFlagPos(2), 7);
    EXPECT_EQ(co.GetAreaFlagPos(3), -1);
    EXPECT_EQ(co.GetAreaFlag(1), 'a');
    EXPECT_EQ(co.GetAreaFlag(3), 0);
    EXPECT_EQ(co.SetAreaFlag(1, 'r'), 1);
    EXPECT_EQ(co.GetAreaFlag(1), 'r');
    EXPECT_STREQ(co.GetArea(), "aaaraaaa");
    EXPECT_EQ(co.SetAreaFlag(3, 'r'), 0);
    EXPECT_EQ(co.SetAreaFlag(0, '\0'), 0);
    EXPECT_EQ(std::strlen(co.GetArea()), 8u);
    EXPECT_EQ(co.GetBegPos(), 0);
    EXPECT_EQ(co.SetAreaFlag(0, 'r'), 1);
    EXPECT_EQ(co.GetBegPos(), 1);

    // Leading and trailing fixed characters.
    ASSERT_EQ(co.SetCustomFormat("(~~)", "~99~", nullptr), 1);
    EXPECT_EQ(co.GetFirstInputPos(), 1);
    EXPECT_EQ(co.GetCursorPos(), 1);
    EXPECT_EQ(co.GetArea(0, nullptr, nullptr), -1);
    EXPECT_EQ(co.GetArea(4, nullptr, nullptr), -1);
    EXPECT_EQ(co.PrevFixPos(2), 0);
    EXPECT_EQ(co.GetEndPos(), 1);
    Type(co, "5");
    EXPECT_EQ(co.GetEndPos(), 2);
    Type(co, "6");
    EXPECT_EQ(co.GetCursorPos(), 4);
    EXPECT_EQ(co.GetEndPos(), 4);
    EXPECT_EQ(Text(co), "(56)");
}

TEST(TFmtTextTest, EndPositions)
{
    TFmtText co;
    ASSERT_EQ(co.SetCustomFormat("~~/~~~-~", "99~999~9", nullptr), 1);
    // Nothing filled: where input starts.
    EXPECT_EQ(co.GetEndPos(), 0);
    co.SetText("12");
    EXPECT_EQ(co.GetEndPos(), 3);
    co.SetText("1234");
    EXPECT_EQ(co.GetEndPos(), 5);
    co.SetText("123456");
    EXPECT_EQ(co.GetEndPos(), 8);
    ASSERT_EQ(co.SetAreaFlag(2, 'r'), 1);
    EXPECT_EQ(co.GetEndPos(), 7);
    co.SetText("1");
    EXPECT_EQ(co.GetEndPos(), 1);
}

TEST(TFmtTextTest, TextWithoutInputPositions)
{
    TProbe co;
    ASSERT_EQ(co.SetCustomFormat("a-b", "~~~", nullptr), 1);
    EXPECT_EQ(co.GetFirstInputPos(), 3);
    EXPECT_EQ(co.GetLastInputPos(), 3);
    EXPECT_EQ(co.GetAreaCount(), 0);
    EXPECT_EQ(co.GetBegPos(), 3);
    EXPECT_EQ(co.GetEndPos(), 3);
    for (char chKey : { 'x', 'b', BS, DEL, HOME, END, LEFT, RIGHT }) {
        EXPECT_EQ(co.Input(chKey, 0), 0) << int(chKey);
    }
    co.TakeLog();
    co.GotFocus();
    co.LostFocus();
    EXPECT_EQ(co.TakeLog(), "E0 G0:0-0");
    co.SetText("xyz");
    EXPECT_EQ(View(co), "a-b");
    EXPECT_EQ(Text(co), "a-b");
    EXPECT_EQ(co.GetLong(), 0);
    EXPECT_EQ(co.GetDouble(), 0.0);
    EXPECT_EQ(co.SetSelection(0, 2), 0);
}

TEST(TFmtTextTest, FormatsAreCheckedAndOldOnesKept)
{
    TFmtText co;
    ASSERT_EQ(co.SetCustomFormat("~~/~~", "99~99", "ab~cd"), 1);
    EXPECT_STREQ(co.GetCurrent(), "\x01\x01/\x01\x01");
    struct Row {
        const char* pszTemplate;
        const char* pszFormat;
    } bad[] = { { nullptr, "99" }, { "~~", nullptr }, { "", "" }, { "~~~", "99" }, { "~", "99" } };
    for (const Row& r : bad)
        EXPECT_EQ(co.SetCustomFormat(r.pszTemplate, r.pszFormat, nullptr), 0);
    EXPECT_STREQ(co.GetTemplate(), "~~/~~");
    EXPECT_STREQ(co.GetArea(), "ab~cd");
    // Flags of another length are replaced by "a".
    ASSERT_EQ(co.SetCustomFormat("~~~", "999", "rr"), 1);
    EXPECT_STREQ(co.GetArea(), "aaa");
    ASSERT_EQ(co.SetCustomFormat("~~~", "999", nullptr), 1);
    EXPECT_STREQ(co.GetArea(), "aaa");
    // The format's own texts may be passed in.
    ASSERT_EQ(co.SetCustomFormat("~~-~", "99~9", "r~~g"), 1);
    ASSERT_EQ(co.SetCustomFormat(co.GetTemplate(), co.GetFormat(), co.GetArea()), 1);
    EXPECT_STREQ(co.GetTemplate(), "~~-~");
    EXPECT_STREQ(co.GetArea(), "r~~g");
    EXPECT_EQ(co.GetCursorPos(), 1);

    // A new format empties the input and hides the selection.
    co.SetText("12");
    ASSERT_EQ(co.SetSelection(0, 0), 0);
    ASSERT_EQ(co.SetStringFormat(4), 1);
    Type(co, "ab");
    ASSERT_EQ(co.SetSelection(0, 1), 1);
    ASSERT_EQ(co.SetStringFormat(4), 1);
    EXPECT_EQ(co.GetSelection(nullptr, nullptr), 0);
    EXPECT_EQ(Text(co), "");

    struct Size {
        int nResult;
        int nA;
        int nB;
    };
    for (Size s : { Size { 1, 1, 0 }, Size { 1, 127, 0 }, Size { 0, 128, 0 }, Size { 0, 0, 0 }, Size { 0, -1, 0 } }) {
        SCOPED_TRACE(s.nA);
        EXPECT_EQ(co.SetStringFormat(short(s.nA)), s.nResult);
        EXPECT_EQ(co.SetIntFormat(short(s.nA), 0), s.nResult);
        EXPECT_EQ(co.SetIntFormat(short(s.nA), 1), s.nResult);
    }
    for (Size s : { Size { 1, 5, 3 }, Size { 1, 1, 1 }, Size { 1, 100, 27 }, Size { 0, 100, 28 }, Size { 0, 5, 0 },
                    Size { 0, 0, 3 }, Size { 0, -2, 5 }, Size { 0, 5, -1 }, Size { 0, 127, 1 } }) {
        SCOPED_TRACE(testing::Message() << s.nA << "," << s.nB);
        EXPECT_EQ(co.SetDoubleFormat(short(s.nA), short(s.nB), 0), s.nResult);
    }
    ASSERT_EQ(co.SetStringFormat(3), 1);
    EXPECT_EQ(co.SetDoubleFormat(5, 0, 0), 0);
    EXPECT_EQ(co.GetFullLen(), 3);

    ASSERT_EQ(co.SetDoubleFormat(5, 3, 0), 1);
    EXPECT_EQ(co.GetFullLen(), 8);
    EXPECT_STREQ(co.GetTemplate(), "~~~~~,~~");
    EXPECT_STREQ(co.GetFormat(), "+++++~99");
    EXPECT_STREQ(co.GetArea(), "haaaa~ba");
    ASSERT_EQ(co.SetDoubleFormat(5, 1, 1), 1);
    EXPECT_STREQ(co.GetTemplate(), "~~~~~,");
    EXPECT_STREQ(co.GetArea(), "raaaa~");
    ASSERT_EQ(co.SetDoubleFormat(2, 2, 0), 1);
    EXPECT_STREQ(co.GetArea(), "ha~b");
    ASSERT_EQ(co.SetIntFormat(3, 0), 1);
    EXPECT_STREQ(co.GetFormat(), "999");
    EXPECT_STREQ(co.GetArea(), "gaa");
    ASSERT_EQ(co.SetStringFormat(2), 1);
    EXPECT_STREQ(co.GetFormat(), "**");
}

TEST(TFmtTextTest, LongAndUnterminatedTextsAreBounded)
{
    const size_t nMax = TFmtTextFormat::MaxLen;
    TFmtText co;
    std::string strTemplate(nMax, '~'), strFormat(nMax, '9');
    strTemplate[100] = '/';
    ASSERT_EQ(co.SetCustomFormat(strTemplate.c_str(), strFormat.c_str(), nullptr), 1);
    EXPECT_EQ(co.GetFullLen(), nMax);
    EXPECT_EQ(co.GetAreaCount(), 2);
    co.SetText(std::string(40000, '7').c_str());
    EXPECT_EQ(Text(co).size(), nMax);
    EXPECT_EQ(co.GetCursorPos(), nMax);
    ASSERT_EQ(co.SetSelection(nMax - 3, nMax - 1), 1);
    EXPECT_EQ(Sel(co).nEnd, short(nMax - 1));
    EXPECT_EQ(co.Input(co.GetFullLen(), '1', 0), 0);
    EXPECT_EQ(co.Input('1', 0), 1);
    EXPECT_EQ(View(co).substr(nMax - 4), "71__");
    co.LostFocus();
    co.GotFocus();
    // A full area that does not end the text keeps the cursor on its last
    // position.
    EXPECT_EQ(co.GetCursorPos(), 99);
    EXPECT_EQ(co.Input(END, 0), 1);
    EXPECT_EQ(co.GetCursorPos(), nMax - 2);

    strTemplate.push_back('~');
    strFormat.push_back('9');
    EXPECT_EQ(co.SetCustomFormat(strTemplate.c_str(), strFormat.c_str(), nullptr), 0);
    EXPECT_EQ(co.GetFullLen(), nMax);

    // Texts without a terminating zero are not read past the limit.
    std::vector<char> vecRaw(nMax + 500, '~');
    EXPECT_EQ(co.SetCustomFormat(vecRaw.data(), vecRaw.data(), vecRaw.data()), 0);
    TFmtTextFormat coRaw;
    EXPECT_EQ(coRaw.SetFormat(vecRaw.data(), vecRaw.data(), nullptr), 0);
}

TEST(TFmtTextTest, CopiesAreIndependent)
{
    TFmtText co;
    ASSERT_EQ(co.SetCustomFormat("~~/~~", "99~99", "g~~ba"), 1);
    Type(co, "12");
    co.SetInsertMode(0);
    co.SetSelectOnEnter(0);
    ASSERT_EQ(co.SetSelection(0, 1), 1);
    TFmtText coCopy(co);
    EXPECT_STREQ(coCopy.GetTemplate(), "~~/~~");
    EXPECT_STREQ(coCopy.GetFormat(), "99~99");
    EXPECT_STREQ(coCopy.GetArea(), "g~~ba");
    EXPECT_STREQ(coCopy.GetCurrent(), co.GetCurrent());
    EXPECT_NE(coCopy.GetCurrent(), co.GetCurrent());
    EXPECT_EQ(coCopy.GetCursorPos(), 3);
    EXPECT_EQ(Sel(coCopy).nEnd, 1);
    EXPECT_EQ(coCopy.IsInsertMode(), 0);
    EXPECT_EQ(coCopy.IsSelectOnEnter(), 0);
    coCopy.SetText("9");
    EXPECT_EQ(Text(coCopy), "9/00");
    EXPECT_EQ(Text(co), "12/00");
    TFmtText coAssigned;
    coAssigned = co;
    coAssigned = *&coAssigned;   // assigned to itself
    EXPECT_EQ(View(coAssigned), "12/__");
    EXPECT_EQ(coAssigned.GetCursorPos(), 3);
    co.SetText("");
    EXPECT_EQ(View(coAssigned), "12/__");
}

TEST(TFmtTextTest, FormatObjectKeepsThreeTexts)
{
    TFmtTextFormat coEmpty;
    EXPECT_EQ(coEmpty.GetTemplate(), nullptr);
    EXPECT_EQ(coEmpty.GetFormat(), nullptr);
    EXPECT_EQ(coEmpty.GetArea(), nullptr);

    TFmtTextFormat coDate("~~/~~", "99~99", "ab~cd");
    EXPECT_STREQ(coDate.GetTemplate(), "~~/~~");
    EXPECT_STREQ(coDate.GetFormat(), "99~99");
    EXPECT_STREQ(coDate.GetArea(), "ab~cd");
    TFmtText co;
    EXPECT_EQ(co.SetCustomFormat(coDate), 1);
    EXPECT_STREQ(co.GetArea(), "ab~cd");
    EXPECT_EQ(co.SetCustomFormat(coEmpty), 0);
    EXPECT_STREQ(co.GetTemplate(), "~~/~~");

    struct Row {
        const char* pszTemplate;
        const char* pszFormat;
        const char* pszArea;
        int nResult;
        const char* pszKeptArea;
    } rows[] = {
        { "~~", "99", "rg", 1, "rg" },
        { "~~", "99", "r", 1, nullptr },
        { "~~", "99", "", 1, nullptr },
        { "~~", "99", nullptr, 1, nullptr },
        { nullptr, "99", "rg", 0, nullptr },
        { "~~", nullptr, "rg", 0, nullptr },
        { "", "", "", 0, nullptr },
        { "~~", "999", "rg", 0, nullptr },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << (r.pszTemplate ? r.pszTemplate : "null") << " " << r.nResult);
        TFmtTextFormat coFormat("~", "9", "r");
        EXPECT_EQ(coFormat.SetFormat(r.pszTemplate, r.pszFormat, r.pszArea), r.nResult);
        if (r.nResult) {
            EXPECT_STREQ(coFormat.GetTemplate(), r.pszTemplate);
            EXPECT_STREQ(coFormat.GetFormat(), r.pszFormat);
        } else {
            EXPECT_EQ(coFormat.GetTemplate(), nullptr);
            EXPECT_EQ(coFormat.GetFormat(), nullptr);
        }
        if (r.pszKeptArea) {
            EXPECT_STREQ(coFormat.GetArea(), r.pszKeptArea);
        } else {
            EXPECT_EQ(coFormat.GetArea(), nullptr);
        }
        // Without flags the engine uses "a" everywhere.
        if (r.nResult) {
            EXPECT_EQ(co.SetCustomFormat(coFormat), 1);
            EXPECT_STREQ(co.GetArea(), r.pszKeptArea ? r.pszKeptArea : "aa");
        }
    }
    TFmtTextFormat coBad("~~", "9", "aa");
    EXPECT_EQ(coBad.GetTemplate(), nullptr);

    TFmtTextFormat coCopy(coDate);
    EXPECT_STREQ(coCopy.GetArea(), "ab~cd");
    EXPECT_NE(coCopy.GetTemplate(), coDate.GetTemplate());
    TFmtTextFormat coAssigned;
    coAssigned = coDate;
    coAssigned = *&coAssigned;   // assigned to itself
    EXPECT_STREQ(coAssigned.GetFormat(), "99~99");
    // Its own texts may be passed in.
    EXPECT_EQ(coAssigned.SetFormat(coAssigned.GetTemplate(), coAssigned.GetFormat(), coAssigned.GetArea()), 1);
    EXPECT_STREQ(coAssigned.GetTemplate(), "~~/~~");
    EXPECT_STREQ(coAssigned.GetArea(), "ab~cd");
    coAssigned = coEmpty;
    EXPECT_EQ(coAssigned.GetTemplate(), nullptr);
    EXPECT_EQ(TFmtTextFormat::VarTemplate, 72);
    EXPECT_EQ(TFmtTextFormat::VarFormat, 73);
    EXPECT_EQ(TFmtTextFormat::VarArea, 74);
}

using kwtest::TBytes;
using kwtest::TResTempDir;

namespace {

std::string Texts(const TFmtTextFormat& co)
{
    auto Part = [](const char* psz) { return std::string(psz ? psz : "null"); };
    return Part(co.GetTemplate()) + "|" + Part(co.GetFormat()) + "|" + Part(co.GetArea());
}

} // namespace

TEST(TFmtTextFormatTest, RecordHoldsTheThreeTextsAfterTheIdentifier)
{
    TResTempDir coDir("kw-fmt-record");
    const TFmtTextFormat coDate("~~/~~", "99~99", "g~~ba", "DATE");
    EXPECT_EQ(kwtest::RecordBytes(coDate, coDir.File("date.bin")),
              TBytes()
                  .Header("TFmtTextFormat")
                  .StringVar(21, "DATE")
                  .StringVar(72, "~~/~~")
                  .StringVar(73, "99~99")
                  .StringVar(74, "g~~ba")
                  .End()
                  .Text());
    // Missing texts are null strings; so is a missing identifier.
    const TFmtTextFormat coEmpty;
    EXPECT_EQ(kwtest::RecordBytes(coEmpty, coDir.File("empty.bin")),
              TBytes()
                  .Header("TFmtTextFormat")
                  .StringVar(21, nullptr)
                  .StringVar(72, nullptr)
                  .StringVar(73, nullptr)
                  .StringVar(74, nullptr)
                  .End()
                  .Text());
}

TEST(TFmtTextFormatTest, CopiesCarryTheResourceFields)
{
    TFmtTextFormat co("~~", "99", "ra", "PRICE");
    co.SetWParam(4);
    co.SetCppClass("GdvPrice");
    TFmtTextFormat coCopy(co);
    TFmtTextFormat coAssigned("OTHER");
    coAssigned = co;
    for (const TFmtTextFormat* pco : { &coCopy, &coAssigned }) {
        EXPECT_EQ(std::string(pco->GetResId()), "PRICE");
        EXPECT_EQ(pco->GetWParam(), 4);
        EXPECT_EQ(std::string(pco->GetCppClass()), "GdvPrice");
        EXPECT_EQ(Texts(*pco), "~~|99|ra");
    }
    const TFmtTextFormat coNamed("NAMED");
    EXPECT_EQ(std::string(coNamed.GetResId()), "NAMED");
    EXPECT_EQ(Texts(coNamed), "null|null|null");
    EXPECT_TRUE(coNamed.IsClass("TFmtTextFormat"));
}

TEST(TFmtTextFormatTest, VariablesReachTheirTextsAndTheIdentifierTheBase)
{
    TFmtTextFormat co("~", "9", "r", "OLD");
    const std::string strTooLong(TFmtTextFormat::MaxLen + 1, '~');
    struct Row {
        const char* pszTitle;
        TResVar* pcoVar;
        int nResult;
        const char* pszTexts;
    };
    TResString coId(21, "NEW"), coTemplate(72, "~~/~~"), coFormat(73, "99~99"), coArea(74, "ab~cd"),
        coOtherId(75, "x"), coEmpty(72, ""), coNull(73, nullptr), coLong(74, strTooLong.c_str());
    const char* const apszTwo[] = { "~~", "99" };
    TResString coArray(72, apszTwo, 2);
    TResLong coWrongKind(73, 99L);
    Row rows[] = {
        { "identifier", &coId, 1, "~|9|r" },
        { "template", &coTemplate, 1, "~~/~~|9|r" },
        { "format", &coFormat, 1, "~~/~~|99~99|r" },
        { "area", &coArea, 1, "~~/~~|99~99|ab~cd" },
        { "unknown id", &coOtherId, 0, "~~/~~|99~99|ab~cd" },
        { "empty text", &coEmpty, 0, "~~/~~|99~99|ab~cd" },
        { "null text", &coNull, 0, "~~/~~|99~99|ab~cd" },
        { "longer than a format", &coLong, 0, "~~/~~|99~99|ab~cd" },
        { "array of texts", &coArray, 0, "~~/~~|99~99|ab~cd" },
        { "not a string", &coWrongKind, 0, "~~/~~|99~99|ab~cd" },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.pszTitle);
        EXPECT_EQ(co.NotifyVariableRead(*r.pcoVar, nullptr, 0), r.nResult);
        EXPECT_EQ(Texts(co), r.pszTexts);
    }
    EXPECT_EQ(std::string(co.GetResId()), "NEW");
}

TEST(TFmtTextFormatTest, RoundTripThroughAResourceFile)
{
    TResTempDir coDir("kw-fmt-file");
    const std::string strFile = coDir.File("formats.drf");
    TFmtText coEngine;
    ASSERT_EQ(coEngine.SetDoubleFormat(4, 3, 0), 1);
    const TFmtTextFormat coDate("~~/~~", "99~99", "g~~ba", "DATE");
    const TFmtTextFormat coPlain("~~~", "XXX", nullptr, "PLAIN");
    const TFmtTextFormat coMoney(coEngine.GetTemplate(), coEngine.GetFormat(), coEngine.GetArea(), "MONEY");
    kwtest::StoreResources(strFile, { &coDate, &coPlain, &coMoney });
    EXPECT_EQ(coDir.EntryCount(), 1u);   // no working file left

    TFileHdl coHdl;
    ASSERT_EQ(coHdl.OpenRead(strFile.c_str(), 0, ""), TFileHdl::Success);
    EXPECT_EQ(std::string(coHdl.GetResInfo("money").GetClass()), "TFmtTextFormat");
    struct Row {
        const char* pszId;
        const TFmtTextFormat* pcoStored;
    } rows[] = { { "DATE", &coDate }, { "plain", &coPlain }, { "Money", &coMoney } };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.pszId);
        std::unique_ptr<TResource> pco(coHdl.LoadResource(r.pszId, nullptr, nullptr, 0));
        ASSERT_NE(pco, nullptr);
        ASSERT_TRUE(pco->IsClass("TFmtTextFormat"));
        const TFmtTextFormat& coRead = static_cast<const TFmtTextFormat&>(*pco);
        EXPECT_EQ(std::string(coRead.GetResId()), std::string(r.pcoStored->GetResId()));
        EXPECT_EQ(Texts(coRead), Texts(*r.pcoStored));
    }

    // A format read into an object replaces all three texts, a missing one
    // by null, and the engine works with what was read.
    TFmtTextFormat coTarget("~~~~", "9999", "rrrr", "TARGET");
    ASSERT_EQ(coHdl.LoadResource("PLAIN", &coTarget, nullptr, 0), &coTarget);
    EXPECT_EQ(std::string(coTarget.GetResId()), "PLAIN");
    EXPECT_EQ(Texts(coTarget), "~~~|XXX|null");
    ASSERT_EQ(coHdl.LoadResource("MONEY", &coTarget, nullptr, 0), &coTarget);
    TFmtText co;
    ASSERT_EQ(co.SetCustomFormat(coTarget), 1);
    for (char ch : std::string("12.5"))
        co.Input(ch, 0);
    EXPECT_EQ(std::string(co.GetText()), "12,50");
    EXPECT_DOUBLE_EQ(co.GetDouble(), 12.5);
}

// Writes texts of different lengths, which SetFormat would never keep.
class TUnevenFormat : public TFmtTextFormat {
public:
    explicit TUnevenFormat(const char* pszId) : TFmtTextFormat(pszId) {}

protected:
    void WriteData(TFile& coFile) const override
    {
        TResource::WriteData(coFile);
        TResString(VarTemplate, "~~~").Write(coFile);
        TResString(VarFormat, "9").Write(coFile);
        TResString(VarArea, "ab").Write(coFile);
    }
};

TEST(TFmtTextFormatTest, TextsReadAreKeptAsReadAndCheckedByTheEngine)
{
    TResTempDir coDir("kw-fmt-uneven");
    const std::string strFile = coDir.File("uneven.drf");
    const TUnevenFormat coUneven("UNEVEN");
    kwtest::StoreResources(strFile, { &coUneven });
    TFileHdl coHdl;
    ASSERT_EQ(coHdl.OpenRead(strFile.c_str(), 0, ""), TFileHdl::Success);
    std::unique_ptr<TResource> pco(coHdl.LoadResource("UNEVEN", nullptr, nullptr, 0));
    ASSERT_NE(pco, nullptr);
    const TFmtTextFormat& coRead = static_cast<const TFmtTextFormat&>(*pco);
    EXPECT_EQ(Texts(coRead), "~~~|9|ab");
    TFmtText co;
    ASSERT_EQ(co.SetStringFormat(2), 1);
    EXPECT_EQ(co.SetCustomFormat(coRead), 0);
    EXPECT_STREQ(co.GetTemplate(), "~~");
    // A copy applies the checks of SetFormat.
    const TFmtTextFormat coCopy(coRead);
    EXPECT_EQ(Texts(coCopy), "null|null|null");
}
