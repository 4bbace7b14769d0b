#include "KwCntTree.h"

#include "KwDC.h"
#include "KwEventCntTree.h"
#include "KwFont.h"
#include "KwLink.h"
#include "KwPen.h"
#include "KwSystem.h"
#include "KwWnd.h"
#include "TTreeNode.h"

#include <algorithm>
#include <cmath>
#include <climits>

const char* const KwCntTree::LinkGetText = "EXTCONT_LINK_GETTREENODETEXT";
const char* const KwCntTree::LinkOpen = "EXTCONT_LINK_TREENODEOPEN";
const char* const KwCntTree::LinkActivate = "EXTCONT_LINK_TREENODEACTIVATE";

TMvcEventTable KwCntTree::m_stcoEvTab { "KwCntTree", &KwCntTree::TMvcEventsRegister };

void KwCntTree::TMvcEventsRegister()
{
    for (const char* pszLink : { LinkGetText, LinkOpen, LinkActivate })
        m_stcoEvTab.RegisterEventType(pszLink, "KwEventCntTree", nullptr, nullptr);
}

KW_IMPLEMENT_DYNAMIC_CLASS(KwCntTree, KwContent, "xcnt")

namespace {

// Keys (virtual-key codes) and the wheel message.
enum : unsigned short { KeyPageUp = 0x21, KeyPageDown = 0x22, KeyEnd = 0x23, KeyHome = 0x24,
                        KeyLeft = 0x25, KeyUp = 0x26, KeyRight = 0x27, KeyDown = 0x28 };
constexpr unsigned s_unMouseWheel = 0x020A;
constexpr int s_nWheelStep = 120;
constexpr long s_lLinesPerWheelStep = 3;
// Scroll codes of the framework.
enum : unsigned short { ScrollEnd = 0, ScrollStart = 1, ScrollLineDown = 2, ScrollLineUp = 3, ScrollPageDown = 4,
                        ScrollPageUp = 5, ScrollTrack = 6, ScrollThumb = 7 };
// Scroll positions are 16 bits wide: the horizontal bar runs over pixels
// up to that, the vertical one over at most s_lScrollSteps steps, onto
// which longer trees are scaled.
constexpr long s_lMaxScroll = 32767;
constexpr long s_lScrollSteps = 16384;

// Lines per step of the vertical bar when lSpan top lines are possible.
double LinesPerStep(long lSpan)
{
    return lSpan > s_lScrollSteps ? static_cast<double>(lSpan) / s_lScrollSteps : 1.0;
}

short StepOfLine(long lLine, long lSpan)
{
    return static_cast<short>(std::clamp<long>(std::lround(lLine / LinesPerStep(lSpan)), 0, s_lScrollSteps));
}
constexpr short s_nBoxHalf = 4;      // the plus/minus box is 9 pixels square
constexpr short s_nTextPad = 2;      // around the text of the focus highlight
constexpr short s_nColorLines = 8;   // dotted lines and box frames
constexpr short s_nColorBox = 7;     // inside of the boxes
constexpr short s_nColorIdleFocus = 15;

template <class E>
E* EventAs(TMvcParam& coParam)
{
    KwEvent* pcoEvent = dynamic_cast<KwEvent*>(&coParam);
    return pcoEvent ? static_cast<E*>(*pcoEvent) : nullptr;
}

int IsChildOf(const TTreeNode* pcoParent, const TTreeNode* pcoChild)
{
    for (long i = 0; i < pcoParent->NodeCount(); ++i) {
        if (pcoParent->GetSubNode(i) == pcoChild)
            return 1;
    }
    return 0;
}

unsigned long RealColor(short nColor)
{
    return KwSysColor(nColor).GetRealColor();
}

} // namespace

// One visible line as painting lays it out, collected before any link
// runs.
struct KwCntTree::TLine {
    TNodePath coPath;
    std::vector<char> coContinues;   // per level: a sibling follows below
    int nHasChildren { 0 };
    int nOpen { 0 };
    int Depth() const { return static_cast<int>(coPath.size()) - 1; }
};

// Pre-order over the visible lines. It keeps the position among the
// siblings at each level, so it never searches a child array.
class KwCntTree::TWalk {
public:
    explicit TWalk(TTreeNode* pcoRoot)
    {
        if (pcoRoot)
            m_coStack.push_back({ pcoRoot, 0 });
    }
    TTreeNode* Node() const { return m_coStack.empty() ? nullptr : m_coStack.back().pcoNode; }
    int Depth() const { return static_cast<int>(m_coStack.size()) - 1; }
    int Next()
    {
        TTreeNode* pcoNode = Node();
        if (!pcoNode)
            return 0;
        if (pcoNode->IsOpen() && pcoNode->HasSubNodes()) {
            m_coStack.push_back({ pcoNode->GetSubNode(0), 0 });
            return 1;
        }
        while (m_coStack.size() > 1) {
            const long lIndex = m_coStack.back().lIndex;
            m_coStack.pop_back();
            TTreeNode* pcoParent = m_coStack.back().pcoNode;
            if (lIndex + 1 < pcoParent->NodeCount()) {
                m_coStack.push_back({ pcoParent->GetSubNode(lIndex + 1), lIndex + 1 });
                return 1;
            }
        }
        m_coStack.clear();
        return 0;
    }
    long Skip(long lLines)
    {
        long lDone = 0;
        while (lDone < lLines && Next())
            ++lDone;
        return lDone;
    }
    TLine Line() const
    {
        TLine coLine;
        for (size_t i = 0; i < m_coStack.size(); ++i) {
            coLine.coPath.push_back(m_coStack[i].pcoNode);
            const TTreeNode* pcoParent = i ? m_coStack[i - 1].pcoNode : nullptr;
            coLine.coContinues.push_back(pcoParent && m_coStack[i].lIndex + 1 < pcoParent->NodeCount());
        }
        coLine.nHasChildren = Node()->HasSubNodes();
        coLine.nOpen = Node()->IsOpen();
        return coLine;
    }

private:
    struct TFrame {
        TTreeNode* pcoNode;
        long lIndex;   // among its parent's children
    };
    std::vector<TFrame> m_coStack;
};

// Construction

KwCntTree::KwCntTree()
    : KwCntTree(static_cast<DestroyFunc>(nullptr))
{
}

KwCntTree::KwCntTree(DestroyFunc pfnDestroy, unsigned short unAlign, KwWnd* pcoWnd)
    : KwContent(unAlign, pcoWnd), m_pfnDestroy(pfnDestroy), m_pcoRoot(new TTreeNode)
{
    // Linked while the base was built, where this class's NotifyLink was
    // not yet reached.
    if (GetWindow())
        Attach(GetWindow());
}

KwCntTree::KwCntTree(const KwCntTree& coOther)
    : KwContent(coOther), m_pfnDestroy(coOther.m_pfnDestroy), m_pcoRoot(new TTreeNode),
      m_coBoxSize(coOther.m_coBoxSize), m_nBoxDist(coOther.m_nBoxDist), m_nFocusBack(coOther.m_nFocusBack),
      m_nFocusFore(coOther.m_nFocusFore)
{
}

KwCntTree::~KwCntTree()
{
    Detach(m_pcoAttached);
    DeleteRoot();
}

void KwCntTree::NotifyLink(KwWnd* pcoWnd)
{
    Attach(pcoWnd);
}

void KwCntTree::NotifyUnlink(KwWnd* pcoWnd)
{
    Detach(pcoWnd);
}

void KwCntTree::Attach(KwWnd* pcoWnd)
{
    if (!pcoWnd || pcoWnd == m_pcoAttached)
        return;
    Detach(m_pcoAttached);
    m_pcoAttached = pcoWnd;
    TMvc& coMvc = pcoWnd->MVC();
    coMvc.AddNotification("KW_LINK_LBUTTONDOWN", this, &KwCntTree::NotifyPress);
    coMvc.AddNotification("KW_LINK_LBUTTONDBLCLK", this, &KwCntTree::NotifyDoubleClick);
    coMvc.AddNotification("KW_LINK_CHAR", this, &KwCntTree::NotifyChar);
    coMvc.AddNotification("KW_LINK_VSCROLL", this, &KwCntTree::NotifyVScroll);
    coMvc.AddNotification("KW_LINK_HSCROLL", this, &KwCntTree::NotifyHScroll);
    coMvc.AddNotification("KW_LINK_SETFOCUS", this, &KwCntTree::NotifyFocus);
    coMvc.AddNotification("KW_LINK_KILLFOCUS", this, &KwCntTree::NotifyFocus);
    coMvc.AddNotification("KW_LINK_SIZE", this, &KwCntTree::NotifySize);
    coMvc.AddNotification("KW_LINK_USER", this, &KwCntTree::NotifyMessage);
    // The moving keys would otherwise also move the window focus; a
    // priority key link of the program's own is left alone.
    m_nOwnsPriorityKey = !coMvc.HasLink("$KWPRIOLINK_KEYDOWN");
    if (m_nOwnsPriorityKey)
        coMvc.SetLink("$KWPRIOLINK_KEYDOWN", this, &KwCntTree::PriorityKey);
}

void KwCntTree::Detach(KwWnd* pcoWnd)
{
    if (!pcoWnd || pcoWnd != m_pcoAttached)
        return;
    TMvc& coMvc = pcoWnd->MVC();
    coMvc.RemoveObjectNotifications(this);
    if (m_nOwnsPriorityKey)
        coMvc.RemoveLink("$KWPRIOLINK_KEYDOWN");
    m_nOwnsPriorityKey = 0;
    m_pcoAttached = nullptr;
}

// Nodes

void KwCntTree::DeleteRoot()
{
    if (m_pcoRoot)
        m_pcoRoot->Delete(m_pfnDestroy, 0);
    m_pcoRoot = nullptr;
    m_coFocus.clear();
    m_lTopLine = 0;
    m_nLeft = 0;
}

void KwCntTree::SetRootNode(TTreeNode* pcoRoot)
{
    if (pcoRoot == m_pcoRoot)
        return;
    DeleteRoot();
    m_pcoRoot = pcoRoot;
    Redraw(1);
}

TTreeNode* KwCntTree::RemoveRootNode()
{
    TTreeNode* pcoRoot = m_pcoRoot;
    m_pcoRoot = nullptr;
    DeleteRoot();
    Redraw(1);
    return pcoRoot;
}

int KwCntTree::ContainsNode(const TTreeNode* pcoNode) const
{
    if (!pcoNode || !m_pcoRoot)
        return 0;
    std::vector<const TTreeNode*> coPending { m_pcoRoot };
    while (!coPending.empty()) {
        const TTreeNode* pcoNext = coPending.back();
        coPending.pop_back();
        if (pcoNext == pcoNode)
            return 1;
        for (long i = 0; i < pcoNext->NodeCount(); ++i)
            coPending.push_back(pcoNext->GetSubNode(i));
    }
    return 0;
}

int KwCntTree::IsReachable(const TNodePath& coPath) const
{
    if (coPath.empty() || !m_pcoRoot || coPath.front() != m_pcoRoot)
        return 0;
    // Each parent is checked before its children are looked at, so no
    // deleted node is ever touched.
    for (size_t i = 1; i < coPath.size(); ++i) {
        if (!IsChildOf(coPath[i - 1], coPath[i]))
            return 0;
    }
    return 1;
}

KwCntTree::TNodePath KwCntTree::PathOf(TTreeNode* pcoNode) const
{
    TNodePath coPath;
    for (TTreeNode* p = pcoNode; p; p = p->GetParentNode())
        coPath.push_back(p);
    if (coPath.empty() || coPath.back() != m_pcoRoot)
        return TNodePath();
    std::reverse(coPath.begin(), coPath.end());
    return coPath;
}

// Geometry and colours

void KwCntTree::SetNodeBoxSize(const KwSize& coSize)
{
    m_coBoxSize = coSize;
    Redraw(1);
}

void KwCntTree::SetBoxDist(short nDistance)
{
    m_nBoxDist = nDistance;
    Redraw(1);
}

void KwCntTree::SetFocusColors(short nBack, short nFore)
{
    m_nFocusBack = nBack;
    m_nFocusFore = nFore;
    Redraw(1);
}

short KwCntTree::LineHeight() const
{
    return std::max<short>(m_coBoxSize.Height(), 1);
}

KwRect KwCntTree::LayoutRect() const
{
    return GetWindow() ? GetWindow()->CalcContentRect() : KwRect();
}

void KwCntTree::Redraw(int nRedraw)
{
    if (nRedraw && GetWindow())
        GetWindow()->Invalidate(1);
}

// Opening, closing and focus from the program

int KwCntTree::OpenNode(TTreeNode* pcoNode, int nRedraw)
{
    if (!pcoNode)
        return 0;
    pcoNode->Open();
    Redraw(nRedraw);
    return 1;
}

int KwCntTree::CloseNode(TTreeNode* pcoNode, int nRedraw)
{
    if (!pcoNode)
        return 0;
    const TNodePath coPath = PathOf(pcoNode);
    if (IsReachable(m_coFocus) && m_coFocus.size() > coPath.size() && !coPath.empty()
        && std::equal(coPath.begin(), coPath.end(), m_coFocus.begin()))
        m_coFocus = coPath;
    pcoNode->Close();
    Redraw(nRedraw);
    return 1;
}

TTreeNode* KwCntTree::GetFocusNode() const
{
    return IsReachable(m_coFocus) ? m_coFocus.back() : nullptr;
}

int KwCntTree::SetFocusNode(TTreeNode* pcoNode, int nRedraw)
{
    if (!pcoNode) {
        m_coFocus.clear();
        Redraw(nRedraw);
        return 1;
    }
    TNodePath coPath = PathOf(pcoNode);
    if (coPath.empty())
        return 0;
    m_coFocus = std::move(coPath);
    MakeLineVisible(LineOfNode(pcoNode));
    Redraw(nRedraw);
    return 1;
}

// Layout

long KwCntTree::GetLineCount() const
{
    TWalk coWalk(m_pcoRoot);
    if (!coWalk.Node())
        return 0;
    return 1 + coWalk.Skip(LONG_MAX);
}

long KwCntTree::GetPageLines() const
{
    const KwRect coRect = LayoutRect();
    return coRect.IsEmpty() ? 0 : std::max<long>(coRect.Height() / LineHeight(), 1);
}

long KwCntTree::LineOfNode(const TTreeNode* pcoNode) const
{
    if (!pcoNode)
        return -1;
    TWalk coWalk(m_pcoRoot);
    for (long lLine = 0; coWalk.Node(); ++lLine) {
        if (coWalk.Node() == pcoNode)
            return lLine;
        coWalk.Next();
    }
    return -1;
}

std::vector<KwCntTree::TLine> KwCntTree::CollectLines(long lFirst, long lCount) const
{
    std::vector<TLine> coLines;
    TWalk coWalk(m_pcoRoot);
    if (!coWalk.Node() || coWalk.Skip(lFirst) < lFirst)
        return coLines;
    for (long i = 0; i < lCount && coWalk.Node(); ++i) {
        coLines.push_back(coWalk.Line());
        coWalk.Next();
    }
    return coLines;
}

TTreeNode* KwCntTree::NodeFromPoint(const KwPoint& coPoint) const
{
    const KwRect coRect = LayoutRect();
    if (!coRect.PtInRect(coPoint))
        return nullptr;
    const long lLine = m_lTopLine + (coPoint.Y() - coRect.Top()) / LineHeight();
    const std::vector<TLine> coLines = CollectLines(lLine, 1);
    if (coLines.empty())
        return nullptr;
    const int nIndent = coRect.Left() + coLines.front().Depth() * m_coBoxSize.Width() - m_nLeft;
    return coPoint.X() >= nIndent ? coLines.front().coPath.back() : nullptr;
}

int KwCntTree::BoxHit(const KwPoint& coPoint, long& lLine) const
{
    const KwRect coRect = LayoutRect();
    if (!coRect.PtInRect(coPoint))
        return 0;
    lLine = m_lTopLine + (coPoint.Y() - coRect.Top()) / LineHeight();
    const std::vector<TLine> coLines = CollectLines(lLine, 1);
    if (coLines.empty() || !coLines.front().nHasChildren)
        return 0;
    const int nLeft = coRect.Left() + coLines.front().Depth() * m_coBoxSize.Width() - m_nLeft;
    return coPoint.X() >= nLeft && coPoint.X() < nLeft + m_coBoxSize.Width();
}

// Scrolling

void KwCntTree::SetTopLine(long lLine, int nRedraw)
{
    const long lMaxTop = std::max<long>(GetLineCount() - GetPageLines(), 0);
    lLine = std::clamp<long>(lLine, 0, lMaxTop);
    if (lLine == m_lTopLine)
        return;
    m_lTopLine = lLine;
    if (KwWnd* pcoWnd = GetWindow())
        pcoWnd->SetScrollPos(1, StepOfLine(lLine, lMaxTop), 1);
    Redraw(nRedraw);
}

void KwCntTree::SetLeftOffset(short nLeft, int nRedraw)
{
    const KwRect coRect = LayoutRect();
    const short nMax = static_cast<short>(std::max(m_nWidest - coRect.Width(), 0));
    nLeft = std::clamp<short>(nLeft, 0, nMax);
    if (nLeft == m_nLeft)
        return;
    m_nLeft = nLeft;
    if (KwWnd* pcoWnd = GetWindow())
        pcoWnd->SetScrollPos(0, nLeft, 1);
    Redraw(nRedraw);
}

void KwCntTree::ScrollLines(long lDelta)
{
    SetTopLine(m_lTopLine + lDelta, 1);
}

void KwCntTree::MakeLineVisible(long lLine)
{
    const long lPage = GetPageLines();
    if (lLine < 0 || lPage <= 0)
        return;
    if (lLine < m_lTopLine)
        SetTopLine(lLine, 1);
    else if (lLine >= m_lTopLine + lPage)
        SetTopLine(lLine - lPage + 1, 1);
}

void KwCntTree::UpdateScrollBars(long lLines, short nWidest)
{
    KwWnd* pcoWnd = GetWindow();
    if (!pcoWnd || !pcoWnd->GetHandle())
        return;
    const long lPage = GetPageLines();
    const int nVertical = lLines > lPage;
    if (pcoWnd->HasScrollBar(1) != nVertical)
        pcoWnd->ShowScrollBar(1, nVertical);
    if (nVertical) {
        short nMin = 0, nMax = 0;
        const short nRange = static_cast<short>(std::min(lLines - lPage, s_lScrollSteps));
        if (!pcoWnd->GetScrollRange(1, &nMin, &nMax) || nMax != nRange)
            pcoWnd->SetScrollRange(1, 0, nRange, 1);
        pcoWnd->SetScrollPos(1, StepOfLine(m_lTopLine, lLines - lPage), 1);
    }
    const short nWidth = LayoutRect().Width();
    const int nHorizontal = nWidest > nWidth;
    if (pcoWnd->HasScrollBar(0) != nHorizontal)
        pcoWnd->ShowScrollBar(0, nHorizontal);
    if (nHorizontal) {
        short nMin = 0, nMax = 0;
        const short nRange = static_cast<short>(nWidest - nWidth);
        if (!pcoWnd->GetScrollRange(0, &nMin, &nMax) || nMax != nRange)
            pcoWnd->SetScrollRange(0, 0, nRange, 1);
        pcoWnd->SetScrollPos(0, m_nLeft, 1);
    }
}

// Links

int KwCntTree::Send(const char* pszLink, const TNodePath& coPath)
{
    if (!IsReachable(coPath))
        return 0;
    TTreeNode* pcoNode = coPath.back();
    if (MVC().HasNotification(pszLink)) {
        KwEventCntTree coEvent(*this, pcoNode);
        MVC().CallNotifications(pszLink, coEvent);
    }
    if (!MVC().HasLink(pszLink))
        return 0;
    KwEventCntTree coEvent(*this, pcoNode);
    return MVC().CallLink(pszLink, coEvent);
}

// The text of a node: notifications and link fill the same event.
void KwCntTree::AskText(TTreeNode* pcoNode, KwEventCntTree& coEvent)
{
    if (MVC().HasNotification(LinkGetText)) {
        MVC().CallNotifications(LinkGetText, coEvent);
    }
    if (MVC().HasLink(LinkGetText)) {
        MVC().CallLink(LinkGetText, coEvent);
    }
}

// Painting

int KwCntTree::Paint(KwDC& coDC, const KwRect* pcoRect)
{
    KwWnd* pcoWnd = GetWindow();
    const KwRect coRect = pcoRect ? *pcoRect : LayoutRect();
    if (!pcoWnd || coRect.IsEmpty() || !m_pcoRoot)
        return 0;
    const short nLine = LineHeight();
    const short nBox = m_coBoxSize.Width();
    const long lCount = GetLineCount();
    const long lPage = std::max<long>(coRect.Height() / nLine, 1);
    m_lTopLine = std::clamp<long>(m_lTopLine, 0, std::max<long>(lCount - lPage, 0));
    const std::vector<TLine> coLines = CollectLines(m_lTopLine, (coRect.Height() + nLine - 1) / nLine);

    const int nSaved = pcoKwSys ? pcoKwSys->SaveDC(coDC.GetHandle()) : 0;
    coDC.IntersectClipRect(coRect);
    const KwFont* pcoOldFont = coDC.SelectObject(&pcoWnd->GetUsedFont());
    const int nOldMode = coDC.SetBkMode(1);
    KwPen coDotted(KwSysColor(s_nColorLines), 3, 1);
    KwPen coFrame(KwSysColor(s_nColorLines), 1, 1);
    KwBrush coBoxInside(KwSysColor(s_nColorBox), 1, 0);
    const int nWindowFocused = KwWnd::GetFocus() == pcoWnd;
    short nWidest = 0;
    short nY = coRect.Top();
    for (const TLine& coLine : coLines) {
        const int nDepth = coLine.Depth();
        const short nCellX = static_cast<short>(coRect.Left() + nDepth * nBox - m_nLeft);
        const short nMidY = static_cast<short>(nY + nLine / 2);
        auto CenterX = [&](int nLevel) { return static_cast<short>(coRect.Left() + nLevel * nBox + nBox / 2 - m_nLeft); };
        coDC.SelectObject(&coDotted);
        for (int nLevel = 1; nLevel < nDepth; ++nLevel) {
            if (coLine.coContinues[static_cast<size_t>(nLevel)]) {
                coDC.MoveTo(KwPoint(CenterX(nLevel), nY));
                coDC.LineTo(KwPoint(CenterX(nLevel), static_cast<short>(nY + nLine)));
            }
        }
        if (nDepth > 0) {
            const short nBottom = coLine.coContinues.back() ? static_cast<short>(nY + nLine) : nMidY;
            coDC.MoveTo(KwPoint(CenterX(nDepth), nY));
            coDC.LineTo(KwPoint(CenterX(nDepth), nBottom));
        }
        coDC.MoveTo(KwPoint(CenterX(nDepth), nMidY));
        coDC.LineTo(KwPoint(static_cast<short>(nCellX + nBox), nMidY));
        if (coLine.nHasChildren) {
            const short nX = CenterX(nDepth);
            coDC.SelectObject(&coFrame);
            const KwBrush* pcoOldBrush = coDC.SelectObject(&coBoxInside);
            coDC.Rectangle(KwRect(static_cast<short>(nX - s_nBoxHalf), static_cast<short>(nMidY - s_nBoxHalf),
                                  static_cast<short>(nX + s_nBoxHalf + 1), static_cast<short>(nMidY + s_nBoxHalf + 1)));
            coDC.SelectObject(pcoOldBrush);
            coDC.MoveTo(KwPoint(static_cast<short>(nX - 2), nMidY));
            coDC.LineTo(KwPoint(static_cast<short>(nX + 3), nMidY));
            if (!coLine.nOpen) {
                coDC.MoveTo(KwPoint(nX, static_cast<short>(nMidY - 2)));
                coDC.LineTo(KwPoint(nX, static_cast<short>(nMidY + 3)));
            }
        }
        // The text link may change the tree: every line is checked again.
        if (IsReachable(coLine.coPath)) {
            TTreeNode* pcoNode = coLine.coPath.back();
            KwEventCntTree coEvent(*this, pcoNode);
            AskText(pcoNode, coEvent);
            const char* pszText = coEvent.GetNodeText();
            const short nTextX = static_cast<short>(nCellX + nBox + m_nBoxDist);
            const KwSize coExtent = coDC.GetTextExtent(pszText, -1);
            nWidest = std::max<short>(nWidest, static_cast<short>(nTextX + coExtent.Width() + s_nTextPad - coRect.Left() + m_nLeft));
            unsigned long ulText = coEvent.GetTextColor() >= 0 ? RealColor(coEvent.GetTextColor()) : pcoWnd->GetColFore().GetRealColor();
            const KwRect coHighlight(static_cast<short>(nTextX - s_nTextPad), nY,
                                     static_cast<short>(nTextX + coExtent.Width() + s_nTextPad), static_cast<short>(nY + nLine));
            if (pcoNode == GetFocusNode()) {
                KwBrush coFocus(KwSysColor(nWindowFocused ? m_nFocusBack : s_nColorIdleFocus), 1, 0);
                coDC.FillRect(coHighlight, coFocus);
                if (nWindowFocused) {
                    ulText = RealColor(m_nFocusFore);
                    coDC.DrawFocusRect(coHighlight);
                }
            }
            coDC.SetTextColor(ulText);
            coDC.TextOutPoint(KwPoint(nTextX, nMidY), pszText, -1, 0x01);
        }
        nY = static_cast<short>(nY + nLine);
    }
    coDC.SelectObject(static_cast<const KwPen*>(nullptr));
    coDC.SetBkMode(nOldMode);
    coDC.SelectObject(pcoOldFont);
    if (pcoKwSys)
        pcoKwSys->RestoreDC(coDC.GetHandle(), nSaved);
    m_nWidest = nWidest;
    UpdateScrollBars(lCount, nWidest);
    return 1;
}

// What the user does

void KwCntTree::UserActivate(TTreeNode* pcoNode)
{
    TNodePath coPath = PathOf(pcoNode);
    if (coPath.empty())
        return;
    m_coFocus = coPath;
    MakeLineVisible(LineOfNode(pcoNode));
    Redraw(1);
    Send(LinkActivate, coPath);
}

void KwCntTree::UserOpen(TTreeNode* pcoNode)
{
    const TNodePath coPath = PathOf(pcoNode);
    if (coPath.empty())
        return;
    Send(LinkOpen, coPath);
    if (!IsReachable(coPath))
        return;
    coPath.back()->Open();
    MakeLineVisible(LineOfNode(coPath.back()));
    Redraw(1);
}

void KwCntTree::UserClose(TTreeNode* pcoNode)
{
    TNodePath coPath = PathOf(pcoNode);
    if (coPath.empty())
        return;
    const int nFocusInside = IsReachable(m_coFocus) && m_coFocus.size() > coPath.size()
        && std::equal(coPath.begin(), coPath.end(), m_coFocus.begin());
    pcoNode->Close();
    SetTopLine(m_lTopLine, 0);
    Redraw(1);
    if (nFocusInside)
        UserActivate(pcoNode);
}

void KwCntTree::UserMoveFocus(long lLine)
{
    const long lCount = GetLineCount();
    if (lCount == 0)
        return;
    lLine = std::clamp<long>(lLine, 0, lCount - 1);
    const std::vector<TLine> coLines = CollectLines(lLine, 1);
    if (coLines.empty())
        return;
    TTreeNode* pcoNode = coLines.front().coPath.back();
    if (pcoNode == GetFocusNode())
        MakeLineVisible(lLine);
    else
        UserActivate(pcoNode);
}

int KwCntTree::NotifyPress(TMvcParam& coParam)
{
    const KwEventMouse* pcoEvent = EventAs<KwEventMouse>(coParam);
    if (!pcoEvent)
        return 0;
    long lLine = 0;
    if (BoxHit(pcoEvent->Position(), lLine)) {
        const std::vector<TLine> coLines = CollectLines(lLine, 1);
        if (coLines.front().nOpen)
            UserClose(coLines.front().coPath.back());
        else
            UserOpen(coLines.front().coPath.back());
        return 0;
    }
    if (TTreeNode* pcoNode = NodeFromPoint(pcoEvent->Position()))
        UserActivate(pcoNode);
    return 0;
}

int KwCntTree::NotifyDoubleClick(TMvcParam& coParam)
{
    const KwEventMouse* pcoEvent = EventAs<KwEventMouse>(coParam);
    if (!pcoEvent)
        return 0;
    long lLine = 0;
    if (BoxHit(pcoEvent->Position(), lLine))
        return NotifyPress(coParam);
    TTreeNode* pcoNode = NodeFromPoint(pcoEvent->Position());
    if (!pcoNode)
        return 0;
    if (pcoNode->IsOpen())
        UserClose(pcoNode);
    else
        UserOpen(pcoNode);
    return 0;
}

int KwCntTree::NotifyChar(TMvcParam& coParam)
{
    const KwEventKey* pcoEvent = EventAs<KwEventKey>(coParam);
    TTreeNode* pcoFocus = GetFocusNode();
    if (!pcoEvent || !pcoFocus)
        return 0;
    if (pcoEvent->KeyCode() == '+' && !pcoFocus->IsOpen())
        UserOpen(pcoFocus);
    else if (pcoEvent->KeyCode() == '-' && pcoFocus->IsOpen())
        UserClose(pcoFocus);
    return 0;
}

int KwCntTree::PriorityKey(TMvcParam& coParam)
{
    const KwEventKey* pcoEvent = EventAs<KwEventKey>(coParam);
    if (!pcoEvent || !m_pcoRoot)
        return 0;
    TTreeNode* pcoFocus = GetFocusNode();
    const long lLine = pcoFocus ? LineOfNode(pcoFocus) : -1;
    const long lPage = std::max<long>(GetPageLines() - 1, 1);
    switch (pcoEvent->KeyCode()) {
    case KeyUp:
        UserMoveFocus(lLine < 0 ? 0 : lLine - 1);
        return 1;
    case KeyDown:
        UserMoveFocus(lLine + 1);
        return 1;
    case KeyPageUp:
        UserMoveFocus(lLine - lPage);
        return 1;
    case KeyPageDown:
        UserMoveFocus(lLine < 0 ? lPage : lLine + lPage);
        return 1;
    case KeyHome:
        UserMoveFocus(0);
        return 1;
    case KeyEnd:
        UserMoveFocus(GetLineCount() - 1);
        return 1;
    case KeyRight:
        if (!pcoFocus)
            UserMoveFocus(0);
        else if (!pcoFocus->IsOpen())
            UserOpen(pcoFocus);
        else if (pcoFocus->HasSubNodes())
            UserMoveFocus(lLine + 1);
        return 1;
    case KeyLeft:
        if (!pcoFocus)
            UserMoveFocus(0);
        else if (pcoFocus->IsOpen() && pcoFocus->HasSubNodes())
            UserClose(pcoFocus);
        else if (pcoFocus->GetParentNode())
            UserMoveFocus(LineOfNode(pcoFocus->GetParentNode()));
        return 1;
    default:
        return 0;
    }
}

int KwCntTree::NotifyVScroll(TMvcParam& coParam)
{
    const KwEventWnd* pcoEvent = EventAs<KwEventWnd>(coParam);
    if (pcoEvent)
        Scroll(1, *pcoEvent);
    return 0;
}

int KwCntTree::NotifyHScroll(TMvcParam& coParam)
{
    const KwEventWnd* pcoEvent = EventAs<KwEventWnd>(coParam);
    if (pcoEvent)
        Scroll(0, *pcoEvent);
    return 0;
}

void KwCntTree::Scroll(int nVertical, const KwEventWnd& coEvent)
{
    const KwEventWnd* pcoEvent = &coEvent;
    const long lPos = static_cast<short>(pcoEvent->GetLParam() & 0xFFFF);
    const long lCurrent = nVertical ? m_lTopLine : m_nLeft;
    const long lLine = nVertical ? 1 : m_coBoxSize.Width();
    const long lPage = nVertical ? std::max<long>(GetPageLines() - 1, 1) : std::max<long>(LayoutRect().Width() - lLine, lLine);
    long lTarget = lCurrent;
    switch (pcoEvent->GetWParam()) {
    case ScrollEnd: lTarget = nVertical ? GetLineCount() : m_nWidest; break;
    case ScrollStart: lTarget = 0; break;
    case ScrollLineDown: lTarget = lCurrent + lLine; break;
    case ScrollLineUp: lTarget = lCurrent - lLine; break;
    case ScrollPageDown: lTarget = lCurrent + lPage; break;
    case ScrollPageUp: lTarget = lCurrent - lPage; break;
    case ScrollTrack:
    case ScrollThumb: lTarget = nVertical ? std::lround(lPos * LinesPerStep(GetLineCount() - GetPageLines())) : lPos; break;
    default: return;
    }
    if (nVertical)
        SetTopLine(lTarget, 1);
    else
        SetLeftOffset(static_cast<short>(std::clamp<long>(lTarget, 0, s_lMaxScroll)), 1);
}

int KwCntTree::NotifyFocus(TMvcParam&)
{
    Redraw(1);
    return 0;
}

int KwCntTree::NotifySize(TMvcParam&)
{
    SetTopLine(m_lTopLine, 0);
    Redraw(1);
    return 0;
}

int KwCntTree::NotifyMessage(TMvcParam& coParam)
{
    const KwEventUser* pcoEvent = dynamic_cast<const KwEventUser*>(&coParam);
    const KwMessParamWinNT* pcoMessage = pcoEvent ? pcoEvent->GetWinNTParam() : nullptr;
    if (!pcoMessage || pcoMessage->GetMessage() != s_unMouseWheel)
        return 0;
    const short nDelta = static_cast<short>(pcoMessage->HighWParam());
    ScrollLines(-nDelta / s_nWheelStep * s_lLinesPerWheelStep);
    return 0;
}
