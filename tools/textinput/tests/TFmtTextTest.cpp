#include "TFmtText.h"
#include "TFmtTextFormat.h"
#include "TResVar.h"

#include "KwResFileHelper.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
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

// Results of calls made in order: a braced list is evaluated left to right.
using Results = std::vector<int>;

// Records the calls of the hooks that owners override, in order, as a short
// text: "F2/2" FixCharPassed(2, 2), "X0" ExitArea(0), "E1" EnterArea(1),
// "G0:0-4" NotifyFocusGot(0, 0, 4), "L0:0-4" NotifyFocusLost(0, 0, 4). The
// protected steps are opened for the tests of their bounds.
class TProbe : public TFmtText {
public:
    using TFmtText::AlignAreaLeft;
    using TFmtText::AlignAreaRight;
    using TFmtText::AutoInputAlign;
    using TFmtText::InputRightAligned;

    std::string TakeLog() { return std::exchange(m_strLog, std::string()); }

    // Each hook is logged before the library's own step runs.
    int FixCharPassed(unsigned short unPos, unsigned short unDir) override
    {
        Log("F" + N(unPos) + "/" + N(unDir));
        return TFmtText::FixCharPassed(unPos, unDir);
    }
    int ExitArea(short nArea) override { Log("X" + N(nArea)); return TFmtText::ExitArea(nArea); }
    int EnterArea(short nArea) override { Log("E" + N(nArea)); return TFmtText::EnterArea(nArea); }

protected:
    void NotifyFocusLost(short nArea, unsigned short unBeg, unsigned short unEnd) override
    {
        Log("L" + N(nArea) + ":" + N(unBeg) + "-" + N(unEnd));
    }
    void NotifyFocusGot(short nArea, unsigned short unBeg, unsigned short unEnd) override
    {
        Log("G" + N(nArea) + ":" + N(unBeg) + "-" + N(unEnd));
    }

private:
    static std::string N(int n) { return std::to_string(n); }
    void Log(const std::string& str) { m_strLog += (m_strLog.empty() ? "" : " ") + str; }
    std::string m_strLog;
};

std::string View(const TFmtText& co) { return static_cast<const char*>(co.GetView('_')); }
std::string Text(const TFmtText& co) { return static_cast<const char*>(co.GetText()); }

// The selection as "start-end", "-" when none.
std::string Sel(const TFmtText& co)
{
    short nStart = -1;
    short nEnd = -1;
    if (!co.GetSelection(&nStart, &nEnd))
        return "-";
    return std::to_string(nStart) + "-" + std::to_string(nEnd);
}

void Type(TFmtText& co, const char* pszKeys)
{
    for (const char* pch = pszKeys; *pch; ++pch)
        co.Input(*pch, 0);
}

// One key, its result and the state after it: view, text, cursor,
// selection and the hooks it called, e.g. "12/3_ 12/3 4 3-3 X0 E1".
struct Step {
    char chKey;
    unsigned short unFlags;
    int nResult;
    const char* pszState;
};

// How a session starts after the format is set: typing in insert mode,
// typing and then the focus, or typing in overwrite mode.
enum Start { Typed, Focused, Overwriting };

// A typing session: the format (null area: all "a"), what is typed first,
// how it starts, and the keys.
struct Session {
    const char* pszName;
    const char* pszTemplate;
    const char* pszFormat;
    const char* pszArea;
    const char* pszTyped;
    Start eStart;
    std::vector<Step> steps;
};

void TypeSession(const Session& s)
{
    SCOPED_TRACE(s.pszName);
    TProbe co;
    ASSERT_EQ(co.SetCustomFormat(s.pszTemplate, s.pszFormat, s.pszArea), 1);
    co.SetInsertMode(s.eStart != Overwriting);
    Type(co, s.pszTyped);
    if (s.eStart == Focused)
        co.GotFocus();
    for (size_t i = 0; i < s.steps.size(); ++i) {
        const Step& st = s.steps[i];
        SCOPED_TRACE(testing::Message() << "step " << i << ": key " << int(st.chKey) << " flags " << st.unFlags);
        co.TakeLog();
        EXPECT_EQ(co.Input(st.chKey, st.unFlags), st.nResult);
        const std::string strLog = co.TakeLog();
        EXPECT_EQ(View(co) + " " + Text(co) + " " + std::to_string(co.GetCursorPos()) + " " + Sel(co)
                      + (strLog.empty() ? "" : " " + strLog),
                  st.pszState);
    }
}

} // namespace

TEST(TFmtTextTest, ValidityCodesAcceptAndConvert)
{
    const char* pszCodes = "*9+AaBXxYCcDZz?";
    // The special letters are those of a single-byte code page.
    TFmtText co;
    co.SetUtf8Text(0);
    ASSERT_EQ(co.SetCustomFormat(std::string(std::strlen(pszCodes), '~').c_str(), pszCodes, nullptr), 1);
    struct Row { char chCode; char ch; int nValid; char chStored; } rows[] = {
        { 'A', '\xE4', 1, '\xC4' }, { 'A', '\xDF', 1, '\xDF' }, { 'a', '\xD6', 1, '\xF6' }, { 'B', '3', 0, '3' },
        { 'X', '#', 0, '#' }, { 'x', '\xDC', 1, '\xFC' }, { 'Y', '.', 0, '.' }, { 'c', 'K', 1, 'k' },
        { 'D', '0', 0, '0' }, { 'Z', '\xF6', 1, '\xD6' }, { 'z', '\xDF', 1, '\xDF' }, { '?', 'a', 0, 'a' },
        // The empty marker and the end of text are never input.
        { '*', TFmtText::Empty, 0, TFmtText::Empty }, { '*', '\0', 0, '\0' },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "code " << r.chCode << " char " << int(static_cast<unsigned char>(r.ch)));
        const auto unPos = static_cast<unsigned short>(std::strchr(pszCodes, r.chCode) - pszCodes);
        char chStored = 'Q';
        EXPECT_EQ(co.CharValid(unPos, r.ch, &chStored, 0), r.nValid);
        EXPECT_EQ(chStored, r.chStored);
    }
    EXPECT_EQ(co.CharValid(60000, 'a', nullptr, 0), 0);

    // Typing and SetText go through the same rules; a fixed position takes
    // only its own character.
    ASSERT_EQ(co.SetCustomFormat("~~~/", "A9C~", nullptr), 1);
    EXPECT_EQ(co.CharValid(3, '/', nullptr, 0) * 10 + co.CharValid(3, '1', nullptr, 0), 10);
    Type(co, "bz47x");
    EXPECT_EQ(Text(co), "B4X/");
    co.SetText("b1\xE4");
    EXPECT_EQ(Text(co), "B1\xC4/");

    // The sign: on the first position of a left-aligned area of "+" codes.
    ASSERT_EQ(co.SetDoubleFormat(4, 3, 0), 1);
    EXPECT_EQ(co.CharValid(0, '+', nullptr, 0) * 10 + co.CharValid(1, '-', nullptr, 0), 10);
    Type(co, "--4");
    EXPECT_EQ(View(co), "-4__,__");
    EXPECT_EQ(co.GetLong(), -4);
    ASSERT_EQ(co.SetCustomFormat("~~~", "+9+", nullptr), 1);
    EXPECT_EQ(co.CharValid(0, '-', nullptr, 0), 0);
}

TEST(TFmtTextTest, KeysEditTheFieldAsTheFormatSays)
{
    const Session sessions[] = {
        { "right-aligned integer field", "~~~~", "9999", "raaa", "", Focused, {
            { '1', 0, 1, "___1 1 3 -" }, { '2', 0, 1, "__12 12 3 -" }, { DEL, 0, 1, "___1 1 3 -" },
            { '2', 0, 1, "__12 12 3 -" }, { '3', 0, 1, "_123 123 3 -" }, { '4', 0, 1, "1234 1234 3 -" },
            { '5', 0, 0, "1234 1234 3 -" },
        } },
        { "right-aligned decimal field with a sign", "~~~~,~~", "++++~99", "raaa~ba", "12", Typed, {
            // The sign stands right before the number.
            { '-', 0, 1, "_-12,__ -12,00 3 -" },
            // The position kept free for a sign is not needed once there is one.
            { '3', 0, 1, "-123,__ -123,00 3 -" }, { '4', 0, 0, "-123,__ -123,00 3 -" },
            { '+', 0, 1, "_123,__ 123,00 3 -" },
            // Without a sign one position stays free for it, and takes it.
            { '4', 0, 0, "_123,__ 123,00 3 -" }, { '-', 0, 1, "-123,__ -123,00 3 -" },
        } },
        { "a single right-aligned position takes a digit or a sign", "~,~", "+~9", "r~b", "7", Typed, {
            { '-', 0, 0, "7,_ 7,0 0 -" },
        } },
        { "separators are stepped over and typed to jump", "~~/~-~~", "99~9~99", nullptr, "1", Typed, {
            { '2', 0, 1, "12/_-__ 12/- 3 - F2/2 X0 E1" }, { '/', 0, 0, "12/_-__ 12/- 3 -" },
            // The middle area has a single position: leaving it calls no hook.
            { '-', 0, 1, "12/_-__ 12/- 5 - F4/2" },
        } },
        { "keys walk across the areas of a date", "~~/~~", "99~99", nullptr, "123", Typed, {
            { LEFT, 0, 1, "12/3_ 12/3 3 -" },
            // Into a full area: the cursor on its last position, its content
            // selected.
            { LEFT, 0, 1, "12/3_ 12/3 1 0-1 F2/1 X1 E0" }, { RIGHT, 0, 1, "12/3_ 12/3 4 3-3 F2/2 X0 E1" },
            // Only the selection goes when the cursor stands on an empty position.
            { RIGHT, 0, 1, "12/3_ 12/3 4 -" }, { RIGHT, 0, 0, "12/3_ 12/3 4 -" },
            { HOME, 0, 1, "12/3_ 12/3 0 0-1 X1 E0" }, { END, 0, 1, "12/3_ 12/3 4 3-3 X0 E1" },
            { BS, 0, 1, "12/__ 12/ 3 -" }, { BS, 0, 1, "1_/__ 1/ 1 0-0 F2/1 X1 E0" }, { DEL, 0, 1, "__/__ / 0 -" },
            { DEL, 0, 0, "__/__ / 0 -" },
            // An empty area keeps the cursor on its first position.
            { RIGHT, 0, 1, "__/__ / 3 - F2/2 X0 E1" },
            // Control moves by areas.
            { LEFT, CT, 1, "__/__ / 0 - F2/1 X1 E0" }, { RIGHT, CT, 1, "__/__ / 3 - F2/2 X0 E1" },
            { '3', 0, 1, "__/3_ /3 4 -" }, { RIGHT, CT, 1, "__/3_ /3 5 -" },
        } },
        { "shift extends the selection inside an area", "~~~~~", "*****", nullptr, "abcd", Typed, {
            { LEFT, SH, 1, "abcd_ abcd 3 3-3" }, { LEFT, SH, 1, "abcd_ abcd 2 2-3" },
            { RIGHT, SH, 1, "abcd_ abcd 3 3-3" }, { RIGHT, SH, 1, "abcd_ abcd 4 -" },
            { LEFT, SH | CT, 1, "abcd_ abcd 0 0-3" },
            // The cursor crosses the other end of the selection.
            { RIGHT, SH, 1, "abcd_ abcd 1 1-3" }, { HOME, 0, 1, "abcd_ abcd 0 -" },
            { RIGHT, SH, 1, "abcd_ abcd 1 0-0" }, { END, SH, 1, "abcd_ abcd 4 0-3" }, { 'x', 0, 1, "x____ x 1 -" },
            { HOME, SH, 1, "x____ x 0 0-0" }, { RIGHT, SH, 1, "x____ x 1 -" }, { 'y', 0, 1, "xy___ xy 2 -" },
            { HOME, 0, 1, "xy___ xy 0 -" },
            // Home with shift over a selection that reaches the start hides it.
            { END, SH, 1, "xy___ xy 2 0-1" }, { HOME, SH, 1, "xy___ xy 0 -" },
        } },
        { "right-aligned area after a left-aligned one", "~~/~~~", "99~999", "a~~r~~", "12", Typed, {
            { '7', 0, 1, "12/__7 12/7 5 -" }, { '8', 0, 1, "12/_78 12/78 5 -" },
            { LEFT, 0, 1, "12/_78 12/78 1 0-1 F2/1 X1 E0" }, { RIGHT, 0, 1, "12/_78 12/78 5 - F2/2 X0 E1" },
            { RIGHT, 0, 0, "12/_78 12/78 5 -" },
        } },
        { "overwrite mode replaces", "~~/~~", "99~99", nullptr, "12345", Overwriting, {
            { LEFT, 0, 1, "12/34 12/34 4 -" }, { '9', 0, 1, "12/39 12/39 5 -" }, { 'a', 0, 0, "12/39 12/39 5 -" },
        } },
        // The area is full from the cursor on.
        { "insert mode keeps the area full", "~~~", "***", nullptr, "abc", Typed, {
            { LEFT, 0, 1, "abc abc 2 -" }, { 'x', 0, 0, "abc abc 2 -" }, { BS, 0, 1, "ac_ ac 1 -" },
        } },
    };
    for (const Session& s : sessions)
        TypeSession(s);
}

TEST(TFmtTextTest, AKeyWithItsPositionMovesTheCursorFirst)
{
    TFmtText co;
    ASSERT_EQ(co.SetStringFormat(5), 1);
    Type(co, "ab");
    // A refused key puts the cursor back.
    EXPECT_EQ(Results({ co.Input(0, LEFT, 0), co.Input(7, 'x', 0), co.GetCursorPos(), co.Input(1, 'x', 0) }),
              Results({ 0, 0, 2, 1 }));
    EXPECT_EQ(View(co), "axb__");
}

TEST(TFmtTextTest, AreaFlagsPadTheTextAndTheView)
{
    // Per flag of the first area: the text after typing "12" and the view
    // after leaving the field, then the same with nothing typed.
    const std::pair<char, const char*> rows[] = {
        { 'h', "12 __12 |0 ___0" }, { 's', "0012 0012 |0000 0000" }, { 't', "12 __12 |0 ___0" },
    };
    for (const auto& r : rows) {
        const std::string strArea = std::string(1, r.first) + "aaa";
        TFmtText co;
        std::string strSeen;
        for (const char* pszTyped : { "12", "" }) {
            ASSERT_EQ(co.SetCustomFormat("~~~~", "9999", strArea.c_str()), 1);
            Type(co, pszTyped);
            strSeen += Text(co) + " ";
            co.LostFocus();
            strSeen += View(co) + (*pszTyped ? " |" : "");
        }
        EXPECT_EQ(strSeen, r.second) << r.first;
    }
}

TEST(TFmtTextTest, FocusAndCursorMovesAlignTheAreas)
{
    // The hooks called since the last look, the view, the cursor and the selection.
    auto Seen = [](TProbe& co) {
        return co.TakeLog() + " | " + View(co) + " " + std::to_string(co.GetCursorPos()) + " " + Sel(co);
    };
    TProbe co;
    ASSERT_EQ(co.SetCustomFormat("~~~-~~~", "999~999", "g~~~b~~"), 1);
    co.SetText("12-3");
    // SetText aligns every area for viewing.
    EXPECT_EQ(Seen(co), "F3/2 X0 E1 | _12-300 5 -");
    co.GotFocus();
    EXPECT_EQ(Seen(co), "E0 G0:0-2 | 12_-300 2 0-1");
    co.SetCursorPos(5);
    EXPECT_EQ(Seen(co), "X0 E1 | _12-300 5 4-6");
    co.SetCursorPos(1);
    co.LostFocus();
    EXPECT_EQ(Seen(co), "X1 E0 X0 L0:0-2 | _12-300 1 -");
    // Without select-on-enter the area is entered but not selected.
    co.SetSelectOnEnter(0);
    co.GotFocus();
    EXPECT_EQ(Seen(co), "E0 G0:0-2 | 12_-300 2 -");

    // A full area that ends the text puts the cursor after it.
    ASSERT_EQ(co.SetIntFormat(5, 0), 1);
    co.SetSelectOnEnter(1);
    Type(co, "12345");
    co.GotFocus();
    EXPECT_EQ(Seen(co), "E0 G0:0-4 | 12345 5 0-4");

    // SetCursorPos lands after the filled characters; a fixed position
    // means the next input position.
    ASSERT_EQ(co.SetCustomFormat("~~/~~", "99~99", nullptr), 1);
    Type(co, "123");
    co.TakeLog();
    co.SetCursorPos(2);
    EXPECT_EQ(Seen(co), " | 12/3_ 3 -");
    co.SetCursorPos(60000);
    EXPECT_EQ(Seen(co), " | 12/3_ 4 -");
    co.SetCursorPos(0);
    EXPECT_EQ(Seen(co), "X1 E0 | 12/3_ 0 0-1");
    // After a trailing separator the cursor is in no area.
    ASSERT_EQ(co.SetCustomFormat("~~,", "99~", nullptr), 1);
    co.SetCursorPos(3);
    EXPECT_EQ(co.GetCursorPos(), 0);
    // A cursor after a trailing separator still aligns the areas.
    ASSERT_EQ(co.SetDoubleFormat(4, 1, 0), 1);
    Type(co, "1.");
    ASSERT_EQ(co.SetAreaFlag(0, 'b'), 1);
    co.TakeLog();
    co.LostFocus();
    EXPECT_EQ(Seen(co), "X0 L0:0-3 | 0001, 5 -");
}

TEST(TFmtTextTest, TextAndNumbersGoInAndOut)
{
    TFmtText co;
    ASSERT_EQ(co.SetCustomFormat("~~/~~/~~~~", "99~99~9999", nullptr), 1);
    struct Row { const char* pszText; const char* pszView; } rows[] = {
        // A refused character jumps to the next separator and is tried once more.
        { "x5", "__/5_/____" },      { "1-2-3", "1_/2_/3___" },
        { "123456789012345", "12/34/5678" }, { nullptr, "__/__/____" },
    };
    for (const Row& r : rows) {
        co.SetText(r.pszText);
        EXPECT_EQ(View(co), r.pszView) << (r.pszText ? r.pszText : "null");
    }
    co.SetText("12");
    co.EmptyInput();
    EXPECT_EQ(View(co), "__/__/____");
    // Characters that Input takes for keys are not text.
    ASSERT_EQ(co.SetStringFormat(5), 1);
    co.SetText("a\bb\x02" "c\x05");
    EXPECT_EQ(View(co), "abc__");

    // The value as long, short, char and double; a short too small for its
    // value is 0, a digits-only field drops the sign.
    auto Values = [&co] {
        return std::to_string(co.GetLong()) + " " + std::to_string(co.GetShort()) + " "
            + std::to_string(int(co.GetChar())) + " " + std::to_string(co.GetDouble());
    };
    ASSERT_EQ(co.SetIntFormat(5, 0), 1);
    co.SetText(long(40000));
    EXPECT_EQ(Values(), "40000 0 52 40000.000000");
    co.SetText(long(-7));
    EXPECT_EQ(Values(), "7 7 55 7.000000");
    co.SetText("");
    EXPECT_EQ(Values(), "0 0 0 0.000000");
    ASSERT_EQ(co.SetDoubleFormat(4, 3, 1), 1);
    co.SetText(-3.25);
    EXPECT_EQ(View(co) + " " + Values(), "__-3,25 -3 -3 45 -3.250000");
    co.SetText(short(-123));
    EXPECT_EQ(View(co), "-123,00");
    ASSERT_EQ(co.SetDoubleFormat(6, 1, 1), 1);
    co.SetText(long(-32769));
    EXPECT_EQ(Values(), "-32769 0 45 -32769.000000");
    ASSERT_EQ(co.SetStringFormat(8), 1);
    co.SetText('x');
    EXPECT_EQ(co.GetChar(), 'x');
    co.SetTextFt("%s-%d", "ab", 7);
    EXPECT_EQ(Text(co), "ab-7");

    // Leading fixed characters are skipped, the separator after the first
    // area is read as the decimal point.
    ASSERT_EQ(co.SetCustomFormat("$~~~.~~", "~999~99", "~a~~~b~"), 1);
    co.SetText("12.5");
    EXPECT_EQ(Text(co), "$12.50");
    EXPECT_DOUBLE_EQ(co.GetDouble(), 12.5);
    // A number longer than a long is not undefined behaviour.
    ASSERT_EQ(co.SetIntFormat(60, 0), 1);
    co.SetText(std::string(60, '9').c_str());
    EXPECT_NE(co.GetLong(), 0);
    // The text of 1,023 characters is the limit of the work area.
    ASSERT_EQ(co.SetCustomFormat(std::string(2000, '~').c_str(), std::string(2000, '*').c_str(), nullptr), 1);
    co.SetTextFt("%s", std::string(1500, 'w').c_str());
    EXPECT_EQ(Text(co).size(), 1023u);
}

TEST(TFmtTextTest, PositionsAndAreas)
{
    TFmtText co;
    ASSERT_EQ(co.SetCustomFormat("~~/~~~-~", "99~999~9", nullptr), 1);
    // Per position: input or not, the next and previous cursor positions
    // with the fixed position passed, the next and previous fixed
    // positions, the area with its bounds.
    const char* const apszRows[] = {
        "0: 1 1/-1 0/-1 2 0 0:0-1", "1: 1 3/2 0/-1 2 8 0:0-1", "2: 0 3/-1 1/-1 6 8 -1:0-0", "3: 1 4/-1 1/2 6 2 1:3-5",
        "5: 1 7/6 4/-1 6 2 1:3-5", "6: 0 7/-1 5/-1 8 2 -1:0-0", "7: 1 8/-1 5/6 8 6 2:7-7", "8: 0 8/-1 7/-1 8 6 2:7-7",
        "9: 0 8/-1 7/-1 9 9 -1:0-0",
    };
    for (const char* pszRow : apszRows) {
        const auto unPos = static_cast<unsigned short>(std::atoi(pszRow));
        short nNextFix = 99, nPrevFix = 99;
        unsigned short unBeg = 99, unEnd = 99;
        const unsigned short unNext = co.NextCursorPos(unPos, &nNextFix), unPrev = co.PrevCursorPos(unPos, &nPrevFix);
        const short nArea = co.GetArea(unPos, &unBeg, &unEnd);
        EXPECT_EQ(std::to_string(unPos) + ": " + std::to_string(co.IsInputPos(unPos)) + " " + std::to_string(unNext)
                      + "/" + std::to_string(nNextFix) + " " + std::to_string(unPrev) + "/" + std::to_string(nPrevFix)
                      + " " + std::to_string(co.NextFixPos(unPos)) + " " + std::to_string(co.PrevFixPos(unPos)) + " "
                      + std::to_string(nArea) + ":" + std::to_string(unBeg) + "-" + std::to_string(unEnd),
                  pszRow);
    }
    unsigned short unBeg = 0, unEnd = 0;
    EXPECT_EQ(co.GetAreaCount() * 10 + co.GetAreaBegEnd(3, &unBeg, &unEnd), 30);
    EXPECT_EQ(co.GetAreaFlagPos(2) * 10 + co.GetAreaFlagPos(3), 69);
    EXPECT_EQ(std::string(1, co.GetAreaFlag(1)) + std::to_string(int(co.GetAreaFlag(3))), "a0");
    EXPECT_EQ(co.SetAreaFlag(3, 'r'), 0);
    EXPECT_EQ(co.SetAreaFlag(0, '\0'), 0);
    // End positions follow what is filled and the right-aligned areas.
    for (const auto& coEnd : { std::pair<const char*, int> { "", 0 }, { "12", 3 }, { "1234", 5 }, { "123456", 8 } }) {
        co.SetText(coEnd.first);
        EXPECT_EQ(co.GetEndPos(), coEnd.second) << coEnd.first;
    }
    ASSERT_EQ(co.SetAreaFlag(2, 'r'), 1);
    EXPECT_EQ(co.GetEndPos(), 7);
    EXPECT_EQ(co.SetAreaFlag(0, 'r'), 1);
    EXPECT_EQ(co.GetBegPos(), 1);

    // Leading and trailing fixed characters.
    ASSERT_EQ(co.SetCustomFormat("(~~)", "~99~", nullptr), 1);
    EXPECT_EQ(co.GetCursorPos(), 1);
    Type(co, "56");
    EXPECT_EQ(Text(co) + " " + std::to_string(co.GetCursorPos()), "(56) 4");

    // A text without input positions takes no key and no text.
    TProbe coFixed;
    ASSERT_EQ(coFixed.SetCustomFormat("a-b", "~~~", nullptr), 1);
    EXPECT_EQ(coFixed.GetAreaCount() * 10 + coFixed.GetEndPos(), 3);
    for (char chKey : { 'x', BS, DEL, HOME, END, LEFT, RIGHT })
        EXPECT_EQ(coFixed.Input(chKey, 0), 0) << int(chKey);
    coFixed.GotFocus();
    coFixed.LostFocus();
    EXPECT_EQ(coFixed.TakeLog(), "E0 G0:0-0");
    coFixed.SetText("xyz");
    EXPECT_EQ(Text(coFixed), "a-b");
    EXPECT_EQ(coFixed.SetSelection(0, 2), 0);
}

TEST(TFmtTextTest, ProtectedStepsCheckTheirPositions)
{
    TProbe co;
    ASSERT_EQ(co.SetCustomFormat("~~~~/~~", "****~**", "a~~~~g~"), 1);
    co.SetText("ab");
    // A single position, begin after end, over a fixed position, beyond the end.
    for (auto r : { std::pair<int, int> { 0, 0 }, { 2, 1 }, { 0, 4 }, { 5, 7 } }) {
        EXPECT_EQ(co.AlignAreaRight(r.first, r.second), 0) << r.first << "-" << r.second;
        EXPECT_EQ(co.AlignAreaLeft(r.first, r.second), 0) << r.first << "-" << r.second;
    }
    EXPECT_EQ(co.AlignAreaRight(0, 3), 1);
    EXPECT_EQ(co.AlignAreaLeft(1, 3), 1);
    EXPECT_EQ(View(co), "_ab_/__");
    co.SetCursorPos(0);
    EXPECT_EQ(Results({ co.AutoInputAlign(5), co.EnterArea(4), co.FixCharPassed(0, 2), co.FixCharPassed(4, 3) }),
              Results({ 0, 0, 0, 0 }));
    // Right-aligned input only from the area's first position up to the
    // cursor, all of them input positions.
    ASSERT_EQ(co.SetCustomFormat("~~/~~", "99~99", "r~~r~"), 1);
    EXPECT_EQ(co.InputRightAligned('5', 3), 0);
    EXPECT_EQ(co.InputRightAligned('5', 0), 1);
    co.SetCursorPos(4);
    EXPECT_EQ(co.InputRightAligned('5', 0), 0);
    EXPECT_EQ(co.InputRightAligned('6', 3), 1);
    EXPECT_EQ(View(co), "_5/_6");
}

TEST(TFmtTextTest, FormatsAreCheckedAndBounded)
{
    TFmtText co;
    ASSERT_EQ(co.SetCustomFormat("~~/~~", "99~99", "ab~cd"), 1);
    for (auto coBad : { std::pair<const char*, const char*> { nullptr, "99" }, { "~~", nullptr }, { "", "" },
                        { "~~~", "99" }, { "~", "99" } })
        EXPECT_EQ(co.SetCustomFormat(coBad.first, coBad.second, nullptr), 0);
    EXPECT_EQ(std::string(co.GetTemplate()) + " " + co.GetArea(), "~~/~~ ab~cd");
    // Flags of another length are replaced by "a"; the format's own texts
    // may be passed in.
    ASSERT_EQ(co.SetCustomFormat("~~~", "999", "rr"), 1);
    EXPECT_STREQ(co.GetArea(), "aaa");
    ASSERT_EQ(co.SetCustomFormat("~~-~", "99~9", "r~~g"), 1);
    ASSERT_EQ(co.SetCustomFormat(co.GetTemplate(), co.GetFormat(), co.GetArea()), 1);
    EXPECT_STREQ(co.GetArea(), "r~~g");
    // A new format empties the input and hides the selection.
    ASSERT_EQ(co.SetStringFormat(4), 1);
    Type(co, "ab");
    ASSERT_EQ(co.SetSelection(0, 1), 1);
    ASSERT_EQ(co.SetStringFormat(4), 1);
    EXPECT_EQ(Sel(co) + Text(co), "-");

    for (int nLength : { 1, 127, 128, 0, -1 }) {
        const int nResult = nLength >= 1 && nLength <= 127;
        EXPECT_EQ(co.SetStringFormat(short(nLength)), nResult) << nLength;
        EXPECT_EQ(co.SetIntFormat(short(nLength), 1), nResult) << nLength;
    }
    for (auto coSize : { std::pair<int, int> { 1, 1 }, { 100, 27 } })
        EXPECT_EQ(co.SetDoubleFormat(short(coSize.first), short(coSize.second), 0), 1);
    for (auto coSize : { std::pair<int, int> { 100, 28 }, { 5, 0 }, { 0, 3 }, { -2, 5 }, { 5, -1 }, { 127, 1 } })
        EXPECT_EQ(co.SetDoubleFormat(short(coSize.first), short(coSize.second), 0), 0);
    ASSERT_EQ(co.SetDoubleFormat(5, 1, 1), 1);
    EXPECT_EQ(std::string(co.GetTemplate()) + " " + co.GetArea(), "~~~~~, raaaa~");

    // The longest format, and texts that would pass it.
    const size_t nMax = TFmtTextFormat::MaxLen;
    std::string strTemplate(nMax, '~'), strFormat(nMax, '9');
    strTemplate[100] = '/';
    ASSERT_EQ(co.SetCustomFormat(strTemplate.c_str(), strFormat.c_str(), nullptr), 1);
    co.SetText(std::string(40000, '7').c_str());
    EXPECT_EQ(Text(co).size(), nMax);
    EXPECT_EQ(co.GetCursorPos(), nMax);
    EXPECT_EQ(co.Input(co.GetFullLen(), '1', 0), 0);
    co.LostFocus();
    co.GotFocus();
    // A full area that does not end the text keeps the cursor on its last
    // position.
    EXPECT_EQ(co.GetCursorPos(), 99);
    strTemplate.push_back('~');
    strFormat.push_back('9');
    EXPECT_EQ(co.SetCustomFormat(strTemplate.c_str(), strFormat.c_str(), nullptr), 0);
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
    // Positions in different areas select the whole area of the start.
    ASSERT_EQ(co.SetSelection(1, 4), 1);
    TFmtText coCopy(co);
    EXPECT_EQ(std::to_string(coCopy.GetCursorPos()) + " " + Sel(coCopy) + " " + std::to_string(coCopy.IsInsertMode()),
              "3 0-1 0");
    coCopy.SetText("9");
    EXPECT_EQ(Text(co), "12/00");
    TFmtText coAssigned;
    coAssigned = co;
    coAssigned = *&coAssigned;   // assigned to itself
    co.SetText("");
    EXPECT_EQ(View(coAssigned), "12/__");
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

TEST(TFmtTextFormatTest, RecordHoldsTheThreeTextsAndVariablesReachThem)
{
    TResTempDir coDir("kw-fmt-record");
    EXPECT_EQ(kwtest::RecordBytes(TFmtTextFormat("~~/~~", "99~99", "g~~ba", "DATE"), coDir.File("date.bin")),
              TBytes().Header("TFmtTextFormat").StringVar(21, "DATE").StringVar(72, "~~/~~").StringVar(73, "99~99")
                  .StringVar(74, "g~~ba").End().Text());
    // Missing texts are null strings; so is a missing identifier.
    EXPECT_EQ(kwtest::RecordBytes(TFmtTextFormat(), coDir.File("empty.bin")),
              TBytes().Header("TFmtTextFormat").StringVar(21, nullptr).StringVar(72, nullptr)
                  .StringVar(73, nullptr).StringVar(74, nullptr).End().Text());

    TFmtTextFormat co("~", "9", "r", "OLD");
    const std::string strTooLong(TFmtTextFormat::MaxLen + 1, '~');
    TResString coId(21, "NEW"), coTemplate(72, "~~/~~"), coFormat(73, "99~99"), coArea(74, "ab~cd"),
        coOtherId(75, "x"), coEmpty(72, ""), coNull(73, nullptr), coLong(74, strTooLong.c_str());
    const char* const apszTwo[] = { "~~", "99" };
    TResString coArray(72, apszTwo, 2);
    TResLong coWrongKind(73, 99L);
    struct Row { TResVar* pcoVar; int nResult; const char* pszTexts; } rows[] = {
        { &coId, 1, "~|9|r" }, { &coTemplate, 1, "~~/~~|9|r" }, { &coFormat, 1, "~~/~~|99~99|r" },
        { &coArea, 1, "~~/~~|99~99|ab~cd" },
        // Unknown ids, empty or null texts, texts longer than a format,
        // arrays and other kinds change nothing.
        { &coOtherId, 0, "~~/~~|99~99|ab~cd" }, { &coEmpty, 0, "~~/~~|99~99|ab~cd" },
        { &coNull, 0, "~~/~~|99~99|ab~cd" }, { &coLong, 0, "~~/~~|99~99|ab~cd" },
        { &coArray, 0, "~~/~~|99~99|ab~cd" }, { &coWrongKind, 0, "~~/~~|99~99|ab~cd" },
    };
    for (const Row& r : rows) {
        EXPECT_EQ(co.NotifyVariableRead(*r.pcoVar, nullptr, 0), r.nResult) << r.pcoVar->MyId();
        EXPECT_EQ(Texts(co), r.pszTexts) << r.pcoVar->MyId();
    }
    EXPECT_EQ(std::string(co.GetResId()), "NEW");
    // Copies carry the identifier and the texts, which the engine takes.
    TFmtTextFormat coAssigned("OTHER");
    coAssigned = co;
    coAssigned = *&coAssigned;   // assigned to itself
    EXPECT_EQ(std::string(coAssigned.GetResId()) + " " + Texts(TFmtTextFormat(coAssigned)), "NEW ~~/~~|99~99|ab~cd");
    TFmtText coEngine;
    EXPECT_EQ(coEngine.SetCustomFormat(coAssigned), 1);
    EXPECT_STREQ(coEngine.GetArea(), "ab~cd");
}

// In UTF-8 text (the system's code page in the framework's programs) a
// character of several bytes is taken whole: the cursor steps over it, a
// click inside it lands before it, Backspace and Delete remove all its
// bytes, a selection covers it, and no case conversion changes its bytes.
TEST(TFmtTextTest, Utf8CharactersAreTakenWhole)
{
    const std::string strOmega = "\xCE\xA9";
    const std::string strSun = "\xE6\x97\xA5";   // its first byte is an ISO 8859-1 letter
    const std::string strMiddle = "\xE4\xB8\xAD";
    TFmtText co;
    ASSERT_EQ(co.SetCustomFormat("~~~~~~~~~~", "AAAAAAAAAA", nullptr), 1);
    co.SetText(("a" + strOmega + strMiddle + "b").c_str());
    EXPECT_EQ(Text(co), "A" + strOmega + strMiddle + "B");

    co.SetCursorPos(0);
    std::vector<int> vecRight;
    for (int i = 0; i < 4; ++i) {
        co.Input(RIGHT, 0);
        vecRight.push_back(co.GetCursorPos());
    }
    EXPECT_EQ(vecRight, (std::vector<int> { 1, 3, 6, 7 }));
    std::vector<int> vecLeft;
    for (int i = 0; i < 4; ++i) {
        co.Input(LEFT, 0);
        vecLeft.push_back(co.GetCursorPos());
    }
    EXPECT_EQ(vecLeft, (std::vector<int> { 6, 3, 1, 0 }));
    co.SetCursorPos(5);
    EXPECT_EQ(co.GetCursorPos(), 3);
    EXPECT_EQ(co.SetSelection(4, 4), 1);
    EXPECT_EQ(Sel(co), "3-5");
    co.SetCursorPos(1);
    co.Input(RIGHT, SH);
    EXPECT_EQ(Sel(co), "1-2");

    co.SetCursorPos(6);
    co.Input(BS, 0);
    EXPECT_EQ(Text(co), "A" + strOmega + "B");
    EXPECT_EQ(co.GetCursorPos(), 3);
    co.SetCursorPos(1);
    co.Input(DEL, 0);
    EXPECT_EQ(Text(co), "AB");

    // Right-aligned, Delete takes the rightmost character away.
    ASSERT_EQ(co.SetCustomFormat("~~~~~~", "******", "rrrrrr"), 1);
    co.GotFocus();
    Type(co, ("x" + strSun).c_str());
    EXPECT_EQ(View(co), "__x" + strSun);
    co.Input(DEL, 0);
    EXPECT_EQ(View(co), "_____x");
}
