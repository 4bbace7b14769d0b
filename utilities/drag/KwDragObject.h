#pragma once

#include "KutiApi.h"
#include "KwBitmap.h"
#include "KwDC.h"
#include "KwRes.h"
#include "KwRubberArea.h"
#include "TString.h"

#include <memory>

class KwEventKey;
class KwEventMouse;
class KwWnd;
class TMvcParam;

// Carries a named piece of data from one window of the application to
// another. While the drag runs, a picture beside the pointer shows whether
// the window below accepts the data (the drop picture) or not (the no-drop
// picture); on release the window below is told to take it.
//
// The window that starts the drag (the owner) holds the mouse capture, and
// its priority links of mouse move, button release and button press lead
// here. The window under the pointer is asked through "KW_LINK_CHECKDROP"
// (point in screen coordinates), then the function "QueryCanDrop"(name,
// data) called by name on it, then "QueryCanChildDrop"(window, name, data)
// on its frame; the owner itself accepts unless it has a check of its own.
// The drop goes to "KW_LINK_NOTIFYDROP" of the target (point in its client
// coordinates), then "QueryDropObject"(name, const KwPoint*, data); when
// nothing takes it, or nothing accepted it, the owner gets
// "KW_LINK_NOTIFYDROPFAILED" and "NotifyDropFailed"(const KwPoint*, name,
// data) with the point in its client coordinates. Points travel to the
// functions called by name as pointers.
//
// The drag has ended before the drop or the failed drop is told: the
// screen is as it was, the capture is released, and a handler may run a
// modal window or start another drag. A drag that loses the capture (the
// system cancels the mode, another window takes the capture) or that the
// user cancels with Escape in the owner ends the same way, as a failed
// drop. The drag object must outlive the handlers of its drops.
class KUTI_API KwDragObject : public KwRes {
    KW_DYNAMIC_CLASS(KwDragObject, KwRes)
public:
    enum : short { StateNone = 0, StateDrop = 1, StateNoDrop = 2 };
    // The picture's top left corner from the pointer's hot spot, in both
    // directions: beside the arrow, below the line of text it points at.
    enum : short { PictureOffset = 16 };

    // The pictures are named for the application's resource files ("BMP_DROP"
    // and "BMP_NODROP" for a null name, then with colour number 15 as the
    // transparent colour). The application reads no pictures from resource
    // files: the constructors take the transparent colours only, and a drag
    // starts once ChangeDropBitmap has given its drop picture.
    KwDragObject();
    KwDragObject(const char* pszDropName, unsigned long ulDropColor, const char* pszNoDropName, unsigned long ulNoDropColor);
    // Ends a running drag.
    ~KwDragObject() override;
    KwDragObject(const KwDragObject&) = delete;
    KwDragObject& operator=(const KwDragObject&) = delete;

    // Pictures: each is copied.
    void ChangeDropBitmap(const KwBitmap& coBitmap, unsigned long ulTransparent);
    void ChangeNoDropBitmap(const KwBitmap& coBitmap, unsigned long ulTransparent);
    const KwBitmap* GetDropBitmap() const { return m_pcoDropBitmap.get(); }
    const KwBitmap* GetNoDropBitmap() const { return m_pcoNoDropBitmap.get(); }

    // Begins a drag of the data set by InitDragObject, owned by the window;
    // 1 when it runs.
    int StartDrag(KwWnd* pcoWnd);
    // Ends everything: the capture, the owner's priority links, the picture
    // (the screen is restored), owner, name, data and state.
    void SysDelete() override;

    // State
    short GetDragState() const { return m_nDragState; }
    int IsDragging() const { return m_pcoRubber != nullptr; }
    KwWnd* GetOwner() const { return m_pcoOwner; }
    const TString& GetDragName() const { return m_coDragName; }
    void* GetDragData() const { return m_pvDragData; }

    // Overridables, in their slot order.
protected:
    virtual int LinkMouseMove(KwEventMouse& coEvent);
    virtual int LinkLButtonUp(KwEventMouse& coEvent);
    virtual int LinkLButtonDown(KwEventMouse& coEvent);
    // The picture of the drop state; the caller owns it.
    virtual KwRubberArea* CreateRubber();
    // Starts the picture below and to the right of the pointer, clear of
    // the pointer's tip and of what lies under it; 1 when it shows.
    virtual int StartRubberMove(KwRubberArea* pcoRubber, KwScreenDC& coScreen);
    // Whether the window under the point (screen coordinates) accepts the
    // data; *ppcoTarget receives that window.
    virtual int CheckDrop(const KwPoint& coScreenPoint, KwWnd** ppcoTarget);
    virtual int NotifyDrop(KwWnd* pcoTarget, const KwPoint& coClientPoint, const char* pszName, void* pvData);
    // The owner is gone from the drag object when it is told, so it is
    // handed over; the point is in its client coordinates.
    virtual int NotifyDropFailed(KwWnd* pcoOwner, const KwPoint& coPoint, const char* pszName, void* pvData);
public:
    // The data to drag: its kind and the data itself (not owned).
    virtual void InitDragObject(const char* pszName, void* pvData);

protected:
    // The pointer in screen coordinates as the drag last saw it.
    KwPoint GetPointer() const { return m_coPointer; }
    // 1 to the drop picture, 2 to the no-drop picture; 0 when nothing changed.
    int ChangeDragState(short nState, const KwPoint& coScreenPoint);

private:
    // What a drop or a failed drop needs after the drag has ended.
    struct TDropCopy {
        TString coName;
        void* pvData { nullptr };
        KwWnd* pcoOwner { nullptr };
        KwHandle hOwner { 0 };
    };

    int OnMouseMove(TMvcParam& coParam);
    int OnLButtonUp(TMvcParam& coParam);
    int OnLButtonDown(TMvcParam& coParam);
    int OnOwnerMessage(TMvcParam& coParam);
    int OnOwnerKey(TMvcParam& coParam);
    void InitTransparentColors(const char* pszDropName, unsigned long ulDropColor, const char* pszNoDropName,
                      unsigned long ulNoDropColor);
    // Ends the drag; with nKeepData the name and the data stay.
    void Stop(int nKeepData);
    void ReplaceRubber(KwRubberArea* pcoRubber);
    TDropCopy CopyForDrop() const;
    void Cancel();
    static KwWnd* Alive(KwWnd* pcoWnd, KwHandle hWnd);
    void TellFailed(const TDropCopy& coCopy, const KwPoint& coScreenPoint);

    KwScreenDC m_coScreen { 0 };
    std::unique_ptr<KwRubberArea> m_pcoRubber;   // owned; null when no drag runs
    KwWnd* m_pcoOwner { nullptr };               // not owned
    KwHandle m_hOwner { 0 };
    short m_nDragState { StateNone };
    std::unique_ptr<KwBitmap> m_pcoDropBitmap;   // owned copies
    unsigned long m_ulDropColor { 0 };
    std::unique_ptr<KwBitmap> m_pcoNoDropBitmap;
    unsigned long m_ulNoDropColor { 0 };
    TString m_coDragName;
    void* m_pvDragData { nullptr };              // not owned
    KwPoint m_coPointer;
};
