#include "KwRect.h"

#include <algorithm>

KwRect& KwRect::Set(short nLeft, short nTop, short nRight, short nBottom)
{
    m_nLeft = nLeft;
    m_nTop = nTop;
    m_nRight = nRight;
    m_nBottom = nBottom;
    return *this;
}

KwRect& KwRect::Set(const KwPoint& coTopLeft, const KwPoint& coBottomRight)
{
    return Set(coTopLeft.X(), coTopLeft.Y(), coBottomRight.X(), coBottomRight.Y());
}

KwRect& KwRect::Set(const KwPoint& coTopLeft, const KwSize& coSize)
{
    return Set(coTopLeft.X(), coTopLeft.Y(), KwPair::Wrap(coTopLeft.X() + coSize.Width()),
               KwPair::Wrap(coTopLeft.Y() + coSize.Height()));
}

int KwRect::PtInRect(const KwPoint& coPoint) const
{
    return coPoint.X() >= m_nLeft && coPoint.X() < m_nRight && coPoint.Y() >= m_nTop && coPoint.Y() < m_nBottom;
}

KwPoint KwRect::MiddlePos() const
{
    return KwPoint(static_cast<short>((m_nLeft + m_nRight) / 2), static_cast<short>((m_nTop + m_nBottom) / 2));
}

void KwRect::MakePoints(KwPoint& coTopLeft, KwPoint& coBottomRight) const
{
    coTopLeft = TopLeft();
    coBottomRight = BottomRight();
}

KwRect& KwRect::Move(short nDx, short nDy)
{
    return Set(KwPair::Wrap(m_nLeft + nDx), KwPair::Wrap(m_nTop + nDy), KwPair::Wrap(m_nRight + nDx),
               KwPair::Wrap(m_nBottom + nDy));
}

KwRect& KwRect::Resize(short nAmount)
{
    return Set(KwPair::Wrap(m_nLeft - nAmount), KwPair::Wrap(m_nTop - nAmount), KwPair::Wrap(m_nRight + nAmount),
               KwPair::Wrap(m_nBottom + nAmount));
}

int KwRect::Intersect(const KwRect& coOther)
{
    const KwRect coShared(std::max(m_nLeft, coOther.m_nLeft), std::max(m_nTop, coOther.m_nTop),
                          std::min(m_nRight, coOther.m_nRight), std::min(m_nBottom, coOther.m_nBottom));
    if (IsEmpty() || coOther.IsEmpty() || coShared.IsEmpty()) {
        Empty();
        return 0;
    }
    *this = coShared;
    return 1;
}

KwRect& KwRect::Sort()
{
    if (m_nLeft > m_nRight)
        std::swap(m_nLeft, m_nRight);
    if (m_nTop > m_nBottom)
        std::swap(m_nTop, m_nBottom);
    return *this;
}

bool KwRect::operator==(const KwRect& coOther) const
{
    return m_nLeft == coOther.m_nLeft && m_nTop == coOther.m_nTop && m_nRight == coOther.m_nRight
        && m_nBottom == coOther.m_nBottom;
}
