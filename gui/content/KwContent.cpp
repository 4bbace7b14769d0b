#include "KwContent.h"

#include "KwDC.h"
#include "KwFont.h"
#include "KwWnd.h"
#include "TFile.h"
#include "TResVar.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwContent, KwRes, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwDummyContent, KwContent, "kw25")

// KwWnd links contents through its protected LinkContent; a content that
// names its window at construction reaches it through this friend.
class KwContentLinker {
public:
    static void Link(KwWnd& coWnd, KwContent* pcoContent) { delete coWnd.LinkContent(pcoContent); }
};

KwContent::KwContent(unsigned short unAlign, KwWnd* pcoWnd)
    : m_unAlign(unAlign)
{
    if (pcoWnd)
        KwContentLinker::Link(*pcoWnd, this);
}

KwContent::KwContent(const KwContent& coOther)
    : KwRes(coOther), m_unAlign(coOther.m_unAlign), m_coMove(coOther.m_coMove), m_unState(coOther.m_unState)
{
}

KwContent& KwContent::operator=(const KwContent& coOther)
{
    if (this == &coOther)
        return *this;
    KwRes::operator=(coOther);
    m_unAlign = coOther.m_unAlign;
    m_coMove = coOther.m_coMove;
    m_unState = coOther.m_unState;
    return *this;
}

KwContent::~KwContent()
{
    if (!IsDynCppReferenceObject() && m_pcoWnd && m_pcoWnd->Content() == this)
        m_pcoWnd->UnlinkContent();
}

void KwContent::LinkWindow(KwWnd* pcoWnd)
{
    KwWnd* pcoOld = m_pcoWnd;
    m_pcoWnd = pcoWnd;
    if (pcoOld && pcoOld != pcoWnd)
        NotifyUnlink(pcoOld);
    if (pcoWnd)
        NotifyLink(pcoWnd);
}

void KwContent::SetCenter(unsigned short unAlign, int nRedraw)
{
    if (unAlign == m_unAlign)
        return;
    m_unAlign = unAlign;
    if (nRedraw && m_pcoWnd)
        m_pcoWnd->Invalidate(1);
}

void KwContent::SetMove(const KwPoint& coMove, int nRedraw)
{
    if (coMove == m_coMove)
        return;
    m_coMove = coMove;
    if (nRedraw && m_pcoWnd)
        m_pcoWnd->Invalidate(1);
}

int KwContent::SetGrayed(int nGrayed, int nRedraw)
{
    if ((nGrayed ? 1 : 0) == IsGrayed())
        return 0;
    if (nGrayed)
        m_unState |= StateGrayed;
    else
        m_unState &= static_cast<unsigned short>(~StateGrayed);
    if (nRedraw && m_pcoWnd && m_pcoWnd->GetHandle()) {
        KwDC coDC(m_pcoWnd);
        m_pcoWnd->Invalidate(CalcCurrentRect(coDC), 1);
    }
    return 1;
}

KwRect KwContent::CalcCurrentRect(KwDC&) const
{
    return m_pcoWnd ? m_pcoWnd->CalcContentRect() : KwRect();
}

const KwFont* KwContent::GetUsedFont() const
{
    return m_pcoWnd ? &m_pcoWnd->GetUsedFont() : nullptr;
}

void KwContent::WriteData(TFile& coFile) const
{
    KwRes::WriteData(coFile);
    TResShort(VarAlign, static_cast<short>(m_unAlign)).Write(coFile);
    TResShort(VarMoveX, m_coMove.X()).Write(coFile);
    TResShort(VarMoveY, m_coMove.Y()).Write(coFile);
}

int KwContent::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    switch (coVar.MyId()) {
    case VarAlign:
        m_unAlign = static_cast<unsigned short>(static_cast<short>(coVar));
        return 1;
    case VarMoveX:
        m_coMove.SetX(static_cast<short>(coVar));
        return 1;
    case VarMoveY:
        m_coMove.SetY(static_cast<short>(coVar));
        return 1;
    default:
        return KwRes::NotifyVariableRead(coVar, pcoParent, ulIndex);
    }
}

void KwDummyContent::InitDefault()
{
    SetResId(nullptr);
    SetCppClass(nullptr);
    SetCenter(0, 0);
    SetMove(KwPoint(), 0);
    SetGrayed(0, 0);
}
