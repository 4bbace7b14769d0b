#include "KwPal.h"

#include "KwDib.h"
#include "KwSystem.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwPal, KwObjGDI, "kw25")

KwPal::KwPal(const std::vector<KwPaletteEntry>& coEntries, int nCreate)
    : m_coEntries(coEntries)
{
    if (nCreate)
        SysCreate();
}

KwPal::KwPal(const KwDib& coDib, int nCreate)
    : m_coEntries(coDib.GetColorTable())
{
    if (nCreate)
        SysCreate();
}

void KwPal::SetEntries(const std::vector<KwPaletteEntry>& coEntries)
{
    SysDelete();
    m_coEntries = coEntries;
}

int KwPal::SysCreate()
{
    if (GetHandle())
        return 1;
    if (!pcoKwSys || m_coEntries.empty() || m_coEntries.size() > 0xFFFF)
        return 0;
    const KwHandle hPalette = pcoKwSys->CreatePalette(m_coEntries.data(), static_cast<unsigned short>(m_coEntries.size()));
    return hPalette && Connect(hPalette);
}
