#pragma once

#include "KwtlApi.h"
#include "TArray.h"
#include "TString.h"

#include <cstdio>

class TDepRegistry;

// One file met during a dependency run: its path as it was found and the
// files it includes, in the order found (the same file may stand in the
// array more than once). The array does not own its elements; the registry
// does.
class KWTL_API TDepTarget : public TArray {
public:
    TDepTarget(const char* pszId, int nMainTarget);
    ~TDepTarget() override = default;

    // Identity
    const TString& GetTargetId() const { return m_coTargetId; }
    // A registry is sorted by identifier: renaming a target that a registry
    // holds leaves it where it was, and Find no longer meets it.
    void SetTargetId(const char* pszId) { m_coTargetId = pszId; }
    // 1 for a source file matched by a pattern, 0 for a header.
    int IsMainTarget() const { return m_nMainTarget; }

    // Dependencies
    // Appends the registry's target for pszId (made when new; *pnIsNew
    // then is 1). Null for an empty id, for a target without identifier and
    // for the target's own identifier, so a file that includes itself adds
    // nothing.
    TDepTarget* AddDependency(const char* pszId, TDepRegistry& coRegistry, TDepTarget* pcoMainTarget, int* pnIsNew);
    // This target for its own identifier, else the first target with pszId
    // met depth first among the files reachable from it; every target is
    // visited once, so includes that form a cycle end the search.
    const TDepTarget* FindDependency(const char* pszId) const;
    int HasDependency(const char* pszId) const { return FindDependency(pszId) ? 1 : 0; }
    int DependencyCount() const { return static_cast<int>(Count()); }
    TDepTarget* operator[](int i) const { return static_cast<TDepTarget*>(Get(i)); }

    // Output
    // Writes the identifier and then those of every file reachable from
    // it, depth first, each followed by a blank and "$" written as "$$".
    // Identifiers already in coPrinted are skipped, together with what they
    // include; every identifier written is inserted there as a Strdup copy,
    // so coPrinted should free its elements and compare with
    // TArrayCmpiString.
    void PrintDependency(FILE* pOut, TArray& coPrinted) const;

private:
    TString m_coTargetId;
    int m_nMainTarget { 0 };
};

// Every target of one run, sorted by identifier without regard to case,
// each identifier once. Owns its targets.
class KWTL_API TDepRegistry : public TArray {
public:
    TDepRegistry();
    ~TDepRegistry() override = default;
    TDepRegistry(const TDepRegistry&) = delete;
    TDepRegistry& operator=(const TDepRegistry&) = delete;

    // Targets
    // The target for pszId, made and inserted in order when it is new;
    // null for a null or empty id.
    TDepTarget* Add(const char* pszId, int nMainTarget);
    TDepTarget* Find(const char* pszId) const;
    int HasDep(const char* pszId) const { return Find(pszId) ? 1 : 0; }
    int GetCount() const { return static_cast<int>(Count()); }
    TDepTarget* operator[](int i) const { return static_cast<TDepTarget*>(Get(i)); }
    void Empty() { Delete(); }

    // Array functions
    static void Destroy(void* pvTarget);
    // Orders two targets by identifier, without regard to case.
    static int Compare(const void* pvKey, const void* pvElement);
};

// Writes make rules: for every source file matched by a pattern one line
// "object : source headers...", listing every header the source includes
// directly or indirectly. Headers are looked up in the include directories
// (options, then the INCLUDE and INC variables) and, when the working
// directory is the current one, relative to it; never beside the including
// file. Each file is scanned once per run, so includes that form a cycle
// end. Driven like a command-line program through Start.
//
// Input is read through the operating-system object. Names and paths have
// no length limit of their own; a line is scanned up to LineLength
// characters, and what a longer line holds beyond that is reported and not
// scanned.
class KWTL_API TMakeDepend {
public:
    using HelpFunc = void (*)();

    static constexpr int LineLength = 8191;

    explicit TMakeDepend(HelpFunc pfnHelp);
    virtual ~TMakeDepend();
    TMakeDepend(const TMakeDepend&) = delete;
    TMakeDepend& operator=(const TMakeDepend&) = delete;

    // Runs
    // One complete run over the arguments argv[1] to argv[argc - 1]
    // (options and patterns); the rules go to pszOutputFile, or to standard
    // output when it is null or empty. Every run starts afresh: no
    // patterns, include directories or extra dependencies of an earlier
    // run, messages off, empty object and working directories, and includes
    // in angle brackets not followed. 1 when the rules were written; 0 when
    // the output could not be opened or written or no pattern was given
    // (these failures are reported whatever the messages flag).
    int Start(const char* pszOutputFile, int argc, const char* const* argv);
    // The rules for every file that pszPattern matches, in name order.
    void ScanFiles(FILE* pOut, const char* pszPattern);
    // Records in pcoTarget the includes of the file pszPath and scans every
    // header met for the first time.
    void Scan(TDepTarget* pcoTarget, TDepTarget* pcoMainTarget, const char* pszPath);
    // Records one found header and scans it when it is new to the run.
    void AddDepFile(TDepTarget* pcoTarget, TDepTarget* pcoMainTarget, const char* pszPath);
    // The path under which the header pszName is found; 1 when found.
    int FindPath(TString& coFound, const char* pszName);
    // Adds the directories of an environment value, separated by ";" or
    // ",". Blanks around a directory are dropped, blanks inside it kept;
    // a piece that is empty or contains "%" is not added.
    void FillIncArrayFromEnv(const char* pszValue);
    // pszIn with every "$" doubled, the escape of make; empty for null.
    static void MakeDoubleDollar(TString& coOut, const char* pszIn);

    // Settings and results
    const TDepRegistry& Registry() const { return m_coRegistry; }
    const TArray& Patterns() const { return m_coPatterns; }
    const TArray& IncludeDirectories() const { return m_coIncludeDirs; }
    const TArray& ExtraDependencies() const { return m_coExtraDeps; }
    int SystemIncludes() const { return m_nSystemIncludes; }
    int Messages() const { return m_nMessages; }
    const TString& ObjectDirectory() const { return m_coObjectDir; }
    const TString& WorkingDirectory() const { return m_coWorkingDir; }

protected:
    // Receives progress and warning messages while the messages flag is
    // on, and the failures of a whole run always. Does nothing here.
    virtual void NotifyDebugMessage(const char* pszMessage);

private:
    void Reset();
    void Option(const char* pszArgument);
    void AddEnvironment(const char* pszName);
    int ReadIncludes(const char* pszPath, TArray& coNames);
    int IncludeName(char* pszLine, TString& coName) const;
    int WorkingDirIsCurrent() const;
    void Debug(const char* pszFormat, ...);
    void Report(const char* pszFormat, ...);

    TDepRegistry m_coRegistry;
    TArray m_coPatterns;                // Strdup copies, owned
    TArray m_coIncludeDirs;             // Strdup copies, owned, in search order
    TArray m_coExtraDeps;               // Strdup copies, owned
    int m_nSystemIncludes { 1 };
    int m_nMessages { 0 };
    TString m_coObjectDir;
    TString m_coWorkingDir { "." };
    HelpFunc m_pfnHelp;
};
