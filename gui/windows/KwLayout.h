#pragma once

#include "Kw25Api.h"
#include "KwRect.h"

class KwDC;
class KwWnd;

// Paints the look that all windows share (background, border, shade).
// One layout object serves all plain windows and one all children
// (KwWnd::ChangeLayout, KwWChild::ChangeLayout); applications may install
// their own.
class KW25_API KwLayout {
public:
    virtual ~KwLayout() = default;
    // The rectangle defaults to the client rectangle. 1 when painted.
    virtual int Paint(KwWnd* pcoWnd, KwDC& coDC, const KwRect* pcoRect) const { return 0; }
    virtual int PaintNonClient(KwWnd* pcoWnd) const { return 0; }
};

// Fills the window with its background colour (the parent's, with the
// parent-background look), unless it is transparent.
class KW25_API KwWndLayoutWIN31 : public KwLayout {
public:
    int Paint(KwWnd* pcoWnd, KwDC& coDC, const KwRect* pcoRect) const override;
    static KwWndLayoutWIN31& Instance();

protected:
    // The background colour a window paints with.
    static unsigned long UsedBackColor(const KwWnd& coWnd);
};

// The background, then the border (nested one-pixel rectangles in the
// border colour), then the shade of the child (KwWChild::DrawShade).
class KW25_API KwWChildLayoutWIN31 : public KwWndLayoutWIN31 {
public:
    int Paint(KwWnd* pcoWnd, KwDC& coDC, const KwRect* pcoRect) const override;
    static KwWChildLayoutWIN31& Instance();
};
