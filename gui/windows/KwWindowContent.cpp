#include "KwContent.h"

#include "KwDC.h"
#include "KwFont.h"
#include "KwWnd.h"

// The part of a content that reaches its window. KwContent is the content
// family's (KwContent.h); what of it takes a window is defined here, where
// a window is a complete type, so that the content family needs nothing
// above it.

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

KwContent::~KwContent()
{
    if (!IsDynCppReferenceObject() && m_pcoWnd && m_pcoWnd->Content() == this)
        m_pcoWnd->UnlinkContent();
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
