#pragma once

#include "KutiApi.h"
#include "KwColor.h"
#include "KwPair.h"
#include "TDynBase.h"

#include <vector>

class KwDC;

// A rubber band: a figure drawn over a window or the screen while the
// pointer moves, erased and redrawn at every step without disturbing what
// lies below, that reports its final geometry when it ends.
//
// A figure is started as new (it grows from a fixed point to the pointer),
// as a change (one point follows the pointer, one or two stay fixed) or as a
// move (all its points follow the pointer); Show draws it at each pointer
// position and End erases it and hands out the result. The base draws with
// an exclusive-or pen, so that drawing a figure twice restores the screen;
// the shapes say what the figure is (CustomDraw...) and what it means
// (NotifyResult).
//
// Grid: a step of 1 or less means no grid on that axis. Offsets from the
// grid origin round to the nearest step, a remainder of exactly half a step
// towards the origin.
class KUTI_API KwRubber : public TDynBase {
    KW_DYNAMIC_CLASS(KwRubber, TDynBase)
public:
    enum : short { TypeIdle = 0, TypeNew = 1, TypeChange = 2, TypeMove = 3 };
    // The pen's raster mode: the system's exclusive-or of pen and screen.
    enum : int { RasterXor = 7 };

    KwRubber() = default;
    KwRubber(short nColor, unsigned short unLineStyle, short nLineWidth);
    ~KwRubber() override = default;
    KwRubber(const KwRubber&) = delete;
    KwRubber& operator=(const KwRubber&) = delete;

    // Results of the last End
    KwPoint GetResultFix1() const { return m_coResultFix1; }
    KwPoint GetResultFix2() const { return m_coResultFix2; }
    KwPoint GetResultChange() const { return m_coResultChange; }

    // State
    int IsShown() const { return m_nShown; }
    int IsFirstRubber() const { return m_nFirstRubber; }
    int IsStarted() const { return m_nStartType != TypeIdle; }
    int IsPaused() const { return m_nPaused; }
    int IsFix2Used() const { return m_nFix2Used; }
    short GetStartType() const { return m_nStartType; }

    // Pen
    short GetRubberColor() const { return m_coColor.GetIndex(); }
    void SetRubberColor(short nColor) { m_coColor.SetIndex(nColor); }
    unsigned short GetLineStyle() const { return m_unLineStyle; }
    void SetLineStyle(unsigned short unStyle) { m_unLineStyle = unStyle; }
    short GetLineWidth() const { return m_nLineWidth; }
    void SetLineWidth(short nWidth) { m_nLineWidth = nWidth; }

    // Grid
    int HasGrid() const { return m_nGridX > 1 || m_nGridY > 1; }
    KwPair GetGrid() const { return KwPair(m_nGridX, m_nGridY); }
    void SetGrid(const KwPair& coGrid) { SetGrid(coGrid.First(), coGrid.Second()); }
    void SetGrid(short nX, short nY) { m_nGridX = nX; m_nGridY = nY; }
    short GetGridX() const { return m_nGridX; }
    void SetGridX(short nX) { m_nGridX = nX; }
    short GetGridY() const { return m_nGridY; }
    void SetGridY(short nY) { m_nGridY = nY; }
    KwPair GetGridAlignPair() const { return m_coGridAlign; }
    void SetGridAlignPair(const KwPair& coOrigin) { m_coGridAlign = coOrigin; }
    KwPoint AlignOnGrid(const KwPair& coPoint) const;

    // Overridables, in their slot order.
protected:
    virtual void CustomDrawNew(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coChanged) {}
    virtual void CustomDrawChange(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged) {}
    virtual void CustomDrawMove(KwDC& coDC, const KwPoint* pcoPoints, unsigned short unCount, const KwPoint& coPointer) {}
    // The geometry at End; answers End's result.
    virtual int NotifyResult(const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged,
                             const KwPoint* pcoPoints, unsigned short unCount) { return 0; }
public:
    // Each Start ends what runs first; answers 1 when a figure was started.
    virtual int StartNew(KwDC& coDC, const KwPoint& coPoint);
    virtual int StartChange(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged,
                            const KwPoint& coPointer);
    virtual int StartChange(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coChanged, const KwPoint& coPointer);
    virtual int StartMove(KwDC& coDC, const KwPoint* pcoPoints, unsigned short unCount, const KwPoint& coPointer);
    // Erases the figure and answers NotifyResult's result (0 when idle);
    // this form hands the three points out first.
    virtual int End(KwDC& coDC, KwPoint& coFix1, KwPoint& coFix2, KwPoint& coChanged);
    virtual int End(KwDC& coDC);
    virtual void BeginPause();
    virtual void EndPause() { m_nPaused = 0; }
    // Draws the figure for the pointer at coPoint (erasing the old one).
    virtual void Show(KwDC& coDC, const KwPoint& coPoint);

protected:
    KwPoint GetFixedPoint1() const { return m_coFix1; }
    KwPoint GetFixedPoint2() const { return m_coFix2; }
    KwPoint GetChangedPoint() const { return m_coChanged; }
    KwPoint GetCurrentPoint() const { return m_coCurrent; }
    const KwPoint* GetMovePointArray(unsigned short& unCount) const;

private:
    // The start common to all forms: ends what runs, clears the results.
    void Restart(KwDC& coDC);
    // Aligns the pointer for Show; 0 when the figure would not change.
    int AlignPointer(KwPoint& coPoint) const;
    void ShowHandler(KwDC& coDC, const KwPoint& coPoint);
    void HideOld(KwDC& coDC);
    void ShowNew(KwDC& coDC);

    KwPoint m_coFix1;
    KwPoint m_coFix2;
    KwPoint m_coChanged;
    KwPoint m_coCurrent;
    KwPoint m_coPrevious;
    std::vector<KwPoint> m_coMovePoints;   // at most 65535
    int m_nFirstRubber { 0 };
    int m_nPaused { 0 };
    int m_nShown { 0 };
    short m_nStartType { TypeIdle };
    KwSysColor m_coColor { 7 };
    unsigned short m_unLineStyle { 1 };
    short m_nLineWidth { 0 };
    short m_nGridX { 0 };
    short m_nGridY { 0 };
    KwPair m_coGridAlign;
    KwPoint m_coResultFix1;
    KwPoint m_coResultFix2;
    KwPoint m_coResultChange;
    int m_nFix2Used { 0 };
};
