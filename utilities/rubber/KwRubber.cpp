#include "KwRubber.h"

#include "KwDC.h"
#include "KwPen.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwRubber, TDynBase, "kuti")

namespace {

// One axis of AlignOnGrid.
short AlignAxis(short nValue, short nOrigin, short nStep)
{
    if (nStep <= 1)
        return nValue;
    int nOffset = nValue - nOrigin;
    const int nRest = nOffset % nStep;
    if (nRest == 0)
        return nValue;
    nOffset -= nRest;
    if (nRest > nStep / 2)
        nOffset += nStep;
    else if (nRest < -(nStep / 2))
        nOffset -= nStep;
    return KwPair::Wrap(nOffset + nOrigin);
}

// A movement cut down to whole grid steps.
short WholeSteps(short nDelta, short nStep)
{
    return nStep <= 1 ? nDelta : static_cast<short>(nDelta / nStep * nStep);
}

} // namespace

KwRubber::KwRubber(short nColor, unsigned short unLineStyle, short nLineWidth)
    : m_coColor(nColor), m_unLineStyle(unLineStyle), m_nLineWidth(nLineWidth)
{
}

KwPoint KwRubber::AlignOnGrid(const KwPair& coPoint) const
{
    return KwPoint(AlignAxis(coPoint.First(), m_coGridAlign.First(), m_nGridX),
                   AlignAxis(coPoint.Second(), m_coGridAlign.Second(), m_nGridY));
}

const KwPoint* KwRubber::GetMovePointArray(unsigned short& unCount) const
{
    unCount = static_cast<unsigned short>(m_coMovePoints.size());
    return m_coMovePoints.empty() ? nullptr : m_coMovePoints.data();
}

// Starting and ending

void KwRubber::Restart(KwDC& coDC)
{
    End(coDC);
    m_coResultFix1 = m_coResultFix2 = m_coResultChange = KwPoint();
    m_nFix2Used = 0;
}

int KwRubber::StartNew(KwDC& coDC, const KwPoint& coPoint)
{
    Restart(coDC);
    m_coFix1 = AlignOnGrid(coPoint);
    m_coCurrent = coPoint;
    m_nFirstRubber = 1;
    m_nStartType = TypeNew;
    return 1;
}

int KwRubber::StartChange(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged,
                          const KwPoint& coPointer)
{
    Restart(coDC);
    m_coFix1 = coFix1;
    m_coFix2 = coFix2;
    m_nFix2Used = 1;
    m_coChanged = AlignOnGrid(coChanged);
    m_nFirstRubber = 1;
    m_nStartType = TypeChange;
    Show(coDC, coPointer);
    return 1;
}

int KwRubber::StartChange(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coChanged, const KwPoint& coPointer)
{
    Restart(coDC);
    m_coFix1 = coFix1;
    m_coChanged = AlignOnGrid(coChanged);
    m_nFirstRubber = 1;
    m_nStartType = TypeChange;
    Show(coDC, coPointer);
    return 1;
}

int KwRubber::StartMove(KwDC& coDC, const KwPoint* pcoPoints, unsigned short unCount, const KwPoint& coPointer)
{
    Restart(coDC);
    if (!pcoPoints || unCount == 0)
        return 0;
    m_coFix1 = coPointer;
    m_coMovePoints.clear();
    m_coMovePoints.reserve(unCount);
    for (unsigned short i = 0; i < unCount; ++i)
        m_coMovePoints.push_back(AlignOnGrid(pcoPoints[i]));
    m_nFirstRubber = 1;
    m_nStartType = TypeMove;
    Show(coDC, coPointer);
    return 1;
}

int KwRubber::End(KwDC& coDC, KwPoint& coFix1, KwPoint& coFix2, KwPoint& coChanged)
{
    if (IsStarted()) {
        coFix1 = m_coFix1;
        coFix2 = m_coFix2;
        coChanged = m_coChanged;
    }
    return End(coDC);
}

int KwRubber::End(KwDC& coDC)
{
    HideOld(coDC);
    int nResult = 0;
    if (IsStarted()) {
        m_coResultFix1 = m_coFix1;
        m_coResultFix2 = m_coFix2;
        m_coResultChange = m_coChanged;
        unsigned short unCount = 0;
        const KwPoint* pcoPoints = GetMovePointArray(unCount);
        nResult = NotifyResult(m_coFix1, m_coFix2, m_coChanged, pcoPoints, unCount);
    }
    m_coFix1 = m_coFix2 = m_coChanged = m_coCurrent = m_coPrevious = KwPoint();
    m_coMovePoints.clear();
    m_coMovePoints.shrink_to_fit();
    m_nStartType = TypeIdle;
    m_nPaused = 0;
    return nResult;
}

void KwRubber::BeginPause()
{
    if (IsStarted())
        m_nPaused = 1;
}

// Drawing

int KwRubber::AlignPointer(KwPoint& coPoint) const
{
    if (m_nStartType == TypeNew) {
        coPoint = AlignOnGrid(coPoint);
        return m_nFirstRubber || coPoint != m_coPrevious;
    }
    if (m_nFirstRubber)
        return 1;
    const KwPoint coDelta = coPoint - m_coPrevious;
    const KwPoint coSteps(WholeSteps(coDelta.X(), m_nGridX), WholeSteps(coDelta.Y(), m_nGridY));
    if (coSteps == KwPoint())
        return 0;
    coPoint = m_coPrevious + coSteps;
    return 1;
}

void KwRubber::Show(KwDC& coDC, const KwPoint& coPoint)
{
    if (m_nPaused)
        return;
    KwPoint coAligned = coPoint;
    if (HasGrid() && !AlignPointer(coAligned))
        return;
    HideOld(coDC);
    if (!IsStarted())
        return;
    m_coCurrent = coAligned;
    ShowNew(coDC);
    m_coPrevious = m_coCurrent;
}

void KwRubber::HideOld(KwDC& coDC)
{
    if (!m_nShown)
        return;
    ShowHandler(coDC, m_coPrevious);
    m_nShown = 0;
}

void KwRubber::ShowNew(KwDC& coDC)
{
    if (m_nShown)
        return;
    ShowHandler(coDC, m_coCurrent);
    m_nShown = 1;
}

void KwRubber::ShowHandler(KwDC& coDC, const KwPoint& coPoint)
{
    KwPen coPen(m_coColor, m_unLineStyle, m_nLineWidth);
    KwBrush coHollow(0UL, 0, 0);
    const KwPen* pcoOldPen = coDC.SelectObject(&coPen);
    const KwBrush* pcoOldBrush = coDC.SelectObject(&coHollow);
    const int nOldMode = coDC.SetROP2(RasterXor);
    const KwPoint coDelta = coPoint - m_coPrevious;
    switch (m_nStartType) {
    case TypeNew:
        m_coChanged = coPoint;
        CustomDrawNew(coDC, m_coFix1, m_coChanged);
        break;
    case TypeChange:
        if (!m_nFirstRubber)
            m_coChanged += coDelta;
        CustomDrawChange(coDC, m_coFix1, m_coFix2, m_coChanged);
        break;
    case TypeMove:
        if (!m_nFirstRubber) {
            for (KwPoint& coMovePoint : m_coMovePoints)
                coMovePoint += coDelta;
        }
        CustomDrawMove(coDC, m_coMovePoints.data(), static_cast<unsigned short>(m_coMovePoints.size()), coPoint);
        break;
    default:
        break;
    }
    if (m_nStartType != TypeIdle)
        m_nFirstRubber = 0;
    coDC.SetROP2(nOldMode);
    coDC.SelectObject(pcoOldBrush);
    coDC.SelectObject(pcoOldPen);
}
