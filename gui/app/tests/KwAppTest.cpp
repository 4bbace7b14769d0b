#include "KwApp.h"
#include "KwFakeSystem.h"
#include "KwWFrame.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class TLinkTarget : public TDynBase {
public:
    int LnkOk(TMvcParam&) { return 1; }
    int LnkCancel(TMvcParam&) { return 2; }
};

const KwMemberLinkArray s_aFirst[] = {
    { "FW_MAIN", "TLinkTarget::LnkOk", static_cast<TMvcHandler>(&TLinkTarget::LnkOk) },
    { nullptr, "TLinkTarget::LnkCancel", static_cast<TMvcHandler>(&TLinkTarget::LnkCancel) },
    { nullptr, nullptr, nullptr },
};
const KwMemberLinkArray s_aSecond[] = {
    { "FW_DIALOG", "TLinkTarget::LnkCancel", static_cast<TMvcHandler>(&TLinkTarget::LnkCancel) },
    { nullptr, nullptr, nullptr },
};

// An application that records its hooks.
class TRecordingApp : public KwApp {
public:
    TRecordingApp() : KwApp("KwAppTest", nullptr, 0) {}
    std::vector<std::string> coSeen;
    int nMainAnswer { 0 };
    int Main() override { coSeen.push_back("Main()"); return nMainAnswer; }
    int Main(short nArgc, const char** ppszArgv) override
    {
        std::string strLine = "Main(" + std::to_string(nArgc);
        for (short i = 0; i < nArgc; ++i)
            strLine += std::string(" ") + ppszArgv[i];
        coSeen.push_back(strLine + ")");
        return 3;
    }
    int NotifyTaskExit(short nCode) override { coSeen.push_back("exit " + std::to_string(nCode)); return 0; }
    using KwApp::StartMainWindow;
};

class KwAppTest : public ::testing::Test {
protected:
    KwFakeSystem coSys;
    TRecordingApp coApp;
};

} // namespace

TEST_F(KwAppTest, LinkTablesAreSearchedExactlyInRegistrationOrder)
{
    coApp.AddMLA(s_aFirst);
    coApp.AddMLA(s_aFirst);
    coApp.AddMLA(s_aSecond);
    EXPECT_EQ(coApp.FindLinkPtr("FW_MAIN", "TLinkTarget::LnkOk"), static_cast<TMvcHandler>(&TLinkTarget::LnkOk));
    EXPECT_EQ(coApp.FindLinkPtr("fw_main", "TLinkTarget::LnkOk"), nullptr);
    EXPECT_EQ(coApp.FindLinkPtr("FW_MAIN", "TLinkTarget::LnkCancel"), nullptr);   // only under another target
    EXPECT_EQ(coApp.FindLinkPtr("FW_DIALOG", "TLinkTarget::LnkCancel"), static_cast<TMvcHandler>(&TLinkTarget::LnkCancel));
    EXPECT_EQ(coApp.FindLinkPtr(nullptr, "TLinkTarget::LnkOk"), nullptr);
    EXPECT_STREQ(coApp.FindLinkName(static_cast<TMvcHandler>(&TLinkTarget::LnkCancel)), "TLinkTarget::LnkCancel");
    coApp.RemoveMLA(s_aFirst);
    EXPECT_EQ(coApp.FindLinkPtr("FW_MAIN", "TLinkTarget::LnkOk"), nullptr);
}

TEST_F(KwAppTest, CommandLineIsSplitIntoAtMost128Words)
{
    EXPECT_TRUE(KwApp::SplitCommandLine("").empty());
    EXPECT_TRUE(KwApp::SplitCommandLine(nullptr).empty());
    const std::vector<TString> coTwo = KwApp::SplitCommandLine("  alpha  beta\t");
    ASSERT_EQ(coTwo.size(), 2u);
    EXPECT_EQ(coTwo[1], "beta");
    std::string strMany;
    for (int i = 0; i < 130; ++i)
        strMany += "w" + std::to_string(i) + " ";
    const std::vector<TString> coMany = KwApp::SplitCommandLine(strMany.c_str());
    ASSERT_EQ(coMany.size(), 128u);
    EXPECT_EQ(coMany.back(), "w127");
}

TEST_F(KwAppTest, StartUpCallsTheArgumentHookOnlyWhenMainAnswersZero)
{
    EXPECT_EQ(coApp.InitInstance(0x400000, 0, "one two", 4), 3);
    EXPECT_EQ(coApp.coSeen, std::vector<std::string>({ "Main()", "Main(2 one two)" }));
    EXPECT_EQ(coApp.GetShowParam(), 4);
    EXPECT_EQ(coApp.GetWaitCount(), 0);
    coApp.coSeen.clear();
    coApp.nMainAnswer = 9;
    EXPECT_EQ(coApp.InitInstance(0x400000, 0, "", 4), 9);
    EXPECT_EQ(coApp.coSeen, std::vector<std::string>({ "Main()" }));
    EXPECT_EQ(coApp.Go(), 0);                    // no main window: no loop
    EXPECT_EQ(coApp.coSeen.back(), "exit 0");
}

TEST_F(KwAppTest, WaitCursorIsCountedAndRestoresTheCursorBeforeIt)
{
    coSys.SetCursor(0x1234);
    coApp.WaitCursor(1);
    coApp.WaitCursor(1);
    coApp.WaitCursor(0);
    EXPECT_EQ(coSys.GetCursor(), 0x9000u + 32514u);
    coApp.WaitCursor(0);
    EXPECT_EQ(coSys.GetCursor(), 0x1234u);
    coApp.WaitCursor(0);
    EXPECT_EQ(coApp.GetWaitCount(), 0);
}

TEST_F(KwAppTest, FirstStartedFrameBecomesTheOnlyMainWindow)
{
    KwWFrame* pcoMain = new KwWFrame("FW_MAIN");
    KwWFrame* pcoOther = new KwWFrame("FW_OTHER");
    EXPECT_EQ(coApp.CurrentAppFrameCount(), 2);
    pcoMain->SysCreate(nullptr);
    pcoOther->SysCreate(nullptr);
    EXPECT_EQ(coApp.StartMainWindow(nullptr), 0);
    pcoMain->Start();
    EXPECT_EQ(coApp.GetMainWindow(), pcoMain);
    pcoOther->Start();
    EXPECT_EQ(coApp.GetMainWindow(), pcoMain);
    EXPECT_EQ(coApp.StartMainWindow(pcoOther), 0);
    pcoOther->Destroy();
    EXPECT_TRUE(coSys.Lines("PostQuit").empty());  // another frame does not end the loop
    EXPECT_EQ(coApp.CurrentAppFrameCount(), 1);
    coApp.Connect(0x400000);
    pcoMain->Destroy();
    EXPECT_EQ(coSys.Lines("PostQuit"), std::vector<std::string>({ "PostQuit 0" }));
    EXPECT_EQ(coApp.GetMainWindow(), nullptr);
    EXPECT_EQ(coApp.GetAppFrame(0), nullptr);
}
