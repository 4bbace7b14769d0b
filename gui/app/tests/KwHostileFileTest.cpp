#include "KwApp.h"
#include "KwFakeMenus.h"
#include "KwFileBytes.h"
#include "KwFileHdl.h"
#include "KwKwtText.h"
#include "KwMenu.h"
#include "KwMessageLog.h"
#include "KwResBitmap.h"
#include "KwScratchTest.h"
#include "KwWFrame.h"
#include "TResReadHdl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Resource files anyone may have replaced: whatever they hold, reading
// them reads nothing beyond what they hold, never recurses without end and
// never uses an object that a link run during the reading destroyed.

// A frame whose handler, bound by the file, destroys it.
class TSelfClosingFrame : public KwWFrame {
    KW_DYNAMIC_CLASS(TSelfClosingFrame, KwWFrame)
public:
    TSelfClosingFrame() = default;
    int LnkClose(TMvcParam&)
    {
        Destroy();
        return 0;
    }
};
KW_IMPLEMENT_DYNAMIC_CLASS(TSelfClosingFrame, KwWFrame, "test")

// Children that count how many of them live; the second kind never gets
// its system window.
class TCountedChild : public KwWChild {
    KW_DYNAMIC_CLASS(TCountedChild, KwWChild)
public:
    TCountedChild() { ++s_nAlive; }
    ~TCountedChild() override { --s_nAlive; }
    static int s_nAlive;
};
KW_IMPLEMENT_DYNAMIC_CLASS(TCountedChild, KwWChild, "test")
int TCountedChild::s_nAlive = 0;

class TWindowlessChild : public TCountedChild {
    KW_DYNAMIC_CLASS(TWindowlessChild, TCountedChild)
public:
    TWindowlessChild() = default;
    int SysCreate(KwWnd*) override { return 0; }
};
KW_IMPLEMENT_DYNAMIC_CLASS(TWindowlessChild, TCountedChild, "test")

namespace {

const KwMemberLinkArray s_aClosingLinks[] = {
    { "FW_MAIN", "TSelfClosingFrame::LnkClose", static_cast<TMvcHandler>(&TSelfClosingFrame::LnkClose) },
    { nullptr, nullptr, nullptr },
};

// A character array variable holding the text without a terminating zero.
std::string CharArray(int nId, const std::string& strText)
{
    std::string strLine = "  char " + std::to_string(nId) + " [" + std::to_string(strText.size()) + "]";
    for (char ch : strText)
        strLine += " " + std::to_string(static_cast<int>(ch));
    return strLine + "\n";
}

class KwHostileFileTest : public kwtest::TScratchTest {
protected:
    KwHostileFileTest() : TScratchTest("KwHostileFileTest") {}

    // Writes the records as the file and opens it.
    void Open(const std::vector<kw25test::TKwtRecord>& coRecords)
    {
        ASSERT_EQ(kw25test::WriteKwt(At("hostile.kwt"), kw25test::KwtText(coRecords)), "");
        ASSERT_EQ(coHdl.OpenRead(At("hostile.kwt").c_str(), 0, nullptr), TFileHdl::Success);
    }

    KwFakeMenuSystem coSys;
    KwApp coApp { "KwHostileFileTest", nullptr, 0 };
    kw25test::TMessageLog coMessages;
    KwFileHdl coHdl;
};

} // namespace

// Texts stored as character arrays carry no terminating zero: each is
// taken up to its length (reading them as strings ran off the array).
TEST_F(KwHostileFileTest, TextsStoredAsCharacterArraysAreTakenToTheirLength)
{
    const std::string strItem = kw25test::WindowRecord("KwMenuItem", "ID_ITEM", "  short 71 0\n" + CharArray(72, "&Item"));
    const std::string strPopup = kw25test::WindowRecord("KwPopupMenu", "PM_POPUP", CharArray(80, "&Popup"), strItem);
    const std::string strMenu = kw25test::WindowRecord("KwMenu", "MN_BAR", "", strPopup);
    const std::string strChild = kw25test::WindowRecord("KwWChild", "CW_CHILD", CharArray(31, "child extra") + CharArray(43, "child text"));
    Open({ { "FW_TEXTS", "KwWFrame",
             kw25test::WindowRecord("KwWFrame", "FW_TEXTS",
                                    CharArray(31, "extra") + CharArray(43, "title") + CharArray(125, "BMP_ICON")
                                        + CharArray(126, "BMP_DRAG"),
                                    strChild + strMenu) } });
    auto* pcoFrame = dynamic_cast<KwWFrame*>(coHdl.LoadResource("FW_TEXTS", nullptr, nullptr, 1));
    ASSERT_NE(pcoFrame, nullptr);
    EXPECT_EQ(std::string(pcoFrame->GetExtra()), "extra");
    EXPECT_EQ(std::string(pcoFrame->GetText()), "title");
    EXPECT_EQ(std::string(pcoFrame->GetIconId()), "BMP_ICON");
    EXPECT_EQ(std::string(pcoFrame->GetDragIconId()), "BMP_DRAG");
    KwWnd* pcoChild = pcoFrame->FindChildPtr("CW_CHILD");
    ASSERT_NE(pcoChild, nullptr);
    EXPECT_EQ(std::string(pcoChild->GetExtra()), "child extra");
    EXPECT_EQ(std::string(pcoChild->GetText()), "child text");
    ASSERT_TRUE(pcoFrame->HasMenu());
    EXPECT_EQ(coSys.Layout(pcoFrame->GetMenu()->GetHandle()), "&Popup[&Item]");
    pcoFrame->Destroy();
}

// A picture whose record holds a shared bitmap of its own id loads itself
// again while it is read; a chain of pictures each holding the next nests
// loads as deep as the chain is long. Neither may exhaust the stack: an id
// already being read is refused and the nesting across loads is bounded.
TEST_F(KwHostileFileTest, PicturesThatNameThemselvesOrEachOtherEndTheirLoads)
{
    const auto Picture = [](const std::string& strId, const std::string& strShared) {
        const std::string strChild = strShared.empty() ? "" : kw25test::WindowRecord("KwResBitmap", strShared, "");
        return kw25test::TKwtRecord { strId, "KwBitmap",
                                      kw25test::WindowRecord("KwBitmap", strId,
                                                             "  short 1020 0\n  short 1021 16\n  short 1022 2\n  short 1023 2\n"
                                                             "  char 1024 1\n  char 1025 1\n  char 1026 [4] 1 2 3 4\n",
                                                             strChild) };
    };
    const int nChain = 3000;
    std::vector<kw25test::TKwtRecord> coRecords = { Picture("BMP_SELF", "BMP_SELF") };
    for (int i = 0; i < nChain; ++i)
        coRecords.push_back(Picture("BMP_CHAIN" + std::to_string(i), i + 1 < nChain ? "BMP_CHAIN" + std::to_string(i + 1) : ""));
    ASSERT_EQ(kw25test::WriteKwt(At("pictures.kwt"), kw25test::KwtText(coRecords)), "");
    KwResHdl& coResHdl = coApp.GetResHdl();
    ASSERT_EQ(coResHdl.InstallResourceFile(At("pictures.kwt").c_str(), nullptr, 0, nullptr), TFileHdl::Success);

    KwSysBitmap* pcoSelf = coResHdl.GetBitmap("BMP_SELF", static_cast<const char*>(nullptr));
    ASSERT_NE(pcoSelf, nullptr);
    EXPECT_TRUE(pcoSelf->IsValid());
    EXPECT_EQ(coResHdl.GetBitmapCount(), 1);
    EXPECT_EQ(coMessages.Shown(), std::vector<std::string>({ "Resource <BMP_SELF> is being read already: it names itself!" }));
    coMessages.Shown().clear();

    // The first links of the chain hold the next ones until the nesting
    // ends; the picture asked for is there all the same.
    KwSysBitmap* pcoChain = coResHdl.GetBitmap("BMP_CHAIN0", static_cast<const char*>(nullptr));
    ASSERT_NE(pcoChain, nullptr);
    EXPECT_TRUE(pcoChain->IsValid());
    EXPECT_LT(coResHdl.GetBitmapCount(), 1 + TResReadHdl::MaxDepth);
    EXPECT_FALSE(coMessages.Shown().empty());
    coResHdl.ReleaseBitmap("BMP_CHAIN0");
    coResHdl.ReleaseBitmap("BMP_SELF");
    EXPECT_TRUE(coResHdl.UnInstallResourceFile(At("pictures.kwt").c_str()));
}

// A child whose creation runs a link (bound by the file) that destroys the
// frame being read, with the rest of the frame's record still to come:
// the reader used to go on with the freed frame as the parent of the next
// children.
TEST_F(KwHostileFileTest, FrameDestroyedWhileItIsReadIsLeftAlone)
{
    coApp.AddMLA(s_aClosingLinks);
    const auto Child = [](const std::string& strId, const std::string& strVariables, const std::string& strChildren = "") {
        return kw25test::WindowRecord("KwWChild", strId, "  long 32 1342177280\n" + strVariables, strChildren);
    };
    for (const char* pszWhere : { "CW_KILL", "CW_DEEP" }) {
        SCOPED_TRACE(pszWhere);
        const std::string strKill = "  string 22 \"KW_LINK_CREATE@TSelfClosingFrame::LnkClose@FW_MAIN\"\n";
        const int nDeep = std::string(pszWhere) == "CW_DEEP";
        const std::string strChildren = Child("CW_FIRST", "")
            + Child("CW_KILL", nDeep ? "" : strKill, nDeep ? Child("CW_DEEP", strKill, Child("CW_BELOW", "")) : "")
            + Child("CW_LAST", "", Child("CW_INNER", ""));
        coHdl.Close();
        Open({ { "FW_MAIN", "TSelfClosingFrame", kw25test::WindowRecord("TSelfClosingFrame", "FW_MAIN", "", strChildren) } });
        EXPECT_EQ(coHdl.LoadResource("FW_MAIN", nullptr, nullptr, 1), nullptr);
        EXPECT_TRUE(coSys.coWindows.empty());
        EXPECT_EQ(coApp.CurrentAppFrameCount(), 0);
    }
    coApp.RemoveMLA(s_aClosingLinks);
}

// A child window is the frame's: one whose record turns auto-destroy off
// goes with its window all the same, one that got no window is not kept;
// neither outlives the frame unowned.
TEST_F(KwHostileFileTest, ChildWindowsOfARecordGoWithTheirFrame)
{
    const std::string strChildren = kw25test::WindowRecord("TCountedChild", "CW_KEPT", "  long 32 1342177280\n  short 42 256\n")
        + kw25test::WindowRecord("TWindowlessChild", "CW_NONE", "  long 32 1342177280\n")
        + kw25test::WindowRecord("TCountedChild", "CW_PLAIN", "  long 32 1342177280\n");
    Open({ { "FW_MAIN", "KwWFrame", kw25test::WindowRecord("KwWFrame", "FW_MAIN", "", strChildren) } });
    auto* pcoFrame = dynamic_cast<KwWFrame*>(coHdl.LoadResource("FW_MAIN", nullptr, nullptr, 1));
    ASSERT_NE(pcoFrame, nullptr);
    EXPECT_EQ(pcoFrame->GetChildCount(), 2);
    EXPECT_EQ(TCountedChild::s_nAlive, 2);
    pcoFrame->Destroy();
    EXPECT_EQ(TCountedChild::s_nAlive, 0);
}

// A damaged record of a window that does not go with its window (its
// record turns auto-destroy off): the reader's destruction left the
// object alive; it is deleted.
TEST_F(KwHostileFileTest, DamagedWindowWithoutAutoDestroyIsDeleted)
{
    Open({ { "CW_LONE", "TCountedChild",
             kw25test::WindowRecord("TCountedChild", "CW_LONE", "  long 32 1342177280\n  short 42 256\n  string 43 \"cut\"\n") } });
    coHdl.Close();
    // The text's counted length claims more bytes than the file has.
    std::string strBytes = kwtest::ReadFileBytes(At("hostile.kwt"));
    const size_t nText = strBytes.find(std::string("cut", 4));
    ASSERT_NE(nText, std::string::npos);
    strBytes[nText - 2] = '\xF0';
    strBytes[nText - 1] = '\x7F';
    kwtest::WriteFileBytes(At("hostile.kwt"), strBytes);
    ASSERT_EQ(coHdl.OpenRead(At("hostile.kwt").c_str(), 0, nullptr), TFileHdl::Success);
    EXPECT_EQ(coHdl.LoadResource("CW_LONE", nullptr, nullptr, 1), nullptr);
    EXPECT_EQ(TCountedChild::s_nAlive, 0);
    EXPECT_TRUE(coSys.coWindows.empty());
    EXPECT_EQ(coMessages.Shown(), std::vector<std::string>({ "Resource file is damaged!" }));
}
