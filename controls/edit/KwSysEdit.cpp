#include "KwSysEdit.h"

#include "KwCtlCodes.h"
#include "KwSystem.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwSysEdit, KwWSystem, "kctl")

namespace {

const unsigned long s_ulEditStyle = KwCtlCodes::StyleEditAutoHScroll | KwCtlCodes::StyleTabStop;

} // namespace

KwSysEdit::KwSysEdit()
{
    SetSystemClass("EDIT");
    SetStyle(GetStyle() | s_ulEditStyle);
    SetFlag(FlagFocusable | FlagTabStop, 1);
    SetColBack(7, 0);
}

KwSysEdit::KwSysEdit(const char* pszName)
    : KwSysEdit()
{
    SetResId(pszName);
}

KwSysEdit::KwSysEdit(const char* pszName, const KwPoint& coPos, const KwSize& coSize, short nColBord, short nColBack,
                     short nColFore)
    : KwWSystem(pszName, "EDIT", coPos, coSize, nColBord, nColBack, nColFore)
{
    SetStyle(GetStyle() | s_ulEditStyle);
    SetFlag(FlagFocusable | FlagTabStop, 1);
}

KwSysEdit::KwSysEdit(const KwSysEdit& coOther)
    : KwWSystem(coOther)
    , m_coFont(coOther.m_coFont)
    , m_nMarginLeft(coOther.m_nMarginLeft)
    , m_nMarginRight(coOther.m_nMarginRight)
{
}

int KwSysEdit::IsReadOnly() const
{
    return (GetStyle() & KwCtlCodes::StyleEditReadOnly) ? 1 : 0;
}

void KwSysEdit::SetReadOnly(int nOn)
{
    if (GetHandle() && pcoKwSys) {
        pcoKwSys->SendMessage(GetHandle(), KwCtlCodes::MsgEditSetReadOnly, nOn ? 1 : 0, 0);
        return;
    }
    const unsigned long ulStyle = GetStyle();
    SetStyle(nOn ? (ulStyle | KwCtlCodes::StyleEditReadOnly) : (ulStyle & ~KwCtlCodes::StyleEditReadOnly));
}

void KwSysEdit::SetMargins(short nLeft, short nRight)
{
    m_nMarginLeft = nLeft;
    m_nMarginRight = nRight;
    ApplyMargins();
}

// A font handed to the control resets its margins: they follow each font.
void KwSysEdit::ApplyMargins()
{
    if (!GetHandle() || !pcoKwSys)
        return;
    const std::intptr_t lMargins = static_cast<std::intptr_t>((static_cast<unsigned>(m_nMarginRight) << 16)
                                                              | static_cast<unsigned short>(m_nMarginLeft));
    pcoKwSys->SendMessage(GetHandle(), KwCtlCodes::MsgEditSetMargins, KwCtlCodes::MarginLeft | KwCtlCodes::MarginRight,
                          lMargins);
}

void KwSysEdit::SelectAll()
{
    if (GetHandle() && pcoKwSys)
        pcoKwSys->SendMessage(GetHandle(), KwCtlCodes::MsgEditSetSel, 0, -1);
}

void KwSysEdit::SetFont(const KwFont* pcoFont, int nRedraw)
{
    if (pcoFont)
        m_coFont.Set(*pcoFont);
    else
        m_coFont.Reset();
    if (GetHandle() && pcoKwSys) {
        pcoKwSys->ApplyFont(GetHandle(), GetUsedFont(), nRedraw);
        ApplyMargins();
    }
}

const KwFont& KwSysEdit::GetUsedFont() const
{
    return m_coFont.Get() ? *m_coFont.Get() : KwWSystem::GetUsedFont();
}

int KwSysEdit::SysCreate(KwWnd* pcoParent)
{
    if (!KwWSystem::SysCreate(pcoParent))
        return 0;
    ApplyMargins();
    return 1;
}

int KwSysEdit::SetText(const char* pszText)
{
    const char* pszNew = pszText ? pszText : "";
    if (!EvTextWillChange(pszNew))
        return 0;
    const int nResult = KwWSystem::SetText(pszNew);
    EvTextHasChanged(pszNew);
    return nResult;
}
