#include "KwApp.h"
#include "KwFakeSystem.h"
#include "KwKwtText.h"
#include "KwMessages.h"
#include "KwStatic.h"
#include "KwPushButton.h"
#include "KwScratchTest.h"
#include "KwWFrame.h"
#include "TOpSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
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

// Start-up, configuration and the message box, on the standard file of the
// tests in a scratch directory.

namespace {

std::vector<std::string> s_coBoxes;

void RecordBox(const char* pszText, const char* pszCaption)
{
    s_coBoxes.push_back(std::string(pszCaption) + ": " + pszText);
}

// What the message box showed while it ran.
struct TShown {
    std::vector<std::string> coLabels;
    std::string strPicture;
    std::string strText;
    std::string strDefault;
};

class KwAppStartTest : public kwtest::TScratchTest {
protected:
    KwAppStartTest() : TScratchTest("KwAppStartTest") {}

    void SetUp() override
    {
        TScratchTest::SetUp();
        s_coBoxes.clear();
        m_pfnOld = TOpSystem::SetMessageHandler(RecordBox);
    }
    void TearDown() override
    {
        TOpSystem::SetMessageHandler(m_pfnOld);
        TScratchTest::TearDown();
    }

    // Starts the application with the standard file made of the records.
    void Start(const std::vector<kw25test::TKwtRecord>& coRecords)
    {
        ASSERT_EQ(kw25test::WriteKwt(At("zorvik30.kwt"), kw25test::KwtText(coRecords)), "");
        coApp.GetConfig().SetKwPath(KwConfig::PathSystem, m_dir.c_str());
        coApp.InitInstance(0x400000, 0, "", 4);
    }
    KwWFrame* Dialog() const
    {
        for (short i = 0; i < coApp.CurrentAppFrameCount(); ++i) {
            if (coApp.GetAppFrame(i)->HasResId("DLG_GER_MESSAGE"))
                return coApp.GetAppFrame(i);
        }
        return nullptr;
    }
    // Runs a message box of the type; inside it, fnAnswer acts on the
    // dialog. What it showed goes to coShown.
    int Box(unsigned short unType, const std::function<void(KwWFrame&)>& fnAnswer, const char* pszText = "Text")
    {
        coShown = TShown();
        coSys.fnInModalLoop = [&] {
            KwWFrame* pcoDialog = Dialog();
            ASSERT_NE(pcoDialog, nullptr);
            for (const char* pszId : { "BT_PUSH1", "BT_PUSH2", "BT_PUSH3" }) {
                auto* pcoButton = static_cast<KwPushButton*>(pcoDialog->FindChildPtr(pszId));
                if (!pcoButton)
                    continue;
                coShown.coLabels.push_back(pcoButton->GetText().operator const char*());
                if (pcoButton->IsDefaultPush())
                    coShown.strDefault = pszId;
            }
            coShown.strPicture = static_cast<KwStatic*>(pcoDialog->FindChildPtr("BMP_INFO"))->GetPictureId().operator const char*();
            coShown.strText = pcoDialog->FindChildPtr("MESSAGE")->GetText().operator const char*();
            fnAnswer(*pcoDialog);
        };
        const int nAnswer = coApp.Message(pszText, "Title", nullptr, unType);
        coSys.fnInModalLoop = nullptr;
        return nAnswer;
    }
    static std::function<void(KwWFrame&)> Press(const char* pszButton)
    {
        return [pszButton](KwWFrame& coDialog) { coDialog.FindChildPtr(pszButton)->EvCommand(); };
    }

    KwFakeSystem coSys;
    TRecordingApp coApp;
    TShown coShown;

private:
    TOpSystem::MessageHandler m_pfnOld { nullptr };
};

} // namespace

TEST_F(KwAppStartTest, StartUpWithoutTheStandardFileSaysSoAndEndsTheLoop)
{
    coApp.GetConfig().SetKwPath(KwConfig::PathSystem, m_dir.c_str());
    EXPECT_EQ(coApp.InitInstance(0x400000, 0, "", 4), 3);
    EXPECT_EQ(s_coBoxes, std::vector<std::string>({ "ZORVIK-Message: Standard Resource-File <zorvik30.kwt> not found!" }));
    EXPECT_EQ(coSys.Lines("PostQuit"), std::vector<std::string>({ "PostQuit 0" }));
    EXPECT_EQ(coApp.coSeen.front(), "Main()");                 // the hooks run all the same
    EXPECT_EQ(coApp.Message("Without dialog", "Title", nullptr, 3), 1);
    EXPECT_EQ(s_coBoxes.back(), "ZORVIK System-Message: Without dialog");
}

TEST_F(KwAppStartTest, EachTypeShowsItsButtonsAndAnswersThePressedOne)
{
    Start(kw25test::StandardRecords());
    ASSERT_TRUE(s_coBoxes.empty()) << s_coBoxes.front();
    const struct {
        unsigned short unType;
        std::vector<std::string> coLabels;
        const char* pszPress;
        int nAnswer;
    } cases[] = {
        { 0, { "&OK" }, "BT_PUSH1", 1 },
        { 1, { "&OK", "&Cancel" }, "BT_PUSH2", 2 },
        { 2, { "&Abort", "&Retry", "&Ignore" }, "BT_PUSH3", 5 },
        { 3, { "&Yes", "&No", "&Cancel" }, "BT_PUSH1", 6 },
        { 4, { "&Yes", "&No" }, "BT_PUSH2", 7 },
        { 5, { "&Retry", "&Cancel" }, "BT_PUSH1", 4 },
    };
    const short nFrames = coApp.CurrentAppFrameCount();
    for (const auto& coCase : cases) {
        EXPECT_EQ(Box(coCase.unType, Press(coCase.pszPress)), coCase.nAnswer) << coCase.unType;
        EXPECT_EQ(coShown.coLabels, coCase.coLabels) << coCase.unType;
        EXPECT_EQ(coApp.CurrentAppFrameCount(), nFrames) << "the dialog is deleted after its run";
    }
    EXPECT_TRUE(s_coBoxes.empty());
}

TEST_F(KwAppStartTest, TypeChoosesDefaultButtonAndPictureReturnAndEscapeAnswer)
{
    Start(kw25test::StandardRecords());
    const auto Return = [](KwWFrame& coDialog) { coDialog.CallDefaultPushHandler(); };
    const auto Escape = [](KwWFrame& coDialog) { coDialog.CallDefaultESCHandler(); };
    const struct {
        unsigned short unType;
        std::function<void(KwWFrame&)> fnAnswer;
        int nAnswer;
        const char* pszDefault;
        const char* pszPicture;
    } cases[] = {
        { 0x003, Return, 6, "BT_PUSH1", "BMP_MBINFO" },
        { 0x101, Return, 2, "BT_PUSH2", "BMP_MBINFO" },
        { 0x213, Return, 2, "BT_PUSH3", "BMP_MBSTOP" },
        { 0x224, Return, 6, "BT_PUSH1", "BMP_MBQUEST" },   // no third button: the first
        { 0x033, Escape, 2, "BT_PUSH1", "BMP_MBEXCLAM" },
        { 0x040, Escape, 1, "BT_PUSH1", "BMP_MBINFO" },    // OK alone answers Escape
        { 0x004, Escape, 0, "BT_PUSH1", "BMP_MBINFO" },    // Yes and No: Escape does nothing
    };
    for (const auto& coCase : cases) {
        EXPECT_EQ(Box(coCase.unType, coCase.fnAnswer), coCase.nAnswer) << coCase.unType;
        EXPECT_EQ(coShown.strDefault, coCase.pszDefault) << coCase.unType;
        EXPECT_EQ(coShown.strPicture, coCase.pszPicture) << coCase.unType;
    }
}

// The box is as large as its text needs: a line beside the picture leaves
// no empty band below it; more lines make it higher; the width keeps room
// for three buttons.
TEST_F(KwAppStartTest, TheMessageBoxIsSizedToItsText)
{
    Start(kw25test::StandardRecords());
    std::vector<KwSize> coTexts;
    short nPicture = 0;
    const auto Measure = [&](KwWFrame& coDialog) {
        coTexts.push_back(coDialog.FindChildPtr("MESSAGE")->GetSize());
        nPicture = coDialog.FindChildPtr("BMP_INFO")->GetSize().Height();
        coDialog.FindChildPtr("BT_PUSH1")->EvCommand();
    };
    Box(0x10, Measure, "One line");
    Box(0x10, Measure, "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14");
    ASSERT_EQ(coTexts.size(), 2u);
    EXPECT_EQ(coTexts[0].Height(), nPicture);
    EXPECT_GT(coTexts[1].Height(), nPicture);
    EXPECT_GE(coTexts[0].Width(), 250);
}

TEST_F(KwAppStartTest, MessageBoxDiscardsOnlyItsOwnCloseRequests)
{
    Start(kw25test::StandardRecords());
    KwWFrame* pcoOther = new KwWFrame("FW_OTHER");
    pcoOther->SysCreate(nullptr);
    pcoOther->Close(0);
    const short nFrames = coApp.CurrentAppFrameCount();
    EXPECT_EQ(Box(1, Press("BT_PUSH1")), 1);
    // The other frame's close was kept and has been delivered.
    EXPECT_EQ(coApp.CurrentAppFrameCount(), nFrames - 1);
    EXPECT_FALSE(coApp.HasAppFrame(pcoOther));
}

TEST_F(KwAppStartTest, LongAndEmptyTextsAreCutOrReplaced)
{
    Start(kw25test::StandardRecords());
    const std::string strLong(5000, 'x');
    coSys.fnInModalLoop = [&] { coShown.strText = Dialog()->FindChildPtr("MESSAGE")->GetText().operator const char*(); };
    coApp.Message(0, "Title", "%s and more", strLong.c_str());
    EXPECT_EQ(coShown.strText, std::string(1023, 'x'));
    Box(0, Press("BT_PUSH1"), "");
    EXPECT_EQ(coShown.strText, "You possibly forgot to define your messsage!");
    EXPECT_EQ(coApp.Message(0, "Title", nullptr), 1);
}

// A complaint of the reader about the dialog itself asks for a message box
// while the message box is being made.
TEST_F(KwAppStartTest, MessageRaisedWhileTheDialogLoadsTakesTheSystemBox)
{
    std::vector<kw25test::TKwtRecord> coRecords = kw25test::StandardRecords();
    std::string& strDialog = coRecords[1].strText;
    strDialog.insert(strDialog.rfind("end"), "  resource 31 class \"TNoSuchClass\" cpp absent wparam 0 lparam 0\n  end\n");
    Start(coRecords);
    EXPECT_EQ(Box(3, Press("BT_PUSH2")), 7);
    ASSERT_EQ(s_coBoxes.size(), 1u);
    EXPECT_EQ(s_coBoxes[0], "ZORVIK System-Message: Resource of class type\n\n<TNoSuchClass> could not be created!");
}

// A dialog whose first button lies inside the second: a box that shows the
// first alone used to destroy it with the second and lay out freed memory.
TEST_F(KwAppStartTest, MessageBoxWithNestedButtonsUsesNoneItDestroyed)
{
    std::vector<kw25test::TKwtRecord> coRecords = kw25test::StandardRecords();
    std::string& strDialog = coRecords[1].strText;
    const size_t nFirst = strDialog.rfind("resource", strDialog.find("\"BT_PUSH1\""));
    const size_t nFirstEnd = strDialog.find("end\n", nFirst) + 4;
    const std::string strFirst = strDialog.substr(nFirst, nFirstEnd - nFirst);
    strDialog.erase(nFirst, nFirstEnd - nFirst);
    strDialog.insert(strDialog.find("end\n", strDialog.find("\"BT_PUSH2\"")), strFirst);
    Start(coRecords);
    ASSERT_TRUE(s_coBoxes.empty()) << s_coBoxes.front();
    EXPECT_EQ(Box(1, Press("BT_PUSH1")), 1);         // both buttons shown: the dialog works
    EXPECT_EQ(coShown.coLabels, std::vector<std::string>({ "&OK", "&Cancel" }));
    EXPECT_TRUE(s_coBoxes.empty());
    EXPECT_EQ(Box(0, Press("BT_PUSH1")), 1);         // OK alone went with its parent: the system's box
    EXPECT_EQ(s_coBoxes, std::vector<std::string>({ "ZORVIK System-Message: Text" }));
    EXPECT_EQ(Dialog(), nullptr);
}

TEST_F(KwAppStartTest, ConfigurationPathsAndFileSearch)
{
    const std::string strSep(1, CrtPathSeparator());
    KwConfig& coConfig = coApp.GetConfig();
    coConfig.SetKwPath(KwConfig::PathRoot, m_dir.c_str());
    coConfig.SetKwPath(KwConfig::PathInclude, "include");
    EXPECT_EQ(std::string(coConfig.GetKwPath(KwConfig::PathInclude)), m_dir + strSep + "include");
    coConfig.SetKwPath(KwConfig::PathInclude, m_dir.c_str());
    EXPECT_EQ(std::string(coConfig.GetKwPath(KwConfig::PathInclude)), m_dir);
    coConfig.SetKwPath(KwConfig::PathInclude, "");
    EXPECT_TRUE(coConfig.GetKwPath(KwConfig::PathInclude).IsEmpty());
    EXPECT_TRUE(coConfig.GetKwPath(7).IsEmpty());
    EXPECT_STREQ(KwConfig::GetKwPathEntry(6), "template");

    // The profile: from the Windows directory, entries "." when missing.
    coSys.strWindowsDir = m_dir;
    ASSERT_EQ(KwApp::WriteProfileString("zorvik30", "system", At("zorvik30.ini").c_str(), "sys"), 1);
    ASSERT_EQ(KwApp::WriteProfileShort("zorvik30", "ReadCache", At("zorvik30.ini").c_str(), 1), 1);
    ASSERT_EQ(coConfig.Create(nullptr), 1);
    EXPECT_EQ(std::string(coConfig.GetProfile()), At("zorvik30.ini"));
    EXPECT_EQ(std::string(coConfig.GetKwPath(KwConfig::PathRoot)), ".");
    EXPECT_EQ(std::string(coConfig.GetKwPath(KwConfig::PathSystem)), "." + strSep + "sys");
    EXPECT_TRUE(coConfig.IsReadCache());
    EXPECT_EQ(KwApp::GetProfileShort("zorvik30", "ReadCache", At("zorvik30.ini").c_str(), 7), 1);
    EXPECT_EQ(KwApp::GetProfileShort("zorvik30", "missing", At("zorvik30.ini").c_str(), 7), 7);
    EXPECT_EQ(coConfig.Create("other.ini"), 0);
    EXPECT_TRUE(coConfig.GetProfile().IsEmpty());

    // The search: as given, in the path entry, in the Windows directory.
    std::filesystem::create_directories(At("lib"));
    kwtest::WriteFileBytes(At("lib") + strSep + "a.kwt", "a");
    kwtest::WriteFileBytes(At("b.kwt"), "b");
    coConfig.SetKwPath(KwConfig::PathRoot, m_dir.c_str());
    coConfig.SetKwPath(KwConfig::PathLib, "lib");
    EXPECT_EQ(std::string(coConfig.FindFile("X:\\elsewhere\\a.kwt", KwConfig::PathLib, 1)), At("lib") + strSep + "a.kwt");
    EXPECT_EQ(std::string(coConfig.FindFile(At("b.kwt").c_str(), KwConfig::PathLib, 1)), At("b.kwt"));
    EXPECT_EQ(std::string(coConfig.FindFile("b.kwt", KwConfig::PathLib, 0)), At("b.kwt"));   // Windows directory
    EXPECT_TRUE(coConfig.FindFile("c.kwt", KwConfig::PathLib, 1).IsEmpty());
    EXPECT_TRUE(coConfig.FindFile("", KwConfig::PathLib, 1).IsEmpty());
}

TEST_F(KwAppStartTest, ProgramsStartInTheirOwnDirectory)
{
    const struct {
        const char* pszCommand;
        const char* pszWorkDir;
    } cases[] = {
        { "C:\\tools\\edit.exe file.txt", "C:\\tools" },
        { "\"C:\\my tools\\edit.exe\" a;b", "C:\\my tools" },
        { "C:\\edit.exe", "C:\\" },
        { "C:edit.exe", "C:" },
        { "\\edit.exe,x", "\\" },
        { "edit.exe C:\\x\\y", "" },
    };
    for (const auto& coCase : cases)
        EXPECT_EQ(std::string(KwApp::ExecuteWorkDir(coCase.pszCommand)), coCase.pszWorkDir) << coCase.pszCommand;
    EXPECT_EQ(KwApp::Execute("C:\\tools\\edit.exe x", 5), 1);
    EXPECT_EQ(coSys.coExecuted, std::vector<std::string>({ "C:\\tools\\edit.exe x|C:\\tools|5" }));
    EXPECT_EQ(KwApp::Execute("", 4), 0);
}

TEST_F(KwAppStartTest, MinimizedFrameMayBeRestoredAndFrameListHoldsNoDeadFrame)
{
    KwWFrame* pcoMain = new KwWFrame("FW_MAIN");
    pcoMain->SysCreate(nullptr);
    EXPECT_EQ(coSys.Send(pcoMain->GetHandle(), KwMsg::QueryOpen), 1);
    // A frame disabled by a modal run that dies during the run is not
    // touched again afterwards.
    KwWFrame* pcoDoomed = new KwWFrame("FW_DOOMED");
    pcoDoomed->SysCreate(nullptr);
    KwWFrame* pcoDialog = new KwWFrame("FW_DIALOG");
    pcoDialog->SysCreate(nullptr);
    coSys.fnInModalLoop = [&] {
        EXPECT_FALSE(pcoMain->IsEnabled());
        pcoDoomed->Destroy();
        pcoDialog->Destroy();
    };
    pcoDialog->StartModal(3);
    EXPECT_TRUE(pcoMain->IsEnabled());
    EXPECT_EQ(coApp.CurrentAppFrameCount(), 1);
    coApp.StartMainWindow(pcoMain);
    pcoMain->Destroy();
    EXPECT_EQ(coApp.GetMainWindow(), nullptr);
}
