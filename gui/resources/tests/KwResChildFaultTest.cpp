#include "KwApp.h"
#include "KwFakeSystem.h"
#include "KwFileHdl.h"
#include "KwKwtText.h"
#include "KwMessageLog.h"
#include "KwResFileHelper.h"
#include "KwWFrame.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// A frame whose middle child cannot be read: a child of a class nobody
// registered is left out and the frame and its other children come back
// whole; a damaged child record fails the whole load. Either way nothing
// the reader made is left behind or freed twice.

namespace {

std::string Child(const std::string& strClass, const std::string& strId, const std::string& strGrandChild = "")
{
    return "  " + kw25test::WindowRecord(strClass, strId, "  string 43 \"" + strId + " text\"\n", strGrandChild);
}

// Makes the counted string holding the text claim more bytes than the
// file has, so that the record holding it is damaged.
void DamageText(std::string& strBytes, const std::string& strText)
{
    const std::string strNeedle = strText + '\0';
    const size_t nPos = strBytes.find(strNeedle);
    ASSERT_NE(nPos, std::string::npos) << strText;
    ASSERT_GE(nPos, 2U);
    ASSERT_EQ(static_cast<unsigned char>(strBytes[nPos - 2]), strText.size());
    strBytes[nPos - 2] = '\xF0';
    strBytes[nPos - 1] = '\x7F';
}

class KwResChildFaultTest : public ::testing::Test {
protected:
    KwFakeSystem coSys;
    KwApp coApp { "KwResChildFaultTest", nullptr, 0 };
    kwtest::TResTempDir coDir { "KwResChildFaultTest" };
    kw25test::TMessageLog coMessages;

    // Reads the frame FW_MAIN holding a good child, the middle record and
    // another good child; the text of the middle record named by
    // strDamaged is damaged first.
    KwWFrame* Load(const std::string& strMiddle, const std::string& strDamaged = "")
    {
        const std::string strChildren = Child("KwWChild", "CW_FIRST") + strMiddle + Child("KwWChild", "CW_LAST");
        const std::string strFile = coDir.File("frame.kwt");
        EXPECT_EQ(kw25test::WriteKwt(strFile, kw25test::KwtText({ { "FW_MAIN", "KwWFrame",
                                                                     kw25test::WindowRecord("KwWFrame", "FW_MAIN", "", strChildren) } })),
                  "");
        if (!strDamaged.empty()) {
            std::string strBytes = kwtest::ReadFileBytes(strFile);
            DamageText(strBytes, strDamaged);
            std::ofstream(strFile, std::ios::binary | std::ios::trunc) << strBytes;
        }
        KwFileHdl coHdl;
        EXPECT_EQ(coHdl.OpenRead(strFile.c_str(), 0, nullptr), TFileHdl::Success);
        KwWnd* pcoRead = coHdl.LoadWindow("FW_MAIN", nullptr);
        EXPECT_TRUE(!pcoRead || pcoRead->IsFrameWindow());
        return static_cast<KwWFrame*>(pcoRead);
    }

    // The frame has both good children, as they were written, in order.
    static void ExpectGoodChildren(KwWFrame& coFrame)
    {
        KwWnd* pcoFirst = coFrame.FindChildPtr("CW_FIRST");
        KwWnd* pcoLast = coFrame.FindChildPtr("CW_LAST");
        ASSERT_NE(pcoFirst, nullptr);
        ASSERT_NE(pcoLast, nullptr);
        EXPECT_STREQ(pcoFirst->GetInitText(), "CW_FIRST text");
        EXPECT_STREQ(pcoLast->GetInitText(), "CW_LAST text");
        EXPECT_EQ(coFrame.GetChildFirst(), pcoFirst);
        EXPECT_EQ(coFrame.GetChildNext(pcoFirst), pcoLast);
        EXPECT_EQ(coFrame.GetChildNext(pcoLast), nullptr);
        EXPECT_EQ(pcoFirst->GetParent(), &coFrame);
        EXPECT_EQ(pcoLast->GetParent(), &coFrame);
    }
};

} // namespace

TEST_F(KwResChildFaultTest, ChildOfAnUnknownClassIsLeftOutWithItsChildren)
{
    KwWFrame* pcoFrame = Load(Child("TNoSuchWindowClass", "CW_LOST", Child("KwWChild", "CW_ORPHAN")));
    ASSERT_NE(pcoFrame, nullptr);
    ExpectGoodChildren(*pcoFrame);
    EXPECT_EQ(pcoFrame->FindChildPtr("CW_LOST"), nullptr);
    EXPECT_EQ(pcoFrame->FindChildPtr("CW_ORPHAN"), nullptr);
    EXPECT_EQ(coMessages.Shown(), std::vector<std::string> { "Resource of class type\n\n<TNoSuchWindowClass> could not be created!" });
    EXPECT_EQ(coSys.coWindows.size(), 3U);
    pcoFrame->Destroy();
    coSys.DeliverPosted();
    EXPECT_TRUE(coSys.coWindows.empty());
}

TEST_F(KwResChildFaultTest, DamagedChildRecordFailsTheLoadAndLeavesNoWindow)
{
    struct TCase {
        const char* pszWhat;
        std::string strMiddle;
        const char* pszDamaged;
    };
    const TCase aCases[] = {
        { "the child's own variable", Child("KwWChild", "CW_DAMAGED"), "CW_DAMAGED text" },
        { "a grandchild, after the child was made", Child("KwWChild", "CW_MIDDLE", Child("KwWChild", "CW_BROKEN")),
          "CW_BROKEN text" },
        { "a grandchild of an unknown class's child", Child("TNoSuchWindowClass", "CW_LOST", Child("KwWChild", "CW_BROKEN")),
          "CW_BROKEN text" },
        { "an item of the menu bar, after the bar was given to the frame",
          "  resource 31 class \"KwMenu\" cpp absent wparam 0 lparam 0\n    string 21 \"MN_MAIN\"\n"
          "    resource 31 class \"KwPopupMenu\" cpp absent wparam 0 lparam 0\n      string 21 \"PM_HELP\"\n"
          "      string 80 \"&Help\"\n"
          "      resource 31 class \"KwMenuItem\" cpp absent wparam 0 lparam 0\n        string 21 \"ID_ABOUT\"\n"
          "        short 71 0\n        string 72 \"&About...\"\n      end\n    end\n  end\n",
          "&About..." },
    };
    for (const TCase& coCase : aCases) {
        coMessages.Shown().clear();
        EXPECT_EQ(Load(coCase.strMiddle, coCase.pszDamaged), nullptr) << coCase.pszWhat;
        ASSERT_FALSE(coMessages.Shown().empty()) << coCase.pszWhat;
        EXPECT_EQ(coMessages.Shown().back(), "Resource file is damaged!") << coCase.pszWhat;
        EXPECT_EQ(std::count(coMessages.Shown().begin(), coMessages.Shown().end(), "Resource file is damaged!"), 1) << coCase.pszWhat;
        coSys.DeliverPosted();
        EXPECT_TRUE(coSys.coWindows.empty()) << coCase.pszWhat;
    }
}
