#pragma once

#include "Kw25Api.h"
#include "KwWnd.h"

#include <vector>

class KwFont;
class KwMenu;
class KwMenuItem;
class KwPopupMenu;
class KwPushButton;
class KwWChild;

// A top-level window: the main window, a dialog, the logo. It registers
// with the application while it exists, starts normally or modally, and
// keeps the focus child, the default push button and Return/Escape
// handling of its children.
class KW25_API KwWFrame : public KwWnd {
    KW_DYNAMIC_CLASS(KwWFrame, KwWnd)
    KW_MVC_CLASS(KwWFrame, KwWnd)
public:
    // Frame flags
    enum : unsigned short {
        FlagStartMaximized = 0x0001,
        FlagStartMinimized = 0x0002,
        FlagScreenMiddle = 0x0010,
        FlagAdjustToScreen = 0x0020,
        FlagEndOnEsc = 0x0100,
        FlagNoDefaultCommand = 0x0200,
        FlagLockDeactivation = 0x1000,
    };
    // Start modes
    enum : unsigned short { ModeNone = 0, ModeStarted = 1, ModeModalParent = 2, ModeModalApp = 3, ModeModalNone = 4 };
    enum : unsigned short {
        VarFlags = 120, VarClientLeft = 121, VarClientTop = 122, VarClientRight = 123, VarClientBottom = 124,
        VarIconId = 125, VarDragIconId = 126,
    };

    KwWFrame();
    explicit KwWFrame(const char* pszName);
    KwWFrame(const char* pszName, const KwPoint& coPos, const KwSize& coSize, const char* pszTitle, short nColBack,
             unsigned long ulStyle, unsigned long ulExStyle, unsigned short unFlags);
    ~KwWFrame() override;

    // Starting. Start hands the first frame to the application as its main
    // window; StartDirect never does.
    void Start();
    void Start(short nShow);
    void StartDirect(short nShow);
    // Runs the frame modally (2: its parent disabled, 3: all other frames
    // disabled, 4: none) until it is closed; answers the dialog result. A
    // frame with auto-destroy whose window was closed is gone when this
    // returns.
    short StartModal(short nMode);
    short GetDlgResult() const { return m_nDlgResult; }
    void SetDlgResult(short nResult) { m_nDlgResult = nResult; }
    unsigned short GetStartMode() const { return m_unStartMode; }
    // Asks the frame to close: posted (nSend 0) or sent (1).
    void Close(int nSend);

    // Flags
    unsigned short GetFrameFlags() const { return m_unFrameFlags; }
    void SetFrameFlags(unsigned short unFlags) { m_unFrameFlags = unFlags; }
    void SetStartType(short nType);
    void SetAutoScreenMiddle(int nOn) { SetFrameFlag(FlagScreenMiddle, nOn); }
    void SetAutoAdjustToScreen(int nOn) { SetFrameFlag(FlagAdjustToScreen, nOn); }
    void SetEndOnEsc(int nOn) { SetFrameFlag(FlagEndOnEsc, nOn); }
    void SetNoDefaultCommand(int nOn) { SetFrameFlag(FlagNoDefaultCommand, nOn); }
    void LockDeactivation(int nOn) { SetFrameFlag(FlagLockDeactivation, nOn); }

    // State
    int IsTopMost() const;
    int IsMaximized() const;
    int IsMinimized() const;
    int ArrangeIcons();
    int SetTop(int nRedraw);
    int SetBottom(int nRedraw);
    int HasMenu() const;
    int DrawMenuBar();
    // The menu bar registered under the frame's system menu (owned by the
    // frame: deleted with its window and with the frame).
    KwMenu* GetMenu() const;
    // Only with a system window: makes the menu the frame's menu bar (null:
    // none) and answers the previous one, which the caller owns from now on.
    KwMenu* SetMenu(KwMenu* pcoMenu);
    static KwWFrame* GetActive();
    int SetActive(int nActivate);
    // Keeps the frame inside the screen: every edge outside is moved
    // inside, the size stays. pnMoved (if given) tells whether it moved.
    KwRect AlignToScreen(int nMove, int* pnMoved);

    // Children. The default push button is the first push button in child
    // order whose default-push property is set.
    KwPushButton* GetDefaultPushButton() const;
    KwWChild* GetDefaultPushChild() const;
    KwWChild* GetDefaultFocusChild() const;
    void AddBufferChild(KwWnd* pcoChild);
    void RemoveBufferChild(KwWnd* pcoChild);
    KwWnd* FindChildBuffer(const char* pszName) const;
    KwWnd* FindChildPtr(const char* pszName) const override;

    // Font and icons
    void SetDefaultFont(const KwFont& coFont);
    void RemoveDefaultFont();
    const KwRect& GetResClientRect() const { return m_coClientRect; }
    const TString& GetIconId() const { return m_coIconId; }
    void SetIconId(const char* pszId) { m_coIconId = pszId; }
    const TString& GetDragIconId() const { return m_coDragIconId; }
    void SetDragIconId(const char* pszId) { m_coDragIconId = pszId; }

    // Overridables, in their slot order after those of KwWnd.
    virtual int EvClose();
    virtual int EvActivate(int nActive, int nMinimized, KwWnd* pcoOther);
    virtual int EvNcActivate(int nActive, int* pnFlag);
    virtual int EvNcMouseMove(const KwPoint& coPoint);
    virtual int EvNcLButtonDown(const KwPoint& coPoint);
    virtual int EvNcLButtonUp(const KwPoint& coPoint);
    virtual int EvNcLButtonDblClk(const KwPoint& coPoint);
    virtual int EvNcRButtonDown(const KwPoint& coPoint);
    virtual int EvNcRButtonUp(const KwPoint& coPoint);
    virtual int EvNcRButtonDblClk(const KwPoint& coPoint);
    virtual int EvNcMButtonDown(const KwPoint& coPoint);
    virtual int EvNcMButtonUp(const KwPoint& coPoint);
    virtual int EvNcMButtonDblClk(const KwPoint& coPoint);
    virtual int EvNcPaint();
    // 1 size, 2 maximize, 3 minimize.
    virtual int EvWantSize(unsigned short unWhat);
    virtual int EvWantMove();
    // Whether a minimized frame may be restored: yes.
    virtual int EvQueryOpenIcon() { return 1; }
    virtual int EvGetMinMaxInfo(KwPoint& coMaxPos, KwSize& coMaxSize, KwSize& coMinTrack, KwSize& coMaxTrack) { return 0; }
    virtual int EvInit();
    virtual int NotifyLooseChild(KwWnd* pcoChild);
    virtual int NotifyGotChild(KwWnd* pcoChild);
    virtual int EvChildCommand(KwWnd* pcoChild) { return 0; }
    virtual int EvMenuInit(KwMenu* pcoMenu) { return 0; }
    virtual int EvPopupMenuInit(KwPopupMenu* pcoPopup, short nIndex) { return 0; }
    virtual int EvMenuClosed() { return 0; }
    virtual int EvMenuSelect(KwMenuItem* pcoItem, int nSystem) { return 0; }
    virtual int EvMenuClicked(KwMenuItem* pcoItem) { return 0; }
    virtual int EvMenuCheckChanged(KwMenuItem* pcoItem, int nChecked) { return 0; }
    virtual int CallDefaultPushHandler();
    virtual int CallDefaultESCHandler();
    virtual int SetTopMost(int nTopMost);
    virtual int MapNotifyLooseChild(KwWnd* pcoChild);
    virtual int MapNotifyGotChild(KwWnd* pcoChild);

    // Overrides of KwWnd
    int IsModalFrame() const override { return m_unStartMode != ModeNone && m_unStartMode != ModeStarted; }
    int IsFrameWindow() const override { return 1; }
    int IsChildWindow() const override { return 0; }
    KwWFrame* GetParentFrame() const override { return const_cast<KwWFrame*>(this); }
    const KwFont& GetUsedFont() const override;
    void Destroy() override;
    int EvPaint(KwPaintDC& coDC) override;
    int EvChar(unsigned short unKey, unsigned long ulKeyData) override;
    int EvSysChar(unsigned short unKey, unsigned long ulKeyData) override;
    int NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex) override;
    int NotifyFullReadFinished(TResource* pcoParent, unsigned long ulIndex) override;
    int NotifyChildFullReadFinished(TResource* pcoChild, unsigned long ulIndex) override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    KwWFrame(const KwWFrame& coOther);
    void WriteData(TFile& coFile) const override;
    void WriteChildren(TFile& coFile) const override;

    // The id of the picture the frame shows as icon: its own icon id, else
    // the application's default icon id; for dragging the drag icon id
    // first.
    TString IconPictureId(int nForDrag) const;

private:
    void SetFrameFlag(unsigned short unFlag, int nOn);
    // Steps of a start shared by the normal and the modal start; 0 when
    // the frame's window went on the way.
    int StartSteps();
    short RunModal(short nMode);
    void ReEnableDisabled();
    int FireNcMouse(const char* pszName, const KwPoint& coPoint);

    int MapClose(KwMessParam* pcoParam) override;
    int MapActivate(KwMessParam* pcoParam) override;
    int MapNcActivate(KwMessParam* pcoParam, int* pnFlag) override;
    int MapNcPaint(KwMessParam* pcoParam) override;
    int MapSysCommand(KwMessParam* pcoParam) override;
    int MapGetMinMaxInfo(KwMessParam* pcoParam) override;
    int MapQueryDragIcon(KwMessParam* pcoParam) override;
    int MapQueryOpen(KwMessParam* pcoParam) override;
    int MapSetCursor(KwMessParam* pcoParam) override;
    int MapNcMouseMove(KwMessParam* pcoParam) override;
    int MapNcLButtonDown(KwMessParam* pcoParam) override;
    int MapNcLButtonUp(KwMessParam* pcoParam) override;
    int MapNcLButtonDblClk(KwMessParam* pcoParam) override;
    int MapNcRButtonDown(KwMessParam* pcoParam) override;
    int MapNcRButtonUp(KwMessParam* pcoParam) override;
    int MapNcRButtonDblClk(KwMessParam* pcoParam) override;
    int MapNcMButtonDown(KwMessParam* pcoParam) override;
    int MapNcMButtonUp(KwMessParam* pcoParam) override;
    int MapNcMButtonDblClk(KwMessParam* pcoParam) override;

    KwHandle m_hDragIcon { 0 };
    std::vector<KwHandle> m_coDisabled;        // the frames this one disabled while modal
    KwWnd* m_pcoFocusChild { nullptr };        // remembered on deactivation; not owned
    KwFont* m_pcoFont { nullptr };             // owned
    short m_nDlgResult { 0 };
    std::vector<KwWnd*> m_coBufferChildren;    // sorted by resource id; not owned
    KwWnd* m_pcoLastBuffer { nullptr };
    KwRect m_coClientRect;
    TString m_coIconId;
    TString m_coDragIconId;
    unsigned short m_unFrameFlags { 0 };
    unsigned short m_unStartMode { ModeNone };
};
