#include "TRuntimeModule.h"

#include "TCrt.h"
#include "TOpSystem.h"

#include <cstring>

KW_IMPLEMENT_DYNAMIC_CLASS(TRuntimeModule, TDynBase, "kwtl")

namespace {

// Windows names a directory with "\" and a drive with ":"; natively only
// "/" separates directories.
#if defined(_WIN32)
constexpr char kSeparator = '\\';
bool IsSplitChar(char ch) { return ch == '\\' || ch == ':'; }
#else
constexpr char kSeparator = '/';
bool IsSplitChar(char ch) { return ch == '/'; }
#endif

const char* const s_apszPrefixes[] = { "qa32", "bw32", "ww32", "bo32", "wo32", "io32", "vo32" };
const char s_szWildcard[] = "????";
constexpr size_t kPrefixLength = 4;

// A root ("\", "X:\" or "/") keeps its separator: without it the text would
// name the current directory instead.
bool IsRoot(const TString& coPath)
{
    const int n = coPath.Strlen();
#if defined(_WIN32)
    return (n == 1 && coPath[0] == '\\') || (n == 3 && coPath[1] == ':' && coPath[2] == '\\');
#else
    return n == 1 && coPath[0] == '/';
#endif
}

void RemoveTrailingSeparator(TString& coPath)
{
    const int n = coPath.Strlen();
    if (n == 0 || coPath[n - 1] != kSeparator || IsRoot(coPath))
        return;
    coPath.Strncpy(coPath, n - 1);
}

} // namespace

TRuntimeModule::TRuntimeModule(const char* pszName, const char* pszPath)
{
    const char* pszText = pszName ? pszName : "";
    const char* pszSplit = nullptr;
    for (const char* p = pszText; *p; ++p)
        if (IsSplitChar(*p))
            pszSplit = p;
    if (pszSplit) {
        m_coName = pszSplit + 1;
        // A ":" belongs to the drive and stays in the path; a separator does
        // not, unless it is the root's.
        m_coPath.Strncpy(pszText, static_cast<int>(pszSplit - pszText + 1));
        RemoveTrailingSeparator(m_coPath);
    } else {
        m_coName = pszText;
    }
    if (pszPath && *pszPath) {
        m_coPath = pszPath;
        RemoveTrailingSeparator(m_coPath);
    }
}

TRuntimeModule::TRuntimeModule(const TRuntimeModule& coOther)
    : TDynBase(coOther)
    , m_coName(coOther.m_coName)
    , m_coPath(coOther.m_coPath)
    , m_nHandle(coOther.m_nHandle)
    , m_lRefCount(coOther.m_lRefCount)
    , m_nCopy(1)
    , m_pcoSystem(coOther.m_pcoSystem)
{
}

TRuntimeModule::~TRuntimeModule()
{
    if (!m_nCopy && IsLoaded())
        OpSystem().FreeLibrary(m_nHandle);
}

const TOpSystem& TRuntimeModule::OpSystem() const
{
    return m_pcoSystem ? *m_pcoSystem : CurrentOS();
}

TString TRuntimeModule::GetFileName() const
{
    TString coModule = MakeModuleName(m_coName);
    if (coModule.IsEmpty())
        return coModule;
    TString coFile = m_coPath;
    const int n = coFile.Strlen();
    const char chLast = n ? coFile[n - 1] : 0;
    if (n && chLast != kSeparator && chLast != ':')
        coFile += kSeparator;
    coFile += coModule;
    return coFile;
}

int TRuntimeModule::Load()
{
    if (m_coName.IsEmpty())
        return 0;
    if (IsLoaded()) {
        ++m_lRefCount;
        return 1;
    }
    const TString coFile = GetFileName();
    if (coFile.IsEmpty())
        return 0;
    const intptr_t nHandle = OpSystem().LoadLibrary(coFile);
    if (!nHandle)
        return 0;
    m_nHandle = nHandle;
    m_lRefCount = 1;
    // The library reference is this object's own now, also for a copy.
    m_nCopy = 0;
    return 1;
}

int TRuntimeModule::Free()
{
    if (!IsLoaded())
        return 0;
    if (m_lRefCount > 1) {
        --m_lRefCount;
        return 1;
    }
    // A copy's handle belongs to the module it was copied from.
    if (!m_nCopy && !OpSystem().FreeLibrary(m_nHandle))
        return 0;
    m_nHandle = 0;
    m_lRefCount = 0;
    return 1;
}

TString TRuntimeModule::MakeModuleName(const char* pszName)
{
    if (!pszName || !*pszName || std::strlen(pszName) > MaxNameLength)
        return TString();
    if (std::strncmp(pszName, s_szWildcard, kPrefixLength) != 0)
        return TString(pszName);
    return TString(GetPlatformPrefix()) + (pszName + kPrefixLength);
}

TString TRuntimeModule::MakeModuleWildcardName(const char* pszName)
{
    if (!pszName)
        return TString();
    for (const char* pszPrefix : s_apszPrefixes)
        if (CrtStrnicmp(pszName, pszPrefix, kPrefixLength) == 0)
            return TString(s_szWildcard) + (pszName + kPrefixLength);
    return TString();
}
