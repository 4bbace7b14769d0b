#include "KwProgressIndicator.h"

#include "KwColor.h"
#include "KwContent.h"
#include "KwDC.h"
#include "KwEvent.h"
#include "KwLayout.h"
#include "KwPen.h"
#include "TFile.h"
#include "TResVar.h"

#include <algorithm>
#include <cstdio>

TMvcEventTable KwProgressIndicator::m_stcoEvTab { "KwProgressIndicator", &KwProgressIndicator::TMvcEventsRegister };
KW_IMPLEMENT_DYNAMIC_CLASS(KwProgressIndicator, KwWChild, "xctl")

namespace {

const char s_szStarted[] = "EXTCTRL_LINK_PROGRESSSTARTED";
const char s_szChanged[] = "EXTCTRL_LINK_PROGRESSCHANGED";
const char s_szEnded[] = "EXTCTRL_LINK_PROGRESSENDED";
const char s_szCanceled[] = "EXTCTRL_LINK_PROGRESSCANCELED";

unsigned short Capped(unsigned long ulPercent)
{
    return static_cast<unsigned short>(std::min<unsigned long>(ulPercent, KwProgressIndicator::Complete));
}

} // namespace

void KwProgressIndicator::TMvcEventsRegister()
{
    for (const char* pszName : { s_szStarted, s_szChanged, s_szEnded, s_szCanceled })
        m_stcoEvTab.RegisterEventType(pszName, "KwEventWnd", nullptr, nullptr);
}

KwProgressIndicator::KwProgressIndicator() = default;

KwProgressIndicator::KwProgressIndicator(const char* pszName)
    : KwWChild(pszName)
{
}

KwProgressIndicator::KwProgressIndicator(const char* pszName, const KwPoint& coPos, const KwSize& coSize,
                                         short nColBord, short nColBack, short nColFore)
    : KwWChild(pszName, coPos, coSize, nColBord, nColBack, nColFore)
{
}

KwProgressIndicator::KwProgressIndicator(const KwProgressIndicator& coOther)
    : KwWChild(coOther)
    , m_nFillColor(coOther.m_nFillColor)
    , m_nShowPercent(coOther.m_nShowPercent)
{
}

// Events

int KwProgressIndicator::FireProgress(const char* pszName, unsigned short unValue)
{
    return FireEvent<KwEventWnd>(pszName, [&] { return KwEventWnd(this, unValue, 0); });
}

int KwProgressIndicator::EvProgressStarted(unsigned short unStart)
{
    return FireProgress(s_szStarted, unStart);
}

int KwProgressIndicator::EvProgressEnded()
{
    return FireProgress(s_szEnded, 0);
}

int KwProgressIndicator::EvProgressChanged(unsigned short unProgress)
{
    return FireProgress(s_szChanged, unProgress);
}

int KwProgressIndicator::EvProgressCanceled(unsigned short unProgress)
{
    return FireProgress(s_szCanceled, unProgress);
}

// The operation

int KwProgressIndicator::Start(unsigned short unPercent)
{
    if (m_nStarted)
        return 0;
    SetProgress(0);
    m_nStarted = 1;
    const unsigned short unStart = Capped(unPercent);
    EvProgressStarted(unStart);
    UpdateProgress(unStart);
    return 1;
}

int KwProgressIndicator::Cancel()
{
    if (!m_nStarted)
        return 0;
    m_nStarted = 0;
    EvProgressCanceled(m_unProgress);
    return 1;
}

int KwProgressIndicator::UpdateProgress(unsigned short unPercent)
{
    const unsigned short unNew = Capped(unPercent);
    if (!m_nStarted || unNew <= m_unProgress)
        return 0;
    SetProgress(unNew);
    EvProgressChanged(unNew);
    if (unNew == Complete && m_nStarted) {
        m_nStarted = 0;
        EvProgressEnded();
    }
    return 1;
}

int KwProgressIndicator::IncProgress(unsigned short unDelta)
{
    return UpdateProgress(Capped(static_cast<unsigned long>(m_unProgress) + unDelta));
}

int KwProgressIndicator::ResetProgress()
{
    if (m_nStarted)
        return 0;
    SetProgress(0);
    return 1;
}

void KwProgressIndicator::SetProgress(unsigned short unProgress)
{
    if (unProgress == m_unProgress)
        return;
    m_unProgress = unProgress;
    ShowPercentText();
    if (Invalidate(0))
        Update();
}

void KwProgressIndicator::ShowPercentText()
{
    KwContent* pcoContent = Content();
    if (!m_nShowPercent || !pcoContent)
        return;
    char szText[8];
    std::snprintf(szText, sizeof szText, "%u%%", static_cast<unsigned>(m_unProgress));
    pcoContent->SetContent(szText);
}

// Look

void KwProgressIndicator::SetFillColor(short nColor, int nRedraw)
{
    if (nColor == m_nFillColor)
        return;
    m_nFillColor = nColor;
    if (nRedraw)
        Invalidate(0);
}

void KwProgressIndicator::SetShowPercentAsText(int nShow, int nRedraw)
{
    const int nNew = nShow ? 1 : 0;
    if (nNew == m_nShowPercent)
        return;
    m_nShowPercent = nNew;
    ShowPercentText();
    if (nRedraw)
        Invalidate(0);
}

short KwProgressIndicator::FilledWidth(short nWidth, unsigned short unProgress)
{
    if (nWidth <= 0)
        return 0;
    return static_cast<short>(static_cast<double>(nWidth) * Capped(unProgress) * 0.01);
}

int KwProgressIndicator::SysCreate(KwWnd* pcoParent)
{
    if (!KwWChild::SysCreate(pcoParent))
        return 0;
    // Background, bar and text are put together off the screen and shown
    // at once, so that the bar does not flicker while it moves.
    PaintWindowInMemory();
    return 1;
}

int KwProgressIndicator::EvPaint(KwPaintDC& coDC)
{
    MyLayout().Paint(this, coDC, nullptr);
    const KwRect coClient = GetClientRect();
    const short nFilled = FilledWidth(coClient.Width(), m_unProgress);
    if (nFilled > 0) {
        const KwSysColor coFill(m_nFillColor);
        KwPen coPen(coFill, 1, 1);
        KwBrush coBrush(coFill, 1, 0);
        const KwPen* pcoOldPen = coDC.SelectObject(&coPen);
        const KwBrush* pcoOldBrush = coDC.SelectObject(&coBrush);
        coDC.Rectangle(KwRect(coClient.TopLeft(), KwSize(nFilled, coClient.Height())));
        coDC.SelectObject(pcoOldBrush);
        coDC.SelectObject(pcoOldPen);
    }
    if (m_nShowPercent && Content())
        PaintContent(coDC, &coClient);
    return 1;
}

int KwProgressIndicator::EvSize(unsigned short unCode, const KwSize& coSize)
{
    const int nResult = KwWChild::EvSize(unCode, coSize);
    Invalidate(0);
    return nResult;
}

void KwProgressIndicator::NotifyContentLinked(KwContent& coContent)
{
    KwWChild::NotifyContentLinked(coContent);
    ShowPercentText();
}

// Resources

void KwProgressIndicator::WriteData(TFile& coFile) const
{
    KwWChild::WriteData(coFile);
    TResShort(VarFillColor, m_nFillColor).Write(coFile);
    TResShort(VarShowPercent, static_cast<short>(m_nShowPercent)).Write(coFile);
}

int KwProgressIndicator::NotifyReadBegin()
{
    m_nFillColor = DefaultFillColor;
    m_nShowPercent = 1;
    m_unProgress = 0;
    m_nStarted = 0;
    return KwWChild::NotifyReadBegin();
}

int KwProgressIndicator::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    switch (coVar.MyId()) {
    case VarFillColor:
        m_nFillColor = static_cast<short>(coVar);
        return 1;
    case VarShowPercent:
        m_nShowPercent = static_cast<short>(coVar) ? 1 : 0;
        return 1;
    default:
        return KwWChild::NotifyVariableRead(coVar, pcoParent, ulIndex);
    }
}
