#include "KwFileSelDropRules.h"
#include "KwFileSelListSelection.h"
#include "KwScratchTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

// One click: the button goes down and up.
struct TClick {
    long m_lPosition;
    int m_nCtrl;
    int m_nShift;
    long m_lRelease { -2 };     // where the button goes up; -2: where it went down
};

std::string Selected(const KwFileSelListSelection& coSelection)
{
    std::string strNames;
    for (const std::string& strName : coSelection.SelectedNames())
        strNames += (strNames.empty() ? "" : " ") + strName;
    return strNames;
}

KwFileSelListSelection Entries()
{
    KwFileSelListSelection coSelection;
    coSelection.SetEntries({ ".", "..", "a", "b", "c", "d", "e" });
    return coSelection;
}

} // namespace

TEST(KwFileSelListSelectionTest, ClicksWithCtrlAndShiftSelectAsInAFileManager)
{
    const struct {
        const char* m_pszCase;
        std::vector<TClick> m_vecClicks;
        const char* m_pszSelected;
        long m_lAnchor;
    } s_aCases[] = {
        { "one click", { { 1, 0, 0 } }, "b", 1 },
        { "another click", { { 1, 0, 0 }, { 3, 0, 0 } }, "d", 3 },
        { "ctrl adds", { { 1, 0, 0 }, { 3, 1, 0 } }, "b d", 3 },
        { "ctrl toggles off", { { 1, 0, 0 }, { 3, 1, 0 }, { 1, 1, 0 } }, "d", 1 },
        { "shift from the anchor", { { 1, 0, 0 }, { 3, 0, 1 } }, "b c d", 1 },
        { "shift backwards", { { 3, 0, 0 }, { 1, 0, 1 } }, "b c d", 3 },
        { "shift from 0 after a change", { { 2, 0, 1 } }, "a b c", 0 },
        { "ctrl+shift adds a range", { { 0, 0, 0 }, { 3, 1, 0 }, { 4, 1, 1 } }, "a d e", 3 },
        { "overlapping ranges add each once", { { 1, 0, 0 }, { 3, 1, 1 }, { 4, 1, 1 } }, "b c d e", 1 },
        { "click on a selected entry selects it alone", { { 1, 0, 0 }, { 3, 0, 1 }, { 1, 0, 0 } }, "b", 1 },
        { "below the last entry nothing", { { 1, 0, 0 }, { 9, 0, 0 } }, "b", 1 },
        { "a drag from the selection keeps it", { { 1, 0, 0 }, { 3, 0, 1 }, { 2, 0, 0, 4 } }, "b c d", 2 },
    };
    for (const auto& c : s_aCases) {
        KwFileSelListSelection coSelection = Entries();
        for (const TClick& k : c.m_vecClicks) {
            coSelection.Press(k.m_lPosition, k.m_nCtrl, k.m_nShift);
            coSelection.Release(k.m_lRelease == -2 ? k.m_lPosition : k.m_lRelease);
        }
        EXPECT_EQ(Selected(coSelection), c.m_pszSelected) << c.m_pszCase;
        EXPECT_EQ(coSelection.SelectedCount(), static_cast<long>(coSelection.SelectedNames().size())) << c.m_pszCase;
        EXPECT_EQ(coSelection.GetAnchor(), c.m_lAnchor) << c.m_pszCase;
    }
}

// The keyboard moves the list's caret; what it does to the selection. A
// step is a caret move (' '), a Space (s), or a click (c).
TEST(KwFileSelListSelectionTest, CaretMovesAndSpaceSelectAsInAFileManager)
{
    struct TStep {
        char m_chKind;
        long m_lPosition;
        int m_nCtrl;
        int m_nShift;
    };
    const struct {
        const char* m_pszCase;
        std::vector<TStep> m_vecSteps;
        const char* m_pszSelected;
        long m_lAnchor;
    } s_aCases[] = {
        { "a move selects the entry alone", { { 'c', 1, 0, 0 }, { ' ', 2, 0, 0 } }, "c", 2 },
        { "shift selects from the anchor", { { ' ', 1, 0, 0 }, { ' ', 3, 0, 1 } }, "b c d", 1 },
        { "shift back shrinks the range", { { ' ', 1, 0, 0 }, { ' ', 3, 0, 1 }, { ' ', 2, 0, 1 } }, "b c", 1 },
        { "shift across the anchor", { { ' ', 2, 0, 0 }, { ' ', 4, 0, 1 }, { ' ', 0, 0, 1 } }, "a b c", 2 },
        { "ctrl moves without selecting", { { ' ', 1, 0, 0 }, { ' ', 3, 1, 0 } }, "b", 1 },
        { "space after ctrl adds", { { ' ', 1, 0, 0 }, { ' ', 3, 1, 0 }, { 's', 3, 0, 0 } }, "b d", 3 },
        { "space toggles off", { { 'c', 1, 0, 0 }, { 's', 1, 0, 0 } }, "", 1 },
        { "ctrl+shift adds a range", { { 'c', 0, 0, 0 }, { 's', 3, 0, 0 }, { ' ', 4, 1, 1 } }, "a d e", 3 },
        { "past the end nothing", { { ' ', 1, 0, 0 }, { ' ', 5, 0, 0 }, { 's', 7, 0, 0 } }, "b", 1 },
    };
    for (const auto& c : s_aCases) {
        KwFileSelListSelection coSelection = Entries();
        for (const TStep& k : c.m_vecSteps) {
            if (k.m_chKind == 'c') {
                coSelection.Press(k.m_lPosition, k.m_nCtrl, k.m_nShift);
                coSelection.Release(k.m_lPosition);
            } else if (k.m_chKind == 's')
                coSelection.Toggle(k.m_lPosition);
            else
                coSelection.MoveCaret(k.m_lPosition, k.m_nCtrl, k.m_nShift);
        }
        EXPECT_EQ(Selected(coSelection), c.m_pszSelected) << c.m_pszCase;
        EXPECT_EQ(coSelection.SelectedCount(), static_cast<long>(coSelection.SelectedNames().size())) << c.m_pszCase;
        EXPECT_EQ(coSelection.GetAnchor(), c.m_lAnchor) << c.m_pszCase;
    }
    // Read again: the names still there stay selected.
    KwFileSelListSelection coSelection = Entries();
    coSelection.SetEntries({ "a", "c", "x" });
    coSelection.SelectNames({ "b", "c", "x" });
    EXPECT_EQ(Selected(coSelection), "c x");
    EXPECT_EQ(coSelection.SelectedCount(), 2);
}

class KwFileSelDropRulesTest : public kwtest::TScratchTest {
protected:
    KwFileSelDropRulesTest() : TScratchTest("kw-drop-") {}

    void SetUp() override
    {
        TScratchTest::SetUp();
        for (const char* pszDirectory : { "top/src/sub", "top/other" })
            std::filesystem::create_directories(Path(pszDirectory));
        kwtest::WriteFileBytes(Path("top/src/a.txt"), "a");
        kwtest::WriteFileBytes(Path("top/file.txt"), "f");
    }

    KwFileSelDropRules m_coRules;
};

TEST_F(KwFileSelDropRulesTest, DropsGoOnlyToAnExistingDirectoryOutsideTheSourceItselfAndItsOwnDirectory)
{
    const struct {
        const char* m_pszSource;    // a directory, or a file (*.txt)
        const char* m_pszTarget;
        const char* m_pszReason;    // part of the refusal; null: accepted
    } s_aCases[] = {
        { "top/src", "top/other", nullptr },
        { "top/src", "top", "inside itself" },      // its own parent: it would land on itself
        { "top/src", "top/src", "inside itself" },
        { "top/src", "top/src/sub", "inside itself" },
        { "top/src", "top/missing", "does not exist" },
        { "top/src", "top/file.txt", "is not a directory" },
        { "top/src", "", "no directory" },
        { "top/gone", "top/other", "does not exist" },
        { "top/src/a.txt", "top/src/sub", nullptr },
        { "top/src/a.txt", "top/src", "already" },
        { "top/src/a.txt", "top/missing", "does not exist" },
    };
    for (const auto& c : s_aCases) {
        const std::string strSource = Path(c.m_pszSource);
        const std::string strTarget = *c.m_pszTarget ? Path(c.m_pszTarget) : std::string();
        const std::string strReason = strSource.find(".txt") == std::string::npos
            ? m_coRules.CheckDirectoryDrop(strSource, strTarget)
            : m_coRules.CheckFilesDrop({ strSource }, strTarget);
        EXPECT_NE(strReason.find(c.m_pszReason ? c.m_pszReason : ""), std::string::npos)
            << c.m_pszSource << " to " << c.m_pszTarget << ": " << strReason;
        EXPECT_EQ(strReason.empty(), !c.m_pszReason) << c.m_pszSource << " to " << c.m_pszTarget;
    }
    EXPECT_NE(m_coRules.CheckFilesDrop({}, Path("top/other")).find("no files"), std::string::npos);
}

#if !defined(_WIN32)
TEST_F(KwFileSelDropRulesTest, ALinkToTheSourceOrItsParentIsTheSourceOrItsParent)
{
    std::filesystem::create_directory_symlink(Path("top/src"), Path("top/other/to-src"));
    std::filesystem::create_directory_symlink(Path("top"), Path("top/other/to-top"));
    std::filesystem::create_directory_symlink(Path("top/src/sub"), Path("top/other/to-sub"));
    EXPECT_NE(m_coRules.CheckDirectoryDrop(Path("top/src"), Path("top/other/to-src")), "");
    EXPECT_NE(m_coRules.CheckDirectoryDrop(Path("top/src"), Path("top/other/to-top")), "");
    // A link to a directory inside the source leads inside it too.
    EXPECT_NE(m_coRules.CheckDirectoryDrop(Path("top/src"), Path("top/other/to-sub")), "");
    EXPECT_EQ(m_coRules.CheckDirectoryDrop(Path("top/src/sub"), Path("top/other/to-top")), "");
    EXPECT_NE(m_coRules.CheckFilesDrop({ Path("top/src/a.txt") }, Path("top/other/to-src")), "");
}
#endif
