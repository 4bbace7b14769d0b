#include "KwApp.h"
#include "KwFakeMenus.h"
#include "KwFileSelector.h"
#include "KwKwtText.h"
#include "KwMessageLog.h"
#include "KwResHdl.h"
#include "KwScratchTest.h"
#include "KwWFrame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using kw25test::TKwtRecord;
using kw25test::WindowRecord;

namespace {

// Menus in memory, and the system controls the selectors are made of
// taken as they come.
class TSelectorFakeSystem : public KwFakeMenuSystem {
public:
    int SubclassControl(KwWnd&) override { return 1; }
};

std::string Selector(const std::string& strId, int nX)
{
    return WindowRecord("KwFileSelector", strId,
                        "  long 32 1342177280\n  short 35 " + std::to_string(nX)
                            + "\n  short 36 0\n  short 37 440\n  short 38 500\n  short 40 15\n");
}

class KwFileSelectorReadTest : public kwtest::TScratchTest {
protected:
    KwFileSelectorReadTest() : TScratchTest("KwFileSelectorReadTest") {}
    void SetUp() override
    {
        TScratchTest::SetUp();
        // A call into the selectors' library, so that it is loaded (and
        // its classes known to the reader) wherever only the file names
        // them.
        KwFileSelector::SetBitmapLoader(nullptr);
    }

    TSelectorFakeSystem coSys;
    KwApp coApp { "KwFileSelectorReadTest", nullptr, 0 };
    kw25test::TMessageLog coMessages { true };
};

} // namespace

// The main frame of a two-pane program: a menu bar and two selectors,
// each of which makes its windows while the frame is still being read.
// Read twice in a row (the second read finds the first one's memory
// freed); under the sanitizers a parent used after it was freed, or a
// selector left half made, fails here.
TEST_F(KwFileSelectorReadTest, AFrameWithAMenuAndTwoSelectorsIsReadWhole)
{
    const std::string strMenu =
        "  resource 31 class \"KwMenu\" cpp absent wparam 0 lparam 0\n    string 21 \"MN_MAIN\"\n"
        "    resource 31 class \"KwPopupMenu\" cpp absent wparam 0 lparam 0\n      string 21 \"PM_HELP\"\n"
        "      string 80 \"&Help\"\n"
        "      resource 31 class \"KwMenuItem\" cpp absent wparam 0 lparam 0\n        string 21 \"ID_ABOUT\"\n"
        "        short 71 0\n        string 72 \"&About...\"\n      end\n    end\n  end\n";
    const std::string strFrame = WindowRecord("KwWFrame", "FW_MAIN",
                                              "  long 32 13565952\n  short 35 40\n  short 36 30\n  short 37 900\n"
                                              "  short 38 560\n  short 40 15\n  string 43 \"Main\"\n",
                                              strMenu + Selector("FS_1", 0) + Selector("FS_2", 440));
    const std::string strPath = At("sel.kwt");
    ASSERT_EQ(kw25test::WriteKwt(strPath, kw25test::KwtText({ { "FW_MAIN", "KwWFrame", strFrame } })), "");
    ASSERT_EQ(coApp.GetResHdl().InstallResourceFile(strPath.c_str(), nullptr, 0, nullptr), 1);
    for (int nRead = 0; nRead < 2; ++nRead) {
        auto* pcoMain = dynamic_cast<KwWFrame*>(coApp.GetResHdl().LoadWindow("FW_MAIN", nullptr, nullptr));
        ASSERT_NE(pcoMain, nullptr);
        ASSERT_NE(pcoMain->GetHandle(), 0u);
        EXPECT_NE(pcoMain->GetMenu(), nullptr);
        for (const char* pszId : { "FS_1", "FS_2" }) {
            KwWnd* pcoChild = pcoMain->FindChild(pszId);
            ASSERT_TRUE(pcoChild && pcoChild->IsClassFamily("KwFileSelector")) << pszId << " " << (coMessages.Shown().empty() ? "" : coMessages.Shown().front());
            auto* pcoSelector = static_cast<KwFileSelector*>(pcoChild);
            EXPECT_NE(pcoSelector->GetHandle(), 0u) << pszId;
            EXPECT_EQ(pcoSelector->GetParent(), pcoMain) << pszId;
            EXPECT_NE(pcoSelector->GetTree(), nullptr) << pszId;
        }
        pcoMain->Destroy();
    }
    // Closed before the scratch directory goes: Windows deletes no open file.
    EXPECT_NE(coApp.GetResHdl().UnInstallResourceFile(strPath.c_str()), 0);
    EXPECT_TRUE(coMessages.Shown().empty()) << coMessages.Shown().front();
}
