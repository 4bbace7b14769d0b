#include "KwContent.h"

#include "TFile.h"
#include "TResVar.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwContent, KwRes, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwDummyContent, KwContent, "kw25")

// What of a content reaches its window (linking at construction and
// unlinking at destruction, the redraws, the window's rectangle and font)
// is defined in windows/KwWindowContent.cpp, where a window is a complete
// type, so that the content family needs nothing above it.

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

void KwContent::LinkWindow(KwWnd* pcoWnd)
{
    KwWnd* pcoOld = m_pcoWnd;
    m_pcoWnd = pcoWnd;
    if (pcoOld && pcoOld != pcoWnd)
        NotifyUnlink(pcoOld);
    if (pcoWnd)
        NotifyLink(pcoWnd);
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
