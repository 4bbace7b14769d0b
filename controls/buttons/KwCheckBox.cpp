#include "KwCheckBox.h"

#include "KwDC.h"
#include "KwPen.h"
#include "TFile.h"
#include "TResVar.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwCheckBox, KwWControl, "kctl")
KW_IMPLEMENT_DYNAMIC_CLASS(KwRadioBox, KwCheckBox, "kctl")

namespace {

enum : unsigned short { KeySpace = 32 };
enum : short { ColorWhite = 7, ColorGray = 8 };
// Text: left and vertically centred, with its hot key underlined; 0x10
// only measures.
enum : unsigned short { AlignText = 0x01 | 0x20, FormatHotKey = 0x04, FormatMeasure = 0x10 };
// Indices of the key table
enum : short { KeyUp = 1, KeyDown = 2, KeyLeft = 3, KeyRight = 4 };

} // namespace

// ---------------------------------------------------------------------------
// KwCheckBox

KwCheckBox::KwCheckBox()
    : KwWControl(TButton())
{
}

KwCheckBox::KwCheckBox(const char* pszName)
    : KwWControl(TButton(), pszName)
{
}

KwCheckBox::KwCheckBox(const char* pszName, const KwPoint& coPos, const KwSize& coSize, const char* pszText)
    : KwWControl(TButton(), pszName, coPos, coSize, pszText)
{
}

KwCheckBox::KwCheckBox(const KwCheckBox& coOther)
    : KwWControl(coOther)
    , m_nChecked(coOther.m_nChecked)
{
}

void KwCheckBox::Repaint()
{
    if (GetHandle())
        Invalidate(0);
}

void KwCheckBox::SetChecked(int nChecked, int nRedraw)
{
    nChecked ? Check() : UnCheck();
    if (nRedraw)
        Repaint();
}

int KwCheckBox::Check()
{
    m_nChecked = 1;
    Repaint();
    return 1;
}

int KwCheckBox::UnCheck()
{
    m_nChecked = 0;
    Repaint();
    return 1;
}

void KwCheckBox::UserChoice()
{
    SetChecked(!m_nChecked, 1);
}

void KwCheckBox::Choose()
{
    UserChoice();
    EvCommand();
}

int KwCheckBox::SetText(const char* pszText)
{
    const int nResult = KwWControl::SetText(pszText);
    Repaint();
    return nResult;
}

// Mouse and keys

int KwCheckBox::EvPush(const KwPoint&, unsigned short)
{
    Repaint();
    return 1;
}

int KwCheckBox::EvRelease(const KwPoint&, unsigned short)
{
    Repaint();
    return 1;
}

int KwCheckBox::EvPushedLeave()
{
    Repaint();
    return 1;
}

int KwCheckBox::EvPushedReEnter()
{
    Repaint();
    return 1;
}

int KwCheckBox::EvClicked(const KwPoint&, unsigned short)
{
    Choose();
    return 1;
}

int KwCheckBox::EvCaptureLost()
{
    KwWControl::EvCaptureLost();
    Repaint();
    return 0;
}

int KwCheckBox::EvKeyDown(unsigned short unKey, unsigned long ulKeyData)
{
    if (unKey != KeySpace || !IsEnabled())
        return KwWControl::EvKeyDown(unKey, ulKeyData);
    const int nResult = KwWnd::EvKeyDown(unKey, ulKeyData);
    if (nResult || m_nKeyDown)
        return 1;
    m_nKeyDown = 1;
    Repaint();
    return 1;
}

int KwCheckBox::EvKeyUp(unsigned short unKey, unsigned long ulKeyData)
{
    if (unKey != KeySpace || !m_nKeyDown)
        return KwWControl::EvKeyUp(unKey, ulKeyData);
    m_nKeyDown = 0;
    Repaint();
    if (IsEnabled())
        Choose();
    return 1;
}

int KwCheckBox::EvChar(unsigned short unKey, unsigned long ulKeyData)
{
    const int nResult = KwWnd::EvChar(unKey, ulKeyData);
    if (nResult)
        return nResult;
    // Space acts on key down and up; its character is not passed on.
    return unKey == KeySpace ? 1 : KwWControl::EvChar(unKey, ulKeyData);
}

int KwCheckBox::HasHotKeyCommandALT(char chKey) const
{
    return KwPushButton::IsHotKey(GetHotKey(), chKey);
}

int KwCheckBox::CallHotKeyCommandALT()
{
    if (!IsEnabled())
        return 0;
    SetFocus();
    Choose();
    return 1;
}

int KwCheckBox::EvSetFocus(KwWnd* pcoOther)
{
    Repaint();
    return KwWControl::EvSetFocus(pcoOther);
}

int KwCheckBox::EvKillFocus(KwWnd* pcoOther)
{
    m_nKeyDown = 0;
    Repaint();
    return KwWControl::EvKillFocus(pcoOther);
}

int KwCheckBox::NotifyEnabled(int nEnabled)
{
    if (!nEnabled)
        m_nKeyDown = 0;
    Repaint();
    return KwWControl::NotifyEnabled(nEnabled);
}

// Look: the box at the left, vertically centred, the text after it.

void KwCheckBox::DrawBox(KwDC& coDC, const KwRect& coBox)
{
    KwBrush coInside(IsPushedIn() || !IsEnabled() ? GetColBack() : KwSysColor(ColorWhite), 1, 0);
    coDC.FillRect(coBox, coInside);
    KwBrush coFrame(GetColShadowDark(), 1, 0);
    coDC.FrameRect(coBox, coFrame);
}

void KwCheckBox::DrawMark(KwDC& coDC, const KwRect& coBox)
{
    // A tick three pixels thick from the left middle down and up to the
    // top right.
    KwPen coPen(IsEnabled() ? GetColFore().GetRealColor() : KwSysColor(ColorGray).GetRealColor(), 1, 1);
    const KwPen* pcoOld = coDC.SelectObject(&coPen);
    const short x = static_cast<short>(coBox.Left() + 3);
    const short y = static_cast<short>(coBox.Top() + 5);
    for (short i = 0; i < 3; ++i) {
        const KwPoint aTick[] = { KwPoint(x, static_cast<short>(y + i)), KwPoint(static_cast<short>(x + 2), static_cast<short>(y + 2 + i)),
                                  KwPoint(static_cast<short>(x + 7), static_cast<short>(y - 3 + i)) };
        coDC.Polyline(aTick, 3);
    }
    coDC.SelectObject(pcoOld);
}

int KwCheckBox::EvPaint(KwPaintDC& coDC)
{
    const KwRect coClient = GetClientRect();
    KwBrush coFace(GetColBack(), 1, 0);
    coDC.FillRect(coClient, coFace);
    const short nTop = static_cast<short>(coClient.Top() + (coClient.Height() - BoxSize) / 2);
    const KwRect coBox(coClient.Left(), nTop, static_cast<short>(coClient.Left() + BoxSize), static_cast<short>(nTop + BoxSize));
    DrawBox(coDC, coBox);
    if (m_nChecked)
        DrawMark(coDC, coBox);

    const KwFont* pcoOldFont = coDC.SelectObject(&GetUsedFont());
    const int nOldMode = coDC.SetBkMode(1);
    const TString coLabel = GetText();
    KwRect coText(static_cast<short>(coBox.Right() + TextGap), coClient.Top(), coClient.Right(), coClient.Bottom());
    const unsigned long ulOldColor = coDC.SetTextColor(IsEnabled() ? GetColFore().GetRealColor() : KwSysColor(ColorGray).GetRealColor());
    coDC.TextOutRect(coText, coLabel, -1, AlignText, FormatHotKey);
    coDC.SetTextColor(ulOldColor);
    if (GetHandle() && GetFocus() == this) {
        KwRect coFocus = coText;
        coDC.TextOutRect(coFocus, coLabel, -1, AlignText, FormatHotKey | FormatMeasure);
        coFocus.Resize(1);
        coDC.DrawFocusRect(coFocus);
    }
    coDC.SetBkMode(nOldMode);
    coDC.SelectObject(pcoOldFont);
    return 1;
}

// Resources

void KwCheckBox::WriteData(TFile& coFile) const
{
    KwWControl::WriteData(coFile);
    TResShort(VarChecked, static_cast<short>(m_nChecked)).Write(coFile);
}

int KwCheckBox::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    if (coVar.MyId() != VarChecked)
        return KwWControl::NotifyVariableRead(coVar, pcoParent, ulIndex);
    m_nChecked = static_cast<short>(coVar) ? 1 : 0;
    return 1;
}

// ---------------------------------------------------------------------------
// KwRadioBox

KwRadioBox::KwRadioBox(const char* pszName, const KwPoint& coPos, const KwSize& coSize, const char* pszText, short nGroup)
    : KwCheckBox(pszName, coPos, coSize, pszText)
    , m_nGroup(nGroup)
{
}

std::vector<KwRadioBox*> KwRadioBox::Group() const
{
    std::vector<KwRadioBox*> vecGroup;
    const KwWnd* pcoParent = GetParent();
    if (!pcoParent) {
        vecGroup.push_back(const_cast<KwRadioBox*>(this));
        return vecGroup;
    }
    for (KwWnd* pcoChild = pcoParent->GetChildFirst(); pcoChild; pcoChild = pcoParent->GetChildNext(pcoChild)) {
        KwRadioBox* pcoRadio = dynamic_cast<KwRadioBox*>(pcoChild);
        if (pcoRadio && pcoRadio->m_nGroup == m_nGroup)
            vecGroup.push_back(pcoRadio);
    }
    return vecGroup;
}

KwRadioBox* KwRadioBox::GetCheckedInGroup() const
{
    for (KwRadioBox* pcoRadio : Group())
        if (pcoRadio->IsChecked())
            return pcoRadio;
    return nullptr;
}

void KwRadioBox::SetGroupTabStops()
{
    const std::vector<KwRadioBox*> vecGroup = Group();
    KwRadioBox* pcoStop = GetCheckedInGroup();
    if (!pcoStop && !vecGroup.empty())
        pcoStop = vecGroup.front();
    for (KwRadioBox* pcoRadio : vecGroup)
        pcoRadio->SetTabStop(pcoRadio == pcoStop);
}

int KwRadioBox::Check()
{
    for (KwRadioBox* pcoRadio : Group())
        if (pcoRadio != this && pcoRadio->IsChecked())
            pcoRadio->UnCheck();
    KwCheckBox::Check();
    SetGroupTabStops();
    return 1;
}

void KwRadioBox::UserChoice()
{
    SetChecked(1, 1);
}

int KwRadioBox::SysCreate(KwWnd* pcoParent)
{
    const int nResult = KwCheckBox::SysCreate(pcoParent);
    if (nResult)
        SetGroupTabStops();
    return nResult;
}

int KwRadioBox::EvKeyPosition(short nIndex)
{
    const int nBack = nIndex == KeyUp || nIndex == KeyLeft;
    if (!nBack && nIndex != KeyDown && nIndex != KeyRight)
        return KwCheckBox::EvKeyPosition(nIndex);
    const std::vector<KwRadioBox*> vecGroup = Group();
    size_t nSelf = 0;
    while (nSelf < vecGroup.size() && vecGroup[nSelf] != this)
        ++nSelf;
    // Round the group, past the boxes that cannot be chosen.
    for (size_t nStep = 1; nStep < vecGroup.size(); ++nStep) {
        const size_t n = (nSelf + (nBack ? vecGroup.size() - nStep : nStep)) % vecGroup.size();
        KwRadioBox* pcoNext = vecGroup[n];
        if (!pcoNext->IsEnabled())
            continue;
        pcoNext->SetFocus();
        pcoNext->Choose();
        return 1;
    }
    return 1;
}

void KwRadioBox::DrawBox(KwDC& coDC, const KwRect& coBox)
{
    KwBrush coInside(IsPushedIn() || !IsEnabled() ? GetColBack() : KwSysColor(ColorWhite), 1, 0);
    KwPen coFrame(GetColShadowDark().GetRealColor(), 1, 1);
    const KwBrush* pcoOldBrush = coDC.SelectObject(&coInside);
    const KwPen* pcoOldPen = coDC.SelectObject(&coFrame);
    coDC.Ellipse(coBox);
    coDC.SelectObject(pcoOldPen);
    coDC.SelectObject(pcoOldBrush);
}

void KwRadioBox::DrawMark(KwDC& coDC, const KwRect& coBox)
{
    const KwSysColor coDot(IsEnabled() ? GetColFore().GetIndex() : static_cast<short>(ColorGray));
    KwBrush coBrush(coDot, 1, 0);
    KwPen coPen(coDot.GetRealColor(), 1, 1);
    const KwBrush* pcoOldBrush = coDC.SelectObject(&coBrush);
    const KwPen* pcoOldPen = coDC.SelectObject(&coPen);
    KwRect coDotRect = coBox;
    coDotRect.Resize(-4);
    coDC.Ellipse(coDotRect);
    coDC.SelectObject(pcoOldPen);
    coDC.SelectObject(pcoOldBrush);
}

void KwRadioBox::WriteData(TFile& coFile) const
{
    KwCheckBox::WriteData(coFile);
    TResShort(VarGroup, m_nGroup).Write(coFile);
}

int KwRadioBox::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    if (coVar.MyId() != VarGroup)
        return KwCheckBox::NotifyVariableRead(coVar, pcoParent, ulIndex);
    m_nGroup = static_cast<short>(coVar);
    return 1;
}
