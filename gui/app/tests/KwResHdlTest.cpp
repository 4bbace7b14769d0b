#include "KwApp.h"
#include "KwDib.h"
#include "KwFakeSystem.h"
#include "KwFileHdl.h"
#include "KwFontTable.h"
#include "KwKwtText.h"
#include "KwMessageLog.h"
#include "KwMarkerPool.h"
#include "KwFileBytes.h"
#include "KwScratchTest.h"
#include "KwWChild.h"
#include "TCrt.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using kw25test::TKwtRecord;
using kw25test::WindowRecord;

namespace {

// The project information naming base files and libraries.
TKwtRecord Info(const std::vector<std::string>& coIncludes, const std::vector<std::string>& coLibraries = {})
{
    const auto Strings = [](unsigned nId, const std::vector<std::string>& coNames) {
        std::string strVar;
        if (coNames.empty())
            return strVar;
        strVar = "  string " + std::to_string(nId) + (coNames.size() > 1 ? " [" + std::to_string(coNames.size()) + "]" : "");
        for (const std::string& strName : coNames)
            strVar += " \"" + strName + "\"";
        return strVar + "\n";
    };
    return { "__KwProjectInfo", "KwFileHdlInfo",
             "resource 31 class \"KwFileHdlInfo\" cpp absent wparam 0 lparam 0\n  string 21 \"__KwProjectInfo\"\n"
                 + Strings(29, coIncludes) + Strings(9959, coLibraries) + "end\n" };
}

TKwtRecord Child(const std::string& strId, const std::string& strText)
{
    return { strId, "KwWChild", WindowRecord("KwWChild", strId, "  string 43 \"" + strText + "\"\n") };
}

class KwResHdlTest : public kwtest::TScratchTest {
protected:
    KwResHdlTest() : TScratchTest("KwResHdlTest") {}

    void SetUp() override
    {
        TScratchTest::SetUp();
        coApp.GetConfig().SetKwPath(KwConfig::PathRoot, m_dir.c_str());
    }

    // Writes the records as a file of the scratch directory; its path.
    std::string File(const std::string& strName, const std::vector<TKwtRecord>& coRecords)
    {
        const std::string strPath = At(strName);
        EXPECT_EQ(kw25test::WriteKwt(strPath, kw25test::KwtText(coRecords)), "");
        return strPath;
    }
    unsigned short Install(const std::string& strPath)
    {
        return coApp.GetResHdl().InstallResourceFile(strPath.c_str(), nullptr, 0, nullptr);
    }

    KwFakeSystem coSys;
    KwApp coApp { "KwResHdlTest", nullptr, 0 };
    KwResHdl& coResHdl { coApp.GetResHdl() };
    kw25test::TMessageLog coMessages { true };
};

} // namespace

TEST_F(KwResHdlTest, AFileInstalledTwiceIsOneHandlerCountedTwice)
{
    const std::string strPath = File("app.kwt", { Info({}), Child("CW_A", "a") });
    ASSERT_EQ(Install(strPath), 1);
    ASSERT_EQ(Install(strPath), 1);
    ASSERT_EQ(coResHdl.GetFileHdlCount(), 1);
    EXPECT_EQ(coResHdl.GetFileHdl("app")->GetRefCount(), 2);
    EXPECT_EQ(coResHdl.GetFileHdl("APP.KWT"), coResHdl.GetFileHdl("app"));
    EXPECT_EQ(coResHdl.UnInstallResourceFile("app"), 1);
    EXPECT_EQ(coResHdl.GetFileHdlCount(), 1);
    EXPECT_EQ(coResHdl.UnInstallResourceFile("app.kwt"), 1);
    EXPECT_EQ(coResHdl.GetFileHdlCount(), 0);
    EXPECT_EQ(coResHdl.UnInstallResourceFile("app"), 0);
    EXPECT_EQ(coResHdl.InstallResourceFile("", nullptr, 0, nullptr), TFileHdl::ErrOpen);
    EXPECT_EQ(Install(At("none.kwt")), TFileHdl::ErrNotExist);
    EXPECT_TRUE(coMessages.Shown().empty());
}

TEST_F(KwResHdlTest, BaseFilesAreInstalledFirstAndWinForIdsBothHold)
{
    File("base.kwt", { Info({}), Child("CW_SHARED", "from base"), Child("CW_BASE", "base") });
    const std::string strApp = File("app.kwt", { Info({ "base.kwt" }), Child("CW_SHARED", "from app") });
    ASSERT_EQ(Install(strApp), 1);
    ASSERT_EQ(coResHdl.GetFileHdlCount(), 2);
    EXPECT_EQ(coResHdl.GetFileHdlFromIndex(0)->GetProject(), "base");
    KwWnd* pcoShared = coResHdl.LoadWindow("CW_SHARED", nullptr, nullptr);
    ASSERT_NE(pcoShared, nullptr);
    EXPECT_EQ(pcoShared->GetText(), "from base");
    pcoShared->Destroy();
    pcoShared = coResHdl.LoadWindow("CW_SHARED", nullptr, "app");
    ASSERT_NE(pcoShared, nullptr);
    EXPECT_EQ(pcoShared->GetText(), "from app");
    pcoShared->Destroy();
    // Uninstalling the application's file takes its base file along.
    EXPECT_EQ(coResHdl.UnInstallResourceFile("app"), 1);
    EXPECT_EQ(coResHdl.GetFileHdlCount(), 0);
}

TEST_F(KwResHdlTest, MissingBaseFileOrLibraryRefusesTheFileWithOneMessage)
{
    const std::string strApp = File("app.kwt", { Info({ "missing.kwt" }) });
    EXPECT_EQ(Install(strApp), 0);
    EXPECT_EQ(coResHdl.GetFileHdlCount(), 0);
    ASSERT_EQ(coMessages.Shown().size(), 1u);
    EXPECT_EQ(coMessages.Shown()[0], "ZORVIK System-Message: Base-Resource File\n\n<missing.kwt>\n\ndefined in <" + strApp + "> not found!");

    coMessages.Shown().clear();
    const std::string strLib = File("lib.kwt", { Info({}, { "qa32nosuchlib" }) });
    EXPECT_EQ(Install(strLib), 0);
    EXPECT_EQ(coResHdl.GetFileHdlCount(), 0);
    EXPECT_EQ(coMessages.Shown(), std::vector<std::string>({ "ZORVIK System-Message: Load of DLL\n\n<qa32nosuchlib>\n\nfailed!" }));
}

// A file joined the installed ones only at its end: a file naming itself
// or a ring of files installed each other without end.
TEST_F(KwResHdlTest, IncludeCyclesAreRefusedInsteadOfRecursing)
{
    const struct {
        const char* pszCase;
        std::vector<std::pair<std::string, std::string>> coFiles;   // name, its base file
    } cases[] = {
        { "itself", { { "self.kwt", "self.kwt" } } },
        { "a ring of two", { { "a.kwt", "b.kwt" }, { "b.kwt", "a.kwt" } } },
        { "a ring of three", { { "a.kwt", "b.kwt" }, { "b.kwt", "c.kwt" }, { "c.kwt", "a.kwt" } } },
    };
    for (const auto& coCase : cases) {
        coMessages.Shown().clear();
        for (const auto& coFile : coCase.coFiles)
            File(coFile.first, { Info({ coFile.second }) });
        EXPECT_EQ(Install(At(coCase.coFiles[0].first)), 0) << coCase.pszCase;
        EXPECT_EQ(coResHdl.GetFileHdlCount(), 0) << coCase.pszCase;
        ASSERT_FALSE(coMessages.Shown().empty()) << coCase.pszCase;
        EXPECT_NE(coMessages.Shown()[0].find("includes itself (include cycle)!"), std::string::npos) << coMessages.Shown()[0];
    }
}

TEST_F(KwResHdlTest, LoadingAnswersOnlyObjectsOfTheAskedFamily)
{
    const std::string strDib = "resource 31 class \"KwDib\" cpp absent wparam 0 lparam 0\n  string 21 \"BMP_NONE\"\nend\n";
    ASSERT_EQ(Install(File("app.kwt", { Info({}), Child("CW_A", "a"), { "BMP_NONE", "KwDib", strDib } })), 1);
    EXPECT_EQ(coResHdl.LoadWindow("BMP_NONE", nullptr, nullptr), nullptr);
    EXPECT_EQ(coResHdl.LoadDib("CW_A", nullptr), nullptr);
    EXPECT_EQ(coResHdl.LoadWindow("", nullptr, nullptr), nullptr);
    EXPECT_EQ(coResHdl.LoadWindow("CW_MISSING", nullptr, nullptr), nullptr);
    EXPECT_EQ(coResHdl.LoadCustomWindow("CW_A", nullptr, nullptr, nullptr), 0);
    KwDib* pcoDib = coResHdl.LoadDib("BMP_NONE", nullptr);
    ASSERT_NE(pcoDib, nullptr);   // a record without picture: an empty picture, no complaint
    EXPECT_FALSE(pcoDib->IsValid());
    delete pcoDib;
    EXPECT_TRUE(coMessages.Shown().empty());
}

TEST_F(KwResHdlTest, AFilesFontTableAndMarkerPoolsAreTakenOver)
{
    const std::string strFonts = "resource 31 class \"KwFontTable\" cpp absent wparam 0 lparam 0\n"
                                 "  string 21 \"DefaultFontTable\"\n"
                                 "  resource 31 class \"KwFont\" cpp absent wparam 0 lparam 0\n"
                                 "    string 21 \"FONT_TITLE\"\n    string 5050 \"Arial\"\n    short 5051 -12\n"
                                 "    short 5055 700\n  end\nend\n";
    const std::string strPool = "resource 31 class \"KwMarkerPool\" cpp absent wparam 0 lparam 0\n"
                                "  string 21 \"MP_TEST\"\n  string 31 absent\n  long 32 16711935\n  short 33 1\nend\n";
    ASSERT_EQ(Install(File("app.kwt", { Info({}), { "DefaultFontTable", "KwFontTable", strFonts },
                                        { "MP_TEST", "KwMarkerPool", strPool } })),
              1);
    EXPECT_STREQ(coResHdl.GetFont(static_cast<short>(0)).GetName(), "Arial");
    EXPECT_TRUE(coResHdl.GetFont(static_cast<short>(0)).GetBold());
    EXPECT_EQ(coResHdl.GetFontIndex("font_title"), 0);
    // The application's font 1 came from a table that is gone now.
    EXPECT_STREQ(coResHdl.GetFont(static_cast<short>(1)).GetName(), coApp.GetDefaultFont().GetName());
    EXPECT_TRUE(coResHdl.GetActFontTable()->IsAutoReCreate());
    KwMarkerPool* pcoPool = coResHdl.MarkerPoolFromId("MP_TEST");
    ASSERT_NE(pcoPool, nullptr);
    EXPECT_EQ(pcoPool->GetCount(), 1);
    EXPECT_EQ(pcoPool->GetTransparentColor(), 0xFF00FFu);
    EXPECT_TRUE(pcoPool->IsTransparentColorUsed());
    EXPECT_EQ(KwResHdl::GetMarkerPoolId(4), "MP_RADIOBOX_CIRCLE2D");
    EXPECT_TRUE(KwResHdl::GetMarkerPoolId(6).IsEmpty());
}

TEST_F(KwResHdlTest, ProjectInformationIsSavedWithEveryFileAndReadBack)
{
    const std::string strPath = At("info.kwt");
    {
        KwFileHdl coHdl;
        ASSERT_EQ(coHdl.OpenWrite("tester", strPath.c_str(), nullptr, nullptr), TFileHdl::Success);
        KwFileHdlInfo& coInfo = coHdl.GetFileHdlInfo();
        coInfo.SetDescription("A test");
        coInfo.AddIncludeProject("base.kwt");
        coInfo.AddIncludeProject("BASE.KWT");
        coInfo.AddIncludeLib("????kctl");
        coInfo.AddCustomClass("TZeta", "second");
        coInfo.AddCustomClass("TAlpha", "first");
        coInfo.SetDefFontTable("FT_MAIN");
        coInfo.SetMainParams(3);
        ASSERT_EQ(coHdl.Save(), TFileHdl::Success);
    }
    KwFileHdl coReader;
    ASSERT_EQ(coReader.OpenRead(strPath.c_str(), 0, nullptr), TFileHdl::Success);
    const KwFileHdlInfo& coInfo = coReader.GetFileHdlInfo();
    EXPECT_EQ(coReader.GetVersion(), "V3.00.17");
    EXPECT_EQ(coInfo.GetDescription(), "A test");
    ASSERT_EQ(coInfo.GetIncludeProjects().size(), 1u);
    EXPECT_EQ(coInfo.GetIncludeLibs().size(), 1u);
    ASSERT_EQ(coInfo.GetCustomClasses().size(), 2u);
    EXPECT_EQ(coInfo.GetCustomClasses()[0].first, "TAlpha");
    EXPECT_EQ(coInfo.GetCustomClasses()[1].second, "second");
    EXPECT_EQ(coInfo.GetDefFontTable(), "FT_MAIN");
    EXPECT_EQ(coInfo.GetMainParams(), 3);
}

TEST_F(KwResHdlTest, DefaultResourceIdsComeFromTheFileName)
{
    EXPECT_EQ(KwFileHdl::MakeDefaultResId("C:\\PIC\\LOGO.BMP", nullptr), "BMP_LOGO");
    EXPECT_EQ(KwFileHdl::MakeDefaultResId("C:\\PIC\\LOGO.BMP", "DIB"), "DIB_LOGO");
    EXPECT_EQ(KwFileHdl::MakeDefaultResId("logo.dib", nullptr), "DIB_LOGO");
    EXPECT_EQ(KwFileHdl::MakeDefaultResId("d:logo", "bmp"), "BMP_LOGO");
    EXPECT_EQ(KwFileHdl::MakeDefaultResId("logo", nullptr), "LOGO");
    EXPECT_EQ(KwFileHdl::GetImportError(2, "x.bmp", nullptr), "File <x.bmp> not found!");
    EXPECT_EQ(KwFileHdl::GetImportError(4, nullptr, nullptr), "The given resource-id already exists!");
    EXPECT_EQ(KwFileHdl::GetImportError(9, nullptr, nullptr), "Undefined error code!");
}

// Damaged files: a file with a frame, its children and a stored link, a
// picture and a font table, cut at every length and with every byte
// flipped in turn, each variant written to the corpus directory and
// installed, every entry loaded, and uninstalled. None may crash, hang or
// read out of bounds (the native build runs under the sanitizers); each
// complains at most once per record, and nothing stays installed.
TEST_F(KwResHdlTest, DamagedFilesAreRefusedOrReadWithoutHarm)
{
    const std::string strFrame = WindowRecord(
        "KwWFrame", "FW_MAIN", "  string 43 \"Main\"\n",
        "  " + WindowRecord("KwWChild", "CW_A", "  string 22 \"KW_LINK_COMMAND@KwApp::Nothing@FW_MAIN\"\n  string 43 \"a\"\n"));
    const std::string strDib = kw25test::DibRecord("BMP_A", 3, 2, { 0x000000, 0xFFFFFF }, [](int x, int y) { return (x + y) & 1; });
    const std::vector<TKwtRecord> coRecords = { Info({}), { "FW_MAIN", "KwWFrame", strFrame }, { "BMP_A", "KwDib", strDib } };
    const std::string strGood = kwtest::ReadFileBytes(File("good.kwt", coRecords));
    ASSERT_GT(strGood.size(), 200u);
    const std::string strCorpus = At("corpus");
    std::filesystem::create_directories(strCorpus);

    std::vector<std::string> coVariants;
    for (size_t nLength = 0; nLength < strGood.size(); ++nLength)
        coVariants.push_back(strGood.substr(0, nLength));
    for (size_t nAt = 0; nAt < strGood.size(); ++nAt) {
        std::string strFlipped = strGood;
        strFlipped[nAt] = static_cast<char>(strFlipped[nAt] ^ 0xFF);
        coVariants.push_back(strFlipped);
    }
    size_t nInstalled = 0;
    for (size_t i = 0; i < coVariants.size(); ++i) {
        const std::string strPath = strCorpus + CrtPathSeparator() + "variant" + std::to_string(i) + ".kwt";
        kwtest::WriteFileBytes(strPath, coVariants[i]);
        coMessages.Shown().clear();
        if (Install(strPath) == TFileHdl::Success) {
            ++nInstalled;
            delete coResHdl.LoadWindow("FW_MAIN", nullptr, nullptr);
            delete coResHdl.LoadDib("BMP_A", nullptr);
            const KwFileHdl* pcoHdl = coResHdl.GetFileHdlFromIndex(0);
            ASSERT_NE(pcoHdl, nullptr);
            EXPECT_NE(coResHdl.UnInstallResourceFile(strPath.c_str()), 0)
                << strPath << " installed as " << static_cast<const char*>(pcoHdl->GetResFile()) << ", project "
                << static_cast<const char*>(pcoHdl->GetProject());
        }
        EXPECT_LE(coMessages.Shown().size(), coRecords.size() + 1) << strPath;
        ASSERT_EQ(coResHdl.GetFileHdlCount(), 0) << strPath;
    }
    // Flipped bytes in the records' data leave the header intact: many
    // variants install, and the good file still does.
    EXPECT_GT(nInstalled, strGood.size() / 4);
    EXPECT_EQ(Install(At("good.kwt")), TFileHdl::Success);
}
