#include "KwScratchTest.h"
#include "KwTestTools.h"
#include "TCrt.h"
#include "TMakeDepend.h"
#include "TOpSystem.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A path written with "/" in the platform's own form.
std::string P(std::string path)
{
    for (char& ch : path)
        ch = ch == '/' ? kwtest::kSep : ch;
    return path;
}

int g_nHelpCalls = 0;
void CountHelp() { ++g_nHelpCalls; }

// Keeps every message it is given, each ending with a line end.
class TRecorder : public TMakeDepend {
public:
    explicit TRecorder(HelpFunc pfnHelp = nullptr) : TMakeDepend(pfnHelp) {}
    std::string m_messages;

protected:
    void NotifyDebugMessage(const char* pszMessage) override { m_messages += pszMessage; }
};

// The identifiers of a target's dependencies, separated by "|".
std::string Deps(const TDepTarget& coTarget)
{
    std::string text;
    for (int i = 0; i < coTarget.DependencyCount(); ++i)
        text += std::string(i ? "|" : "") + static_cast<const char*>(coTarget[i]->GetTargetId());
    return text;
}

// Each test works in a scratch directory of its own, which is also the current directory, with INCLUDE and INC unset.
class TMakeDependFiles : public kwtest::TScratchTest {
protected:
    TMakeDependFiles() : TScratchTest("kwdep-") {}

    void SetUp() override
    {
        TScratchTest::SetUp();
        m_oldDir = static_cast<const char*>(m_coOS.GetCurrentDirectory());
        ASSERT_EQ(m_coOS.SetCurrentDirectory(m_dir.c_str()), 1);
        // Only these tests run in this program: the variables need not come back.
        m_coOS.SetEnvVar("INCLUDE", nullptr);
        m_coOS.SetEnvVar("INC", nullptr);
    }

    void TearDown() override
    {
        m_coOS.SetCurrentDirectory(m_oldDir.c_str());
        TScratchTest::TearDown();
    }

    // Writes a file below the scratch directory, making its directories.
    static void Write(const std::string& path, const std::string& text = "")
    {
        const fs::path coPath(P(path));
        if (coPath.has_parent_path())
            fs::create_directories(coPath.parent_path());
        kwtest::WriteFileBytes(coPath.string(), text);
    }

    // Runs Start with the arguments, the rules going to a file; returns the file's text with line ends as "\n".
    static std::string Run(TMakeDepend& coDepend, std::vector<std::string> args, int* pnResult = nullptr)
    {
        std::vector<const char*> argv { "kwdepend" };
        for (const std::string& arg : args)
            argv.push_back(arg.c_str());
        const int nResult = coDepend.Start("rules.out", static_cast<int>(argv.size()), argv.data());
        if (pnResult)
            *pnResult = nResult;
        std::string rules = kwtest::ReadFileBytes("rules.out");
        for (size_t i = rules.find("\r\n"); i != std::string::npos; i = rules.find("\r\n"))
            rules.erase(i, 1);
        return rules;
    }

    const TOpSystem& m_coOS { CurrentOS() };
    std::string m_oldDir;
};

TEST_F(TMakeDependFiles, TargetsFindAndPrintDependenciesOnceEvenInCycles)
{
    TDepRegistry coRegistry;
    TDepTarget* pcoMain = coRegistry.Add("m.c", 1);
    // The identifier added to a target ("-" for none) and whether it was new.
    const auto added = [&coRegistry, pcoMain](TDepTarget& coTarget, const char* pszId) {
        int nIsNew = -1;
        const TDepTarget* pcoAdded = coTarget.AddDependency(pszId, coRegistry, pcoMain, &nIsNew);
        return (pcoAdded ? std::string(pcoAdded->GetTargetId()) : "-") + " " + std::to_string(nIsNew);
    };
    // No dependency on nothing, on itself, or of a target without name.
    TDepTarget coNameless("", 0);
    EXPECT_EQ(std::vector<std::string>({ added(*pcoMain, nullptr), added(*pcoMain, "M.C"), added(coNameless, "a.h"),
                                         added(*pcoMain, "a.h"), added(*pcoMain, "A.H") }),
              std::vector<std::string>({ "- 0", "- 0", "- 0", "a.h 1", "a.h 0" }));
    TDepTarget* pcoA = (*pcoMain)[0];
    TDepTarget* pcoB = pcoA->AddDependency("b$.h", coRegistry, pcoMain, nullptr);
    pcoB->AddDependency("a.h", coRegistry, pcoMain, nullptr);    // a cycle
    pcoMain->AddDependency("c.h", coRegistry, pcoMain, nullptr);
    EXPECT_EQ(Deps(*pcoMain), "a.h|a.h|c.h");
    EXPECT_EQ(pcoMain->FindDependency("M.c"), pcoMain);
    EXPECT_EQ(pcoMain->FindDependency("B$.h"), pcoB);
    EXPECT_EQ(pcoB->FindDependency("c.h"), nullptr);     // searched through the cycle
    EXPECT_EQ(pcoMain->HasDependency("c.h") * 10 + pcoA->HasDependency("missing.h"), 10);

    // What is printed after pszPrinted was: a printed target is skipped with
    // what only it includes; without compare function still once each.
    const auto printed = [pcoMain](const char* pszPrinted, TArray::CompareFunc pfnCmp) {
        TArray coPrinted(64, std::free, pfnCmp);
        if (pszPrinted)
            coPrinted.Insert(Strdup(pszPrinted), nullptr);
        FILE* pOut = std::fopen("printed.out", "wb");
        pcoMain->PrintDependency(pOut, coPrinted);
        pcoMain->PrintDependency(nullptr, coPrinted);
        std::fclose(pOut);
        return kwtest::ReadFileBytes("printed.out");
    };
    EXPECT_EQ(std::vector<std::string>({ printed(nullptr, TArrayCmpiString), printed("A.h", TArrayCmpiString),
                                         printed("M.C", TArrayCmpiString), printed(nullptr, nullptr) }),
              std::vector<std::string>({ "m.c a.h b$$.h c.h ", "m.c c.h ", "", "m.c a.h b$$.h c.h " }));
}

TEST_F(TMakeDependFiles, IncludesAreReadAsWrittenAndFoundAlongTheSearchPathAndProblemsLeaveTheRunGoing)
{
    // What stands beyond a line's first LineLength characters is not read as a line of its own.
    const std::string fits = std::string(TMakeDepend::LineLength - 14, ' ') + "#include \"a.h\"";
    const std::string tooLong = std::string(TMakeDepend::LineLength - 13, ' ') + "#include \"b.h\"";
    const std::string hidden = std::string(TMakeDepend::LineLength, 'x') + "#include \"c.h\"";
    const std::string longName(5000, 'n');
    Write("main.c", fits + "\r\n" + tooLong + "\n" + hidden + "\n"
                    "#include \"q1.h\"\n"
                    " \t #include \t \"q2.h\"  // comment\n"
                    "#include\"q3.h\"\n"
                    "#include \"q4.h\"\r\n"
                    "#include \"q5.h\n"                                    // not closed
                    "// #include \"q6.h\"\n#include // \"q7.h\"\n# include \"q8.h\"\n#includes \"q9.h\"\n"
                    "#include\n#include \"\"\n"
                    "#include \"q12.h other\"\n"                           // the name ends at white space
                    "#include <a1.h>\n"                                    // angle brackets: not within Start
                    "#include \"opt.h\"\n#include \"env1.h\"\n#include \"env2.h\"\n#include \"env3.h\"\n"
                    "#include \"gone.h\"\n#include \"dir.h\"\n"
                    "#include \"" + longName + "\"\n#include \"d.h\"");
    for (int i = 1; i <= 12; ++i)
        Write("q" + std::to_string(i) + ".h");
    for (const char* pszHeader : { "a.h", "b.h", "c.h", "d.h", "a1.h", "opt/opt.h", "e1/env1.h", "e 2/env2.h",
                                   "e3/env3.h" })
        Write(pszHeader);
    fs::create_directory("dir.h");
    // INCLUDE and INC add directories after the options.
    ASSERT_TRUE(m_coOS.SetEnvVar("INCLUDE", "  e1; e 2 ;;%ROOT%\\inc") && m_coOS.SetEnvVar("INC", "e3,"));
    TRecorder coDepend;
    int nResult = -1;
    EXPECT_EQ(Run(coDepend, { "-D+", "-Iopt", "main.c", "none*.c", "nodir/*.c" }, &nResult),
              P("main.obj : main.c a.h q1.h q2.h q3.h q4.h q12.h opt/opt.h e1/env1.h e 2/env2.h e3/env3.h dir.h d.h "
                "\n"));
    EXPECT_EQ(nResult, 1);
    EXPECT_EQ(coDepend.m_messages,
              "Adding dependency file: main.c\nAdding dependency file: none*.c\nAdding dependency file: nodir/*.c\n"
              "Adding environment search path:   e1; e 2 ;;%ROOT%\\inc\n"
              "\tfound: <e1>\n\tfound: <e 2>\n\tcontains variable: <>\n\tcontains variable: <%ROOT%\\inc>\n"
              "Adding environment search path: e3,\n\tfound: <e3>\n"
              "Scanning Main-Target: main.c\n"
              "Line 2 of <main.c> is longer than 8191 characters: the rest of it is not scanned\n"
              "Line 3 of <main.c> is longer than 8191 characters: the rest of it is not scanned\n"
              "Headerfile <gone.h> not found\nCould not open <dir.h> for scanning\n"
              "Headerfile <" + longName + "> not found\n"
              "No file matches <none*.c>\nNo file matches <nodir/*.c>\n");
    coDepend.FillIncArrayFromEnv(nullptr);
    coDepend.FillIncArrayFromEnv("   ");
    EXPECT_EQ(coDepend.IncludeDirectories().Count(), 4);

    // A new object follows angle brackets when Scan is called directly.
    Write("sys.c", "#include <a1.h>\n#include \"q1.h\"\n");
    TRecorder coDirect;
    EXPECT_EQ(coDirect.SystemIncludes(), 1);
    TDepTarget coTarget("sys.c", 1);
    coDirect.Scan(&coTarget, &coTarget, "sys.c");
    EXPECT_EQ(Deps(coTarget), P("./a1.h|./q1.h"));
}

TEST_F(TMakeDependFiles, EveryOptionHasItsEffectAndErrorsAreReportedAlways)
{
    Write("dir/m$n.c", "#include \"h$.h\"\n");
    Write("h$.h");
    g_nHelpCalls = 0;
    TRecorder coDepend(CountHelp);
    const std::vector<std::string> args { "-?",     "-h", "/H", "-Ffirst$", "-F", "-fsecond", "-Iinc",
                                          "-I",     "-Oobj$", "-O", "-S", "-Wdir", "-W", "-Dx",
                                          "-Zap",   "-d+", "-Q", "", "dir/*.c" };
    EXPECT_EQ(Run(coDepend, args), P("obj$$/m$$n.obj : first$$ second dir/m$$n.c \n"));
    // Messages start with -d+; the working directory is not the current
    // one, so the header beside the sources is not found.
    std::string patternMessage;
#if defined(_WIN32)
    EXPECT_EQ(g_nHelpCalls, 3);
#else
    EXPECT_EQ(g_nHelpCalls, 2);     // "/H" is a pattern here
    patternMessage = "No file matches </H>\n";
#endif
    EXPECT_EQ(coDepend.m_messages, "Unknown option <-Q> ignored\nAdding dependency file: dir/*.c\n" + patternMessage
                                       + "Scanning Main-Target: m$n.c\nHeaderfile <h$.h> not found\n");
    ASSERT_EQ(coDepend.IncludeDirectories().Count(), 1);
    EXPECT_STREQ(static_cast<const char*>(coDepend.IncludeDirectories()[0]), "inc");
    EXPECT_STREQ(coDepend.WorkingDirectory(), "dir");
    EXPECT_EQ(coDepend.SystemIncludes() * 10 + coDepend.Messages(), 1);

    // -D- turns them off again and -D+x changes nothing, but errors are
    // still reported: no patterns, an output file that cannot be opened.
    TRecorder coQuiet;
    int nResult = -1;
    EXPECT_EQ(Run(coQuiet, { "-D+", "-D-", "-D+x", "-Q", "-Zap" }, &nResult), "");
    EXPECT_EQ(nResult * 10 + coQuiet.Messages(), 0);
    fs::create_directory("dir.h");
    const char* argv[] = { "kwdepend", "main.c" };
    EXPECT_EQ(coQuiet.Start("dir.h", 2, argv), 0);
    EXPECT_EQ(coQuiet.m_messages,
              "No dependency files or file families specified!\nCould not open output-file <dir.h>\n");
    EXPECT_EQ(coQuiet.Patterns().Count(), 0);

    // A file added directly is a dependency even when it cannot be scanned.
    TDepTarget coTarget("main.c", 1);
    coQuiet.AddDepFile(&coTarget, &coTarget, "missing.c");
    EXPECT_EQ(Deps(coTarget), "missing.c");
}

TEST_F(TMakeDependFiles, LongNamesAndDeepChainsAreHandledSafely)
{
    // A header name longer than 254 characters is used whole: cut there it would be that of an existing directory.
    std::string deepName;
    for (int i = 0; i < 6; ++i)
        deepName += std::string(50, static_cast<char>('a' + i)) + "/";
    deepName += "deep.h";
    Write(deepName);
    const std::string longDir(3000, 'i');
    Write("deep.c", "#include \"" + deepName + "\"\n");
    TRecorder coDeep;
    const std::string rules = Run(coDeep, { "-D+", "-I" + longDir, "-O" + longDir, "deep.c" });
    const std::string scanned = "Adding dependency file: deep.c\nScanning Main-Target: deep.c\n";
    // Found beyond the 260 characters of a Windows path too.
    EXPECT_EQ(rules, longDir + CrtPathSeparator() + "deep.obj : deep.c " + deepName + " \n");
    EXPECT_EQ(coDeep.m_messages, scanned);

    // A chain of includes far deeper than a call stack would take.
    const int nChain = 3000;
    std::string expected = "chain.obj : chain.c ";
    Write("chain.c", "#include \"h0.h\"\n");
    for (int i = 0; i < nChain; ++i) {
        const std::string next = i + 1 < nChain ? "#include \"h" + std::to_string(i + 1) + ".h\"\n" : "";
        Write("h" + std::to_string(i) + ".h", next + "#include \"h0.h\"\n");
        expected += "h" + std::to_string(i) + ".h ";
    }
    TRecorder coChain;
    EXPECT_EQ(Run(coChain, { "chain.c" }), expected + "\n");
    EXPECT_EQ(coChain.Registry().GetCount(), nChain + 1);
}

} // namespace
