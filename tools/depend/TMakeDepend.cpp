#include "TMakeDepend.h"

#include "TCrt.h"
#include "TFileInfo.h"
#include "TOpSystem.h"

#include <cctype>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

#if defined(_WIN32)
constexpr char kSeparator = '\\';
// File names differ in case only for the eye: matched names are written in
// lower case, as the rules of a make on this system expect them.
constexpr bool kLowerCaseNames = true;
bool IsSeparator(char ch) { return ch == '\\' || ch == '/'; }
// Where a pattern's directory part ends: after a separator or a drive.
bool EndsDirectory(char ch) { return IsSeparator(ch) || ch == ':'; }
bool IsOptionStart(char ch) { return ch == '-' || ch == '/'; }
#else
constexpr char kSeparator = '/';
// Names keep their case: the file system tells "Main.c" from "main.c".
constexpr bool kLowerCaseNames = false;
bool IsSeparator(char ch) { return ch == '/'; }
bool EndsDirectory(char ch) { return ch == '/'; }
// An absolute path begins with "/", so only "-" starts an option.
bool IsOptionStart(char ch) { return ch == '-'; }
#endif

constexpr int kChunkSize = 8192;

bool IsBlank(char ch)
{
    return std::isspace(static_cast<unsigned char>(ch)) != 0;
}

TString Piece(const char* pszText, size_t nLength)
{
    TString coPiece;
    if (nLength > 0)
        coPiece.Strncpy(pszText, static_cast<int>(nLength));
    return coPiece;
}

bool EndsWithSeparator(const char* pszPath)
{
    const size_t nLength = std::strlen(pszPath);
    return nLength > 0 && IsSeparator(pszPath[nLength - 1]);
}

// pszDirectory and pszName with one separator between them; pszName alone
// for an empty directory.
TString JoinPath(const char* pszDirectory, const char* pszName)
{
    if (!*pszDirectory)
        return TString(pszName);
    TString coPath = pszDirectory;
    if (!EndsWithSeparator(pszDirectory))
        coPath += kSeparator;
    coPath += pszName;
    return coPath;
}

// The directory without the separators at its end, unless it is a root.
TString WithoutTrailingSeparator(const char* pszDirectory)
{
    size_t nLength = std::strlen(pszDirectory);
    while (nLength > 1 && IsSeparator(pszDirectory[nLength - 1])) {
#if defined(_WIN32)
        if (nLength == 3 && pszDirectory[1] == ':')
            break;
#endif
        --nLength;
    }
    return Piece(pszDirectory, nLength);
}

// The directory in which the operating-system object lists the files of a
// pattern. On Windows it wants a path that begins with a drive.
TString ListingDirectory(const char* pszDirectory)
{
    const TString coDirectory = WithoutTrailingSeparator(pszDirectory);
#if defined(_WIN32)
    const TString coCurrent = CurrentOS().GetCurrentDirectory();
    if (coDirectory.IsEmpty())
        return coCurrent;
    const char* psz = coDirectory;
    if (std::isalpha(static_cast<unsigned char>(psz[0])) && psz[1] == ':')
        return coDirectory;
    if (IsSeparator(psz[0]) && IsSeparator(psz[1]))
        return coDirectory;
    if (IsSeparator(psz[0]))
        return Piece(coCurrent, 2) + psz;
    return JoinPath(coCurrent, psz);
#else
    return coDirectory.IsEmpty() ? TString(".") : coDirectory;
#endif
}

void DestroyHeapString(void* pvText)
{
    std::free(pvText);
}

TString FormatV(const char* pszFormat, va_list args)
{
    TString coText;
    coText.SetTextV(pszFormat, args);
    return coText;
}

// Reads a file line by line through the operating-system object. A line is
// cut after LineLength characters; the rest of it is skipped and the line
// marked as too long. The carriage return of a CR LF pair is dropped, so
// files of either kind read the same on every platform.
class TLineReader {
public:
    explicit TLineReader(int nHandle) : m_nHandle(nHandle) {}

    // The next line, or null at the end of the file or after a read error.
    const char* Next(int& nTooLong)
    {
        nTooLong = 0;
        int nLength = 0;
        bool bAny = false;
        for (;;) {
            if (m_lPos == m_lFilled && !Fill())
                break;
            const char ch = m_achChunk[m_lPos++];
            bAny = true;
            if (ch == '\n')
                break;
            // One character more than a line may have, so that the CR
            // before LF does not make a line of full length too long.
            if (nLength <= TMakeDepend::LineLength)
                m_szLine[nLength++] = ch;
            else
                nTooLong = 1;
        }
        if (!bAny)
            return nullptr;
        if (!nTooLong && nLength > 0 && m_szLine[nLength - 1] == '\r')
            --nLength;
        if (nLength > TMakeDepend::LineLength) {
            nTooLong = 1;
            nLength = TMakeDepend::LineLength;
        }
        m_szLine[nLength] = 0;
        return m_szLine;
    }
    int Failed() const { return m_nFailed; }

private:
    int Fill()
    {
        if (m_nFailed)
            return 0;
        const long lRead = CurrentOS().ReadFile(m_nHandle, m_achChunk, kChunkSize);
        if (lRead < 0)
            m_nFailed = 1;
        m_lPos = 0;
        m_lFilled = lRead > 0 ? lRead : 0;
        return m_lFilled > 0 ? 1 : 0;
    }

    int m_nHandle;
    int m_nFailed { 0 };
    long m_lPos { 0 };
    long m_lFilled { 0 };
    char m_achChunk[kChunkSize];
    char m_szLine[TMakeDepend::LineLength + 2];
};

// One file of the scan in progress: its target, the names it includes and
// the next of them to look up.
struct TScanFrame {
    TDepTarget* m_pcoTarget;
    std::unique_ptr<TArray> m_pcoNames;
    long m_lNext { 0 };
};

std::unique_ptr<TArray> NewNameArray()
{
    return std::unique_ptr<TArray>(new TArray(16, DestroyHeapString, nullptr));
}

} // namespace

// TDepTarget

TDepTarget::TDepTarget(const char* pszId, int nMainTarget)
    : TArray(16, nullptr, nullptr)
    , m_coTargetId(pszId)
    , m_nMainTarget(nMainTarget)
{
}

TDepTarget* TDepTarget::AddDependency(const char* pszId, TDepRegistry& coRegistry, TDepTarget* pcoMainTarget,
                                      int* pnIsNew)
{
    if (pnIsNew)
        *pnIsNew = 0;
    if (!pszId || !*pszId || m_coTargetId.IsEmpty() || m_coTargetId.Stricmp(pszId) == 0)
        return nullptr;
    TDepTarget* pcoTarget = coRegistry.Find(pszId);
    if (!pcoTarget) {
        pcoTarget = coRegistry.Add(pszId, 0);
        if (!pcoTarget)
            return nullptr;
        if (pnIsNew)
            *pnIsNew = 1;
    }
    if (!Add(pcoTarget))
        return nullptr;
    return pcoTarget;
}

const TDepTarget* TDepTarget::FindDependency(const char* pszId) const
{
    if (!pszId)
        return nullptr;
    std::unordered_set<const TDepTarget*> coVisited;
    std::vector<const TDepTarget*> coPending { this };
    while (!coPending.empty()) {
        const TDepTarget* pcoTarget = coPending.back();
        coPending.pop_back();
        if (!pcoTarget || !coVisited.insert(pcoTarget).second)
            continue;
        if (pcoTarget->m_coTargetId.Stricmp(pszId) == 0)
            return pcoTarget;
        // Pushed backwards, so the first dependency is searched first.
        for (long i = pcoTarget->Count() - 1; i >= 0; --i)
            coPending.push_back((*pcoTarget)[static_cast<int>(i)]);
    }
    return nullptr;
}

void TDepTarget::PrintDependency(FILE* pOut, TArray& coPrinted) const
{
    if (!pOut)
        return;
    // Besides coPrinted, which the caller may hand in without compare
    // function, the walk keeps its own record, so it ends on every graph.
    std::unordered_set<const TDepTarget*> coVisited;
    auto Visit = [&](const TDepTarget* pcoTarget) {
        if (!pcoTarget || pcoTarget->m_coTargetId.IsEmpty() || !coVisited.insert(pcoTarget).second)
            return false;
        const char* pszId = pcoTarget->m_coTargetId;
        if (coPrinted.Find(pszId, nullptr) >= 0)
            return false;
        char* pszCopy = Strdup(pszId);
        if (pszCopy && !coPrinted.Insert(pszCopy, nullptr))
            std::free(pszCopy);
        TString coEscaped;
        TMakeDepend::MakeDoubleDollar(coEscaped, pszId);
        std::fprintf(pOut, "%s ", static_cast<const char*>(coEscaped));
        return true;
    };
    if (!Visit(this))
        return;
    std::vector<std::pair<const TDepTarget*, long>> coPath { { this, 0 } };
    while (!coPath.empty()) {
        const TDepTarget* pcoTarget = coPath.back().first;
        const long i = coPath.back().second++;
        if (i >= pcoTarget->Count()) {
            coPath.pop_back();
            continue;
        }
        const TDepTarget* pcoNext = (*pcoTarget)[static_cast<int>(i)];
        if (Visit(pcoNext))
            coPath.emplace_back(pcoNext, 0);
    }
}

// TDepRegistry

TDepRegistry::TDepRegistry()
    : TArray(64, Destroy, Compare)
{
}

TDepTarget* TDepRegistry::Add(const char* pszId, int nMainTarget)
{
    if (!pszId || !*pszId)
        return nullptr;
    if (TDepTarget* pcoKnown = Find(pszId))
        return pcoKnown;
    auto* pcoTarget = new TDepTarget(pszId, nMainTarget);
    if (!Insert(pcoTarget, nullptr)) {
        delete pcoTarget;
        return nullptr;
    }
    return pcoTarget;
}

TDepTarget* TDepRegistry::Find(const char* pszId) const
{
    if (!pszId || !*pszId)
        return nullptr;
    const TDepTarget coKey(pszId, 0);
    void* pvFound = nullptr;
    TArray::Find(&coKey, &pvFound);
    return static_cast<TDepTarget*>(pvFound);
}

void TDepRegistry::Destroy(void* pvTarget)
{
    delete static_cast<TDepTarget*>(pvTarget);
}

int TDepRegistry::Compare(const void* pvKey, const void* pvElement)
{
    const auto* pcoKey = static_cast<const TDepTarget*>(pvKey);
    const auto* pcoElement = static_cast<const TDepTarget*>(pvElement);
    return TArrayCmpiString(pcoKey ? static_cast<const char*>(pcoKey->GetTargetId()) : nullptr,
                            pcoElement ? static_cast<const char*>(pcoElement->GetTargetId()) : nullptr);
}

// TMakeDepend

TMakeDepend::TMakeDepend(HelpFunc pfnHelp)
    : m_coPatterns(4, DestroyHeapString, nullptr)
    , m_coIncludeDirs(4, DestroyHeapString, nullptr)
    , m_coExtraDeps(4, DestroyHeapString, nullptr)
    , m_pfnHelp(pfnHelp)
{
}

TMakeDepend::~TMakeDepend() = default;

void TMakeDepend::NotifyDebugMessage(const char*)
{
}

// Runs

int TMakeDepend::Start(const char* pszOutputFile, int argc, const char* const* argv)
{
    Reset();
    FILE* pOut = stdout;
    const bool bOwnFile = pszOutputFile && *pszOutputFile;
    if (bOwnFile) {
        const int nHandle = CurrentOS().OpenFile(pszOutputFile, 3, 1, nullptr);
        pOut = nHandle == -1 ? nullptr : CrtFdopen(nHandle, "w");
        if (!pOut) {
            CurrentOS().CloseFile(nHandle);
            Report("Could not open output-file <%s>\n", pszOutputFile);
            return 0;
        }
    }
    for (int i = 1; argv && i < argc; ++i) {
        // Empty arguments are skipped like missing ones: as a pattern, ""
        // would match every file.
        if (argv[i] && *argv[i])
            Option(argv[i]);
    }
    AddEnvironment("INCLUDE");
    AddEnvironment("INC");

    int nResult = 1;
    if (m_coPatterns.Count() == 0) {
        Report("No dependency files or file families specified!\n");
        nResult = 0;
    }
    for (long i = 0; i < m_coPatterns.Count(); ++i)
        ScanFiles(pOut, static_cast<const char*>(m_coPatterns[i]));

    const bool bWritten = std::fflush(pOut) == 0 && !std::ferror(pOut);
    const bool bClosed = !bOwnFile || std::fclose(pOut) == 0;
    if (!bWritten || !bClosed) {
        Report("Could not write output-file <%s>\n", bOwnFile ? pszOutputFile : "standard output");
        nResult = 0;
    }
    return nResult;
}

void TMakeDepend::ScanFiles(FILE* pOut, const char* pszPattern)
{
    if (!pOut || !pszPattern || !*pszPattern)
        return;
    const char* pszName = pszPattern + std::strlen(pszPattern);
    while (pszName > pszPattern && !EndsDirectory(pszName[-1]))
        --pszName;
    // Without working directory the files are read where the pattern
    // found them.
    const TString coPatternDir = Piece(pszPattern, static_cast<size_t>(pszName - pszPattern));

    TArray coFiles;
    if (!*pszName || !CurrentOS().ScanFiles(coFiles, ListingDirectory(coPatternDir), pszName, 0)
        || coFiles.Count() == 0) {
        Debug("No file matches <%s>\n", pszPattern);
        return;
    }
    TArray coNames(64, DestroyHeapString, TArrayCmpiString);
    for (long i = 0; i < coFiles.Count(); ++i) {
        char* pszFile = static_cast<const TFileInfo*>(coFiles[i])->Name().Strdup();
        if (pszFile && !coNames.Insert(pszFile, nullptr))
            std::free(pszFile);
    }

    TString coPrefix;
    if (!m_coObjectDir.IsEmpty())
        MakeDoubleDollar(coPrefix, JoinPath(m_coObjectDir, ""));
    for (long i = 0; i < coNames.Count(); ++i) {
        TString coName = static_cast<const char*>(coNames[i]);
        if (kLowerCaseNames)
            coName.Strlwr();
        Debug("Scanning Main-Target: %s\n", static_cast<const char*>(coName));
        const TString coPath =
            m_coWorkingDir.IsEmpty() ? coPatternDir + coName : JoinPath(m_coWorkingDir, coName);
        TDepTarget* pcoTarget = m_coRegistry.Add(coPath, 1);
        if (!pcoTarget)
            continue;
        Scan(pcoTarget, pcoTarget, coPath);

        const char* pszDot = coName.Strchr('.');
        TString coObject = pszDot ? Piece(coName, static_cast<size_t>(pszDot - coName)) : coName;
        coObject += ".obj";
        coObject.Strlwr();
        TString coEscaped;
        MakeDoubleDollar(coEscaped, coObject);
        std::fprintf(pOut, "%s%s : ", static_cast<const char*>(coPrefix), static_cast<const char*>(coEscaped));
        for (long j = 0; j < m_coExtraDeps.Count(); ++j) {
            MakeDoubleDollar(coEscaped, static_cast<const char*>(m_coExtraDeps[j]));
            std::fprintf(pOut, "%s ", static_cast<const char*>(coEscaped));
        }
        TArray coPrinted(64, DestroyHeapString, TArrayCmpiString);
        pcoTarget->PrintDependency(pOut, coPrinted);
        std::fprintf(pOut, "\n");
    }
}

void TMakeDepend::Scan(TDepTarget* pcoTarget, TDepTarget* pcoMainTarget, const char* pszPath)
{
    if (!pcoTarget || !pszPath || !*pszPath)
        return;
    // Depth first like a recursive scan, but on a stack of its own and with
    // every file closed before its headers are read: a chain of includes
    // however long needs neither call stack nor open files.
    std::vector<TScanFrame> coFrames;
    TScanFrame coFirst { pcoTarget, NewNameArray() };
    if (!ReadIncludes(pszPath, *coFirst.m_pcoNames))
        return;
    coFrames.push_back(std::move(coFirst));
    while (!coFrames.empty()) {
        TScanFrame& coTop = coFrames.back();
        if (coTop.m_lNext >= coTop.m_pcoNames->Count()) {
            coFrames.pop_back();
            continue;
        }
        const char* pszName = static_cast<const char*>((*coTop.m_pcoNames)[coTop.m_lNext++]);
        TString coFound;
        if (!FindPath(coFound, pszName))
            continue;
        int nIsNew = 0;
        TDepTarget* pcoHeader = coTop.m_pcoTarget->AddDependency(coFound, m_coRegistry, pcoMainTarget, &nIsNew);
        if (!pcoHeader || !nIsNew)
            continue;
        TScanFrame coNext { pcoHeader, NewNameArray() };
        if (ReadIncludes(coFound, *coNext.m_pcoNames))
            coFrames.push_back(std::move(coNext));
    }
}

void TMakeDepend::AddDepFile(TDepTarget* pcoTarget, TDepTarget* pcoMainTarget, const char* pszPath)
{
    if (!pcoTarget || !pszPath || !*pszPath)
        return;
    int nIsNew = 0;
    TDepTarget* pcoHeader = pcoTarget->AddDependency(pszPath, m_coRegistry, pcoMainTarget, &nIsNew);
    if (pcoHeader && nIsNew)
        Scan(pcoHeader, pcoMainTarget, pszPath);
}

int TMakeDepend::FindPath(TString& coFound, const char* pszName)
{
    coFound.Empty();
    if (!pszName || !*pszName)
        return 0;
    for (long i = 0; i < m_coIncludeDirs.Count(); ++i) {
        const TString coPath = JoinPath(static_cast<const char*>(m_coIncludeDirs[i]), pszName);
        if (CurrentOS().ExistsPath(coPath)) {
            coFound = coPath;
            return 1;
        }
    }
    if (WorkingDirIsCurrent() && CurrentOS().ExistsPath(pszName)) {
        coFound = JoinPath(m_coWorkingDir, pszName);
        return 1;
    }
    Debug("Headerfile <%s> not found\n", pszName);
    return 0;
}

void TMakeDepend::FillIncArrayFromEnv(const char* pszValue)
{
    if (!pszValue)
        return;
    Debug("Adding environment search path: %s\n", pszValue);
    const char* psz = pszValue;
    while (IsBlank(*psz))
        ++psz;
    while (*psz) {
        const char* pszEnd = psz;
        while (*pszEnd && *pszEnd != ';' && *pszEnd != ',')
            ++pszEnd;
        const char* pszLast = pszEnd;
        while (pszLast > psz && IsBlank(pszLast[-1]))
            --pszLast;
        const TString coPiece = Piece(psz, static_cast<size_t>(pszLast - psz));
        if (coPiece.IsEmpty() || coPiece.Strchr('%')) {
            Debug("\tcontains variable: <%s>\n", static_cast<const char*>(coPiece));
        } else {
            char* pszCopy = coPiece.Strdup();
            if (pszCopy && !m_coIncludeDirs.Add(pszCopy))
                std::free(pszCopy);
            Debug("\tfound: <%s>\n", static_cast<const char*>(coPiece));
        }
        if (!*pszEnd)
            break;
        psz = pszEnd + 1;
        while (IsBlank(*psz))
            ++psz;
    }
}

void TMakeDepend::MakeDoubleDollar(TString& coOut, const char* pszIn)
{
    coOut.Empty();
    if (!pszIn || !*pszIn)
        return;
    size_t nDollars = 0;
    for (const char* psz = pszIn; *psz; ++psz)
        nDollars += *psz == '$';
    std::unique_ptr<char[]> pszOut(new char[std::strlen(pszIn) + nDollars + 1]);
    char* pchOut = pszOut.get();
    for (const char* psz = pszIn; *psz; ++psz) {
        *pchOut++ = *psz;
        if (*psz == '$')
            *pchOut++ = '$';
    }
    *pchOut = 0;
    coOut = pszOut.get();
}

// Private helpers

void TMakeDepend::Reset()
{
    m_coRegistry.Empty();
    m_coPatterns.Delete();
    m_coIncludeDirs.Delete();
    m_coExtraDeps.Delete();
    m_nSystemIncludes = 0;
    m_nMessages = 0;
    m_coObjectDir.Empty();
    m_coWorkingDir.Empty();
}

void TMakeDepend::Option(const char* pszArgument)
{
    if (!IsOptionStart(pszArgument[0])) {
        Debug("Adding dependency file: %s\n", pszArgument);
        char* pszCopy = Strdup(pszArgument);
        if (pszCopy && !m_coPatterns.Add(pszCopy))
            std::free(pszCopy);
        return;
    }
    const char chOption = static_cast<char>(std::toupper(static_cast<unsigned char>(pszArgument[1])));
    const char* pszValue = chOption ? pszArgument + 2 : pszArgument + 1;
    TArray* pcoList = nullptr;
    switch (chOption) {
    case '?':
    case 'H':
        if (m_pfnHelp)
            m_pfnHelp();
        return;
    case 'D':
        if (std::strcmp(pszValue, "+") == 0)
            m_nMessages = 1;
        else if (std::strcmp(pszValue, "-") == 0)
            m_nMessages = 0;
        return;
    case 'F':
        pcoList = &m_coExtraDeps;
        break;
    case 'I':
        pcoList = &m_coIncludeDirs;
        break;
    case 'O':
        if (*pszValue)
            m_coObjectDir = pszValue;
        return;
    case 'S':
        m_nSystemIncludes = 0;
        return;
    case 'W':
        if (*pszValue)
            m_coWorkingDir = pszValue;
        return;
    default:
        Debug("Unknown option <%s> ignored\n", pszArgument);
        return;
    }
    if (!*pszValue)
        return;
    char* pszCopy = Strdup(pszValue);
    if (pszCopy && !pcoList->Add(pszCopy))
        std::free(pszCopy);
}

void TMakeDepend::AddEnvironment(const char* pszName)
{
    const TString coValue = CurrentOS().GetEnvVar(pszName);
    if (!coValue.IsEmpty())
        FillIncArrayFromEnv(coValue);
}

// Collects the header names that the file's include lines name, as
// Strdup copies; 0 when the file cannot be opened.
int TMakeDepend::ReadIncludes(const char* pszPath, TArray& coNames)
{
    const int nHandle = CurrentOS().OpenFile(pszPath, 1, 2, nullptr);
    if (nHandle == -1) {
        Debug("Could not open <%s> for scanning\n", pszPath);
        return 0;
    }
    TLineReader coReader(nHandle);
    long lLine = 0;
    int nTooLong = 0;
    while (const char* pszLine = coReader.Next(nTooLong)) {
        ++lLine;
        if (nTooLong)
            Debug("Line %ld of <%s> is longer than %d characters: the rest of it is not scanned\n", lLine, pszPath,
                  LineLength);
        TString coLine = pszLine;
        TString coName;
        if (!IncludeName(static_cast<char*>(coLine), coName))
            continue;
        char* pszCopy = coName.Strdup();
        if (pszCopy && !coNames.Add(pszCopy))
            std::free(pszCopy);
    }
    if (coReader.Failed())
        Debug("Could not read <%s> to its end\n", pszPath);
    CurrentOS().CloseFile(nHandle);
    return 1;
}

// The header name of an include line: "#include" with only white space
// before it, then the name in double quotes (or in angle brackets while
// they are followed) up to the closing character or the first white space.
// Whatever follows "//" is a comment.
int TMakeDepend::IncludeName(char* pszLine, TString& coName) const
{
    coName.Empty();
    if (char* pszComment = std::strstr(pszLine, "//"))
        *pszComment = 0;
    const char* psz = pszLine;
    while (IsBlank(*psz))
        ++psz;
    static const char s_szInclude[] = "#include";
    if (std::strncmp(psz, s_szInclude, sizeof(s_szInclude) - 1) != 0)
        return 0;
    psz += sizeof(s_szInclude) - 1;
    while (IsBlank(*psz))
        ++psz;
    char chClose;
    if (*psz == '"')
        chClose = '"';
    else if (*psz == '<' && m_nSystemIncludes)
        chClose = '>';
    else
        return 0;
    ++psz;
    const char* pszClose = std::strchr(psz, chClose);
    if (!pszClose)
        return 0;
    const char* pszEnd = psz;
    while (pszEnd < pszClose && !IsBlank(*pszEnd))
        ++pszEnd;
    coName = Piece(psz, static_cast<size_t>(pszEnd - psz));
    return coName.IsEmpty() ? 0 : 1;
}

int TMakeDepend::WorkingDirIsCurrent() const
{
    if (m_coWorkingDir.IsEmpty() || m_coWorkingDir == ".")
        return 1;
    const TString coCurrent = WithoutTrailingSeparator(CurrentOS().GetCurrentDirectory());
    return !coCurrent.IsEmpty() && WithoutTrailingSeparator(m_coWorkingDir).Stricmp(coCurrent) == 0 ? 1 : 0;
}

void TMakeDepend::Debug(const char* pszFormat, ...)
{
    if (!m_nMessages)
        return;
    va_list args;
    va_start(args, pszFormat);
    const TString coMessage = FormatV(pszFormat, args);
    va_end(args);
    NotifyDebugMessage(coMessage);
}

void TMakeDepend::Report(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    const TString coMessage = FormatV(pszFormat, args);
    va_end(args);
    NotifyDebugMessage(coMessage);
}
