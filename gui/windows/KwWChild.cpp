#include "KwWChild.h"

#include "KwDC.h"
#include "KwKeyTable.h"
#include "KwLayout.h"
#include "KwPen.h"
#include "KwSystem.h"
#include "KwWFrame.h"
#include "KwWndApp.h"
#include "TFile.h"
#include "TResVar.h"

#include <vector>

KW_IMPLEMENT_DYNAMIC_CLASS(KwWChild, KwWnd, "kw25")

namespace {

KwLayout* s_pcoChildLayout = nullptr;   // not owned

enum : unsigned long { StyleChildVisible = 0x50000000UL };

// Indices of the key table
enum : short {
    KeyReturn = 0, KeyUp = 1, KeyDown = 2, KeyLeft = 3, KeyRight = 4, KeyEnd = 8, KeyDelete = 9,
    KeyBackspace = 10, KeyTab = 11, KeyEscape = 12, KeyF1 = 13, KeyF10 = 22,
};

short KeyIndex(unsigned short unKey)
{
    const KwWndApp* pcoApp = KwWndApp::Current();
    return pcoApp ? pcoApp->KeyTable().FindKeyIndex(unKey) : KwKeyTable().FindKeyIndex(unKey);
}

int IsShiftDown()
{
    return pcoKwSys && (pcoKwSys->GetKeyState(16) & 0x8000) ? 1 : 0;
}

// The children of a window in pre-order (each child before its own
// children), as the tab order walks them.
void CollectPreOrder(const KwWnd& coWnd, std::vector<KwWnd*>& coOrder)
{
    for (KwWnd* pcoChild = coWnd.GetChildFirst(); pcoChild; pcoChild = coWnd.GetChildNext(pcoChild)) {
        coOrder.push_back(pcoChild);
        CollectPreOrder(*pcoChild, coOrder);
    }
}

} // namespace

KwWChild::KwWChild()
{
    SetStyle(StyleChildVisible);
}

KwWChild::KwWChild(const char* pszName)
    : KwWChild()
{
    SetResId(pszName);
}

KwWChild::KwWChild(const char* pszName, const KwPoint& coPos, const KwSize& coSize, short nColBord, short nColBack,
                   short nColFore)
    : KwWnd(pszName, coPos, coSize, nColBord, nColBack, nColFore, StyleChildVisible, nullptr, 0)
{
}

KwWChild::KwWChild(const KwWChild& coOther)
    : KwWnd(coOther)
    , m_unFlags(coOther.m_unFlags)
    , m_nBorderWidth(coOther.m_nBorderWidth)
    , m_nShadeWidth(coOther.m_nShadeWidth)
    , m_nInShadeBorderWidth(coOther.m_nInShadeBorderWidth)
{
}

void KwWChild::SetFlag(unsigned short unFlag, int nOn)
{
    if (nOn)
        m_unFlags |= unFlag;
    else
        m_unFlags &= static_cast<unsigned short>(~unFlag);
}

const KwLayout& KwWChild::MyLayout() const
{
    return s_pcoChildLayout ? *s_pcoChildLayout : KwWChildLayoutWIN31::Instance();
}

void KwWChild::ChangeLayout(KwLayout* pcoLayout)
{
    s_pcoChildLayout = pcoLayout;
}

// Look

void KwWChild::SetShadeWidth(short nWidth, int nRedraw)
{
    m_nShadeWidth = nWidth;
    Redraw(nRedraw);
}

void KwWChild::SetBorderWidth(short nWidth, int nRedraw)
{
    m_nBorderWidth = nWidth;
    Redraw(nRedraw);
}

void KwWChild::SetInShadeBorderWidth(short nWidth, int nRedraw)
{
    m_nInShadeBorderWidth = nWidth;
    Redraw(nRedraw);
}

void KwWChild::SetSelected(int nOn, int nRedraw)
{
    SetFlag(FlagSelected, nOn);
    Redraw(nRedraw);
}

void KwWChild::SetShade(int nOn, int nRedraw)
{
    SetFlag(FlagShade, nOn);
    Redraw(nRedraw);
}

void KwWChild::SetShadeTurned(int nOn, int nRedraw)
{
    SetFlag(FlagShadeTurned, nOn);
    Redraw(nRedraw);
}

void KwWChild::SetInShadeBorder(int nOn, int nRedraw)
{
    SetFlag(FlagInShadeBorder, nOn);
    Redraw(nRedraw);
}

void KwWChild::SetShadeGroupLook(int nOn, int nRedraw)
{
    SetFlag(FlagShadeGroupLook, nOn);
    Redraw(nRedraw);
}

short KwWChild::GetFullBorderWidth() const
{
    int nWidth = HasBorderLook() ? m_nBorderWidth : 0;
    if (HasShade()) {
        nWidth += HasShadeGroupLook() ? 2 * m_nShadeWidth : m_nShadeWidth;
        if (HasInShadeBorder())
            nWidth += m_nInShadeBorderWidth;
    }
    return static_cast<short>(nWidth);
}

KwRect KwWChild::CalcContentRect() const
{
    KwRect coRect = GetClientRect();
    coRect.Resize(static_cast<short>(-GetFullBorderWidth()));
    return coRect;
}

// The shade: light and dark lines (swapped when turned), in the plain look
// w lines along the top and left edge and w along the bottom and right
// edge, in the group look w nested rectangles of each colour shifted
// against each other; then, with the inner border, nested rectangles in the
// border colour inside it. A polyline leaves out its last point and an
// outline rectangle covers left to right - 1, top to bottom - 1.
int KwWChild::DrawShade(KwDC& coDC, const KwRect& coRect)
{
    const short w = m_nShadeWidth;
    if (!HasShade() || w < 1)
        return 0;
    unsigned long ulFirst = GetColShadowLight().GetRealColor();
    unsigned long ulSecond = GetColShadowDark().GetRealColor();
    if (IsShadeTurned())
        std::swap(ulFirst, ulSecond);
    KwBrush coHollow(0UL, 0, 0);
    KwPen coFirst(ulFirst, 1, 1);
    KwPen coSecond(ulSecond, 1, 1);
    const KwBrush* pcoOldBrush = coDC.SelectObject(&coHollow);
    const KwPen* pcoOldPen = coDC.SelectObject(&coFirst);
    KwRect coInner;
    if (HasShadeGroupLook()) {
        KwRect coLight(coRect.Left(), coRect.Top(), static_cast<short>(coRect.Right() - w), static_cast<short>(coRect.Bottom() - w));
        for (short i = 0; i < w; ++i, coLight.Resize(-1))
            coDC.Rectangle(coLight);
        coDC.SelectObject(&coSecond);
        KwRect coDark(static_cast<short>(coRect.Left() + w), static_cast<short>(coRect.Top() + w), coRect.Right(), coRect.Bottom());
        for (short i = 0; i < w; ++i, coDark.Resize(-1))
            coDC.Rectangle(coDark);
        coInner.Set(static_cast<short>(coRect.Left() + 2 * w), static_cast<short>(coRect.Top() + 2 * w),
                    static_cast<short>(coRect.Right() - 2 * w), static_cast<short>(coRect.Bottom() - 2 * w));
    } else {
        KwRect coStep = coRect;
        for (short i = 0; i < w; ++i, coStep.Resize(-1)) {
            const KwPoint aLight[] = {
                KwPoint(coStep.Left(), static_cast<short>(coStep.Bottom() - 1)),
                KwPoint(coStep.Left(), coStep.Top()),
                KwPoint(static_cast<short>(coStep.Right() - 1), coStep.Top()),
            };
            coDC.Polyline(aLight, 3);
        }
        coDC.SelectObject(&coSecond);
        coStep = coRect;
        for (short i = 0; i < w; ++i, coStep.Resize(-1)) {
            const KwPoint aDark[] = {
                KwPoint(static_cast<short>(coStep.Left() + 1), static_cast<short>(coStep.Bottom() - 1)),
                KwPoint(static_cast<short>(coStep.Right() - 1), static_cast<short>(coStep.Bottom() - 1)),
                KwPoint(static_cast<short>(coStep.Right() - 1), static_cast<short>(coStep.Top() - 1)),
            };
            coDC.Polyline(aDark, 3);
        }
        coInner = coRect;
        coInner.Resize(static_cast<short>(-w));
    }
    if (HasInShadeBorder() && m_nInShadeBorderWidth > 0) {
        KwPen coBorder(GetColBord().GetRealColor(), 1, 1);
        coDC.SelectObject(&coBorder);
        for (short i = 0; i < m_nInShadeBorderWidth; ++i, coInner.Resize(-1))
            coDC.Rectangle(coInner);
        coDC.SelectObject(pcoOldPen);
    }
    coDC.SelectObject(pcoOldPen);
    coDC.SelectObject(pcoOldBrush);
    return 1;
}

// Structure

int KwWChild::IsTopViewChild() const
{
    const KwWnd* pcoParent = GetParent();
    if (!pcoParent || !pcoParent->IsChildWindow())
        return 1;
    const KwWChild* pcoParentChild = dynamic_cast<const KwWChild*>(pcoParent);
    return pcoParentChild ? pcoParentChild->IsTopViewChild() : 1;
}

int KwWChild::SysCreate(KwWnd* pcoParent)
{
    if (GetHandle())
        return 0;
    KwWFrame* pcoFrame = pcoParent ? (pcoParent->IsFrameWindow() ? static_cast<KwWFrame*>(pcoParent) : pcoParent->GetParentFrame()) : nullptr;
    if (pcoFrame) {
        if (IsDefaultFocus() && pcoFrame->GetDefaultFocusChild())
            SetDefaultFocus(0);
        if (static_cast<int>(Call("IsDefaultPush")) && pcoFrame->GetDefaultPushButton())
            Call("SetDefaultPush", 0, 0);
    }
    return KwWnd::SysCreate(pcoParent);
}

KwWnd* KwWChild::SetParent(KwWnd* pcoParent)
{
    KwWFrame* pcoFrame = pcoParent ? (pcoParent->IsFrameWindow() ? static_cast<KwWFrame*>(pcoParent) : pcoParent->GetParentFrame()) : nullptr;
    if (IsDefaultFocus() && pcoFrame && pcoFrame != GetParentFrame()) {
        KwWChild* pcoCurrent = pcoFrame->GetDefaultFocusChild();
        if (pcoCurrent && pcoCurrent != this)
            SetFlag(FlagDefaultFocus, 0);
    }
    return KwWnd::SetParent(pcoParent);
}

void KwWChild::SetDefaultFocus(int nOn)
{
    if (!nOn) {
        SetFlag(FlagDefaultFocus, 0);
        return;
    }
    if (!IsFocusable())
        return;
    KwWFrame* pcoFrame = GetParentFrame();
    KwWChild* pcoCurrent = pcoFrame ? pcoFrame->GetDefaultFocusChild() : nullptr;
    if (pcoCurrent && pcoCurrent != this)
        pcoCurrent->SetFlag(FlagDefaultFocus, 0);
    SetFlag(FlagDefaultFocus, 1);
}

KwWnd* KwWChild::SetFocus()
{
    if (!IsFocusable())
        return GetFocus();
    return KwWnd::SetFocus();
}

void KwWChild::DrawFocus(KwDC& coDC)
{
    if (IsFocusable() && coDC.GetHandle())
        coDC.DrawFocusRect(GetClientRect());
}

KwWChild* KwWChild::FindDefaultPushChild() const
{
    const auto IsDefaultPush = [](const KwWChild& coChild) {
        KwWChild& coMutable = const_cast<KwWChild&>(coChild);
        return static_cast<KwPushButton*>(coMutable) && static_cast<int>(coMutable.Call("IsDefaultPush"));
    };
    if (IsDefaultPush(*this))
        return const_cast<KwWChild*>(this);
    std::vector<KwWnd*> coOrder;
    CollectPreOrder(*this, coOrder);
    for (KwWnd* pcoWnd : coOrder) {
        KwWChild* pcoChild = dynamic_cast<KwWChild*>(pcoWnd);
        if (pcoChild && IsDefaultPush(*pcoChild))
            return pcoChild;
    }
    return nullptr;
}

KwPushButton* KwWChild::FindDefaultPushButton() const
{
    KwWChild* pcoButton = FindDefaultPushChild();
    return pcoButton ? static_cast<KwPushButton*>(*pcoButton) : nullptr;
}

KwWChild* KwWChild::FindDefaultFocusChild() const
{
    if (IsDefaultFocus())
        return const_cast<KwWChild*>(this);
    std::vector<KwWnd*> coOrder;
    CollectPreOrder(*this, coOrder);
    for (KwWnd* pcoWnd : coOrder) {
        KwWChild* pcoChild = dynamic_cast<KwWChild*>(pcoWnd);
        if (pcoChild && pcoChild->IsDefaultFocus())
            return pcoChild;
    }
    return nullptr;
}

int KwWChild::IsFocusCandidate(int nTabStop) const
{
    return IsFocusable() && (!nTabStop || IsTabStop()) && IsEnabled() && IsVisible() && IsTopViewChild();
}

// The tab order is the pre-order of the frame's windows, walked cyclically
// from this child: its own descendants first, then its following siblings
// with theirs, then what follows its parents, and round again from the
// frame's first child. The backward search walks the same order backwards.
KwWChild* KwWChild::FindFocus(int nForward, int nTabStop) const
{
    const KwWnd* pcoRoot = GetParentFrame();
    if (!pcoRoot)
        pcoRoot = GetParent();
    if (!pcoRoot)
        return nullptr;
    std::vector<KwWnd*> coOrder;
    CollectPreOrder(*pcoRoot, coOrder);
    const long lCount = static_cast<long>(coOrder.size());
    long lSelf = -1;
    for (long i = 0; i < lCount; ++i) {
        if (coOrder[static_cast<size_t>(i)] == this)
            lSelf = i;
    }
    if (lSelf < 0)
        return nullptr;
    for (long lStep = 1; lStep < lCount; ++lStep) {
        const long lIndex = ((nForward ? lSelf + lStep : lSelf - lStep) % lCount + lCount) % lCount;
        KwWChild* pcoChild = dynamic_cast<KwWChild*>(coOrder[static_cast<size_t>(lIndex)]);
        if (pcoChild && pcoChild->IsFocusCandidate(nTabStop))
            return pcoChild;
    }
    return nullptr;
}

// Keyboard and mouse

int KwWChild::EvKeyDown(unsigned short unKey, unsigned long ulKeyData)
{
    const int nResult = KwWnd::EvKeyDown(unKey, ulKeyData);
    if (nResult)
        return nResult;
    const short nIndex = KeyIndex(unKey);
    if (nIndex >= KeyUp && nIndex <= KeyEnd)
        return EvKeyPosition(nIndex);
    if (nIndex == KeyDelete)
        return EvKeyDelete(nIndex);
    if (nIndex >= KeyF1 && nIndex <= KeyF10)
        return EvKeyFunction(nIndex);
    return 0;
}

int KwWChild::EvChar(unsigned short unKey, unsigned long ulKeyData)
{
    int nResult = KwWnd::EvChar(unKey, ulKeyData);
    if (nResult)
        return nResult;
    const short nIndex = KeyIndex(unKey);
    if (nIndex == KeyReturn || nIndex == KeyTab || nIndex == KeyEscape)
        nResult = EvKeyEnterTabEsc(nIndex);
    else if (nIndex == KeyBackspace)
        nResult = EvKeyDelete(nIndex);
    return nResult ? nResult : EvKeyAscii(unKey);
}

// Alt plus a key reaches the window that has the focus; the frame's hot
// keys must answer it wherever the focus is.
int KwWChild::EvSysChar(unsigned short unKey, unsigned long ulKeyData)
{
    const int nResult = KwWnd::EvSysChar(unKey, ulKeyData);
    if (nResult)
        return nResult;
    KwWFrame* pcoFrame = GetParentFrame();
    if (!pcoFrame)
        return 0;
    return Guarded(*pcoFrame, [pcoFrame, unKey, ulKeyData] { return pcoFrame->EvSysChar(unKey, ulKeyData); });
}

int KwWChild::EvKeyEnterTabEsc(short nIndex)
{
    KwWFrame* pcoFrame = GetParentFrame();
    switch (nIndex) {
    case KeyReturn: {
        const KwWChild* pcoSelf = this;
        if (static_cast<const KwPushButton*>(*pcoSelf) || !pcoFrame)
            return 0;
        return pcoFrame->CallDefaultPushHandler();
    }
    case KeyTab: {
        KwWChild* pcoNext = IsShiftDown() ? FindPrevTabFocusWnd() : FindNextTabFocusWnd();
        if (pcoNext)
            pcoNext->SetFocus();
        return 1;
    }
    case KeyEscape:
        return pcoFrame ? pcoFrame->CallDefaultESCHandler() : 0;
    default:
        return 0;
    }
}

int KwWChild::EvKeyPosition(short nIndex)
{
    KwWChild* pcoNext = nullptr;
    if (nIndex == KeyUp || nIndex == KeyLeft)
        pcoNext = FindPrevFocusWnd();
    else if (nIndex == KeyDown || nIndex == KeyRight)
        pcoNext = FindNextFocusWnd();
    else
        return 0;
    if (pcoNext)
        pcoNext->SetFocus();
    return 1;
}

int KwWChild::EvLButtonDown(const KwPoint& coPoint, unsigned short unKeyFlags)
{
    const int nResult = KwWnd::EvLButtonDown(coPoint, unKeyFlags);
    if (nResult)
        return nResult;
    if (IsFocusable() && IsEnabled())
        SetFocus();
    return 0;
}

// Resources

void KwWChild::WriteData(TFile& coFile) const
{
    KwWnd::WriteData(coFile);
    TResShort(VarBorderWidth, m_nBorderWidth).Write(coFile);
    TResShort(VarFlags, static_cast<short>(m_unFlags)).Write(coFile);
    TResShort(VarShadeWidth, m_nShadeWidth).Write(coFile);
    TResShort(VarInShadeBorderWidth, m_nInShadeBorderWidth).Write(coFile);
}

int KwWChild::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    switch (coVar.MyId()) {
    case VarBorderWidth:
        m_nBorderWidth = static_cast<short>(coVar);
        return 1;
    case VarFlags:
        m_unFlags = static_cast<unsigned short>(static_cast<short>(coVar));
        return 1;
    case VarShadeWidth:
        m_nShadeWidth = static_cast<short>(coVar);
        return 1;
    case VarInShadeBorderWidth:
        m_nInShadeBorderWidth = static_cast<short>(coVar);
        return 1;
    default:
        return KwWnd::NotifyVariableRead(coVar, pcoParent, ulIndex);
    }
}
