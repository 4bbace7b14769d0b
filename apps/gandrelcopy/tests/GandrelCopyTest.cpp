#include "GandrelCopyRun.h"
#include "KwScratchTest.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

using kwtest::RunGandrelCopy;
using kwtest::TProgramRun;

namespace {

class GandrelCopyTest : public kwtest::TScratchTest {
protected:
    GandrelCopyTest() : TScratchTest("kw-gcopy-") {}

    void SetUp() override
    {
        TScratchTest::SetUp();
        std::filesystem::create_directories(At("src") + CrtPathSeparator() + "sub");
        kwtest::WriteFileBytes(At("src") + CrtPathSeparator() + "a.txt", "aaa");
        kwtest::WriteFileBytes(At("src") + CrtPathSeparator() + "sub" + CrtPathSeparator() + "b.txt", "bb");
        kwtest::WriteFileBytes(At("file.txt"), "f");
    }
};

// Whether two files hold the same bytes, read a piece at a time.
bool SameBytes(const std::string& strA, const std::string& strB)
{
    FILE* pA = std::fopen(strA.c_str(), "rb");
    FILE* pB = std::fopen(strB.c_str(), "rb");
    bool bSame = pA && pB;
    std::string strPieceA(1 << 20, '\0');
    std::string strPieceB(1 << 20, '\0');
    while (bSame) {
        const size_t nA = std::fread(&strPieceA[0], 1, strPieceA.size(), pA);
        const size_t nB = std::fread(&strPieceB[0], 1, strPieceB.size(), pB);
        bSame = nA == nB && strPieceA.compare(0, nA, strPieceB, 0, nB) == 0;
        if (nA == 0)
            break;
    }
    if (pA)
        std::fclose(pA);
    if (pB)
        std::fclose(pB);
    return bSame;
}

} // namespace

TEST_F(GandrelCopyTest, BadInputGetsAMessageAndExitCode16)
{
    const std::string strSrc = At("src");
    const std::string strDst = At("dst");
    const std::string strSub = strSrc + CrtPathSeparator() + "sub";
    const struct {
        std::vector<std::string> m_vecArguments;
        std::string m_strMessage;
        bool m_bUsage;
    } aCases[] = {
        { {}, "gandrelcopy: a source and a target are needed", true },
        { { strSrc }, "gandrelcopy: a source and a target are needed", true },
        { { strSrc, strDst, At("third") }, "gandrelcopy: more than one source and target", true },
        { { "-BOGUS", strSrc, strDst }, "gandrelcopy: unknown option -BOGUS", true },
        { { "/SEC:SOME", strSrc, strDst }, "gandrelcopy: /SEC: takes ALL, DACL or NONE, not \"SOME\"", true },
        { { "/LOG:", strSrc, strDst }, "gandrelcopy: /LOG: needs a file name", true },
        { { "/L:yes", strSrc, strDst }, "gandrelcopy: the option /L takes no value", true },
        { { "/XO", "/xn", strSrc, strDst }, "gandrelcopy: /XO and /XN exclude each other", true },
        { { "/MT:0", strSrc, strDst }, "gandrelcopy: /MT: takes a number of files to copy at once from 1 to 64, not \"0\"", true },
        { { "/mt:65", strSrc, strDst }, "from 1 to 64, not \"65\"", true },
        { { "-MT:4x", strSrc, strDst }, "from 1 to 64, not \"4x\"", true },
        { { "/IPG", strSrc, strDst }, "gandrelcopy: /IPG: takes the milliseconds to rest between pieces from 0 to 60000, not \"\"", true },
        { { "/ipg:60001", strSrc, strDst }, "from 0 to 60000, not \"60001\"", true },
        { { "/FILES", strDst }, "gandrelcopy: /FILES needs a target and at least one file", true },
        { { At("missing"), strDst }, "gandrelcopy: the source \"" + At("missing") + "\" cannot be found: ", false },
        { { At("file.txt"), strDst }, "is not a directory (copy files with /FILES)", false },
        { { "/FILES", strDst, strSub }, "is not a file (copy a directory as SOURCE)", false },
        { { strSrc, At("file.txt") }, "gandrelcopy: the target \"" + At("file.txt") + "\" is not a directory", false },
        { { "/LOG:" + At("no-dir") + CrtPathSeparator() + "x.log", strSrc, strDst }, "\" cannot be written", false },
        { { strSrc, strSub }, "Refused: the copy \"", false },
        // Two files of one name: neither is copied.
        { { "/FILES", strDst, strSrc + CrtPathSeparator() + "a.txt", Path("other/a.txt") },
          "Refused: \"" + strSrc + CrtPathSeparator() + "a.txt\" and \"" + Path("other/a.txt") + "\" would both be copied to", false },
#if defined(_WIN32)
        { { "/FILES", strDst, Path("s?c/a.txt") }, "\"*\" and \"?\" are patterns in the last name only", false },
        { { "/FILES", strDst, Path("src/*.none") }, "no file matches \"", false },
#else
        // Natively the shell expands patterns: "?" is a character of a name.
        { { "/FILES", strDst, Path("src/?.txt") }, "cannot be found", false },
#endif
    };
    std::filesystem::create_directories(Path("other"));
    kwtest::WriteFileBytes(Path("other/a.txt"), "other");
    for (const auto& coCase : aCases) {
        const TProgramRun coRun = RunGandrelCopy(coCase.m_vecArguments);
        EXPECT_EQ(coRun.m_nExit, 16) << coCase.m_strMessage;
        EXPECT_NE(coRun.m_strOutput.find(coCase.m_strMessage), std::string::npos) << coRun.m_strOutput;
        EXPECT_EQ(coRun.m_strOutput.find("usage: gandrelcopy") != std::string::npos, coCase.m_bUsage) << coRun.m_strOutput;
    }
    EXPECT_FALSE(std::filesystem::exists(strDst));
    EXPECT_FALSE(std::filesystem::exists(strSub + CrtPathSeparator() + "src"));

    const TProgramRun coHelp = RunGandrelCopy({ "/?" });
    EXPECT_EQ(coHelp.m_nExit, 0);
    EXPECT_EQ(coHelp.m_strOutput.rfind("usage: gandrelcopy", 0), 0u);
}

TEST_F(GandrelCopyTest, ExitCodesTellWhatTheRunDid)
{
    const std::string strSrc = At("src");
    const std::string strDst = At("dst");
    const std::string strLog = At("copy.log");
    const struct {
        std::vector<std::string> m_vecArguments;
        int m_nExit;
        const char* m_pszLine;
    } aCases[] = {
        { { "/L", strSrc, strDst }, 1, "Copying ..?src?a.txt ... listed" },
        { { strSrc, strDst, "/LOG:" + strLog, "/VERIFY", "/SEC:NONE", "/MT:4" }, 1, "Copying ..?src?a.txt ... ok" },
        { { "/XN", "/MT", strSrc, strDst }, 0, "Copying ..?src?a.txt ... skipped (the target exists)" },
        // Up to date: the same size and time of writing.
        { { "/XO", strSrc, strDst }, 0, "Copying ..?src?a.txt ... skipped (same)" },
        { { "/FILES", strDst, At("file.txt") }, 1, "Copying file.txt ... ok" },
    };
    for (const auto& coCase : aCases) {
        const TProgramRun coRun = RunGandrelCopy(coCase.m_vecArguments);
        EXPECT_EQ(coRun.m_nExit, coCase.m_nExit) << coRun.m_strOutput;
        std::string strLine = coCase.m_pszLine;
        for (char& ch : strLine)
            if (ch == '?')
                ch = CrtPathSeparator();
        EXPECT_NE(coRun.m_strOutput.find(strLine + "\n"), std::string::npos) << coRun.m_strOutput;
        EXPECT_NE(coRun.m_strOutput.find("\nDirectories: "), std::string::npos);
    }
    EXPECT_EQ(kwtest::ReadFileBytes(strDst + CrtPathSeparator() + "src" + CrtPathSeparator() + "a.txt"), "aaa");
    EXPECT_EQ(kwtest::ReadFileBytes(strDst + CrtPathSeparator() + "file.txt"), "f");
    // The log holds the lines of its run, the summary last.
    std::string strLogText = kwtest::ReadFileBytes(strLog);
    EXPECT_EQ(strLogText.rfind("Gathering tree information ... ok", 0), 0u);
    EXPECT_NE(strLogText.find("Ready. "), std::string::npos);
    EXPECT_NE(strLogText.find("Directories: 2, files: 2, bytes: 5, copied: 4"), std::string::npos) << strLogText;
}

#if defined(_WIN32)
// "???.txt" is a pattern where a name cannot hold "?": every file of three
// characters and ".txt", in ASCII and beyond any code page, each under its
// own name with its own content.
TEST_F(GandrelCopyTest, APatternCopiesEveryFileItMatches)
{
    const char* const apszFiles[] = { "abc.txt", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt", "abcd.txt", "\xCE\xA9mega.txt" };
    std::filesystem::create_directories(Path("names"));
    for (const char* pszFile : apszFiles)
        kwtest::WriteFileBytes(Path("names/") + pszFile, pszFile);
    const TProgramRun coPattern = RunGandrelCopy({ "/FILES", Path("pattern"), Path("names/???.txt") });
    EXPECT_EQ(coPattern.m_nExit, 1) << coPattern.m_strOutput;
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(kwtest::ReadFileBytes(Path("pattern/") + apszFiles[i]), i < 2 ? apszFiles[i] : "<none>") << apszFiles[i];
}
#endif

TEST_F(GandrelCopyTest, ARunEndedFromOutsideLeavesNoPartUnderAFinalNameAndTheNextRunCompletesIt)
{
    // Eight pieces with a rest between them: caught in the middle however
    // fast the machine copies.
    std::filesystem::create_directories(Path("big"));
    const std::string strBig = Path("big/big.bin");
    {
        FILE* pFile = std::fopen(strBig.c_str(), "wb");
        ASSERT_NE(pFile, nullptr);
        std::string strPiece(1 << 20, '\0');
        for (int nPiece = 0; nPiece < 8; ++nPiece) {
            for (size_t i = 0; i < strPiece.size(); i += 4096)
                strPiece[i] = static_cast<char>(nPiece + i / 4096);
            ASSERT_EQ(std::fwrite(strPiece.data(), 1, strPiece.size(), pFile), strPiece.size());
        }
        std::fclose(pFile);
    }
    const std::string strCopy = Path("dst/big/big.bin");
    kwtest::TRunningCopy coRun({ Path("big"), Path("dst"), "/IPG:1000" });
    // Until its part exists under a name of its own (the part has its
    // whole size before its first byte, so its size tells nothing).
    bool bCaught = false;
    for (int nWait = 0; nWait < 10000 && !bCaught; ++nWait) {
        std::error_code ec;
        for (std::filesystem::directory_iterator it(Path("dst/big"), ec), end; !ec && it != end; it.increment(ec))
            bCaught = bCaught || it->path().filename() != "big.bin";
        if (!bCaught)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(bCaught) << coRun.Finish().m_strOutput;
    coRun.Stop();
    const TProgramRun coStopped = coRun.Finish();
    EXPECT_FALSE(std::filesystem::exists(strCopy)) << coStopped.m_strOutput;
#if !defined(_WIN32)
    // A hang-up cancels: the part is removed.
    EXPECT_EQ(coStopped.m_nExit, 9) << coStopped.m_strOutput;     // its directory was made
    EXPECT_NE(coStopped.m_strOutput.find("Canceled by User"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(Path("dst/big")));
#endif
    const TProgramRun coAgain = RunGandrelCopy({ "/XO", Path("big"), Path("dst") });
    EXPECT_EQ(coAgain.m_nExit, 1) << coAgain.m_strOutput;
#if defined(_WIN32)
    // The part the ended run left is the next run's to remove.
    EXPECT_NE(coAgain.m_strOutput.find("Removing Leftover ..\\big\\~gdl"), std::string::npos) << coAgain.m_strOutput;
#endif
    EXPECT_TRUE(SameBytes(strCopy, strBig));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path("dst/big")), std::filesystem::directory_iterator()), 1);
}

#if !defined(_WIN32)
TEST_F(GandrelCopyTest, ATargetThatIsALinkIsFollowedAndALogThatCannotBeWrittenIsAFailure)
{
    std::filesystem::create_directories(Path("real"));
    std::filesystem::create_directory_symlink(Path("real"), Path("to-real"));
    const TProgramRun coLink = RunGandrelCopy({ Path("src"), Path("to-real") });
    EXPECT_EQ(coLink.m_nExit, 1) << coLink.m_strOutput;
    EXPECT_EQ(kwtest::ReadFileBytes(Path("real/src/a.txt")), "aaa");
    const TProgramRun coBelow = RunGandrelCopy({ Path("src"), Path("to-real/new/deeper") });
    EXPECT_EQ(coBelow.m_nExit, 1) << coBelow.m_strOutput;
    EXPECT_EQ(kwtest::ReadFileBytes(Path("real/new/deeper/src/a.txt")), "aaa");

    const TProgramRun coLog = RunGandrelCopy({ "/LOG:/dev/full", Path("src"), Path("logged") });
    EXPECT_EQ(coLog.m_nExit, 9) << coLog.m_strOutput;
    EXPECT_NE(coLog.m_strOutput.find("gandrelcopy: the log \"/dev/full\" is incomplete"), std::string::npos);
}
#endif
// Names in several alphabets, an emoji, a combining accent and a
// right-to-left name, beside ASCII twins that a name turned into "?" marks
// would match: a tree copy and /FILES copy each exactly, and the output and
// the log hold the names byte for byte (UTF-8).
TEST_F(GandrelCopyTest, NamesInEveryAlphabetAreCopiedAndPrintedExactly)
{
    const char* const apszNames[] = { "\xCE\xA9mega-\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",
                                       "emoji-\xF0\x9F\x98\x80", "cafe\xCC\x81", "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D" };
    const char* const apszTwins[] = { "Omega-aaaa", "jjj", "emoji-ee", "cafex", "hhhh" };
    const std::string strSrc = At("names");
    const std::string strTree = At("tree");
    const std::string strFiles = At("files");
    const std::string strLog = At("names.log");
    const char chSep = CrtPathSeparator();
    std::filesystem::create_directories(std::filesystem::u8path(strSrc));
    std::vector<std::string> vecArguments = { "/FILES", strFiles };
    for (const char* pszTwin : apszTwins)
        kwtest::WriteFileBytes(strSrc + chSep + pszTwin + ".txt", "twin");
    for (const char* pszName : apszNames) {
        kwtest::WriteFileBytes(strSrc + chSep + pszName + ".txt", pszName);
        vecArguments.push_back(strSrc + chSep + pszName + ".txt");
    }
    const TProgramRun coTree = RunGandrelCopy({ strSrc, strTree, "/SEC:NONE", "/LOG:" + strLog });
    EXPECT_EQ(coTree.m_nExit, 1) << coTree.m_strOutput;
    const TProgramRun coFiles = RunGandrelCopy(vecArguments);
    EXPECT_EQ(coFiles.m_nExit, 1) << coFiles.m_strOutput;
    const std::string strLogText = kwtest::ReadFileBytes(strLog);
    for (const char* pszName : apszNames) {
        const std::string strFile = std::string(pszName) + ".txt";
        EXPECT_EQ(kwtest::ReadFileBytes(strTree + chSep + "names" + chSep + strFile), pszName);
        EXPECT_EQ(kwtest::ReadFileBytes(strFiles + chSep + strFile), pszName);
        const std::string strTreeLine = "Copying .." + std::string(1, chSep) + "names" + chSep + strFile + " ... ok\n";
        EXPECT_NE(coTree.m_strOutput.find(strTreeLine), std::string::npos) << coTree.m_strOutput;
#if defined(_WIN32)
        const char* const pszNewLine = "\r\n";
#else
        const char* const pszNewLine = "\n";
#endif
        EXPECT_NE(strLogText.find(strTreeLine.substr(0, strTreeLine.size() - 1) + pszNewLine), std::string::npos) << strLogText;
        EXPECT_NE(coFiles.m_strOutput.find("Copying " + strFile + " ... ok\n"), std::string::npos) << coFiles.m_strOutput;
    }
    // Only the files named: no twin was taken along.
    size_t nCopied = 0;
    for (const auto& coEntry : std::filesystem::directory_iterator(std::filesystem::u8path(strFiles)))
        nCopied += coEntry.path().filename().u8string().find(".txt") != std::string::npos ? 1 : 0;
    EXPECT_EQ(nCopied, sizeof apszNames / sizeof apszNames[0]);
}
