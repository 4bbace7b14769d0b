#pragma once

#include "KwBitmap.h"
#include "KwDC.h"
#include "KwFont.h"
#include "KwRubber.h"
#include "TString.h"

#include <memory>

// A rectangle of pixels that moves with the pointer: before the area is
// drawn, the pixels under it are saved in a memory bitmap, and hiding it
// puts them back, so the screen below is left exactly as it was. The
// subclasses say how big the area is (NotifyMoveStart) and what it shows
// (DrawArea).
class KUTI_API KwRubberArea : public KwRubber {
    KW_DYNAMIC_CLASS(KwRubberArea, KwRubber)
public:
    KwRubberArea();
    explicit KwRubberArea(short nColor);
    ~KwRubberArea() override;

    // The top-left corner at the last End.
    KwPoint GetEndPoint() const { return m_coEndPoint; }
    KwSize GetAreaSize() const { return m_coAreaSize; }

    using KwRubber::StartMove;
    // Moves the area with its top-left corner at coTopLeft; 0 when the
    // area has no size or its pixels cannot be saved.
    virtual int StartMove(KwDC& coDC, const KwPoint& coTopLeft, const KwPoint& coPointer);
    using KwRubber::End;
    int End(KwDC& coDC) override;

    // Overridables, in their slot order after those of KwRubber.
protected:
    virtual void DrawArea(KwDC& coDC, const KwPoint& coTopLeft) {}
    // The area's size for this context; (0, 0) when nothing can be shown.
    virtual KwSize NotifyMoveStart(KwDC& coDC) { return KwSize(); }
    virtual void CleanUp() {}

    void CustomDrawMove(KwDC& coDC, const KwPoint* pcoPoints, unsigned short unCount, const KwPoint& coPointer) override;
    int NotifyResult(const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged,
                     const KwPoint* pcoPoints, unsigned short unCount) override;

private:
    void ReleaseSave();

    KwPoint m_coEndPoint;
    KwSize m_coAreaSize;
    std::unique_ptr<KwMemDC> m_pcoSaveDC;
    std::unique_ptr<KwBitmap> m_pcoSaveBitmap;   // selected into m_pcoSaveDC while both exist
};

// A picture with one transparent colour, drawn over the screen: where the
// picture has that colour the screen shows through. It keeps its own copy
// of the picture.
class KUTI_API KwRubberBitmap : public KwRubberArea {
    KW_DYNAMIC_CLASS(KwRubberBitmap, KwRubberArea)
public:
    KwRubberBitmap();
    // The picture is copied (it may be null: SetBitmap gives one later).
    KwRubberBitmap(const KwBitmap* pcoBitmap, unsigned long ulTransparent);
    ~KwRubberBitmap() override;

    // Copies the picture; 0 when it has no pixels to copy.
    int SetBitmap(const KwBitmap* pcoBitmap);
    const KwBitmap* GetBitmap() const { return m_pcoBitmap.get(); }
    void SetTransparentColor(unsigned long ulColor) { m_ulTransparent = ulColor; m_nMaskMade = 0; }
    unsigned long GetTransparentColor() const { return m_ulTransparent; }
    // A copy of the picture's pixels, compatible with the screen; null when
    // it has none.
    static std::unique_ptr<KwBitmap> CopyOf(const KwBitmap* pcoBitmap);

protected:
    void DrawArea(KwDC& coDC, const KwPoint& coTopLeft) override;
    KwSize NotifyMoveStart(KwDC& coDC) override;
    void CleanUp() override;

private:
    std::unique_ptr<KwBitmap> m_pcoBitmap;      // the copy; owned
    unsigned long m_ulTransparent { 0 };
    std::unique_ptr<KwBitmap> m_pcoMask;        // 1 where the picture is transparent
    std::unique_ptr<KwMemDC> m_pcoBitmapDC;
    std::unique_ptr<KwMemDC> m_pcoMaskDC;
    int m_nMaskMade { 0 };
};

// Lines of text that move with the pointer (lines end at line feeds), in
// a font, in colour number 9 on what lies below.
class KUTI_API KwRubberText : public KwRubberArea {
    KW_DYNAMIC_CLASS(KwRubberText, KwRubberArea)
public:
    KwRubberText();
    KwRubberText(const KwFont& coFont, const char* pszText, short nColor);
    ~KwRubberText() override;

    void SetFont(const KwFont& coFont) { m_coFont = coFont; }
    const KwFont& GetFont() const { return m_coFont; }
    void SetText(const char* pszText) { m_coText = pszText; }
    const TString& GetText() const { return m_coText; }

protected:
    void DrawArea(KwDC& coDC, const KwPoint& coTopLeft) override;
    KwSize NotifyMoveStart(KwDC& coDC) override;

private:
    KwFont m_coFont;
    TString m_coText;
};
