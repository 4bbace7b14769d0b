#pragma once

#include "Kw25Api.h"
#include "KwGdiTypes.h"
#include "KwObjGDI.h"
#include "KwRect.h"
#include "KwRes.h"
#include "TString.h"

class KwBitmap;
class KwBrush;
class KwDib;
class KwFont;
class KwObjGDI;
class KwPal;
class KwPen;
class KwRegion;
class KwWnd;
class TArray;

// A device context: the handle is the system's context. It knows the pen,
// brush, font and palette selected into it; each of them knows the
// context, so that an object that dies while selected is selected out
// first. Releasing the context (Clean, destruction) selects everything out
// and gives the context back the way it was obtained. Every drawing call on
// a context without handle does nothing and answers 0.
//
// Codes: raster operations, pen and brush styles as in KwCodes; text
// placement flags of TextOutPoint: 0x01 left edge at the point, 0x04 right
// edge, else centred; 0x10 top, 0x80 bottom, 0x40 base line, else centred.
class KW25_API KwDC : public KwRes {
    KW_DYNAMIC_CLASS(KwDC, KwRes)
public:
    // How the context was obtained, which decides how it is given back.
    enum class Origin : unsigned char { None, Window, WholeWindow, Screen, Created, Memory, Paint, Attached };

    KwDC() = default;
    // The window's client-area context.
    explicit KwDC(const KwWnd* pcoWnd);
    // Attached to an existing context, which is never given back.
    KwDC(const KwWnd* pcoWnd, KwHandle hDC);
    ~KwDC() override;
    KwDC(const KwDC&) = delete;
    KwDC& operator=(const KwDC&) = delete;

    // Obtaining and releasing
    using KwRes::SysCreate;
    int SysCreate(const KwWnd* pcoWnd);
    int SysCreate(const char* pszDriver, const char* pszDevice, const char* pszOutput, const void* pvMode);
    void SysDelete() override { Clean(); }
    void Clean();
    // The window the context belongs to; the context may outlive it.
    const KwWnd* GetWindow() const { return m_pcoWnd; }
    Origin GetOrigin() const { return m_nOrigin; }

    // Selection: each answers the object selected before (null for none).
    // A drawing object without system object gets one first; null selects
    // the context's own object of that kind again.
    const KwPen* SelectObject(const KwPen* pcoPen);
    const KwBrush* SelectObject(const KwBrush* pcoBrush);
    const KwFont* SelectObject(const KwFont* pcoFont);
    int SelectObject(const KwPal* pcoPal, const KwPal** ppcoOld, int nBackground);
    void SelectOutAll();
    const KwPen* GetPen() const;
    const KwBrush* GetBrush() const;
    const KwFont* GetFont() const;
    const KwPal* GetPalette() const { return m_pcoPal; }
    // Told by a selected object that it goes.
    void NotifyPenDestroyed(KwObjGDI* pcoObject);
    void NotifyBrushDestroyed(KwObjGDI* pcoObject);
    void NotifyFontDestroyed(KwObjGDI* pcoObject);
    void NotifyPaletteDestroyed(KwObjGDI* pcoObject);

    // State
    KwPoint GetOrg() const;
    int GetDeviceCaps(short nIndex) const;
    KwPoint GetBrushOrg() const;
    KwPoint SetBrushOrg(const KwPoint& coPoint);
    unsigned long GetBkColor() const;
    unsigned long SetBkColor(unsigned long ulColor);
    int GetBkMode() const;
    int SetBkMode(int nMode);
    int GetPolyFillMode() const;
    int SetPolyFillMode(int nMode);
    int GetROP2() const;
    int SetROP2(int nMode);
    unsigned long GetTextColor() const;
    unsigned long SetTextColor(unsigned long ulColor);
    int GetMapMode() const;
    int SetMapMode(int nMode);
    KwPoint GetViewportOrg() const;
    KwPoint SetViewportOrg(const KwPoint& coPoint);
    KwPoint GetViewportExt() const;
    KwPoint SetViewportExt(const KwPoint& coPoint);
    KwPoint GetWindowOrg() const;
    KwPoint SetWindowOrg(const KwPoint& coPoint);
    KwPoint GetWindowExt() const;
    KwPoint SetWindowExt(const KwPoint& coPoint);
    int PixToLog(KwPoint* pcoPoints, short nCount) const;
    int LogToPix(KwPoint* pcoPoints, short nCount) const;
    KwPoint GetCurrentPosition() const;
    int RealizePalette();
    unsigned long GetNearestColor(unsigned long ulColor) const;

    // Clipping
    int GetClipBox(KwRect& coRect) const;
    // nMode 0 replaces the clipping region by the rectangle, else the
    // rectangle is intersected with it.
    int SetClipBox(const KwRect& coRect, short nMode);
    int ResetClipBox();
    int SelectClipRgn(const KwRegion* pcoRegion);
    int ExcludeClipRect(const KwRect& coRect);
    int ExcludeUpdateRgn(const KwWnd* pcoWnd);
    int IntersectClipRect(const KwRect& coRect);
    int OffsetClipRgn(short nDx, short nDy);
    int PointVisible(const KwPoint& coPoint) const;
    int RectVisible(const KwRect& coRect) const;

    // Drawing
    int MoveTo(const KwPoint& coPoint);
    int LineTo(const KwPoint& coPoint);
    int Polyline(const KwPoint* pcoPoints, short nCount);
    int Rectangle(const KwRect& coRect);
    int RoundRect(const KwRect& coRect, const KwSize& coCorner);
    int Arc(const KwRect& coRect, const KwPoint& coStart, const KwPoint& coEnd);
    int Chord(const KwRect& coRect, const KwPoint& coStart, const KwPoint& coEnd);
    int Ellipse(const KwRect& coRect);
    int Pie(const KwRect& coRect, const KwPoint& coStart, const KwPoint& coEnd);
    int Polygon(const KwPoint* pcoPoints, short nCount);
    int PolyPolygon(const KwPoint* pcoPoints, const short* pnCounts, short nPolygons);
    int FillRect(const KwRect& coRect, const KwBrush& coBrush);
    int FrameRect(const KwRect& coRect, const KwBrush& coBrush);
    int InvertRect(const KwRect& coRect);
    int DrawFocusRect(const KwRect& coRect);
    int FillRgn(const KwRegion& coRegion, const KwBrush& coBrush);
    int FrameRgn(const KwRegion& coRegion, const KwBrush& coBrush, const KwSize& coFrame);
    int InvertRgn(const KwRegion& coRegion);
    int PaintRgn(const KwRegion& coRegion);
    unsigned long GetPixel(const KwPoint& coPoint) const;
    unsigned long SetPixel(const KwPoint& coPoint, unsigned long ulColor);
    int FloodFill(const KwPoint& coPoint, unsigned long ulBorder);
    int PatBlt(const KwPoint& coPoint, const KwSize& coSize, unsigned short unRop);
    int BitBlt(const KwPoint& coDest, const KwDC& coSrc, const KwPoint& coSrcPos, const KwSize& coSize, unsigned short unRop);
    int StretchBlt(const KwRect& coDest, const KwDC& coSrc, const KwRect& coSrcRect, unsigned short unRop);
    int SetDIBitsToDevice(const KwPoint& coDest, const KwDib& coDib);
    int StretchDIBits(const KwRect& coDest, const KwDib& coDib, unsigned short unRop);
    // The whole picture at the point (the window's client origin when null).
    int DrawDIB(const KwDib& coDib, const KwPoint* pcoDest);
    int DrawStretchedDIB(const KwDib& coDib, const KwRect& coDest);
    // Defaults: the window's client origin, the bitmap's origin, its size.
    int DrawBitmap(const KwBitmap* pcoBitmap, const KwPoint* pcoDest = nullptr, const KwPoint* pcoSrcPos = nullptr,
                   const KwSize* pcoSize = nullptr, unsigned short unRop = 11);
    int DrawStretchedBitmap(const KwBitmap* pcoBitmap, const KwRect& coDest, unsigned short unRop = 11);
    // The bitmap with the pixels of the transparent colour left as they were.
    int DrawTransparentBitmap(const KwBitmap* pcoBitmap, unsigned long ulTransparent, const KwPoint* pcoDest);
    // The grayed look of a disabled picture: the pixels that are not of the
    // transparent colour drawn in the dark shadow colour (colour number 8),
    // or the medium one (15) when nMedium is set; the others left as they
    // were.
    int DrawPaleBitmap(const KwBitmap* pcoBitmap, unsigned long ulTransparent, int nMedium, const KwPoint* pcoDest);
    int DrawPaleStretchedBitmap(const KwBitmap* pcoBitmap, unsigned long ulTransparent, int nMedium, const KwRect& coDest);

    // Text
    // A negative length means up to the terminating null.
    int TextOutPoint(const KwPoint& coPoint, const char* pszText, short nLength, unsigned short unFlags,
                     const KwRect* pcoClip = nullptr);
    // Several lines, one below the other, placed as a block.
    int TextOutPointML(const KwPoint& coPoint, const char* pszText, short nLength, unsigned short unFlags,
                       const KwRect* pcoClip = nullptr);
    // Align: 0x01 left, 0x02 centred, 0x04 right; 0x10 top, 0x20 centred,
    // else bottom. Format: 0x01 clip, 0x02 wrap words, 0x04 hot-key marks,
    // 0x08 edit-control line breaks, 0x10 only measure (coRect receives the
    // text's rectangle). Offset: a distance kept from the aligned edges;
    // tab: characters per tab stop; spacing: extra space between lines.
    int TextOutRect(KwRect& coRect, const char* pszText, short nLength, unsigned short unAlign,
                    unsigned short unFormat, const KwPoint* pcoOffset = nullptr, unsigned short unTab = 8,
                    short nSpacing = 0);
    KwRect CalcTextOutRect(const KwPoint& coPoint, const char* pszText, short nLength, unsigned short unAlign,
                           int nHotKeyMarks, const KwPoint* pcoOffset = nullptr, unsigned short unTab = 8,
                           short nSpacing = 0);
    KwSize GetTextExtent(const char* pszText, short nLength) const;
    TString GetTextFace() const;
    int GetTextMetrics(KwTextMetrics* pcoMetrics) const;
    int SetTextJustification(short nBreakExtra, short nBreakCount);
    int GetTextCharacterExtra() const;
    int SetTextCharacterExtra(int nExtra);
    // Empties the array (which then owns its lines) and adds a copy of
    // each line (the text up to each line feed, and the rest after the
    // last one); answers the number of lines.
    static long SplitLines(const char* pszText, TArray& coLines);

protected:
    int Obtain(KwHandle hDC, Origin nOrigin, const KwWnd* pcoWnd);
    // The context of the paint message being handled (none outside one).
    int ObtainPaint(const KwWnd* pcoWnd);
    KwRect GetPaintArea() const { return m_coPaint.coPaint; }
    // Memory contexts: the first selection keeps the context's own bitmap;
    // null puts it back. Answers the bitmap selected before.
    const KwBitmap* SelectBitmapImpl(const KwBitmap* pcoBitmap);

private:
    const KwObjGDI* Select(const KwObjGDI* pcoNew, const KwObjGDI*& rpcoSlot, KwHandle& rhOwn, KwDcHandler pfnHandler);
    int DrawMasked(const KwBitmap& coBitmap, unsigned long ulTransparent, const KwRect& coDest, int nPale, int nMedium);
    int TextOutLine(const KwPoint& coPoint, const char* pszText, int nLength, unsigned short unFlags, const KwRect* pcoClip);

    const KwWnd* m_pcoWnd { nullptr };        // not owned; valid while the window lives
    KwHandle m_hWnd { 0 };                    // its system window, for giving the context back
    Origin m_nOrigin { Origin::None };
    const KwObjGDI* m_pcoPen { nullptr };     // selected, not owned
    const KwObjGDI* m_pcoBrush { nullptr };
    const KwObjGDI* m_pcoFont { nullptr };
    const KwPal* m_pcoPal { nullptr };
    const KwBitmap* m_pcoBitmap { nullptr };
    KwHandle m_hOwnPen { 0 };                 // the context's own objects, while others are selected
    KwHandle m_hOwnBrush { 0 };
    KwHandle m_hOwnFont { 0 };
    KwHandle m_hOwnPal { 0 };
    KwHandle m_hOwnBitmap { 0 };
    KwPaintStruct m_coPaint;                  // of a paint context
};

// A memory context compatible with another context.
class KW25_API KwMemDC : public KwDC {
public:
    explicit KwMemDC(const KwDC& coDC);
    const KwBitmap* SelectBitmap(const KwBitmap* pcoBitmap) { return SelectBitmapImpl(pcoBitmap); }
};

// The context of a paint message (only while a paint message is handled;
// otherwise it has no handle), or a memory context compatible with one,
// for painting in memory.
class KW25_API KwPaintDC : public KwDC {
public:
    KwPaintDC() = default;
    explicit KwPaintDC(KwWnd* pcoWnd);
    int SysCreate(const KwPaintDC& coPaintDC);
    const KwBitmap* SelectBitmap(const KwBitmap* pcoBitmap) { return SelectBitmapImpl(pcoBitmap); }
    // The area to repaint (empty for a memory context).
    KwRect GetPaintRect() const;
};

// An information context for a device.
class KW25_API KwIC : public KwDC {
public:
    KwIC() = default;
    int SysCreate(const char* pszDriver, const char* pszDevice, const char* pszOutput, const void* pvMode);
};

// The whole window's context, non-client area included.
class KW25_API KwWindowDC : public KwDC {
public:
    explicit KwWindowDC(const KwWnd* pcoWnd);
};

// The screen's context; nCreate obtains it at once.
class KW25_API KwScreenDC : public KwDC {
public:
    explicit KwScreenDC(int nCreate = 1);
    int SysCreate() override;
};
