// The colour and font tables of the resource manager.

#include "KwResHdl.h"

#include "KwApp.h"
#include "KwColorTable.h"
#include "KwFontTable.h"

namespace {

// A table by name: the present one (made active when asked), else loaded
// from the installed files when it is of the family; its copy goes to
// pcoCopy when given.
template <class T>
T* LoadTable(KwResHdl& coResHdl, KwTableList<T>& coTables, const char* pszId, int nMakeActive, const char* pszProject,
             T* pcoCopy, const char* pszFamily)
{
    if (!pszId || !*pszId)
        return nullptr;
    short nIndex = coTables.IndexOf(pszId);
    if (nIndex < 0) {
        std::unique_ptr<KwRes> pcoLoaded(coResHdl.LoadResource(pszId, nullptr, pszProject, 0));
        if (!pcoLoaded || !pcoLoaded->IsClassFamily(pszFamily))
            return nullptr;
        nIndex = coTables.Adopt(std::unique_ptr<T>(static_cast<T*>(pcoLoaded.release())));
        if (pcoCopy)
            *pcoCopy = *coTables.Get(nIndex);
    }
    if (nMakeActive)
        coTables.SetActive(nIndex);
    return coTables.Get(nIndex);
}

} // namespace

// Colour tables

KwColorTable* KwResHdl::LoadColorTable(const char* pszId, int nMakeActive, const char* pszProject, KwColorTable* pcoCopy)
{
    return LoadTable(*this, m_coColorTables, pszId, nMakeActive, pszProject, pcoCopy, "KwColorTable");
}

TString KwResHdl::GetColorTableName(short nIndex) const
{
    const KwColorTable* pcoTable = GetColorTable(nIndex);
    return pcoTable ? pcoTable->GetResId() : TString();
}

int KwResHdl::HasColor(const char* pszName) const
{
    return GetActColorTable() && GetActColorTable()->HasColor(pszName);
}

const KwColor& KwResHdl::GetColor(short nIndex) const
{
    return (GetActColorTable() ? *GetActColorTable() : KwColorTable::Default()).GetColor(nIndex);
}

const KwColor& KwResHdl::GetColor(const char* pszName) const
{
    return (GetActColorTable() ? *GetActColorTable() : KwColorTable::Default()).GetColor(pszName);
}

short KwResHdl::GetColorIndex(const char* pszName) const
{
    return GetActColorTable() ? GetActColorTable()->GetColorIndex(pszName) : -1;
}

TString KwResHdl::GetColorName(short nIndex) const
{
    return GetActColorTable() ? GetActColorTable()->GetColorName(nIndex) : TString();
}

int KwResHdl::SetColor(short nIndex, const KwColor& coColor)
{
    return GetActColorTable() && GetActColorTable()->SetColor(nIndex, coColor);
}

int KwResHdl::SetColor(const char* pszName, const KwColor& coColor)
{
    return GetActColorTable() && GetActColorTable()->SetColor(pszName, coColor);
}

int KwResHdl::ChgColorName(short nIndex, const char* pszNewName)
{
    return GetActColorTable() && GetActColorTable()->ChgColorName(nIndex, pszNewName);
}

int KwResHdl::ChgColorName(const char* pszName, const char* pszNewName)
{
    return GetActColorTable() && GetActColorTable()->ChgColorName(pszName, pszNewName);
}

// Font tables

KwFontTable* KwResHdl::LoadFontTable(const char* pszId, int nMakeActive, const char* pszProject, KwFontTable* pcoCopy)
{
    return LoadTable(*this, m_coFontTables, pszId, nMakeActive, pszProject, pcoCopy, "KwFontTable");
}

TString KwResHdl::GetFontTableName(short nIndex) const
{
    const KwFontTable* pcoTable = GetFontTable(nIndex);
    return pcoTable ? pcoTable->GetResId() : TString();
}

int KwResHdl::HasFont(const char* pszName) const
{
    return GetActFontTable() && GetActFontTable()->HasFont(pszName);
}

const KwFont& KwResHdl::GetFont(short nIndex) const
{
    return GetActFontTable() ? GetActFontTable()->GetFont(nIndex) : KwFontTable::DefaultFont();
}

const KwFont& KwResHdl::GetFont(const char* pszName) const
{
    return GetFont(GetFontIndex(pszName));
}

short KwResHdl::GetFontIndex(const char* pszName) const
{
    return GetActFontTable() ? GetActFontTable()->GetFontIndex(pszName) : -1;
}

TString KwResHdl::GetFontName(short nIndex) const
{
    return GetActFontTable() ? GetActFontTable()->GetFontName(nIndex) : TString();
}

int KwResHdl::SetFont(short nIndex, const KwFont& coFont)
{
    return GetActFontTable() && GetActFontTable()->SetFont(nIndex, coFont);
}

int KwResHdl::SetFont(const char* pszName, const KwFont& coFont)
{
    return GetActFontTable() && GetActFontTable()->SetFont(pszName, coFont);
}

int KwResHdl::ChgFontName(short nIndex, const char* pszNewName)
{
    return GetActFontTable() && GetActFontTable()->ChgFontName(nIndex, pszNewName);
}

int KwResHdl::ChgFontName(const char* pszName, const char* pszNewName)
{
    return GetActFontTable() && GetActFontTable()->ChgFontName(pszName, pszNewName);
}
