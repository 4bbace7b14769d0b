#include "KwResHdl.h"

#include "KwApp.h"
#include "KwBitmap.h"
#include "KwColorTable.h"
#include "KwConfig.h"
#include "KwDib.h"
#include "KwFileHdl.h"
#include "KwFontTable.h"
#include "KwMarkerPool.h"
#include "KwResBitmap.h"
#include "KwWnd.h"
#include "TCrt.h"
#include "TModuleManager.h"
#include "TOpSystem.h"

#include <algorithm>
#include <cstring>

// Named table lists

template <class T>
T* KwTableList<T>::Get(short nIndex) const
{
    return nIndex >= 0 && nIndex < Count() ? m_coTables[static_cast<size_t>(nIndex)].get() : nullptr;
}

template <class T>
short KwTableList<T>::IndexOf(const char* pszName) const
{
    for (short i = 0; pszName && *pszName && i < Count(); ++i) {
        if (m_coTables[static_cast<size_t>(i)]->HasResId(pszName))
            return i;
    }
    return -1;
}

template <class T>
short KwTableList<T>::Add(const T& coTable)
{
    if (coTable.GetResId().IsEmpty() || IndexOf(coTable.GetResId()) >= 0)
        return -1;
    return Adopt(std::make_unique<T>(coTable));
}

template <class T>
short KwTableList<T>::Adopt(std::unique_ptr<T> pcoTable)
{
    m_coTables.push_back(std::move(pcoTable));
    if (!m_pcoActive)
        m_pcoActive = m_coTables.back().get();
    return static_cast<short>(Count() - 1);
}

template <class T>
int KwTableList<T>::Replace(short nIndex, std::unique_ptr<T> pcoTable)
{
    T* pcoOld = Get(nIndex);
    if (!pcoOld || !pcoTable)
        return 0;
    if (m_pcoActive == pcoOld)
        m_pcoActive = pcoTable.get();
    m_coTables[static_cast<size_t>(nIndex)] = std::move(pcoTable);
    return 1;
}

template <class T>
int KwTableList<T>::Remove(short nIndex)
{
    T* pcoTable = Get(nIndex);
    if (!pcoTable)
        return 0;
    m_coTables.erase(m_coTables.begin() + nIndex);
    if (m_pcoActive == pcoTable)
        m_pcoActive = Get(static_cast<short>(0));
    return 1;
}

template <class T>
int KwTableList<T>::SetActive(short nIndex)
{
    T* pcoTable = Get(nIndex);
    if (!pcoTable)
        return 0;
    m_pcoActive = pcoTable;
    return 1;
}

template class KwTableList<KwColorTable>;
template class KwTableList<KwFontTable>;

namespace {

int SameName(const char* pszA, const char* pszB)
{
    return pszA && pszB && CrtStricmp(pszA, pszB) == 0;
}

// The handler answers to the name as project or as file name.
int AnswersTo(const KwFileHdl& coHdl, const char* pszName)
{
    return SameName(coHdl.GetProject(), pszName) || SameName(coHdl.GetResFile(), pszName);
}

TString Formatted(const char* pszFormat, const char* pszFirst, const char* pszSecond = "")
{
    TString coText;
    return coText.SetText(pszFormat, pszFirst ? pszFirst : "", pszSecond ? pszSecond : "");
}

} // namespace

KwResHdl::KwResHdl(KwApp* pcoApp)
    : m_pcoApp(pcoApp)
{
    auto pcoColors = std::make_unique<KwColorTable>(KwColorTable::Default());
    m_coColorTables.Adopt(std::move(pcoColors));
    auto pcoFonts = std::make_unique<KwFontTable>(GetDefaultFontTableName());
    pcoFonts->SetAutoReCreate(1);
    m_coFontTables.Adopt(std::move(pcoFonts));
}

KwResHdl::~KwResHdl()
{
    // Pools hold uses of shared bitmaps; the files go last.
    m_coMarkerPools.clear();
    m_coBitmaps.clear();
    m_coFiles.clear();
}

// Installing

unsigned short KwResHdl::InstallResourceFile(const char* pszFile, const KwMemberLinkArray* pcoLinks, int nCopy,
                                             const char* pszReadPassword)
{
    if (!pszFile || !*pszFile)
        return TFileHdl::ErrOpen;
    return Install(pszFile, pcoLinks, nCopy, pszReadPassword);
}

unsigned short KwResHdl::Install(const char* pszFile, const KwMemberLinkArray* pcoLinks, int nCopy, const char* pszPassword)
{
    const TString coBase = KwConfig::FilePart(pszFile);
    if (KwFileHdl* pcoInstalled = GetFileHdl(coBase)) {
        pcoInstalled->AddRef();
        if (m_pcoApp && pcoLinks)
            m_pcoApp->AddMLA(pcoLinks);
        return TFileHdl::Success;
    }
    auto pcoHdl = std::make_unique<KwFileHdl>();
    const unsigned short unOpened = pcoHdl->OpenRead(pszFile, nCopy, pszPassword);
    if (unOpened != TFileHdl::Success)
        return unOpened;
    if (m_pcoApp)
        pcoHdl->SetReadCache(m_pcoApp->GetConfig().IsReadCache());

    // A file joins the installed ones only at its end; while its base
    // files are installed it is on the list of files being installed, so
    // that a base file naming it again is refused instead of recursing.
    m_coInstalling.push_back(coBase);
    TString coPending;
    for (const TString& coInclude : pcoHdl->GetFileHdlInfo().GetIncludeProjects()) {
        const TString coPath = m_pcoApp ? m_pcoApp->GetConfig().FindFile(coInclude, KwConfig::PathSystem, 1) : TString();
        if (coPath.IsEmpty()) {
            coPending = Formatted("Base-Resource File\n\n<%s>\n\ndefined in <%s> not found!", coInclude, pszFile);
            break;
        }
        const TString coIncludeBase = KwConfig::FilePart(coPath);
        if (std::any_of(m_coInstalling.begin(), m_coInstalling.end(),
                        [&](const TString& coName) { return SameName(coName, coIncludeBase); })) {
            coPending = Formatted("Base-Resource File\n\n<%s>\n\ndefined in <%s> includes itself (include cycle)!",
                                  coInclude, pszFile);
            break;
        }
        const unsigned short unResult = Install(coPath, nullptr, nCopy, pszPassword);
        if (unResult != TFileHdl::Success) {
            coPending = TString("Error detected by Resource-Manager:\n\n") + TFileHdl::GetError(unResult, coPath);
            break;
        }
    }
    m_coInstalling.pop_back();
    if (!coPending.IsEmpty()) {
        if (m_pcoApp)
            m_pcoApp->Message(coPending, "Resource-Manager Message", nullptr, 0);
        return TFileHdl::ErrGeneral;
    }
    for (const TString& coLibrary : pcoHdl->GetFileHdlInfo().GetIncludeLibs()) {
        if (!CurrentOS().ModuleManager().Load(coLibrary)) {
            if (m_pcoApp)
                m_pcoApp->Message(Formatted("Load of DLL\n\n<%s>\n\nfailed!", coLibrary), "Resource-Manager Message", nullptr, 0);
            return TFileHdl::ErrGeneral;
        }
    }
    if (m_pcoApp && pcoLinks)
        m_pcoApp->AddMLA(pcoLinks);
    KwFileHdl& coHdl = *pcoHdl;
    m_coFiles.push_back(std::move(pcoHdl));
    coHdl.AddRef();
    AfterInstall(coHdl);
    return TFileHdl::Success;
}

// The marker pools of the file, the application's event and the file's
// default font table.
void KwResHdl::AfterInstall(KwFileHdl& coHdl)
{
    for (unsigned short i = 0; i < coHdl.GetResCount(); ++i) {
        const TResInfo coInfo = coHdl.GetResInfo(i);
        if (coInfo.GetId().IsEmpty() || coInfo.GetClass().IsEmpty()
            || !TDynBase::IsClassFamily(coInfo.GetClass(), "KwMarkerPool"))
            continue;
        std::unique_ptr<TResource> pcoLoaded(coHdl.LoadResource(coInfo.GetId(), nullptr, nullptr, 0));
        if (pcoLoaded && pcoLoaded->IsClassFamily("KwMarkerPool"))
            InstallMarkerPool(*static_cast<KwMarkerPool*>(pcoLoaded.get()));
    }
    if (m_pcoApp && m_pcoApp->EvResourceFileInstalled(coHdl))
        return;
    if (!coHdl.IsEntryOfFamily(GetDefaultFontTableName(), "KwFontTable"))
        return;
    std::unique_ptr<TResource> pcoLoaded(coHdl.LoadResource(GetDefaultFontTableName(), nullptr, nullptr, 0));
    if (!pcoLoaded || !pcoLoaded->IsClassFamily("KwFontTable"))
        return;
    std::unique_ptr<KwFontTable> pcoTable(static_cast<KwFontTable*>(pcoLoaded.release()));
    KwFontTable* pcoNew = pcoTable.get();
    const int nWasActive = !m_coFontTables.GetActive() || m_coFontTables.GetActive() == m_coFontTables.Get(static_cast<short>(0));
    if (m_coFontTables.Get(static_cast<short>(0)))
        m_coFontTables.Replace(0, std::move(pcoTable));
    else
        m_coFontTables.Adopt(std::move(pcoTable));
    if (nWasActive) {
        m_coFontTables.SetActive(0);
        pcoNew->SetAutoReCreate(1);
    }
}

int KwResHdl::UnInstallResourceFile(const char* pszName)
{
    if (!pszName || !*pszName)
        return 0;
    // A path, as given to the installation, names its file.
    const int nByFile = std::strchr(pszName, '.') != nullptr;
    const TString coName = nByFile ? KwConfig::FilePart(pszName) : TString(pszName);
    const auto it = std::find_if(m_coFiles.begin(), m_coFiles.end(), [&](const std::unique_ptr<KwFileHdl>& pcoHdl) {
        return SameName(nByFile ? pcoHdl->GetResFile() : pcoHdl->GetProject(), coName);
    });
    if (it == m_coFiles.end())
        return 0;
    if ((*it)->Release() > 0)
        return 1;
    const KwFileHdlInfo coInfo = (*it)->GetFileHdlInfo();
    for (const TString& coLibrary : coInfo.GetIncludeLibs())
        CurrentOS().ModuleManager().Free(coLibrary);
    if (m_pcoPriorityFileHdl == it->get())
        m_pcoPriorityFileHdl = nullptr;
    m_coFiles.erase(it);
    for (const TString& coInclude : coInfo.GetIncludeProjects())
        UnInstallResourceFile(KwConfig::FilePart(coInclude));
    return 1;
}

KwFileHdl* KwResHdl::GetFileHdl(const char* pszName) const
{
    for (const auto& pcoHdl : m_coFiles) {
        if (AnswersTo(*pcoHdl, pszName))
            return pcoHdl.get();
    }
    return nullptr;
}

KwFileHdl* KwResHdl::GetFileHdlFromIndex(short nIndex) const
{
    return nIndex >= 0 && nIndex < GetFileHdlCount() ? m_coFiles[static_cast<size_t>(nIndex)].get() : nullptr;
}

KwFileHdl* KwResHdl::FindUsedFileHdl(const char* pszId, const char* pszProject) const
{
    if (pszProject && *pszProject)
        return GetFileHdl(pszProject);
    for (const auto& pcoHdl : m_coFiles) {
        if (pcoHdl->HasResource(pszId))
            return pcoHdl.get();
    }
    return nullptr;
}

// Loading

KwRes* KwResHdl::LoadResource(const char* pszId, TResource* pcoParent, const char* pszProject, int nFlag)
{
    KwFileHdl* pcoHdl = pszId && *pszId ? FindUsedFileHdl(pszId, pszProject) : nullptr;
    TResource* pcoLoaded = pcoHdl ? pcoHdl->LoadResource(pszId, nullptr, pcoParent, nFlag) : nullptr;
    if (pcoLoaded && !pcoLoaded->IsClassFamily("KwRes")) {
        pcoLoaded->Destroy();
        return nullptr;
    }
    return static_cast<KwRes*>(pcoLoaded);
}

int KwResHdl::LoadCustomResource(const char* pszId, TResource* pcoTarget, TResource* pcoParent, const char* pszProject,
                                 int nFlag)
{
    KwFileHdl* pcoHdl = pszId && *pszId && pcoTarget ? FindUsedFileHdl(pszId, pszProject) : nullptr;
    return pcoHdl && pcoHdl->LoadResource(pszId, pcoTarget, pcoParent, nFlag) != nullptr;
}

KwWnd* KwResHdl::LoadWindow(const char* pszId, KwWnd* pcoParent, const char* pszProject)
{
    KwFileHdl* pcoHdl = pszId && *pszId ? FindUsedFileHdl(pszId, pszProject) : nullptr;
    return pcoHdl ? pcoHdl->LoadWindow(pszId, pcoParent) : nullptr;
}

int KwResHdl::LoadCustomWindow(const char* pszId, KwWnd* pcoWindow, KwWnd* pcoParent, const char* pszProject)
{
    KwFileHdl* pcoHdl = pszId && *pszId && pcoWindow ? FindUsedFileHdl(pszId, pszProject) : nullptr;
    return pcoHdl && pcoHdl->LoadCustomWindow(pszId, pcoWindow, pcoParent);
}

KwBitmap* KwResHdl::LoadBitmap(const char* pszId, const char* pszProject)
{
    KwFileHdl* pcoHdl = pszId && *pszId ? FindUsedFileHdl(pszId, pszProject) : nullptr;
    return pcoHdl ? pcoHdl->LoadBitmap(pszId) : nullptr;
}

int KwResHdl::LoadCustomBitmap(const char* pszId, KwBitmap* pcoBitmap, const char* pszProject)
{
    KwFileHdl* pcoHdl = pszId && *pszId && pcoBitmap ? FindUsedFileHdl(pszId, pszProject) : nullptr;
    return pcoHdl && pcoHdl->LoadCustomBitmap(pszId, pcoBitmap);
}

KwDib* KwResHdl::LoadDib(const char* pszId, const char* pszProject)
{
    KwFileHdl* pcoHdl = pszId && *pszId ? FindUsedFileHdl(pszId, pszProject) : nullptr;
    return pcoHdl ? pcoHdl->LoadDib(pszId) : nullptr;
}

int KwResHdl::LoadCustomDib(const char* pszId, KwDib* pcoDib, const char* pszProject)
{
    KwFileHdl* pcoHdl = pszId && *pszId && pcoDib ? FindUsedFileHdl(pszId, pszProject) : nullptr;
    return pcoHdl && pcoHdl->LoadCustomDib(pszId, pcoDib);
}
