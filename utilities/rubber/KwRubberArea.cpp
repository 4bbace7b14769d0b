#include "KwRubberArea.h"

#include "KwColor.h"
#include "KwDC.h"
#include "TArray.h"

#include <algorithm>
#include <cstdlib>

KW_IMPLEMENT_DYNAMIC_CLASS(KwRubberArea, KwRubber, "kuti")
KW_IMPLEMENT_DYNAMIC_CLASS(KwRubberBitmap, KwRubberArea, "kuti")
KW_IMPLEMENT_DYNAMIC_CLASS(KwRubberText, KwRubberArea, "kuti")

namespace {

// Raster operations of KwDC.
constexpr unsigned short s_unRopAnd = 10;
constexpr unsigned short s_unRopCopy = 11;
constexpr unsigned short s_unRopXor = 13;
// The space around the lines of a text area.
constexpr short s_nTextMargin = 5;

unsigned long SystemColor(short nIndex)
{
    return KwSysColor(nIndex).GetRealColor();
}

// Every line is as high as a capital letter's cell, empty ones too.
short LineHeight(const KwDC& coDC)
{
    return coDC.GetTextExtent("A", 1).Height();
}

// A memory context compatible with coDC holding a new bitmap of the size;
// both null when either cannot be made.
int MakeMemory(const KwDC& coDC, const KwSize& coSize, int nMonochrome, std::unique_ptr<KwMemDC>& rpcoDC,
               std::unique_ptr<KwBitmap>& rpcoBitmap)
{
    auto pcoDC = std::make_unique<KwMemDC>(coDC);
    auto pcoBitmap = std::make_unique<KwBitmap>();
    if (!pcoDC->IsValid() || !pcoBitmap->SysCreate(coDC, coSize, nMonochrome))
        return 0;
    rpcoDC = std::move(pcoDC);
    rpcoBitmap = std::move(pcoBitmap);
    return 1;
}

} // namespace

// Area

KwRubberArea::KwRubberArea()
    : KwRubber(7, 6, 0)
{
}

KwRubberArea::KwRubberArea(short nColor)
    : KwRubber(nColor, 6, 0)
{
}

KwRubberArea::~KwRubberArea()
{
    ReleaseSave();
}

void KwRubberArea::ReleaseSave()
{
    if (m_pcoSaveDC)
        m_pcoSaveDC->SelectBitmap(nullptr);
    m_pcoSaveDC.reset();
    m_pcoSaveBitmap.reset();
}

int KwRubberArea::StartMove(KwDC& coDC, const KwPoint& coTopLeft, const KwPoint& coPointer)
{
    End(coDC);
    const KwSize coSize = NotifyMoveStart(coDC);
    if (coSize.Width() <= 0 || coSize.Height() <= 0 || !MakeMemory(coDC, coSize, 0, m_pcoSaveDC, m_pcoSaveBitmap)) {
        CleanUp();
        return 0;
    }
    m_coAreaSize = coSize;
    m_pcoSaveDC->SelectBitmap(m_pcoSaveBitmap.get());
    return KwRubber::StartMove(coDC, &coTopLeft, 1, coPointer);
}

int KwRubberArea::End(KwDC& coDC)
{
    const int nStarted = IsStarted();
    const int nResult = KwRubber::End(coDC);
    if (nStarted && m_pcoSaveDC) {
        ReleaseSave();
        CleanUp();
    }
    return nResult;
}

void KwRubberArea::CustomDrawMove(KwDC& coDC, const KwPoint* pcoPoints, unsigned short unCount, const KwPoint&)
{
    if (unCount != 1 || !m_pcoSaveDC)
        return;
    const KwPoint coTopLeft = pcoPoints[0];
    if (IsShown()) {
        coDC.BitBlt(coTopLeft, *m_pcoSaveDC, KwPoint(), m_coAreaSize, s_unRopCopy);
        return;
    }
    m_pcoSaveDC->BitBlt(KwPoint(), coDC, coTopLeft, m_coAreaSize, s_unRopCopy);
    DrawArea(coDC, coTopLeft);
}

int KwRubberArea::NotifyResult(const KwPoint&, const KwPoint&, const KwPoint&, const KwPoint* pcoPoints,
                               unsigned short unCount)
{
    if (GetStartType() == TypeMove && unCount == 1)
        m_coEndPoint = pcoPoints[0];
    return 1;
}

// Bitmap

KwRubberBitmap::KwRubberBitmap()
    : KwRubberArea(7)
{
}

KwRubberBitmap::KwRubberBitmap(const KwBitmap* pcoBitmap, unsigned long ulTransparent)
    : KwRubberArea(7), m_ulTransparent(ulTransparent)
{
    SetBitmap(pcoBitmap);
}

KwRubberBitmap::~KwRubberBitmap()
{
    CleanUp();
}

int KwRubberBitmap::SetBitmap(const KwBitmap* pcoBitmap)
{
    m_nMaskMade = 0;
    m_pcoBitmap = CopyOf(pcoBitmap);
    return m_pcoBitmap != nullptr;
}

std::unique_ptr<KwBitmap> KwRubberBitmap::CopyOf(const KwBitmap* pcoBitmap)
{
    if (!pcoBitmap)
        return nullptr;
    // A picture made from its description gets its system bitmap here, as
    // selecting it would give it one.
    KwBitmap& coSource = const_cast<KwBitmap&>(*pcoBitmap);
    if (!coSource.GetHandle() && !coSource.SysCreate())
        return nullptr;
    KwScreenDC coScreen(1);
    std::unique_ptr<KwMemDC> pcoCopyDC;
    std::unique_ptr<KwBitmap> pcoCopy;
    if (!MakeMemory(coScreen, coSource.GetSize(), 0, pcoCopyDC, pcoCopy))
        return nullptr;
    KwMemDC coSourceDC(coScreen);
    pcoCopyDC->SelectBitmap(pcoCopy.get());
    coSourceDC.SelectBitmap(&coSource);
    const int nCopied = pcoCopyDC->BitBlt(KwPoint(), coSourceDC, KwPoint(), coSource.GetSize(), s_unRopCopy);
    coSourceDC.SelectBitmap(nullptr);
    pcoCopyDC->SelectBitmap(nullptr);
    return nCopied ? std::move(pcoCopy) : nullptr;
}

KwSize KwRubberBitmap::NotifyMoveStart(KwDC& coDC)
{
    CleanUp();
    if (!m_pcoBitmap || !m_pcoBitmap->GetHandle())
        return KwSize();
    const KwSize coSize = m_pcoBitmap->GetSize();
    m_pcoMask = std::make_unique<KwBitmap>();
    m_pcoBitmapDC = std::make_unique<KwMemDC>(coDC);
    m_pcoMaskDC = std::make_unique<KwMemDC>(coDC);
    if (!m_pcoMask->SysCreate(coDC, coSize, 1) || !m_pcoBitmapDC->IsValid() || !m_pcoMaskDC->IsValid()) {
        CleanUp();
        return KwSize();
    }
    m_pcoBitmapDC->SelectBitmap(m_pcoBitmap.get());
    m_pcoMaskDC->SelectBitmap(m_pcoMask.get());
    return coSize;
}

void KwRubberBitmap::DrawArea(KwDC& coDC, const KwPoint& coTopLeft)
{
    if (!m_pcoBitmapDC || !m_pcoMaskDC)
        return;
    const KwSize coSize = m_pcoBitmap->GetSize();
    const unsigned long ulOldBack = coDC.SetBkColor(SystemColor(7));
    const unsigned long ulOldText = coDC.SetTextColor(SystemColor(0));
    if (!m_nMaskMade) {
        const unsigned long ulOld = m_pcoBitmapDC->SetBkColor(m_ulTransparent & 0x00FFFFFFUL);
        m_pcoMaskDC->BitBlt(KwPoint(), *m_pcoBitmapDC, KwPoint(), coSize, s_unRopCopy);
        m_pcoBitmapDC->SetBkColor(ulOld);
        m_nMaskMade = 1;
    }
    coDC.BitBlt(coTopLeft, *m_pcoBitmapDC, KwPoint(), coSize, s_unRopXor);
    coDC.BitBlt(coTopLeft, *m_pcoMaskDC, KwPoint(), coSize, s_unRopAnd);
    coDC.BitBlt(coTopLeft, *m_pcoBitmapDC, KwPoint(), coSize, s_unRopXor);
    coDC.SetTextColor(ulOldText);
    coDC.SetBkColor(ulOldBack);
}

// The picture's copy stays, so that the rubber can be moved again.
void KwRubberBitmap::CleanUp()
{
    if (m_pcoBitmapDC)
        m_pcoBitmapDC->SelectBitmap(nullptr);
    if (m_pcoMaskDC)
        m_pcoMaskDC->SelectBitmap(nullptr);
    m_pcoBitmapDC.reset();
    m_pcoMaskDC.reset();
    m_pcoMask.reset();
    m_nMaskMade = 0;
}

// Text

KwRubberText::KwRubberText()
    : KwRubberArea(9)
{
}

KwRubberText::KwRubberText(const KwFont& coFont, const char* pszText, short nColor)
    : KwRubberArea(nColor), m_coFont(coFont), m_coText(pszText)
{
}

KwRubberText::~KwRubberText() = default;

KwSize KwRubberText::NotifyMoveStart(KwDC& coDC)
{
    TArray coLines;
    const long lLines = KwDC::SplitLines(m_coText, coLines);
    const KwFont* pcoOld = coDC.SelectObject(&m_coFont);
    int nWidth = 0;
    for (long i = 0; i < lLines; ++i)
        nWidth = std::max<int>(nWidth, coDC.GetTextExtent(static_cast<const char*>(coLines.Get(i)), -1).Width());
    const int nHeight = lLines * LineHeight(coDC);
    coDC.SelectObject(pcoOld);
    return KwSize(KwPair::Wrap(nWidth + s_nTextMargin), KwPair::Wrap(nHeight + s_nTextMargin));
}

void KwRubberText::DrawArea(KwDC& coDC, const KwPoint& coTopLeft)
{
    TArray coLines;
    const long lLines = KwDC::SplitLines(m_coText, coLines);
    const KwFont* pcoOld = coDC.SelectObject(&m_coFont);
    const int nOldMode = coDC.SetBkMode(1);
    const unsigned long ulOldText = coDC.SetTextColor(SystemColor(GetRubberColor()));
    const short nLineHeight = LineHeight(coDC);
    KwPoint coLine = coTopLeft;
    for (long i = 0; i < lLines; ++i) {
        coDC.TextOutPoint(coLine, static_cast<const char*>(coLines.Get(i)), -1, 0x01 | 0x10);
        coLine.SetY(KwPair::Wrap(coLine.Y() + nLineHeight));
    }
    coDC.SetTextColor(ulOldText);
    coDC.SetBkMode(nOldMode);
    coDC.SelectObject(pcoOld);
}
