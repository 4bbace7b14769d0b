#include "KwColorTable.h"

#include "TFile.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwColorTable, KwRes, "kw25")

namespace {

int IsIndex(short nIndex)
{
    return nIndex >= 0 && nIndex < KwColorTable::Count;
}

KwColor& OutOfRange()
{
    static KwColor s_coNone;
    s_coNone.Set(0UL);
    return s_coNone;
}

} // namespace

KwColorTable::KwColorTable()
{
    for (auto& pcoColor : m_apcoColors)
        pcoColor.reset(new KwColor);
}

KwColorTable::KwColorTable(const char* pszName)
    : KwColorTable()
{
    SetResId(pszName);
}

KwColorTable::KwColorTable(const KwColorTable& coOther)
    : KwRes(coOther)
{
    for (short i = 0; i < Count; ++i)
        m_apcoColors[i].reset(new KwColor(*coOther.m_apcoColors[i]));
}

KwColorTable& KwColorTable::operator=(const KwColorTable& coOther)
{
    if (this == &coOther)
        return *this;
    KwRes::operator=(coOther);
    for (short i = 0; i < Count; ++i)
        *m_apcoColors[i] = *coOther.m_apcoColors[i];
    return *this;
}

KwColorTable::~KwColorTable() = default;

const KwColorTable& KwColorTable::Default()
{
    static const KwColorTable s_coDefault = [] {
        KwColorTable coTable("DefaultColorTable");
        coTable.SetDefaultColors();
        return coTable;
    }();
    return s_coDefault;
}

void KwColorTable::SetDefaultColors()
{
    static const struct { const char* pszName; unsigned char r, g, b; } s_aDefault[] = {
        { "Black", 0, 0, 0 },        { "Blue", 0, 0, 128 },         { "Green", 0, 128, 0 },
        { "Cyan", 0, 128, 128 },     { "Red", 128, 0, 0 },          { "Magenta", 128, 0, 128 },
        { "Yellow", 255, 255, 0 },   { "White", 255, 255, 255 },    { "Gray", 128, 128, 128 },
        { "LightBlue", 0, 0, 255 },  { "LightGreen", 0, 255, 0 },   { "LightCyan", 0, 255, 255 },
        { "LightRed", 255, 0, 0 },   { "LightMagenta", 255, 0, 255 }, { "Brown", 64, 0, 0 },
        { "LightGray", 192, 192, 192 },
    };
    short i = 0;
    for (const auto& coEntry : s_aDefault) {
        m_apcoColors[i]->Set(coEntry.r, coEntry.g, coEntry.b);
        m_apcoColors[i]->SetResId(coEntry.pszName);
        ++i;
    }
}

const KwColor& KwColorTable::GetColor(short nIndex) const
{
    return IsIndex(nIndex) ? *m_apcoColors[nIndex] : OutOfRange();
}

const KwColor& KwColorTable::GetColor(const char* pszName) const
{
    return GetColor(GetColorIndex(pszName));
}

int KwColorTable::SetColor(short nIndex, const KwColor& coColor)
{
    if (!IsIndex(nIndex))
        return 0;
    m_apcoColors[nIndex]->Set(coColor.Get());
    return 1;
}

int KwColorTable::SetColor(const char* pszName, const KwColor& coColor)
{
    return SetColor(GetColorIndex(pszName), coColor);
}

int KwColorTable::ChgColorName(short nIndex, const char* pszNewName)
{
    if (!IsIndex(nIndex))
        return 0;
    m_apcoColors[nIndex]->SetResId(pszNewName);
    return 1;
}

int KwColorTable::ChgColorName(const char* pszName, const char* pszNewName)
{
    return ChgColorName(GetColorIndex(pszName), pszNewName);
}

short KwColorTable::GetColorIndex(const char* pszName) const
{
    if (!pszName || !*pszName)
        return -1;
    for (short i = 0; i < Count; ++i) {
        if (m_apcoColors[i]->HasResId(pszName))
            return i;
    }
    return -1;
}

TString KwColorTable::GetColorName(short nIndex) const
{
    return IsIndex(nIndex) ? m_apcoColors[nIndex]->GetResId() : TString();
}

void KwColorTable::WriteChildren(TFile& coFile) const
{
    KwRes::WriteChildren(coFile);
    for (const auto& pcoColor : m_apcoColors)
        pcoColor->WriteResource(coFile);
}

int KwColorTable::NotifyChildFullReadFinished(TResource* pcoChild, unsigned long ulIndex)
{
    if (!pcoChild || pcoChild->IsDummyResource() || !pcoChild->IsClassFamily("KwColor") || ulIndex < 1
        || ulIndex > static_cast<unsigned long>(Count))
        return KwRes::NotifyChildFullReadFinished(pcoChild, ulIndex);
    m_apcoColors[ulIndex - 1].reset(static_cast<KwColor*>(pcoChild));
    return 1;
}
