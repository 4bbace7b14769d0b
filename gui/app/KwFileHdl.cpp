#include "KwFileHdl.h"

#include "KwApp.h"
#include "KwBitmap.h"
#include "KwDib.h"
#include "KwFontTable.h"
#include "KwSystem.h"
#include "KwWnd.h"

#include <cctype>
#include <cstring>
#include <memory>
#include <string>

KW_IMPLEMENT_DYNAMIC_CLASS(KwFileHdl, TFileHdl, "kw25")

namespace {

KwApp* App()
{
    return pcoKwSys ? pcoKwSys->GetApp() : nullptr;
}

} // namespace

// Hooks

void KwFileHdl::DisplayMessage(const char* pszText)
{
    KwRes::ReportReadFault(pszText);
}

TResource* KwFileHdl::CustomCreateResource(const char* pszClass, unsigned short unWParam, uint32_t ulLParam)
{
    if (const KwApp* pcoApp = App()) {
        if (KwRes* pcoRes = pcoApp->UCC_KwRes(pszClass))
            return pcoRes;
    }
    return TFileHdl::CustomCreateResource(pszClass, unWParam, ulLParam);
}

TResource* KwFileHdl::NotifyCreateResource(unsigned short unType, TResource*, uint32_t, unsigned short, uint32_t)
{
    const KwApp* pcoApp = App();
    return pcoApp ? pcoApp->UCC_KwRes(unType) : nullptr;
}

void KwFileHdl::NotifyStartTmpLoadFromSave()
{
    if (KwApp* pcoApp = App())
        pcoApp->SetLoadForEdit(1);
}

void KwFileHdl::NotifyEndTmpLoadFromSave()
{
    if (KwApp* pcoApp = App())
        pcoApp->SetLoadForEdit(0);
}

void KwFileHdl::NotifyPostOpen()
{
    m_coInfo.Empty();
    if (HasResource(KwFileHdlInfo::GetProjectInfoId()))
        LoadResource(KwFileHdlInfo::GetProjectInfoId(), &m_coInfo, nullptr, 0);
    m_coInfo.SetResId(KwFileHdlInfo::GetProjectInfoId());
    const TString coTableId = m_coInfo.GetDefFontTable();
    KwApp* pcoApp = App();
    if (coTableId.IsEmpty() || !pcoApp || !IsEntryOfFamily(coTableId, "KwFontTable"))
        return;
    std::unique_ptr<TResource> pcoLoaded(LoadResource(coTableId, nullptr, nullptr, 0));
    if (!pcoLoaded || !pcoLoaded->IsClassFamily("KwFontTable") || pcoLoaded->GetResId().IsEmpty())
        return;
    KwResHdl& coResHdl = pcoApp->GetResHdl();
    coResHdl.AddFontTable(*static_cast<KwFontTable*>(pcoLoaded.get()));
    coResHdl.ChangeActFontTable(pcoLoaded->GetResId());
}

void KwFileHdl::NotifyPreSave()
{
    WriteTemp(m_coInfo);
}

// Typed loading

int KwFileHdl::IsEntryOfFamily(const char* pszId, const char* pszFamily) const
{
    if (!pszId || !*pszId)
        return 0;
    const TResInfo coInfo = GetResInfo(pszId);
    return !coInfo.GetClass().IsEmpty() && TDynBase::IsClassFamily(coInfo.GetClass(), pszFamily);
}

KwWnd* KwFileHdl::LoadWindow(const char* pszId, KwWnd* pcoParent)
{
    if (!IsEntryOfFamily(pszId, "KwWnd"))
        return nullptr;
    TResource* pcoLoaded = LoadResource(pszId, nullptr, pcoParent, 1);
    if (pcoLoaded && !pcoLoaded->IsClassFamily("KwWnd")) {
        pcoLoaded->Destroy();
        return nullptr;
    }
    return static_cast<KwWnd*>(pcoLoaded);
}

int KwFileHdl::LoadCustomWindow(const char* pszId, KwWnd* pcoWindow, KwWnd* pcoParent)
{
    if (!pcoWindow || !IsEntryOfFamily(pszId, "KwWnd"))
        return 0;
    return LoadResource(pszId, pcoWindow, pcoParent, 1) != nullptr;
}

KwDib* KwFileHdl::LoadDib(const char* pszId)
{
    if (!IsEntryOfFamily(pszId, "KwDib"))
        return nullptr;
    std::unique_ptr<KwDib> pcoDib(new KwDib(pszId));
    return LoadCustomDib(pszId, pcoDib.get()) ? pcoDib.release() : nullptr;
}

int KwFileHdl::LoadCustomDib(const char* pszId, KwDib* pcoDib)
{
    if (!pcoDib || !IsEntryOfFamily(pszId, "KwDib"))
        return 0;
    return LoadResource(pszId, pcoDib, nullptr, 1) != nullptr;
}

KwBitmap* KwFileHdl::LoadBitmap(const char* pszId)
{
    std::unique_ptr<KwBitmap> pcoBitmap(new KwBitmap(pszId));
    return LoadCustomBitmap(pszId, pcoBitmap.get()) ? pcoBitmap.release() : nullptr;
}

int KwFileHdl::LoadCustomBitmap(const char* pszId, KwBitmap* pcoBitmap)
{
    if (!pcoBitmap)
        return 0;
    if (IsEntryOfFamily(pszId, "KwBitmap"))
        return LoadResource(pszId, pcoBitmap, nullptr, 1) != nullptr;
    if (!IsEntryOfFamily(pszId, "KwDib"))
        return 0;
    KwDib coDib(pszId);
    if (!LoadCustomDib(pszId, &coDib) || !coDib.IsValid())
        return 0;
    pcoBitmap->SetResId(pszId);
    return pcoBitmap->SysCreate(coDib, nullptr);
}

// Importing pictures

TString KwFileHdl::MakeDefaultResId(const char* pszFile, const char* pszPrefix)
{
    if (!pszFile)
        return TString();
    const char* pszName = pszFile;
    for (const char* pch = pszFile; *pch; ++pch) {
        if (*pch == '\\' || *pch == ':' || *pch == '/')
            pszName = pch + 1;
    }
    const char* pszDot = std::strrchr(pszName, '.');
    const int nHasPrefix = pszPrefix && *pszPrefix;
    std::string strId;
    if (pszDot) {
        strId = std::string(nHasPrefix ? pszPrefix : pszDot + 1) + "_" + std::string(pszName, pszDot);
    } else {
        if (nHasPrefix)
            strId = std::string(pszPrefix) + "_";
        strId += pszName;
    }
    for (char& ch : strId)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return TString(strId.c_str());
}

TString KwFileHdl::GetImportError(unsigned short unCode, const char* pszFile, const char* pszId)
{
    TString coText;
    switch (unCode) {
    case ImportOk:
        return "No error found!";
    case ImportNoFile:
        if (pszFile && *pszFile)
            return coText.SetText("File <%s> not found!", pszFile);
        return "File not found!";
    case ImportNotWriting:
        return "File handler not opened in write-mode!";
    case ImportIdExists:
        if (pszId && *pszId)
            return coText.SetText("The id <%s> already exists!", pszId);
        return "The given resource-id already exists!";
    case ImportFailed:
        return "An undefined error has occurred!";
    default:
        return "Undefined error code!";
    }
}

unsigned short KwFileHdl::Import(const char* pszFile, const char* pszId, int nReplace, const char* pszPrefix)
{
    if (!pszFile || !*pszFile)
        return ImportNoFile;
    if (GetOpenType() != OpenEditExisting && GetOpenType() != OpenEditNew)
        return ImportNotWriting;
    const TString coId = pszId && *pszId ? TString(pszId) : MakeDefaultResId(pszFile, pszPrefix);
    if (!nReplace && HasResource(coId))
        return ImportIdExists;
    KwDib coDib(pszFile, coId, 1);
    if (!coDib.IsValid())
        return ImportNoFile;
    return WriteTemp(coDib) == Success ? ImportOk : ImportFailed;
}

unsigned short KwFileHdl::ImportDib(const char* pszFile, const char* pszId, int nReplace)
{
    return Import(pszFile, pszId, nReplace, nullptr);
}

unsigned short KwFileHdl::ImportBitmap(const char* pszFile, const char* pszId, int nReplace)
{
    return Import(pszFile, pszId, nReplace, nullptr);
}
