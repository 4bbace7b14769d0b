#include "KwCheckCommand.h"
#include "KwCheckTestFiles.h"
#include "KwDib.h"
#include "KwFileBytes.h"
#include "KwFileHdl.h"
#include "KwResFileCheck.h"
#include "KwScratchTest.h"
#include "TOpSystem.h"
#include "KwWFrame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace kwchecktest;

// The program's own frame classes, as an application registers them.
class TCheckFrame : public KwWFrame {
    KW_DYNAMIC_CLASS(TCheckFrame, KwWFrame)
public:
    TCheckFrame() = default;
};
KW_IMPLEMENT_DYNAMIC_CLASS(TCheckFrame, KwWFrame, "test")

class TOtherFrame : public KwWFrame {
    KW_DYNAMIC_CLASS(TOtherFrame, KwWFrame)
public:
    TOtherFrame() = default;
};
KW_IMPLEMENT_DYNAMIC_CLASS(TOtherFrame, KwWFrame, "test")

namespace {

// A frame with a button whose command goes to the frame, pictures of both
// kinds and one read from its file.
std::vector<TRecord> CleanRecords()
{
    return {
        { "FW_MAIN", "TCheckFrame",
          "      resource 31 class \"KwWChild\" cpp absent wparam 0 lparam 0\n"
          "        string 21 \"CW_BUTTON\"\n"
          "        string 22 \"KW_LINK_COMMAND@TCheckFrame::LnkOk@FW_MAIN\"\n"
          "      end\n" },
        { "BMP_DIB", "KwDib",
          "      long 6005 40\n      long 6006 2\n      long 6007 2\n      short 6008 1\n      short 6009 1\n"
          "      long 6010 0\n      long 6011 8\n      long 6014 2\n      long 6016 0\n      long 6016 16777215\n"
          "      char 6017 [8] 128 0 0 0 64 0 0 0\n" },
        { "BMP_DDB", "KwBitmap",
          "      short 1020 0\n      short 1021 16\n      short 1022 2\n      short 1023 2\n      char 1024 1\n"
          "      char 1025 1\n      char 1026 [4] 1 2 3 4\n" },
        { "BMP_FILE", "KwDib", "      string 6001 \"pic.bmp\"\n" },
    };
}

class KwResFileCheckTest : public kwtest::TScratchTest {
protected:
    KwResFileCheckTest() : TScratchTest("kwtcheck") {}

    void SetUp() override
    {
        TScratchTest::SetUp();
        WriteBytes(At("pic.bmp"), BitmapFile());
        coTables.AddLink("FW_MAIN", "TCheckFrame::LnkOk");
    }

    // The findings of a file made of the text, as "path: text" lines.
    std::vector<std::string> Findings(const std::string& strText, const char* pszName = "app.kwt")
    {
        WriteKwt(At(pszName), strText);
        KwResFileCheck coCheck;
        coCheck.AddIncludeDirectory(m_dir.c_str());
        coCheck.AddDescription(coTables);
        EXPECT_EQ(coCheck.Check(At(pszName).c_str()), 1) << coCheck.GetError();
        // Lines without the scratch directory
        std::vector<std::string> vecLines;
        const std::string strDir = At("");
        for (const KwResFileCheck::TFinding& coFinding : coCheck.GetFindings()) {
            std::string strLine = coFinding.Line();
            for (size_t n; (n = strLine.find(strDir)) != std::string::npos;)
                strLine.erase(n, strDir.size());
            vecLines.push_back(strLine);
        }
        return vecLines;
    }

    KwProgramDescription coTables;
};

std::string Replaced(std::string str, const std::string& strFrom, const std::string& strTo)
{
    const size_t n = str.find(strFrom);
    EXPECT_NE(n, std::string::npos) << strFrom;
    return n == std::string::npos ? str : str.replace(n, strFrom.size(), strTo);
}

} // namespace

TEST_F(KwResFileCheckTest, CleanFileHasNoFindings)
{
    EXPECT_EQ(Findings(KwtText(CleanRecords())), std::vector<std::string>());
}

TEST_F(KwResFileCheckTest, EachPlantedFaultIsOneFindingWithItsResourcePath)
{
    const struct {
        const char* pszFrom;
        const char* pszTo;
        const char* pszFinding;   // the first finding
        size_t nFindings { 1 };
    } aCases[] = {
        { "class \"KwWChild\"", "class \"KwNoSuchChild\"", "app.kwt: FW_MAIN/CW_BUTTON: class \"KwNoSuchChild\" is not registered" },
        { "class \"KwWChild\"", "class \"TFileHdl\"", "app.kwt: FW_MAIN/CW_BUTTON: class \"TFileHdl\" is no resource class", 2 },
        { "class \"KwWChild\"", "class absent", "app.kwt: FW_MAIN/#1: the record names no class" },
        { "@TCheckFrame::LnkOk@", "@@", "FW_MAIN/CW_BUTTON: link \"KW_LINK_COMMAND@@FW_MAIN\": not event@handler@view" },
        { "KW_LINK_COMMAND@", "KW_LINK_COMAND@", "\"KW_LINK_COMAND\" is no event of KwWChild" },
        { "@TCheckFrame::LnkOk@", "@LnkOk@", "the handler \"LnkOk\" names no class" },
        { "LnkOk@FW_MAIN", "LnkOk@FW_GONE", "no window \"FW_GONE\" in the installed files", 2 },
        { "TCheckFrame::LnkOk", "TCheckFrame::LnkGone", "no member link table lists FW_MAIN with TCheckFrame::LnkGone" },
        { "long 6011 8", "long 6011 4", "app.kwt: BMP_DIB: the picture does not fit its data: image size 4 bytes, but 2 x 2 pixels" },
        { "long 6016 0\n", "", "BMP_DIB: the picture does not fit its data: 1 colour-table entries, but the header asks for 2" },
        { "char 6017 [8] 128 0 0 0 64 0 0 0", "char 6017 [4] 128 0 0 0", "bits of 4 bytes, but the image size is 8 bytes" },
        { "short 1023 2", "short 1023 3", "app.kwt: BMP_DDB: the picture does not fit its data: row size 3 bytes" },
        { "char 1026 [4] 1 2 3 4", "char 1026 [3] 1 2 3", "bits of 3 bytes, but 2 rows of 2 bytes take 4 bytes" },
        { "\"pic.bmp\"", "\"gone.bmp\"", "app.kwt: BMP_FILE: picture file \"gone.bmp\" is not found" },
        { "\"pic.bmp\"", "\"app.kwt\"", "picture file \"app.kwt\" is no bitmap file of the accepted kinds" },
        { "      end\n    end\nend\n", "      unread 2 at auto 0b 00\nend\n", "app.kwt: FW_MAIN: the record cannot be read" },
    };
    const std::string strClean = KwtText(CleanRecords());
    for (const auto& coCase : aCases) {
        const std::vector<std::string> vecFindings = Findings(Replaced(strClean, coCase.pszFrom, coCase.pszTo));
        ASSERT_FALSE(vecFindings.empty()) << coCase.pszFinding;
        EXPECT_NE(vecFindings[0].find(coCase.pszFinding), std::string::npos) << vecFindings[0];
        EXPECT_EQ(vecFindings.size(), coCase.nFindings) << coCase.pszFinding << "\n" << vecFindings.back();
    }
}

// kwtcheck and the picture reader count the colours of a record alike:
// what one takes, the other does (an array used to count once in kwtcheck
// and in full in the reader).
TEST_F(KwResFileCheckTest, ColoursAreCountedAsThePictureReaderTakesThem)
{
    const struct {
        const char* pszColours;
        int nValid;
    } aCases[] = {
        { "long 6016 0\n      long 6016 16777215\n", 1 },
        { "long 6016 [2] 0 16777215\n", 1 },
        { "long 6016 [3] 0 16777215 255\n", 0 },
        { "short 6016 [2] 0 255\n", 0 },
    };
    // The reader reports a picture that does not fit: taken, not shown.
    const TOpSystem::MessageHandler pfnOld = TOpSystem::SetMessageHandler([](const char*, const char*) {});
    for (const auto& coCase : aCases) {
        const std::string strText = Replaced(KwtText(CleanRecords()), "long 6016 0\n      long 6016 16777215\n", coCase.pszColours);
        const std::vector<std::string> vecFindings = Findings(strText);
        EXPECT_EQ(vecFindings.empty(), coCase.nValid != 0) << coCase.pszColours << (vecFindings.empty() ? "" : vecFindings[0]);
        KwFileHdl coHdl;
        ASSERT_EQ(coHdl.OpenRead(At("app.kwt").c_str(), 0, nullptr), TFileHdl::Success);
        KwDib coDib("", "BMP_DIB", 0);
        coHdl.LoadCustomDib("BMP_DIB", &coDib);
        EXPECT_EQ(coDib.IsValid(), coCase.nValid) << coCase.pszColours;
    }
    TOpSystem::SetMessageHandler(pfnOld);
}

// A handler of another class than its view object's is not bound; a
// handler of a base class is.
TEST_F(KwResFileCheckTest, LinkBindsOnlyToAViewOfTheHandlersClassOrADerivedOne)
{
    coTables.AddLink("FW_MAIN", "TOtherFrame::LnkOk");
    coTables.AddLink("FW_MAIN", "KwWFrame::LnkClose");
    const std::string strClean = KwtText(CleanRecords());
    EXPECT_EQ(Findings(Replaced(strClean, "TCheckFrame::LnkOk", "TOtherFrame::LnkOk")),
              std::vector<std::string>({ "app.kwt: FW_MAIN/CW_BUTTON: link \"KW_LINK_COMMAND@TOtherFrame::LnkOk@FW_MAIN\": "
                                         "FW_MAIN is a TCheckFrame, not a TOtherFrame; the link is not bound" }));
    EXPECT_EQ(Findings(Replaced(strClean, "TCheckFrame::LnkOk", "KwWFrame::LnkClose")), std::vector<std::string>());
    // Listed only for another target: the finding says where.
    const std::vector<std::string> vecElsewhere = Findings(Replaced(strClean, "LnkOk@FW_MAIN", "LnkOk@FW_SECOND"));
    ASSERT_EQ(vecElsewhere.size(), 2u);
    EXPECT_NE(vecElsewhere[0].find("no window \"FW_SECOND\""), std::string::npos) << vecElsewhere[0];
    EXPECT_NE(vecElsewhere[1].find("no member link table lists FW_SECOND with TCheckFrame::LnkOk (only FW_MAIN)"),
              std::string::npos) << vecElsewhere[1];
}

TEST_F(KwResFileCheckTest, IncludeFilesAreInstalledBaseFirstOnceAndCyclesAreReported)
{
    // app includes base and shared; base includes shared and app (a cycle);
    // shared includes itself; a missing file and a library are named too.
    WriteKwt(At("base.kwt"), KwtText({ ProjectInfo({ "shared.kwt", "APP.KWT" }, {}), Frame("FW_BASE", "KwWFrame") }));
    WriteKwt(At("shared.kwt"), KwtText({ ProjectInfo({ "shared.kwt" }, {}), Frame("FW_MAIN", "KwWFrame") }));
    std::vector<TRecord> vecApp = CleanRecords();
    vecApp.push_back(ProjectInfo({ "base.kwt", "shared.kwt", "missing.kwt" }, { "qa32nolib" }));
    EXPECT_EQ(Findings(KwtText(vecApp)), std::vector<std::string>({
        "shared.kwt: __KwProjectInfo: include cycle: shared.kwt -> shared.kwt",
        "base.kwt: __KwProjectInfo: include cycle: app.kwt -> base.kwt -> APP.KWT",
        "app.kwt: __KwProjectInfo: include file \"missing.kwt\" is not found",
        "app.kwt: __KwProjectInfo: include library \"qa32nolib\" cannot be loaded",
        // shared.kwt is installed first, so its FW_MAIN is the one the program finds.
        "app.kwt: FW_MAIN: hidden by the record of the same id in shared.kwt, which is installed first",
    }));
}

TEST_F(KwResFileCheckTest, CommandAnswersExitCodesAndOneLinePerFinding)
{
    WriteKwt(At("app.kwt"), KwtText(CleanRecords()));
    WriteKwt(At("broken.kwt"), Replaced(KwtText(CleanRecords()), "class \"KwWChild\"", "class \"KwNoSuchChild\""));
    WriteBytes(At("links.txt"), "# the program's tables\nlink FW_MAIN TCheckFrame::LnkOk\n");
    WriteBytes(At("bad.txt"), "link FW_MAIN\n");
    const auto Run = [&](std::vector<std::string> vecArgs, std::string& strOut) {
        std::vector<const char*> vecArgv { "kwtcheck" };
        for (const std::string& str : vecArgs)
            vecArgv.push_back(str.c_str());
        std::FILE* pOut = std::tmpfile();
        std::FILE* pErr = std::tmpfile();
        const int nExit = KwCheckCommand(static_cast<int>(vecArgv.size()), vecArgv.data(), pOut, pErr);
        strOut.clear();
        std::rewind(pOut);
        for (int ch; (ch = std::fgetc(pOut)) != EOF;)
            strOut += static_cast<char>(ch);
        std::fclose(pOut);
        std::fclose(pErr);
        return nExit;
    };
    std::string strOut;
    EXPECT_EQ(Run({ "-I", m_dir, "-l", At("links.txt"), At("app.kwt") }, strOut), KwCheckExitClean);
    EXPECT_EQ(strOut, "");
    EXPECT_EQ(Run({ "-q", "-I", m_dir, At("broken.kwt") }, strOut), KwCheckExitFindings);
    EXPECT_EQ(strOut, At("broken.kwt") + ": FW_MAIN/CW_BUTTON: class \"KwNoSuchChild\" is not registered\n");
    EXPECT_EQ(Run({ At("none.kwt") }, strOut), KwCheckExitUnreadable);
    EXPECT_EQ(Run({ "-l", At("none.txt"), At("app.kwt") }, strOut), KwCheckExitUnreadable);
    EXPECT_EQ(Run({ "-l", At("bad.txt"), At("app.kwt") }, strOut), KwCheckExitUnreadable);
    EXPECT_EQ(Run({ "-m", At("qa32none.dll"), At("app.kwt") }, strOut), KwCheckExitUnreadable);
    EXPECT_EQ(Run({}, strOut), KwCheckExitUsage);
    EXPECT_EQ(Run({ "-x", At("app.kwt") }, strOut), KwCheckExitUsage);
    EXPECT_EQ(Run({ At("app.kwt"), At("broken.kwt") }, strOut), KwCheckExitUsage);
    EXPECT_EQ(Run({ At("app.kwt"), "-I" }, strOut), KwCheckExitUsage);
}

// The program describes itself: its own frame class and its declared table
// count, although this process knows neither.
TEST_F(KwResFileCheckTest, ProgramModuleIsRunToDescribeItsClassesAndTables)
{
    const std::string strText = KwtText({ Frame("FW_MAIN", "TDescribedFrame"),
                                          { "FW_DIALOG", "KwWFrame",
                                            "      string 22 \"KW_LINK_CLOSE@TDescribedFrame::LnkOk@FW_MAIN\"\n" } });
    WriteKwt(At("app.kwt"), strText);
    WriteKwt(At("wrong.kwt"), Replaced(strText, "LnkOk", "LnkGone"));
    const std::string strProgram = std::string(static_cast<const char*>(CurrentOS().GetCurrentDirectory()))
        + CrtPathSeparator() + KW_DESCRIBED_PROGRAM;
    const auto Run = [&](const std::string& strFile, std::string& strOut) {
        const char* const apszArgv[] = { "kwtcheck", "-q", "-m", strProgram.c_str(), strFile.c_str() };
        std::FILE* pOut = std::tmpfile();
        const int nExit = KwCheckCommand(5, apszArgv, pOut, pOut);
        std::rewind(pOut);
        strOut.clear();
        for (int ch; (ch = std::fgetc(pOut)) != EOF;)
            strOut += static_cast<char>(ch);
        std::fclose(pOut);
        return nExit;
    };
    std::string strOut;
    EXPECT_EQ(Run(At("app.kwt"), strOut), KwCheckExitClean) << strOut;
    EXPECT_EQ(Run(At("wrong.kwt"), strOut), KwCheckExitFindings);
    EXPECT_EQ(strOut, At("wrong.kwt") + ": FW_DIALOG: link \"KW_LINK_CLOSE@TDescribedFrame::LnkGone@FW_MAIN\": "
                          "no member link table lists FW_MAIN with TDescribedFrame::LnkGone\n");
}

// The standard file is clean for a program that registers the controls it
// names; faults planted in copies of it, each an edit that keeps every
// length, are found one by one.
TEST_F(KwResFileCheckTest, FaultsPlantedInCopiesOfTheStandardFileAreFound)
{
    std::string strText;
    ASSERT_TRUE(kwtest::ReadWholeFile(KW_STANDARD_TEXT, strText));
    // The push button and the static text come with the control library.
    coTables.AddClass("KwPushButton", "KwWChild");
    coTables.AddClass("KwStatic", "KwWChild");
    const auto Planted = [&](const char* pszRecord, const char* pszFrom, const char* pszTo) {
        const size_t nRecord = strText.find(std::string("record \"") + pszRecord + "\"");
        const size_t nAt = strText.find(pszFrom, nRecord);
        EXPECT_TRUE(nRecord != std::string::npos && nAt != std::string::npos) << pszRecord << " " << pszFrom;
        std::string strCopy = strText;
        return nAt == std::string::npos ? strCopy : strCopy.replace(nAt, std::strlen(pszFrom), pszTo);
    };
    const struct {
        const char* pszRecord;
        const char* pszFrom;
        const char* pszTo;
        const char* pszFinding;
    } aCases[] = {
        { "DLG_GER_MESSAGE", "class \"KwPushButton\"", "class \"KwPushBotton\"",
          "zorvik30.kwt: DLG_GER_MESSAGE/BT_PUSH1: class \"KwPushBotton\" is not registered" },
        { "BMP_MBSTOP", "long 6011 512", "long 6011 511",
          "zorvik30.kwt: BMP_MBSTOP: the picture does not fit its data: image size 511 bytes, but 32 x 32 pixels of 4 bits take 512 bytes" },
        { "BMP_ZORVIK", "long 6014 256", "long 6014 255",
          "zorvik30.kwt: BMP_ZORVIK: the picture does not fit its data: 256 colour-table entries, but the header asks for 255" },
        { "BMP_MBINFO", "short 6009 4", "short 6009 8",
          "zorvik30.kwt: BMP_MBINFO: the picture does not fit its data: image size 512 bytes, but 32 x 32 pixels of 8 bits take 1024 bytes" },
    };
    EXPECT_EQ(Findings(strText, "zorvik30.kwt"), std::vector<std::string>());
    for (const auto& coCase : aCases) {
        EXPECT_EQ(Findings(Planted(coCase.pszRecord, coCase.pszFrom, coCase.pszTo), "zorvik30.kwt"),
                  std::vector<std::string>({ coCase.pszFinding }));
    }
}
