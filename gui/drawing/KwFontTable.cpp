#include "KwFontTable.h"

#include "KwDrawingResources.h"
#include "KwSystem.h"
#include "TFile.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwFontTable, KwRes, "kw25")

namespace {

int IsIndex(short nIndex)
{
    return nIndex >= 0 && nIndex < KwFontTable::Count;
}

} // namespace

const KwFont& KwFontTable::DefaultFont()
{
    if (const KwDrawingResources* pcoResources = KwDrawingResources::Current())
        return pcoResources->DefaultFont();
    static const KwFont s_coFallback("MS Sans Serif", "FONT_FALLBACK");
    return s_coFallback;
}

KwFontTable::KwFontTable(const KwFontTable& coOther)
    : KwRes(coOther)
{
    *this = coOther;
}

KwFontTable& KwFontTable::operator=(const KwFontTable& coOther)
{
    if (this == &coOther)
        return *this;
    KwRes::operator=(coOther);
    m_nAutoReCreate = coOther.m_nAutoReCreate;
    for (short i = 0; i < Count; ++i) {
        m_apcoFonts[i].reset(coOther.m_apcoFonts[i] ? new KwFont(*coOther.m_apcoFonts[i]) : nullptr);
        if (m_apcoFonts[i] && m_nAutoReCreate)
            m_apcoFonts[i]->SysCreate();
    }
    return *this;
}

const KwFont& KwFontTable::GetFont(short nIndex) const
{
    return IsIndex(nIndex) && m_apcoFonts[nIndex] ? *m_apcoFonts[nIndex] : DefaultFont();
}

int KwFontTable::SetFont(short nIndex, const KwFont& coFont)
{
    if (!IsIndex(nIndex))
        return 0;
    if (!m_apcoFonts[nIndex])
        m_apcoFonts[nIndex].reset(new KwFont(coFont, coFont.GetResId()));
    else
        m_apcoFonts[nIndex]->SetLogFont(coFont.GetLogFont());
    if (m_nAutoReCreate)
        m_apcoFonts[nIndex]->SysCreate();
    return 1;
}

int KwFontTable::RemoveFont(short nIndex)
{
    if (!HasFont(nIndex))
        return 0;
    m_apcoFonts[nIndex].reset();
    return 1;
}

int KwFontTable::ChgFontName(short nIndex, const char* pszNewName)
{
    if (!HasFont(nIndex))
        return 0;
    m_apcoFonts[nIndex]->SetResId(pszNewName);
    return 1;
}

short KwFontTable::GetFontIndex(const char* pszName) const
{
    if (!pszName || !*pszName)
        return -1;
    for (short i = 0; i < Count; ++i) {
        if (m_apcoFonts[i] && m_apcoFonts[i]->HasResId(pszName))
            return i;
    }
    return -1;
}

TString KwFontTable::GetFontName(short nIndex) const
{
    return HasFont(nIndex) ? m_apcoFonts[nIndex]->GetResId() : TString();
}

void KwFontTable::SetAutoReCreate(int nOn)
{
    nOn = nOn ? 1 : 0;
    if (nOn == m_nAutoReCreate)
        return;
    m_nAutoReCreate = nOn;
    for (auto& pcoFont : m_apcoFonts) {
        if (!pcoFont)
            continue;
        if (nOn)
            pcoFont->SysCreate();
        else
            pcoFont->SysDelete();
    }
}

void KwFontTable::WriteChildren(TFile& coFile) const
{
    KwRes::WriteChildren(coFile);
    const KwFont coEmpty;
    for (const auto& pcoFont : m_apcoFonts)
        (pcoFont ? *pcoFont : coEmpty).WriteResource(coFile);
}

int KwFontTable::NotifyChildFullReadFinished(TResource* pcoChild, unsigned long ulIndex)
{
    if (!pcoChild || pcoChild->IsDummyResource() || !pcoChild->IsClassFamily("KwFont") || ulIndex < 1
        || ulIndex > static_cast<unsigned long>(Count))
        return KwRes::NotifyChildFullReadFinished(pcoChild, ulIndex);
    std::unique_ptr<KwFont>& pcoSlot = m_apcoFonts[ulIndex - 1];
    if (pcoChild->GetResId().IsEmpty()) {
        pcoSlot.reset();
        return 0;
    }
    pcoSlot.reset(static_cast<KwFont*>(pcoChild));
    if (m_nAutoReCreate)
        pcoSlot->SysCreate();
    return 1;
}
