#include "KwDC.h"

#include "KwBitmap.h"
#include "KwCodes.h"
#include "KwColor.h"
#include "KwDib.h"
#include "KwFont.h"
#include "KwPal.h"
#include "KwPen.h"
#include "KwRegion.h"
#include "KwSystem.h"
#include "TArray.h"
#include "TDateTime.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

KW_IMPLEMENT_DYNAMIC_CLASS(KwDC, KwRes, "kw25")

namespace {

enum : unsigned {
    TextAlignTopLeft = 0,
    TextAlignBaseline = 24,
};
enum : int { WhichViewportOrg = 0, WhichViewportExt = 1, WhichWindowOrg = 2, WhichWindowExt = 3, WhichBrushOrg = 4,
             WhichDeviceOrg = 5 };
enum : unsigned long { White = 0xFFFFFFUL, Black = 0UL };
// The raster operation that paints the pattern where the source is 0 and
// keeps the destination where it is 1 (PSDPxax).
enum : unsigned long { RopPatternWhereSourceZero = 0x00B8074AUL };
enum : short { ShadowDark = 8, ShadowMedium = 15 };

// The length of a text with a length argument: negative means up to the
// terminator, and a positive one never reaches past it.
int TextLength(const char* pszText, short nLength)
{
    if (!pszText)
        return 0;
    if (nLength < 0)
        return static_cast<int>(std::strlen(pszText));
    const void* pvEnd = std::memchr(pszText, 0, static_cast<size_t>(nLength));
    return pvEnd ? static_cast<int>(static_cast<const char*>(pvEnd) - pszText) : nLength;
}

// The offset of the hot-key mark: the first '&' that is not part of a
// "&&" pair and is followed by a character; -1 when there is none.
int HotKeyMark(const char* pszText, int nLength)
{
    for (int i = 0; i + 1 < nLength; ++i) {
        if (pszText[i] != '&')
            continue;
        if (pszText[i + 1] == '&') {
            ++i;
            continue;
        }
        return i;
    }
    return -1;
}

// The adapter's operation on the context, or the neutral result (0, an
// empty point) without handle.
template <class F, class... A>
auto Forward(KwHandle hDC, F pfnOperation, A&&... aArgs) -> decltype((pcoKwSys->*pfnOperation)(hDC, std::forward<A>(aArgs)...))
{
    using R = decltype((pcoKwSys->*pfnOperation)(hDC, std::forward<A>(aArgs)...));
    return hDC ? (pcoKwSys->*pfnOperation)(hDC, std::forward<A>(aArgs)...) : R();
}

int Absolute(int nValue)
{
    return nValue < 0 ? -nValue : nValue;
}

} // namespace

// Obtaining and releasing

KwDC::~KwDC()
{
    if (!IsDynCppReferenceObject())
        Clean();
}

int KwDC::SysCreate(const char* pszDriver, const char* pszDevice, const char* pszOutput, const void* pvMode)
{
    Clean();
    return pcoKwSys && Obtain(pcoKwSys->CreateDC(pszDriver, pszDevice, pszOutput, pvMode), Origin::Created, nullptr);
}

void KwDC::Clean()
{
    if (!GetHandle()) {
        m_nOrigin = Origin::None;
        return;
    }
    SelectOutAll();
    SelectBitmapImpl(nullptr);
    const Origin nOrigin = m_nOrigin;
    const KwHandle hWnd = m_hWnd;
    const KwHandle hDC = DisConnect();
    m_hWnd = 0;
    m_nOrigin = Origin::None;
    if (!pcoKwSys)
        return;
    switch (nOrigin) {
    case Origin::Window:
    case Origin::WholeWindow:
        pcoKwSys->ReleaseDC(hWnd, hDC);
        break;
    case Origin::Screen:
        pcoKwSys->ReleaseDC(0, hDC);
        break;
    case Origin::Created:
    case Origin::Memory:
        pcoKwSys->DeleteDC(hDC);
        break;
    case Origin::Paint:
        pcoKwSys->EndPaint(hWnd, m_coPaint);
        break;
    case Origin::Attached:
    case Origin::None:
        break;
    }
}

// Selection

const KwObjGDI* KwDC::Select(const KwObjGDI* pcoNew, const KwObjGDI*& rpcoSlot, KwHandle& rhOwn, KwDcHandler pfnHandler)
{
    const KwObjGDI* pcoOld = rpcoSlot;
    if (!GetHandle() || !pcoKwSys)
        return pcoOld;
    if (pcoOld)
        const_cast<KwObjGDI*>(pcoOld)->RemoveHandler(this);
    rpcoSlot = nullptr;
    KwObjGDI* pcoObject = const_cast<KwObjGDI*>(pcoNew);
    if (pcoObject && pcoObject->GetHandle()) {
        const KwHandle hPrevious = pcoKwSys->SelectObject(GetHandle(), pcoObject->GetHandle());
        if (!rhOwn)
            rhOwn = hPrevious;
        pcoObject->AddHandler(this, pfnHandler);
        rpcoSlot = pcoObject;
        return pcoOld;
    }
    if (rhOwn) {
        pcoKwSys->SelectObject(GetHandle(), rhOwn);
        rhOwn = 0;
    }
    return pcoOld;
}

const KwPen* KwDC::SelectObject(const KwPen* pcoPen)
{
    if (pcoPen && !pcoPen->GetHandle() && GetHandle())
        const_cast<KwPen*>(pcoPen)->SysCreate();
    return static_cast<const KwPen*>(Select(pcoPen, m_pcoPen, m_hOwnPen, &KwDC::NotifyPenDestroyed));
}

const KwBrush* KwDC::SelectObject(const KwBrush* pcoBrush)
{
    if (pcoBrush && !pcoBrush->GetHandle() && GetHandle())
        const_cast<KwBrush*>(pcoBrush)->SysCreate();
    return static_cast<const KwBrush*>(Select(pcoBrush, m_pcoBrush, m_hOwnBrush, &KwDC::NotifyBrushDestroyed));
}

const KwFont* KwDC::SelectObject(const KwFont* pcoFont)
{
    if (pcoFont && !pcoFont->GetHandle() && GetHandle())
        const_cast<KwFont*>(pcoFont)->SysCreate(this);
    return static_cast<const KwFont*>(Select(pcoFont, m_pcoFont, m_hOwnFont, &KwDC::NotifyFontDestroyed));
}

int KwDC::SelectObject(const KwPal* pcoPal, const KwPal** ppcoOld, int nBackground)
{
    if (ppcoOld)
        *ppcoOld = m_pcoPal;
    if (!GetHandle() || !pcoKwSys)
        return 0;
    if (m_pcoPal)
        const_cast<KwPal*>(m_pcoPal)->RemoveHandler(this);
    m_pcoPal = nullptr;
    KwPal* pcoPalette = const_cast<KwPal*>(pcoPal);
    if (pcoPalette && (pcoPalette->GetHandle() || pcoPalette->SysCreate())) {
        const KwHandle hPrevious = pcoKwSys->SelectPalette(GetHandle(), pcoPalette->GetHandle(), nBackground);
        if (!m_hOwnPal)
            m_hOwnPal = hPrevious;
        pcoPalette->AddHandler(this, &KwDC::NotifyPaletteDestroyed);
        m_pcoPal = pcoPalette;
        return 1;
    }
    if (m_hOwnPal) {
        pcoKwSys->SelectPalette(GetHandle(), m_hOwnPal, nBackground);
        m_hOwnPal = 0;
    }
    return pcoPal == nullptr;
}

const KwPen* KwDC::GetPen() const
{
    return static_cast<const KwPen*>(m_pcoPen);
}

const KwBrush* KwDC::GetBrush() const
{
    return static_cast<const KwBrush*>(m_pcoBrush);
}

const KwFont* KwDC::GetFont() const
{
    return static_cast<const KwFont*>(m_pcoFont);
}

void KwDC::SelectOutAll()
{
    SelectObject(static_cast<const KwPen*>(nullptr));
    SelectObject(static_cast<const KwBrush*>(nullptr));
    SelectObject(static_cast<const KwFont*>(nullptr));
    SelectObject(static_cast<const KwPal*>(nullptr), nullptr, 0);
}

void KwDC::NotifyPenDestroyed(KwObjGDI* pcoObject)
{
    if (m_pcoPen == pcoObject)
        Select(nullptr, m_pcoPen, m_hOwnPen, &KwDC::NotifyPenDestroyed);
}

void KwDC::NotifyBrushDestroyed(KwObjGDI* pcoObject)
{
    if (m_pcoBrush == pcoObject)
        Select(nullptr, m_pcoBrush, m_hOwnBrush, &KwDC::NotifyBrushDestroyed);
}

void KwDC::NotifyFontDestroyed(KwObjGDI* pcoObject)
{
    if (m_pcoFont == pcoObject)
        Select(nullptr, m_pcoFont, m_hOwnFont, &KwDC::NotifyFontDestroyed);
}

void KwDC::NotifyPaletteDestroyed(KwObjGDI* pcoObject)
{
    if (m_pcoPal == static_cast<const KwObjGDI*>(pcoObject)) {
        m_pcoPal = nullptr;
        if (m_hOwnPal && GetHandle() && pcoKwSys)
            pcoKwSys->SelectPalette(GetHandle(), m_hOwnPal, 0);
        m_hOwnPal = 0;
    }
}

const KwBitmap* KwDC::SelectBitmapImpl(const KwBitmap* pcoBitmap)
{
    const KwBitmap* pcoOld = m_pcoBitmap;
    if (!GetHandle() || !pcoKwSys)
        return pcoOld;
    KwBitmap* pcoNew = const_cast<KwBitmap*>(pcoBitmap);
    if (pcoNew && (pcoNew->GetHandle() || pcoNew->SysCreate())) {
        const KwHandle hPrevious = pcoKwSys->SelectObject(GetHandle(), pcoNew->GetHandle());
        if (!hPrevious)
            return pcoOld;
        if (!m_hOwnBitmap)
            m_hOwnBitmap = hPrevious;
        m_pcoBitmap = pcoNew;
        return pcoOld;
    }
    if (m_hOwnBitmap)
        pcoKwSys->SelectObject(GetHandle(), m_hOwnBitmap);
    m_hOwnBitmap = 0;
    m_pcoBitmap = nullptr;
    return pcoOld;
}

// State

KwPoint KwDC::GetOrg() const
{
    return Forward(GetHandle(), &KwSystem::GetDCPoint, WhichDeviceOrg);
}

int KwDC::GetDeviceCaps(short nIndex) const
{
    return Forward(GetHandle(), &KwSystem::GetDeviceCaps, nIndex);
}

KwPoint KwDC::GetBrushOrg() const
{
    return Forward(GetHandle(), &KwSystem::GetDCPoint, WhichBrushOrg);
}

KwPoint KwDC::SetBrushOrg(const KwPoint& coPoint)
{
    return Forward(GetHandle(), &KwSystem::SetDCPoint, WhichBrushOrg, coPoint);
}

unsigned long KwDC::GetBkColor() const
{
    return Forward(GetHandle(), &KwSystem::GetBkColor);
}

unsigned long KwDC::SetBkColor(unsigned long ulColor)
{
    return Forward(GetHandle(), &KwSystem::SetBkColor, ulColor & 0xFFFFFFUL);
}

int KwDC::GetBkMode() const
{
    return Forward(GetHandle(), &KwSystem::GetBkMode);
}

int KwDC::SetBkMode(int nMode)
{
    return Forward(GetHandle(), &KwSystem::SetBkMode, nMode);
}

int KwDC::GetPolyFillMode() const
{
    return Forward(GetHandle(), &KwSystem::GetPolyFillMode);
}

int KwDC::SetPolyFillMode(int nMode)
{
    return Forward(GetHandle(), &KwSystem::SetPolyFillMode, nMode);
}

int KwDC::GetROP2() const
{
    return Forward(GetHandle(), &KwSystem::GetROP2);
}

int KwDC::SetROP2(int nMode)
{
    return Forward(GetHandle(), &KwSystem::SetROP2, nMode);
}

unsigned long KwDC::GetTextColor() const
{
    return Forward(GetHandle(), &KwSystem::GetTextColor);
}

unsigned long KwDC::SetTextColor(unsigned long ulColor)
{
    return Forward(GetHandle(), &KwSystem::SetTextColor, ulColor & 0xFFFFFFUL);
}

int KwDC::GetMapMode() const
{
    return Forward(GetHandle(), &KwSystem::GetMapMode);
}

int KwDC::SetMapMode(int nMode)
{
    return Forward(GetHandle(), &KwSystem::SetMapMode, nMode);
}

KwPoint KwDC::GetViewportOrg() const
{
    return Forward(GetHandle(), &KwSystem::GetDCPoint, WhichViewportOrg);
}

KwPoint KwDC::SetViewportOrg(const KwPoint& coPoint)
{
    return Forward(GetHandle(), &KwSystem::SetDCPoint, WhichViewportOrg, coPoint);
}

KwPoint KwDC::GetViewportExt() const
{
    return Forward(GetHandle(), &KwSystem::GetDCPoint, WhichViewportExt);
}

KwPoint KwDC::SetViewportExt(const KwPoint& coPoint)
{
    return Forward(GetHandle(), &KwSystem::SetDCPoint, WhichViewportExt, coPoint);
}

KwPoint KwDC::GetWindowOrg() const
{
    return Forward(GetHandle(), &KwSystem::GetDCPoint, WhichWindowOrg);
}

KwPoint KwDC::SetWindowOrg(const KwPoint& coPoint)
{
    return Forward(GetHandle(), &KwSystem::SetDCPoint, WhichWindowOrg, coPoint);
}

KwPoint KwDC::GetWindowExt() const
{
    return Forward(GetHandle(), &KwSystem::GetDCPoint, WhichWindowExt);
}

KwPoint KwDC::SetWindowExt(const KwPoint& coPoint)
{
    return Forward(GetHandle(), &KwSystem::SetDCPoint, WhichWindowExt, coPoint);
}

int KwDC::PixToLog(KwPoint* pcoPoints, short nCount) const
{
    return GetHandle() && pcoPoints && nCount > 0 ? pcoKwSys->DPtoLP(GetHandle(), pcoPoints, nCount) : 0;
}

int KwDC::LogToPix(KwPoint* pcoPoints, short nCount) const
{
    return GetHandle() && pcoPoints && nCount > 0 ? pcoKwSys->LPtoDP(GetHandle(), pcoPoints, nCount) : 0;
}

KwPoint KwDC::GetCurrentPosition() const
{
    return Forward(GetHandle(), &KwSystem::GetCurrentPosition);
}

int KwDC::RealizePalette()
{
    return Forward(GetHandle(), &KwSystem::RealizePalette);
}

unsigned long KwDC::GetNearestColor(unsigned long ulColor) const
{
    return Forward(GetHandle(), &KwSystem::GetNearestColor, ulColor & 0xFFFFFFUL);
}

// Clipping

int KwDC::GetClipBox(KwRect& coRect) const
{
    return Forward(GetHandle(), &KwSystem::GetClipBox, coRect);
}

int KwDC::SetClipBox(const KwRect& coRect, short nMode)
{
    if (!GetHandle())
        return 0;
    if (nMode)
        return pcoKwSys->IntersectClipRect(GetHandle(), coRect);
    KwRegion coRegion(coRect);
    return coRegion.GetHandle() && pcoKwSys->SelectClipRgn(GetHandle(), coRegion.GetHandle());
}

int KwDC::ResetClipBox()
{
    return Forward(GetHandle(), &KwSystem::SelectClipRgn, 0);
}

int KwDC::SelectClipRgn(const KwRegion* pcoRegion)
{
    return Forward(GetHandle(), &KwSystem::SelectClipRgn, pcoRegion ? pcoRegion->GetHandle() : 0);
}

int KwDC::ExcludeClipRect(const KwRect& coRect)
{
    return Forward(GetHandle(), &KwSystem::ExcludeClipRect, coRect);
}

int KwDC::IntersectClipRect(const KwRect& coRect)
{
    return Forward(GetHandle(), &KwSystem::IntersectClipRect, coRect);
}

int KwDC::OffsetClipRgn(short nDx, short nDy)
{
    return Forward(GetHandle(), &KwSystem::OffsetClipRgn, nDx, nDy);
}

int KwDC::PointVisible(const KwPoint& coPoint) const
{
    return Forward(GetHandle(), &KwSystem::PtVisible, coPoint);
}

int KwDC::RectVisible(const KwRect& coRect) const
{
    return Forward(GetHandle(), &KwSystem::RectVisible, coRect);
}

// Drawing

int KwDC::MoveTo(const KwPoint& coPoint)
{
    return Forward(GetHandle(), &KwSystem::MoveTo, coPoint);
}

int KwDC::LineTo(const KwPoint& coPoint)
{
    return Forward(GetHandle(), &KwSystem::LineTo, coPoint);
}

int KwDC::Polyline(const KwPoint* pcoPoints, short nCount)
{
    return GetHandle() && pcoPoints && nCount >= 2 ? pcoKwSys->Polyline(GetHandle(), pcoPoints, nCount) : 0;
}

int KwDC::Rectangle(const KwRect& coRect)
{
    return Forward(GetHandle(), &KwSystem::Rectangle, coRect);
}

int KwDC::RoundRect(const KwRect& coRect, const KwSize& coCorner)
{
    return Forward(GetHandle(), &KwSystem::RoundRect, coRect, coCorner);
}

int KwDC::Arc(const KwRect& coRect, const KwPoint& coStart, const KwPoint& coEnd)
{
    return Forward(GetHandle(), &KwSystem::ArcShape, 0, coRect, coStart, coEnd);
}

int KwDC::Chord(const KwRect& coRect, const KwPoint& coStart, const KwPoint& coEnd)
{
    return Forward(GetHandle(), &KwSystem::ArcShape, 1, coRect, coStart, coEnd);
}

int KwDC::Ellipse(const KwRect& coRect)
{
    return Forward(GetHandle(), &KwSystem::Ellipse, coRect);
}

int KwDC::Pie(const KwRect& coRect, const KwPoint& coStart, const KwPoint& coEnd)
{
    return Forward(GetHandle(), &KwSystem::ArcShape, 2, coRect, coStart, coEnd);
}

int KwDC::Polygon(const KwPoint* pcoPoints, short nCount)
{
    return GetHandle() && pcoPoints && nCount >= 2 ? pcoKwSys->Polygon(GetHandle(), pcoPoints, nCount) : 0;
}

int KwDC::PolyPolygon(const KwPoint* pcoPoints, const short* pnCounts, short nPolygons)
{
    if (!GetHandle() || !pcoPoints || !pnCounts || nPolygons < 1)
        return 0;
    for (short i = 0; i < nPolygons; ++i) {
        if (pnCounts[i] < 2)
            return 0;
    }
    return pcoKwSys->PolyPolygon(GetHandle(), pcoPoints, pnCounts, nPolygons);
}

int KwDC::FillRect(const KwRect& coRect, const KwBrush& coBrush)
{
    if (!GetHandle() || (!coBrush.GetHandle() && !const_cast<KwBrush&>(coBrush).SysCreate()))
        return 0;
    return pcoKwSys->FillRect(GetHandle(), coRect, coBrush.GetHandle());
}

int KwDC::FrameRect(const KwRect& coRect, const KwBrush& coBrush)
{
    if (!GetHandle() || (!coBrush.GetHandle() && !const_cast<KwBrush&>(coBrush).SysCreate()))
        return 0;
    return pcoKwSys->FrameRect(GetHandle(), coRect, coBrush.GetHandle());
}

int KwDC::InvertRect(const KwRect& coRect)
{
    return Forward(GetHandle(), &KwSystem::InvertRect, coRect);
}

int KwDC::DrawFocusRect(const KwRect& coRect)
{
    return Forward(GetHandle(), &KwSystem::DrawFocusRect, coRect);
}

int KwDC::FillRgn(const KwRegion& coRegion, const KwBrush& coBrush)
{
    if (!GetHandle() || !coRegion.GetHandle() || (!coBrush.GetHandle() && !const_cast<KwBrush&>(coBrush).SysCreate()))
        return 0;
    return pcoKwSys->FillRgn(GetHandle(), coRegion.GetHandle(), coBrush.GetHandle());
}

int KwDC::FrameRgn(const KwRegion& coRegion, const KwBrush& coBrush, const KwSize& coFrame)
{
    if (!GetHandle() || !coRegion.GetHandle() || (!coBrush.GetHandle() && !const_cast<KwBrush&>(coBrush).SysCreate()))
        return 0;
    return pcoKwSys->FrameRgn(GetHandle(), coRegion.GetHandle(), coBrush.GetHandle(), coFrame);
}

int KwDC::InvertRgn(const KwRegion& coRegion)
{
    return GetHandle() && coRegion.GetHandle() ? pcoKwSys->InvertRgn(GetHandle(), coRegion.GetHandle()) : 0;
}

int KwDC::PaintRgn(const KwRegion& coRegion)
{
    return GetHandle() && coRegion.GetHandle() ? pcoKwSys->PaintRgn(GetHandle(), coRegion.GetHandle()) : 0;
}

unsigned long KwDC::GetPixel(const KwPoint& coPoint) const
{
    return GetHandle() ? pcoKwSys->GetPixel(GetHandle(), coPoint) : 0xFFFFFFFFUL;
}

unsigned long KwDC::SetPixel(const KwPoint& coPoint, unsigned long ulColor)
{
    return GetHandle() ? pcoKwSys->SetPixel(GetHandle(), coPoint, ulColor & 0xFFFFFFUL) : 0xFFFFFFFFUL;
}

int KwDC::FloodFill(const KwPoint& coPoint, unsigned long ulBorder)
{
    return Forward(GetHandle(), &KwSystem::FloodFill, coPoint, ulBorder & 0xFFFFFFUL);
}

int KwDC::PatBlt(const KwPoint& coPoint, const KwSize& coSize, unsigned short unRop)
{
    return Forward(GetHandle(), &KwSystem::PatBlt, KwRect(coPoint, coSize), KwCodes::RasterOpToSystem(unRop));
}

int KwDC::BitBlt(const KwPoint& coDest, const KwDC& coSrc, const KwPoint& coSrcPos, const KwSize& coSize, unsigned short unRop)
{
    if (!GetHandle() || !coSrc.GetHandle())
        return 0;
    return pcoKwSys->BitBlt(GetHandle(), coDest, coSize, coSrc.GetHandle(), coSrcPos, KwCodes::RasterOpToSystem(unRop));
}

int KwDC::StretchBlt(const KwRect& coDest, const KwDC& coSrc, const KwRect& coSrcRect, unsigned short unRop)
{
    if (!GetHandle() || !coSrc.GetHandle())
        return 0;
    return pcoKwSys->StretchBlt(GetHandle(), coDest, coSrc.GetHandle(), coSrcRect, KwCodes::RasterOpToSystem(unRop));
}

int KwDC::SetDIBitsToDevice(const KwPoint& coDest, const KwDib& coDib)
{
    if (!GetHandle() || !coDib.IsValid())
        return 0;
    return pcoKwSys->SetDIBitsToDevice(GetHandle(), coDest, coDib.GetSize(), KwPoint(), coDib.GetPacked(), coDib.GetBits());
}

int KwDC::StretchDIBits(const KwRect& coDest, const KwDib& coDib, unsigned short unRop)
{
    if (!GetHandle() || !coDib.IsValid())
        return 0;
    return pcoKwSys->StretchDIBits(GetHandle(), coDest, KwRect(KwPoint(), coDib.GetSize()), coDib.GetPacked(),
                                   coDib.GetBits(), KwCodes::RasterOpToSystem(unRop));
}

int KwDC::DrawDIB(const KwDib& coDib, const KwPoint* pcoDest)
{
    const KwPoint coDest = pcoDest ? *pcoDest : KwPoint();
    return SetDIBitsToDevice(coDest, coDib);
}

int KwDC::DrawStretchedDIB(const KwDib& coDib, const KwRect& coDest)
{
    return StretchDIBits(coDest, coDib, 11);
}

int KwDC::DrawBitmap(const KwBitmap* pcoBitmap, const KwPoint* pcoDest, const KwPoint* pcoSrcPos, const KwSize* pcoSize,
                     unsigned short unRop)
{
    if (!GetHandle() || !pcoBitmap)
        return 0;
    KwBitmap& coBitmap = const_cast<KwBitmap&>(*pcoBitmap);
    const int nMadeHere = !coBitmap.GetHandle();
    if (nMadeHere && !coBitmap.SysCreate())
        return 0;
    int nDrawn = 0;
    {
        KwMemDC coMem(*this);
        if (coMem.GetHandle()) {
            coMem.SelectBitmap(&coBitmap);
            const KwSize coSize = pcoSize ? *pcoSize : coBitmap.GetSize();
            nDrawn = BitBlt(pcoDest ? *pcoDest : KwPoint(), coMem, pcoSrcPos ? *pcoSrcPos : KwPoint(), coSize, unRop);
            coMem.SelectBitmap(nullptr);
        }
    }
    if (nMadeHere)
        coBitmap.SysDelete();
    return nDrawn;
}

int KwDC::DrawStretchedBitmap(const KwBitmap* pcoBitmap, const KwRect& coDest, unsigned short unRop)
{
    if (!GetHandle() || !pcoBitmap)
        return 0;
    KwBitmap& coBitmap = const_cast<KwBitmap&>(*pcoBitmap);
    const int nMadeHere = !coBitmap.GetHandle();
    if (nMadeHere && !coBitmap.SysCreate())
        return 0;
    int nDrawn = 0;
    {
        KwMemDC coMem(*this);
        coMem.SelectBitmap(&coBitmap);
        nDrawn = StretchBlt(coDest, coMem, KwRect(KwPoint(), coBitmap.GetSize()), unRop);
        coMem.SelectBitmap(nullptr);
    }
    if (nMadeHere)
        coBitmap.SysDelete();
    return nDrawn;
}

// The mask of a bitmap (1 where the bitmap has the transparent colour) is
// built in a monochrome bitmap. Plain drawing then combines bitmap and mask
// onto this context (xor, and, xor), which keeps the destination under the
// transparent pixels. The pale form paints the shadow colour through the
// mask instead. While the mask is expanded onto this context its 1 bits
// must become white and its 0 bits black, whatever the colour table holds.
int KwDC::DrawMasked(const KwBitmap& coBitmap, unsigned long ulTransparent, const KwRect& coDest, int nPale, int nMedium)
{
    const KwSize coSize = coBitmap.GetSize();
    if (coSize.Width() <= 0 || coSize.Height() <= 0)
        return 0;
    const KwRect coSource(KwPoint(), coSize);
    KwBitmap coMask;
    if (!coMask.SysCreate(*this, coSize, 1))
        return 0;
    KwMemDC coImage(*this);
    KwMemDC coMaskDC(*this);
    if (!coImage.GetHandle() || !coMaskDC.GetHandle())
        return 0;
    coImage.SelectBitmap(&coBitmap);
    coMaskDC.SelectBitmap(&coMask);
    const unsigned long ulImageBack = coImage.SetBkColor(ulTransparent);
    coMaskDC.BitBlt(KwPoint(), coImage, KwPoint(), coSize, 11);
    coImage.SetBkColor(ulImageBack);

    const unsigned long ulOldBack = SetBkColor(White);
    const unsigned long ulOldText = SetTextColor(Black);
    const int nSameSize = coDest.Width() == coSize.Width() && coDest.Height() == coSize.Height();
    int nDrawn;
    if (nPale) {
        KwBrush coShadow(KwSysColor(nMedium ? ShadowMedium : ShadowDark), 1, 0);
        const KwBrush* pcoOldBrush = SelectObject(&coShadow);
        nDrawn = nSameSize
            ? pcoKwSys->BitBlt(GetHandle(), coDest.TopLeft(), coSize, coMaskDC.GetHandle(), KwPoint(), RopPatternWhereSourceZero)
            : pcoKwSys->StretchBlt(GetHandle(), coDest, coMaskDC.GetHandle(), coSource, RopPatternWhereSourceZero);
        SelectObject(pcoOldBrush);
    } else if (nSameSize) {
        nDrawn = BitBlt(coDest.TopLeft(), coImage, KwPoint(), coSize, 13)
            && BitBlt(coDest.TopLeft(), coMaskDC, KwPoint(), coSize, 10)
            && BitBlt(coDest.TopLeft(), coImage, KwPoint(), coSize, 13);
    } else {
        nDrawn = StretchBlt(coDest, coImage, coSource, 13) && StretchBlt(coDest, coMaskDC, coSource, 10)
            && StretchBlt(coDest, coImage, coSource, 13);
    }
    SetBkColor(ulOldBack);
    SetTextColor(ulOldText);
    coImage.SelectBitmap(nullptr);
    coMaskDC.SelectBitmap(nullptr);
    return nDrawn ? 1 : 0;
}

int KwDC::DrawTransparentBitmap(const KwBitmap* pcoBitmap, unsigned long ulTransparent, const KwPoint* pcoDest)
{
    if (!GetHandle() || !pcoBitmap)
        return 0;
    KwBitmap& coBitmap = const_cast<KwBitmap&>(*pcoBitmap);
    const int nMadeHere = !coBitmap.GetHandle();
    if (nMadeHere && !coBitmap.SysCreate())
        return 0;
    const KwRect coDest(pcoDest ? *pcoDest : KwPoint(), coBitmap.GetSize());
    const int nDrawn = DrawMasked(coBitmap, ulTransparent & 0xFFFFFFUL, coDest, 0, 0);
    if (nMadeHere)
        coBitmap.SysDelete();
    return nDrawn;
}

int KwDC::DrawPaleBitmap(const KwBitmap* pcoBitmap, unsigned long ulTransparent, int nMedium, const KwPoint* pcoDest)
{
    if (!GetHandle() || !pcoBitmap)
        return 0;
    KwBitmap& coBitmap = const_cast<KwBitmap&>(*pcoBitmap);
    const int nMadeHere = !coBitmap.GetHandle();
    if (nMadeHere && !coBitmap.SysCreate())
        return 0;
    const KwRect coDest(pcoDest ? *pcoDest : KwPoint(), coBitmap.GetSize());
    const int nDrawn = DrawMasked(coBitmap, ulTransparent & 0xFFFFFFUL, coDest, 1, nMedium);
    if (nMadeHere)
        coBitmap.SysDelete();
    return nDrawn;
}

int KwDC::DrawPaleStretchedBitmap(const KwBitmap* pcoBitmap, unsigned long ulTransparent, int nMedium, const KwRect& coDest)
{
    if (!GetHandle() || !pcoBitmap)
        return 0;
    KwBitmap& coBitmap = const_cast<KwBitmap&>(*pcoBitmap);
    const int nMadeHere = !coBitmap.GetHandle();
    if (nMadeHere && !coBitmap.SysCreate())
        return 0;
    const int nDrawn = DrawMasked(coBitmap, ulTransparent & 0xFFFFFFUL, coDest, 1, nMedium);
    if (nMadeHere)
        coBitmap.SysDelete();
    return nDrawn;
}

// Text

KwSize KwDC::GetTextExtent(const char* pszText, short nLength) const
{
    const int nChars = TextLength(pszText, nLength);
    return GetHandle() ? pcoKwSys->GetTextExtent(GetHandle(), pszText ? pszText : "", nChars) : KwSize();
}

TString KwDC::GetTextFace() const
{
    return GetHandle() ? pcoKwSys->GetTextFace(GetHandle()) : TString();
}

int KwDC::GetTextMetrics(KwTextMetrics* pcoMetrics) const
{
    return GetHandle() && pcoMetrics ? pcoKwSys->GetTextMetrics(GetHandle(), *pcoMetrics) : 0;
}

int KwDC::SetTextJustification(short nBreakExtra, short nBreakCount)
{
    return Forward(GetHandle(), &KwSystem::SetTextJustification, nBreakExtra, nBreakCount);
}

int KwDC::GetTextCharacterExtra() const
{
    return Forward(GetHandle(), &KwSystem::GetTextCharacterExtra);
}

int KwDC::SetTextCharacterExtra(int nExtra)
{
    return Forward(GetHandle(), &KwSystem::SetTextCharacterExtra, nExtra);
}

int KwDC::TextOutLine(const KwPoint& coPoint, const char* pszText, int nLength, unsigned short unFlags, const KwRect* pcoClip)
{
    const KwSize coExtent = pcoKwSys->GetTextExtent(GetHandle(), pszText, nLength);
    int nX = coPoint.X() - coExtent.Width() / 2;
    if (unFlags & 0x01)
        nX = coPoint.X();
    else if (unFlags & 0x04)
        nX = coPoint.X() - coExtent.Width();
    int nY = coPoint.Y() - coExtent.Height() / 2;
    unsigned unAlign = TextAlignTopLeft;
    if (unFlags & 0x10) {
        nY = coPoint.Y();
    } else if (unFlags & 0x80) {
        nY = coPoint.Y() - coExtent.Height();
    } else if (unFlags & 0x40) {
        nY = coPoint.Y();
        unAlign = TextAlignBaseline;
    }
    int nSaved = 0;
    if (pcoClip) {
        nSaved = pcoKwSys->SaveDC(GetHandle());
        pcoKwSys->IntersectClipRect(GetHandle(), *pcoClip);
    }
    const unsigned unOldAlign = pcoKwSys->SetTextAlign(GetHandle(), unAlign);
    const int nDrawn = pcoKwSys->TextOut(GetHandle(), KwPoint(KwPair::Wrap(nX), KwPair::Wrap(nY)), pszText, nLength);
    pcoKwSys->SetTextAlign(GetHandle(), unOldAlign);
    if (pcoClip)
        pcoKwSys->RestoreDC(GetHandle(), nSaved);
    return nDrawn;
}

int KwDC::TextOutPoint(const KwPoint& coPoint, const char* pszText, short nLength, unsigned short unFlags,
                       const KwRect* pcoClip)
{
    const int nChars = TextLength(pszText, nLength);
    if (!GetHandle() || nChars == 0)
        return 0;
    if (std::memchr(pszText, '\n', static_cast<size_t>(nChars)))
        return TextOutPointML(coPoint, pszText, static_cast<short>(nChars), unFlags, pcoClip);
    return TextOutLine(coPoint, pszText, nChars, unFlags, pcoClip);
}

int KwDC::TextOutPointML(const KwPoint& coPoint, const char* pszText, short nLength, unsigned short unFlags,
                         const KwRect* pcoClip)
{
    const int nChars = TextLength(pszText, nLength);
    if (!GetHandle() || nChars == 0)
        return 0;
    TArray coLines;
    const TString coText = TString().Strncpy(pszText, nChars);
    const long lLines = SplitLines(coText, coLines);
    const int nLineHeight = pcoKwSys->GetTextExtent(GetHandle(), "A", 1).Height();
    const int nTotal = static_cast<int>(lLines) * nLineHeight;
    // The block is placed by the vertical flags; each line by the horizontal ones.
    int nTop = coPoint.Y() - nTotal / 2;
    if (unFlags & 0x10)
        nTop = coPoint.Y();
    else if (unFlags & 0x80)
        nTop = coPoint.Y() - nTotal;
    const unsigned short unHorizontal = static_cast<unsigned short>(unFlags & 0x05);
    int nDrawn = 1;
    for (long i = 0; i < lLines; ++i) {
        const char* pszLine = static_cast<const char*>(coLines.Get(i));
        const int nLineLength = static_cast<int>(std::strlen(pszLine));
        if (nLineLength == 0)
            continue;
        const int nBaseLine = (unFlags & 0x40) && !(unFlags & 0x90);
        const KwPoint coLinePoint(coPoint.X(), KwPair::Wrap(nBaseLine ? coPoint.Y() + i * nLineHeight : nTop + i * nLineHeight));
        const unsigned short unLineFlags = static_cast<unsigned short>(unHorizontal | (nBaseLine ? 0x40 : 0x10));
        nDrawn &= TextOutLine(coLinePoint, pszLine, nLineLength, unLineFlags, pcoClip) ? 1 : 0;
    }
    return nDrawn;
}

int KwDC::TextOutRect(KwRect& coRect, const char* pszText, short nLength, unsigned short unAlign,
                      unsigned short unFormat, const KwPoint* pcoOffset, unsigned short unTab, short nSpacing)
{
    const int nMeasure = (unFormat & 0x10) != 0;
    const int nChars = TextLength(pszText, nLength);
    if (nChars == 0 || (!GetHandle() && !nMeasure)) {
        if (nMeasure)
            coRect.Empty();
        return 0;
    }
    if (!GetHandle())
        return 0;
    const KwPoint coOffset = pcoOffset ? *pcoOffset : KwPoint();
    const unsigned unFlags = KwCodes::TextFormatToSystem(unFormat);
    const int nTabWidth = KwCodes::TextTabWidth(unTab);
    if (unFormat & 0x02) {
        KwRect coWrapped(coRect);
        coWrapped.Move(coOffset);
        // Measuring a wrapped text asks the system for the rectangle it needs.
        const int nHeight = pcoKwSys->DrawText(GetHandle(), coWrapped, pszText, nChars, unFlags | (nMeasure ? 0x0400u : 0u), nTabWidth);
        if (nMeasure)
            coRect = coWrapped;
        return nHeight != 0;
    }
    TArray coLines;
    const TString coText = TString().Strncpy(pszText, nChars);
    const long lLines = SplitLines(coText, coLines);
    const int nLineHeight = pcoKwSys->GetTextExtent(GetHandle(), "A", 1).Height();
    const int nTotal = static_cast<int>(lLines) * nLineHeight + static_cast<int>(lLines - 1) * nSpacing;
    int nTop = coRect.Bottom() - coOffset.Y() - nTotal;
    if (unAlign & 0x10)
        nTop = coRect.Top() + coOffset.Y();
    else if (unAlign & 0x20)
        nTop = coRect.Top() + (Absolute(coRect.Bottom() - coRect.Top()) - nTotal) / 2;
    const int nFirstTop = nTop;
    int nLeft = 0;
    int nMinLeft = 0;
    int nMaxRight = 0;
    int nDrawn = 1;
    for (long i = 0; i < lLines; ++i) {
        const char* pszLine = static_cast<const char*>(coLines.Get(i));
        const int nLineLength = static_cast<int>(std::strlen(pszLine));
        const KwSize coExtent = pcoKwSys->GetTextExtent(GetHandle(), pszLine, nLineLength);
        int nWidth = coExtent.Width();
        const int nMark = (unFormat & 0x04) ? HotKeyMark(pszLine, nLineLength) : -1;
        if (nMark >= 0)
            nWidth -= pcoKwSys->GetTextExtent(GetHandle(), pszLine + nMark, 1).Width();
        if (unAlign & 0x01)
            nLeft = coRect.Left() + coOffset.X();
        else if (unAlign & 0x04)
            nLeft = coRect.Right() - coOffset.X() - nWidth;
        else if (unAlign & 0x02)
            nLeft = coRect.Left() + (Absolute(coRect.Right() - coRect.Left()) - nWidth) / 2;
        if (i == 0 || nLeft < nMinLeft)
            nMinLeft = nLeft;
        if (i == 0 || nLeft + nWidth > nMaxRight)
            nMaxRight = nLeft + nWidth;
        if (!nMeasure && nLineLength > 0) {
            const int nHeight = coExtent.Height() > 0 ? coExtent.Height() : nLineHeight;
            KwRect coLine(KwPair::Wrap(nLeft), KwPair::Wrap(nTop), KwPair::Wrap(nLeft + nWidth), KwPair::Wrap(nTop + nHeight));
            if (!pcoKwSys->DrawText(GetHandle(), coLine, pszLine, nLineLength, unFlags, nTabWidth))
                nDrawn = 0;
        }
        nTop += nLineHeight + nSpacing;
    }
    if (nMeasure) {
        coRect.Set(KwPair::Wrap(nMinLeft), KwPair::Wrap(nFirstTop), KwPair::Wrap(nMaxRight), KwPair::Wrap(nFirstTop + nTotal));
        return 1;
    }
    return nDrawn;
}

KwRect KwDC::CalcTextOutRect(const KwPoint& coPoint, const char* pszText, short nLength, unsigned short unAlign,
                             int nHotKeyMarks, const KwPoint* pcoOffset, unsigned short unTab, short nSpacing)
{
    KwRect coRect(coPoint, coPoint);
    TextOutRect(coRect, pszText, nLength, unAlign, static_cast<unsigned short>(0x10 | (nHotKeyMarks ? 0x04 : 0)),
                pcoOffset, unTab, nSpacing);
    return coRect;
}

long KwDC::SplitLines(const char* pszText, TArray& coLines)
{
    coLines.Delete();
    coLines.SetDestroyFunc(DestroyDefault);
    const char* pszStart = pszText ? pszText : "";
    for (;;) {
        const char* pszEnd = std::strchr(pszStart, '\n');
        const int nLength = pszEnd ? static_cast<int>(pszEnd - pszStart) : static_cast<int>(std::strlen(pszStart));
        char* pszLine = Strdup(pszStart, nLength);
        if (!pszLine || !coLines.Add(pszLine)) {
            std::free(pszLine);
            break;
        }
        if (!pszEnd)
            break;
        pszStart = pszEnd + 1;
    }
    return coLines.Count();
}

// The kinds of contexts

KwMemDC::KwMemDC(const KwDC& coDC)
{
    if (pcoKwSys && coDC.GetHandle())
        Obtain(pcoKwSys->CreateCompatibleDC(coDC.GetHandle()), Origin::Memory, coDC.GetWindow());
}

int KwPaintDC::SysCreate(const KwPaintDC& coPaintDC)
{
    Clean();
    return pcoKwSys && coPaintDC.GetHandle()
        && Obtain(pcoKwSys->CreateCompatibleDC(coPaintDC.GetHandle()), Origin::Memory, coPaintDC.GetWindow());
}

KwRect KwPaintDC::GetPaintRect() const
{
    return GetOrigin() == Origin::Paint ? GetPaintArea() : KwRect();
}

int KwIC::SysCreate(const char* pszDriver, const char* pszDevice, const char* pszOutput, const void* pvMode)
{
    Clean();
    return pcoKwSys && Obtain(pcoKwSys->CreateIC(pszDriver, pszDevice, pszOutput, pvMode), Origin::Created, nullptr);
}

KwScreenDC::KwScreenDC(int nCreate)
{
    if (nCreate)
        SysCreate();
}

int KwScreenDC::SysCreate()
{
    Clean();
    return pcoKwSys && Obtain(pcoKwSys->GetDC(0), Origin::Screen, nullptr);
}
