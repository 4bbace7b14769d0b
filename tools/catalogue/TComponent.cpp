#include "TComponent.h"

#include "TCrt.h"
#include "TFile.h"
#include "TOpSystem.h"
#include "TResVar.h"
#include "TRuntimeModule.h"

#include <cstring>

KW_IMPLEMENT_DYNAMIC_CLASS(TComponent, TResource, "kwtl")

namespace {

// Windows finds its environment variables without regard to letter case;
// POSIX does not, and names the search path in capitals.
#if defined(_WIN32)
const char s_szPathVariable[] = "path";
#else
const char s_szPathVariable[] = "PATH";
#endif

bool IsDirectorySeparator(char ch)
{
    return ch == '\\' || ch == '/' || ch == CrtPathSeparator();
}

// The directory of one search-path entry joined with a file name. An
// entry that already ends in a separator gets no second one.
TString JoinPath(const char* pchDir, size_t nLen, const TString& coName)
{
    TString coPath;
    coPath.Strncpy(pchDir, static_cast<int>(nLen));
    if (!IsDirectorySeparator(pchDir[nLen - 1]))
        coPath += CrtPathSeparator();
    coPath += coName;
    return coPath;
}

} // namespace

TComponent::TComponent(const char* pszComponentClass)
{
    SetComponentClass(pszComponentClass);
}

TComponent::TComponent(const TComponent& coOther)
    : TResource(coOther)
    , m_coComponentClass(coOther.m_coComponentClass)
    , m_coPrompt(coOther.m_coPrompt)
    , m_coDesc(coOther.m_coDesc)
    , m_coDll(coOther.m_coDll)
{
}

TComponent& TComponent::operator=(const TComponent& coOther)
{
    if (this == &coOther)
        return *this;
    TResource::operator=(coOther);
    m_coComponentClass = coOther.m_coComponentClass;
    m_coPrompt = coOther.m_coPrompt;
    m_coDesc = coOther.m_coDesc;
    m_coDll = coOther.m_coDll;
    return *this;
}

void TComponent::SetComponentClass(const char* pszComponentClass)
{
    m_coComponentClass = pszComponentClass;
    TString coId;
    coId.Strncpy(m_coComponentClass, MaxResIdLen);
    SetResId(coId);
}

void TComponent::SetDll(const char* pszPath)
{
    const char* pszName = pszPath;
    for (const char* p = pszPath; p && *p; ++p)
        if (*p == ':' || *p == '\\' || *p == '/')
            pszName = p + 1;
    m_coDll = pszName;
}

// Empty entries of the search path (";;" or a trailing ";") would stand for
// the current directory or a root; neither is searched.
int TComponent::CheckDllExistance(TString* pcoModuleName) const
{
    const TString coModule = m_coDll.IsEmpty() ? TString() : TRuntimeModule::MakeModuleName(m_coDll);
    if (pcoModuleName)
        *pcoModuleName = coModule;
    if (coModule.IsEmpty())
        return 0;
    const TOpSystem& coOS = CurrentOS();
    const TString coSearchPath = coOS.GetEnvVar(s_szPathVariable);
    const char chList = CrtPathListSeparator();
    for (const char* pchEntry = coSearchPath; *pchEntry;) {
        const char* pchEnd = std::strchr(pchEntry, chList);
        const size_t nLen = pchEnd ? size_t(pchEnd - pchEntry) : std::strlen(pchEntry);
        if (nLen && coOS.ExistsPath(JoinPath(pchEntry, nLen, coModule)))
            return 1;
        if (!pchEnd)
            break;
        pchEntry = pchEnd + 1;
    }
    return 0;
}

int TComponent::Compare(const void* pvA, const void* pvB)
{
    const TComponent* pcoA = static_cast<const TComponent*>(pvA);
    const TComponent* pcoB = static_cast<const TComponent*>(pvB);
    return CrtStricmp(pcoA->m_coComponentClass, pcoB->m_coComponentClass);
}

TComponent* TComponent::Clone() const
{
    return new TComponent(*this);
}

void TComponent::WriteData(TFile& coFile) const
{
    TResource::WriteData(coFile);
    TResString(VarComponentClass, m_coComponentClass).Write(coFile);
    TResString(VarPrompt, m_coPrompt).Write(coFile);
    TResString(VarDesc, m_coDesc).Write(coFile);
    TResString(VarDll, m_coDll).Write(coFile);
}

int TComponent::NotifyReadBegin()
{
    TResource::NotifyReadBegin();
    m_coComponentClass.Empty();
    m_coPrompt.Empty();
    m_coDesc.Empty();
    m_coDll.Empty();
    return 1;
}

// Only string variables carry the four fields; a variable of another kind
// under one of their ids is passed over.
int TComponent::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    if (TResource::NotifyVariableRead(coVar, pcoParent, ulIndex))
        return 1;
    TString* pcoField = nullptr;
    switch (coVar.MyId()) {
    case VarComponentClass: pcoField = &m_coComponentClass; break;
    case VarPrompt: pcoField = &m_coPrompt; break;
    case VarDesc: pcoField = &m_coDesc; break;
    case VarDll: pcoField = &m_coDll; break;
    default: return 0;
    }
    if (coVar.MyType() != TResVar::TypeString)
        return 0;
    *pcoField = coVar.AsText();
    return 1;
}
