// Gandrel's copy options, chosen in the options frame with real input
// (Options, Copy options..., Alt and the hot key of each choice, Return):
// each changes what the next run does, and they survive a restart through
// the profile. A trial run (List only) changes nothing.

#include "GandrelTestSupport.h"

#include "KwCheckBox.h"
#include "KwCopyFakes.h"
#include "KwFileSelOptions.h"
#include "KwSysEdit.h"

#include <filesystem>

using kw25test::Hwnd;

namespace {

const char* const s_pszJapanese = "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.txt";   // 日本語.txt

// 100 ns units since 1601: the source's files two days apart.
const uint64_t s_ullDay = 864000000000ull;
const uint64_t s_ullEarly = 132000000000000000ull;
const uint64_t s_ullLate = s_ullEarly + 2 * s_ullDay;

void SetWritten(const std::string& strPath, uint64_t ullTicks)
{
    const int nUnits = ::MultiByteToWideChar(CP_UTF8, 0, strPath.c_str(), -1, nullptr, 0);
    std::wstring strWide(static_cast<size_t>(nUnits), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, strPath.c_str(), -1, &strWide[0], nUnits);
    const HANDLE hFile = ::CreateFileW(strWide.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hFile, INVALID_HANDLE_VALUE) << strPath;
    FILETIME coTime { static_cast<DWORD>(ullTicks), static_cast<DWORD>(ullTicks >> 32) };
    EXPECT_TRUE(::SetFileTime(hFile, nullptr, nullptr, &coTime));
    ::CloseHandle(hFile);
}

class GandrelOptionsTest : public kwtest::TGandrelTest {
protected:
    GandrelOptionsTest() : TGandrelTest("gdvo") {}

    // src\ (copied into dst\src\, which holds older and newer copies of
    // some of its files); the left tree on src, the right one on dst.
    void SetUp() override
    {
        TGandrelTest::SetUp();
        std::filesystem::create_directories(At("src"));
        std::filesystem::create_directories(At("dst\\src"));
        for (const char* pszName : { "keep.txt", "newer.txt", "older.txt", s_pszJapanese })
            kwtest::WriteFileBytes(At("src\\") + pszName, std::string("source ") + pszName);
        for (const char* pszName : { "keep.txt", "newer.txt", "older.txt" })
            kwtest::WriteFileBytes(At("dst\\src\\") + pszName, std::string("target ") + pszName);
        SetWritten(At("src\\newer.txt"), s_ullEarly);
        SetWritten(At("dst\\src\\newer.txt"), s_ullLate);
        SetWritten(At("src\\older.txt"), s_ullLate);
        SetWritten(At("dst\\src\\older.txt"), s_ullEarly);
        ASSERT_NO_FATAL_FAILURE(StartGandrel());
        ASSERT_TRUE(m_pcoRight->OpenPath(At("dst").c_str()));
        ASSERT_TRUE(kwtest::TypeText("s"));
        ASSERT_EQ(std::string(m_pcoLeft->CurrentDirectory()), At("src"));
    }

    static KwFileSelOptions* RunningOptions() { return RunningFrame<KwFileSelOptions>(); }

    // Options, Copy options... from the keyboard (the menu takes the keys
    // in its own loop); in the frame fnInside runs, then Return or Escape.
    void InOptions(const std::function<void(KwFileSelOptions&)>& fnInside, WORD wEnd = VK_RETURN)
    {
        kwtest::TModalAnswer coAnswer = kwtest::AnswerWhen(kwtest::WindowTitled("Copy options"), [&](HWND) {
            KwFileSelOptions* pcoOptions = RunningOptions();
            ASSERT_NE(pcoOptions, nullptr);
            kwtest::PumpIdle();
            fnInside(*pcoOptions);
            ASSERT_TRUE(kwtest::PressKey(wEnd));
        });
        ASSERT_TRUE(kwtest::QueueKey('O', kwtest::ModAlt));
        ASSERT_TRUE(kwtest::QueueKey('C'));
        EXPECT_TRUE(kwtest::PumpUntil([&] { return coAnswer.Answered() && !RunningOptions(); }, 10000));
        kwtest::PumpIdle();
    }
    // Alt and each hot key in the options frame, a screenshot, OK.
    void Choose(const char* pszHotKeys, const char* pszShot)
    {
        InOptions([&](KwFileSelOptions&) {
            for (const char* pch = pszHotKeys; *pch; ++pch)
                ASSERT_TRUE(kwtest::PressKey(static_cast<WORD>(*pch), kwtest::ModAlt));
            kwtest::ScreenshotDesktop(pszShot);
        });
    }
    // Files at once: the field's text replaced by what is typed, then OK.
    void ChooseWorkers(const char* pszTyped, const char* pszShot)
    {
        InOptions([&](KwFileSelOptions& coFrame) {
            KwSysEdit* pcoField = dynamic_cast<KwSysEdit*>(coFrame.FindChildPtr("ED_WORKERS"));
            ASSERT_NE(pcoField, nullptr);
            pcoField->SetFocus();
            pcoField->SelectAll();
            ASSERT_TRUE(kwtest::TypeText(pszTyped));
            kwtest::PumpIdle();
            kwtest::ScreenshotDesktop(pszShot);
        });
    }
    // F5 from the left tree: src into dst.
    TRun CopySrc(const char* pszShot) { return RunProgress([] { kwtest::PressKey(VK_F5); }, pszShot); }

    static int Has(const TRun& coRun, const std::string& strPart)
    {
        int n = 0;
        for (const std::string& strLine : coRun.m_vecLines)
            n += strLine.find(strPart) != std::string::npos;
        return n;
    }
    std::string Target(const char* pszName) const { return kwtest::ReadFileBytes(At("dst\\src\\") + pszName); }
};

} // namespace

TEST_F(GandrelOptionsTest, EachOptionChangesWhatARunDoes)
{
    // Skip: every file that exists stays; the new one arrives. From here
    // on four workers copy (letters typed into the field are refused).
    Choose("S", "skip");
    EXPECT_EQ(KwFileSelProfile::CopyOptions().m_eExisting, KwCopyOptions::SkipExisting);
    ChooseWorkers("4x", "workers");
    EXPECT_EQ(KwFileSelProfile::CopyOptions().m_nWorkers, 4);
    TRun coRun = CopySrc("skip-run");
    EXPECT_EQ(coRun.m_vecLines.at(0),
              "Options: rights: group, DACL and SACL; owner: no; existing files: skip; verify: no; files at once: 4");
    EXPECT_EQ(Has(coRun, "... skipped"), 3);
    for (const char* pszName : { "keep.txt", "newer.txt", "older.txt" })
        EXPECT_EQ(Target(pszName), std::string("target ") + pszName);
    EXPECT_EQ(Target(s_pszJapanese), std::string("source ") + s_pszJapanese);

    // Replace only when older: the newer target stays, the older goes.
    Choose("O", "older");
    coRun = CopySrc("older-run");
    EXPECT_EQ(Target("newer.txt"), "target newer.txt");
    EXPECT_EQ(Target("older.txt"), "source older.txt");

    // Verify, with the rights of one copy read back wrong through the
    // engine's seams: its line and the bar in red.
    kwtest::TRecordingSecurity coSecurity(m_dir);
    kwtest::TWatchedFileSystem coFiles(m_dir, coSecurity);
    coSecurity.m_coFaults.Add({ "Readback", "/dst/src/keep.txt" });
    KwFileSelProgress::UseSeams(&coFiles, &coSecurity);
    Choose("RV", "verify");
    coRun = CopySrc("verify-run");
    EXPECT_EQ(coRun.m_eBar, KwFileSelProgressState::BarFailed);
    int nRed = 0;
    for (size_t i = 0; i < coRun.m_vecLines.size(); ++i)
        if (coRun.m_vecColours[i] == KwFileSelProgressState::ColourFailed) {
            ++nRed;
            EXPECT_NE(coRun.m_vecLines[i].find("keep.txt ... failed !"), std::string::npos) << coRun.m_vecLines[i];
        }
    EXPECT_EQ(nRed, 1);

    // The DACL and the group with the owner: what the run asks to set.
    coSecurity.m_vecCalls.clear();
    Choose("DWV", "dacl-owner");
    coRun = CopySrc("dacl-run");
    int nSet = 0;
    for (const std::string& strCall : coSecurity.m_vecCalls)
        if (strCall.rfind("Set ", 0) == 0) {
            ++nSet;
            EXPECT_NE(strCall.find(" 7 "), std::string::npos) << strCall;
        }
    EXPECT_GE(nSet, 5) << "src and its four files";

    // No rights: nothing set, no rights lines; the owner cannot be chosen.
    coSecurity.m_vecCalls.clear();
    int nOwnerEnabled = -1;
    InOptions([&](KwFileSelOptions& coFrame) {
        ASSERT_TRUE(kwtest::PressKey('N', kwtest::ModAlt));
        nOwnerEnabled = coFrame.FindChildPtr("CB_OWNER")->IsEnabled();
        kwtest::ScreenshotDesktop("none");
    });
    EXPECT_EQ(nOwnerEnabled, 0);
    coRun = CopySrc("none-run");
    EXPECT_EQ(Has(coRun, "Assigning Rights"), 0);
    for (const std::string& strCall : coSecurity.m_vecCalls)
        EXPECT_NE(strCall.rfind("Set ", 0), 0u) << strCall;

    // List only (Alt+L in the progress window) lists and changes nothing;
    // Start (Alt+S) then copies.
    KwFileSelProgress::UseSeams(nullptr, nullptr);
    Choose("R", "replace");
    kwtest::WriteFileBytes(At("dst\\src\\keep.txt"), "changed target");
    TRun coTrial;
    coRun = RunProgress([] { kwtest::PressKey(VK_F5); }, "list-only", [&](KwFileSelProgress& coProgress) {
        ASSERT_TRUE(kwtest::PressKey('L', kwtest::ModAlt));
        ASSERT_TRUE(kwtest::PumpUntil([&] { return coProgress.State().CanStart() != 0; }, 30000));
        kwtest::PumpIdle();
        kwtest::ScreenshotDesktop("list-only-listed");
        coTrial.m_vecLines.push_back(coProgress.Line(0));
        coTrial.m_vecLines.push_back(kwtest::ReadFileBytes(At("dst\\src\\keep.txt")));
        ASSERT_TRUE(kwtest::PressKey('S', kwtest::ModAlt));
    });
    ASSERT_EQ(coTrial.m_vecLines.size(), 2u);
    EXPECT_EQ(coTrial.m_vecLines[0].rfind("List only (nothing is changed). Options: ", 0), 0u) << coTrial.m_vecLines[0];
    EXPECT_EQ(coTrial.m_vecLines[1], "changed target");
    EXPECT_EQ(coRun.m_vecLines.at(0).rfind("Options: ", 0), 0u);
    EXPECT_EQ(Target("keep.txt"), "source keep.txt");
}

TEST_F(GandrelOptionsTest, TheOptionsSurviveARestartThroughTheProfile)
{
    Choose("DWOV", "chosen");
    ChooseWorkers("0", "chosen-workers");
    CloseGandrel();
    // What the profile holds, in the program's section.
    const std::string strProfile = kwtest::ReadFileBytes(At("zorvik30.ini"));
    EXPECT_NE(strProfile.find("[" + KwFileSelProfile::Section() + "]"), std::string::npos) << strProfile;
    EXPECT_NE(strProfile.find("CopyRights=dacl"), std::string::npos) << strProfile;
    EXPECT_NE(strProfile.find("Workers=0"), std::string::npos) << strProfile;

    ASSERT_NO_FATAL_FAILURE(StartGandrel());
    ASSERT_TRUE(m_pcoRight->OpenPath(At("dst").c_str()));
    std::vector<std::string> vecChecked;
    std::string strWorkers;
    InOptions([&](KwFileSelOptions& coFrame) {
        strWorkers = static_cast<const char*>(coFrame.FindChildPtr("ED_WORKERS")->GetText());
        for (const char* pszName : { "RB_RIGHTS_ALL", "RB_RIGHTS_DACL", "RB_RIGHTS_NONE", "CB_OWNER", "RB_EXISTING_REPLACE",
                                     "RB_EXISTING_SKIP", "RB_EXISTING_OLDER", "CB_VERIFY" })
            if (const KwWChild* pcoBox = dynamic_cast<const KwWChild*>(coFrame.FindChildPtr(pszName)); pcoBox && pcoBox->IsChecked())
                vecChecked.push_back(pszName);
        kwtest::ScreenshotDesktop("after-restart");
    }, VK_ESCAPE);
    EXPECT_EQ(vecChecked, (std::vector<std::string> { "RB_RIGHTS_DACL", "CB_OWNER", "RB_EXISTING_OLDER", "CB_VERIFY" }));
    EXPECT_EQ(strWorkers, "0");
    ASSERT_TRUE(kwtest::TypeText("s"));
    const TRun coRun = CopySrc("after-restart-run");
    EXPECT_EQ(coRun.m_vecLines.at(0),
              "Options: rights: DACL and group; owner: yes; existing files: replace only when older; verify: bytes and rights; "
              "files at once: " + std::to_string(KwCopyOptions::WorkersFor(0)) + " (one per processor)");
}
