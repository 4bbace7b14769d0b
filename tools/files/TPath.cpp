#include "TPath.h"

#include "TOpSystem.h"

#include <cstdlib>

namespace {

void FreeComponent(void* pvText)
{
    std::free(pvText);
}

void SetErrorCode(unsigned short* punError, unsigned short unCode)
{
    if (punError)
        *punError = unCode;
}

// Takes the text apart only as far as the leading "\" goes: the path keeps
// whatever else the caller gave.
TString RootedPath(const char* pszPath)
{
    if (!pszPath || !*pszPath)
        return TString("\\");
    if (*pszPath == '\\')
        return TString(pszPath);
    return TString("\\") + pszPath;
}

const char* const s_apszErrors[] = {
    "Success",
    "No access or directory already exists",
    "Path is invalid",
    "Path is no directory or it is not empty or it is the current directory or it is the root path",
    "No path defined in TPath object",
};

} // namespace

TPath::TPath(char chDrive, const char* pszPath)
    : m_chDrive(IsDriveLetter(chDrive) ? chDrive : 0)
    , m_coPath(RootedPath(pszPath))
{
}

TPath::TPath(const TPath& coOther)
    : m_chDrive(coOther.m_chDrive)
    , m_coPath(coOther.m_coPath)
{
}

TPath& TPath::operator=(const TPath& coOther)
{
    m_chDrive = coOther.m_chDrive;
    m_coPath = coOther.m_coPath;
    return *this;
}

void TPath::NotifyDestroy(TPath*)
{
}

TPath::~TPath()
{
    // Each dependent path leaves the list before it is told; one that a
    // notification deletes takes itself off the list, so it is never told
    // after it has gone.
    while (m_coChildPaths.Count() > 0) {
        auto* pcoChild = static_cast<TPath*>(m_coChildPaths.Remove(0L));
        pcoChild->m_coParentPaths.Remove(this, nullptr);
        pcoChild->NotifyDestroy(this);
    }
    for (long i = 0; i < m_coParentPaths.Count(); ++i)
        static_cast<TPath*>(m_coParentPaths.Get(i))->m_coChildPaths.Remove(this, nullptr);
    m_coParentPaths.Delete();
}

TPath* TPath::Clone() const
{
    return new TPath(*this);
}

TString TPath::FullPath() const
{
    if (!m_chDrive)
        return TString();
    TString coFull;
    coFull = m_chDrive;
    coFull += ':';
    coFull += m_coPath;
    coFull.Strupr();
    return coFull;
}

TString TPath::ShownPath() const
{
    if (!m_chDrive)
        return TString();
    TString coShown;
    coShown = Drive();
    coShown += ':';
    coShown += m_coPath;
    return coShown;
}

int TPath::IsValid() const
{
    return IsDriveLetter(m_chDrive) && !m_coPath.IsEmpty() && m_coPath[0] == '\\';
}

// Drive and path

char TPath::Drive() const
{
    return m_chDrive >= 'a' && m_chDrive <= 'z' ? static_cast<char>(m_chDrive - 'a' + 'A') : m_chDrive;
}

void TPath::SetDrive(char chDrive)
{
    m_chDrive = IsDriveLetter(chDrive) ? chDrive : 0;
}

void TPath::SetPath(const char* pszPath)
{
    if (pszPath && pszPath[0] && pszPath[1] == ':')
        pszPath += 2;
    m_coPath = RootedPath(pszPath);
}

void TPath::Set(char chDrive, const char* pszPath)
{
    SetDrive(chDrive);
    SetPath(pszPath);
}

void TPath::Use(const char* pszText)
{
    if (pszText && pszText[0] && pszText[1] == ':' && IsDriveLetter(pszText[0]))
        SetDrive(pszText[0]);
    SetPath(pszText);
}

TPath::operator const char*() const
{
    m_coFullText = FullPath();
    return m_coFullText;
}

// Components

long TPath::Split(TArray& coComponents) const
{
    coComponents.Delete();
    coComponents.SetDestroyFunc(FreeComponent);
    const TString coFull = FullPath();
    const char* psz = coFull.Strchr('\\');
    while (psz && *psz) {
        ++psz;
        const char* pszEnd = psz;
        while (*pszEnd && *pszEnd != '\\')
            ++pszEnd;
        if (pszEnd > psz)
            coComponents.Add(Strdup(psz, static_cast<int>(pszEnd - psz)));
        psz = pszEnd;
    }
    return coComponents.Count();
}

// The file system

int TPath::Exists() const
{
    const TString coFull = FullPath();
    return !coFull.IsEmpty() && CurrentOS().ExistsPath(coFull) ? 1 : 0;
}

int TPath::IsEmpty() const
{
    // Emptiness does not depend on the order, so the entries stay unsorted.
    return SelectFiles("*.*", TFileInfo::AttrDirectory | TFileInfo::AttrHidden | TFileInfo::AttrSystem,
                       TFileSelection::SortNone)
        .IsEmpty();
}

TFileSelection TPath::SelectFiles(const char* pszPattern, unsigned short unAttributes, unsigned short unSortType) const
{
    TFileSelection coSelection(unSortType);
    const TString coFull = FullPath();
    if (!coFull.IsEmpty())
        coSelection.Select(coFull, pszPattern, unAttributes);
    return coSelection;
}

int TPath::Create(int* pnExisted, unsigned short* punError) const
{
    if (Exists()) {
        SetErrorCode(punError, Success);
        if (pnExisted)
            *pnExisted = 1;
        return 1;
    }
    if (pnExisted)
        *pnExisted = 0;
    unsigned short unError = NoPath;
    TArray coComponents;
    if (Split(coComponents) > 0) {
        unError = Success;
        TString coDirectory;
        coDirectory = Drive();
        coDirectory += ":\\";
        for (long i = 0; i < coComponents.Count(); ++i) {
            coDirectory += static_cast<const char*>(coComponents.Get(i));
            if (!CurrentOS().ExistsPath(coDirectory) && !CurrentOS().CreateDirectory(coDirectory, &unError))
                break;
            coDirectory += '\\';
        }
    }
    SetErrorCode(punError, unError);
    return unError == Success ? 1 : 0;
}

int TPath::Remove(unsigned short* punError) const
{
    unsigned short unError = NoPath;
    TArray coComponents;
    long lLevels = Split(coComponents);
    if (lLevels > 0) {
        unError = Success;
        while (lLevels > 0 && unError == Success) {
            TString coDirectory;
            coDirectory = Drive();
            coDirectory += ':';
            for (long i = 0; i < lLevels; ++i) {
                coDirectory += '\\';
                coDirectory += static_cast<const char*>(coComponents.Get(i));
            }
            if (CurrentOS().RemoveDirectory(coDirectory, &unError))
                --lLevels;
        }
    }
    SetErrorCode(punError, unError);
    return unError == Success && lLevels == 0 ? 1 : 0;
}

int TPath::RemoveHighest(unsigned short* punError) const
{
    const TString coFull = FullPath();
    if (coFull.IsEmpty()) {
        SetErrorCode(punError, NoPath);
        return 0;
    }
    unsigned short unError = Success;
    const int nResult = CurrentOS().RemoveDirectory(coFull, &unError);
    SetErrorCode(punError, unError);
    return nResult;
}

// Dependent paths

int TPath::AddChildPath(TPath* pcoPath)
{
    if (!pcoPath || pcoPath == this || m_coChildPaths.GetIndex(pcoPath) >= 0)
        return 0;
    if (!m_coChildPaths.Add(pcoPath))
        return 0;
    if (!pcoPath->m_coParentPaths.Add(this)) {
        m_coChildPaths.Remove(pcoPath, nullptr);
        return 0;
    }
    return 1;
}

int TPath::RemoveChildPath(TPath* pcoPath)
{
    if (!pcoPath || !m_coChildPaths.Remove(pcoPath, nullptr))
        return 0;
    pcoPath->m_coParentPaths.Remove(this, nullptr);
    return 1;
}

const char* TPath::GetError(unsigned short unCode)
{
    return unCode < sizeof(s_apszErrors) / sizeof(s_apszErrors[0]) ? s_apszErrors[unCode] : "Undefined error";
}

int TPath::IsDriveLetter(char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') ? 1 : 0;
}
