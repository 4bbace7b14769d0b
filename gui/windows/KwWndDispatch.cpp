#include "KwAdapterClients.h"
#include "KwFont.h"
#include "KwMessages.h"
#include "KwWSystem.h"
#include "KwWnd.h"

// What the platform adapter asks of windows (KwAdapterClients.h): the
// switch from a message to the window's Map handler, the mouse entering
// and leaving, and what a platform adapter reads of a window and sets in
// it. Registered when the library is loaded.

namespace {

KwDispatchResult Answer(std::intptr_t lResult)
{
    KwDispatchResult coResult;
    coResult.nDefault = 0;
    coResult.lResult = lResult;
    return coResult;
}

KwDispatchResult Default()
{
    return KwDispatchResult();
}

// The common rule: a handler result of 0 asks for the default processing,
// any other answers 0.
KwDispatchResult Rule(int nHandled)
{
    return nHandled ? Answer(0) : Default();
}

// The rule of messages without a handler of their own: the result the
// handler put into the parameter block.
KwDispatchResult UserRule(int nHandled, const KwMessage& coParam)
{
    if (!nHandled)
        return Default();
    return Answer(coParam.IsResultSet() ? coParam.GetResult() : 0);
}

} // namespace

// A friend of KwWnd: the Map handlers are the window's private slots.
class KwWndDispatch final : public KwAdapterWindows {
public:
    KwWnd* Window(KwRes* pcoEntry) const override { return static_cast<KwWnd*>(pcoEntry); }

    // The window counts the dispatch, so that a window destroyed by its own
    // handler is deleted when the outermost message returns.
    KwDispatchResult Dispatch(KwSystem& coSys, KwWnd& coWnd, KwMessage& coParam, int nSystemControl) override
    {
        KwDispatchScope<KwWnd> coScope(coWnd);
        return nSystemControl ? DispatchControl(coSys, coWnd, coParam) : DispatchWindow(coSys, coWnd, coParam);
    }
    void MouseLeave(KwWnd& coWnd, KwWnd* pcoOther, int nFlag) override
    {
        KwWnd::Guarded(coWnd, [&] { return coWnd.MapMouseLeave(pcoOther, nFlag); });
    }
    void MouseEnter(KwWnd& coWnd, KwWnd* pcoOther, int nFlag) override
    {
        KwWnd::Guarded(coWnd, [&] { return coWnd.MapMouseEnter(pcoOther, nFlag); });
    }

    KwHandle Handle(const KwWnd& coWnd) const override { return coWnd.GetHandle(); }
    void Connect(KwWnd& coWnd, KwHandle hWnd) override { coWnd.Connect(hWnd); }
    TShape Shape(const KwWnd& coWnd) const override { return TShape { coWnd.GetPos(), coWnd.GetSize(), coWnd.GetStyle(), coWnd.GetExStyle() }; }
    void* DefaultWindowProc(const KwWnd& coWnd) const override { return coWnd.GetDefaultWindowProc(); }
    int IsSystemControl(const KwWnd& coWnd) const override { return dynamic_cast<const KwWSystem*>(&coWnd) ? 1 : 0; }
    void SetDefaultWindowProc(KwWnd& coWnd, void* pvProc) override;
    KwHandle FontHandle(const KwFont& coFont) override;

private:
    static KwDispatchResult DispatchWindow(KwSystem& coSys, KwWnd& coWnd, KwMessage& coParam);
    static KwDispatchResult DispatchControl(KwSystem& coSys, KwWnd& coWnd, KwMessage& coParam);
    static KwDispatchResult DispatchCommon(KwSystem& coSys, KwWnd& coWnd, KwMessage& coParam);
    static int DispatchDDE(KwWnd& coWnd, KwMessage& coParam);
};

KwDispatchResult KwWndDispatch::DispatchWindow(KwSystem& coSys, KwWnd& coWnd, KwMessage& coParam)
{
    KwMessage* pcoParam = &coParam;
    const unsigned unMsg = coParam.GetMessage();
    if (unMsg >= KwMsg::CtlColorFirst && unMsg <= KwMsg::CtlColorLast)
        return coWnd.MapCtlColor(pcoParam) ? Answer(static_cast<std::intptr_t>(coSys.GetControlColorBrush())) : Default();
    if (unMsg >= KwMsg::DDEInitiate && unMsg <= KwMsg::DDEExecute)
        return Rule(DispatchDDE(coWnd, coParam));
    switch (unMsg) {
    case KwMsg::Create: return Rule(coWnd.MapCreate(pcoParam));
    case KwMsg::NcCreate: return Rule(coWnd.MapNcCreate(pcoParam));
    case KwMsg::Activate: return Rule(coWnd.MapActivate(pcoParam));
    case KwMsg::Close: return Rule(coWnd.MapClose(pcoParam));
    case KwMsg::QueryEndSession: return Answer(coWnd.MapQueryEndSession(pcoParam) ? 1 : 0);
    case KwMsg::QueryOpen: return Answer(coWnd.MapQueryOpen(pcoParam));
    case KwMsg::ActivateApp: return Rule(coWnd.MapActivateApp(pcoParam));
    case KwMsg::DrawItem: return Rule(coWnd.MapDrawItem(pcoParam));
    case KwMsg::MeasureItem: return Rule(coWnd.MapMeasureItem(pcoParam));
    case KwMsg::QueryDragIcon: {
        const int nHandled = coWnd.MapQueryDragIcon(pcoParam);
        return nHandled && coParam.IsResultSet() ? Answer(coParam.GetResult()) : Default();
    }
    case KwMsg::NcPaint: {
        coSys.SetPaintEvent(1);
        const int nHandled = coWnd.MapNcPaint(pcoParam);
        coSys.SetPaintEvent(0);
        return Rule(nHandled);
    }
    case KwMsg::NcActivate: {
        int nFlag = 0;
        if (!coWnd.MapNcActivate(pcoParam, &nFlag))
            return Default();
        return Answer(nFlag ? 1 : 0);
    }
    case KwMsg::NcMouseMove: return Answer(coWnd.MapNcMouseMove(pcoParam));
    case KwMsg::NcLButtonDown: return Rule(coWnd.MapNcLButtonDown(pcoParam));
    case KwMsg::NcLButtonUp: return Rule(coWnd.MapNcLButtonUp(pcoParam));
    case KwMsg::NcLButtonDblClk: return Rule(coWnd.MapNcLButtonDblClk(pcoParam));
    case KwMsg::NcRButtonDown: return Rule(coWnd.MapNcRButtonDown(pcoParam));
    case KwMsg::NcRButtonUp: return Rule(coWnd.MapNcRButtonUp(pcoParam));
    case KwMsg::NcRButtonDblClk: return Rule(coWnd.MapNcRButtonDblClk(pcoParam));
    case KwMsg::NcMButtonDown: return Rule(coWnd.MapNcMButtonDown(pcoParam));
    case KwMsg::NcMButtonUp: return Rule(coWnd.MapNcMButtonUp(pcoParam));
    case KwMsg::NcMButtonDblClk: return Rule(coWnd.MapNcMButtonDblClk(pcoParam));
    case KwMsg::SysCommand: return Rule(coWnd.MapSysCommand(pcoParam));
    case KwMsg::InitMenu: return Rule(coWnd.MapInitMenu(pcoParam));
    case KwMsg::InitMenuPopup: return Rule(coWnd.MapInitMenuPopup(pcoParam));
    case KwMsg::MenuSelect: return Rule(coWnd.MapMenuSelect(pcoParam));
    case KwMsg::MenuChar: return Rule(coWnd.MapMenuChar(pcoParam));
    case KwMsg::QueryNewPalette: return Answer(coWnd.MapQueryNewPalette(pcoParam));
    default: return DispatchCommon(coSys, coWnd, coParam);
    }
}

// The messages that windows and wrapped controls map alike; every other
// message reaches MapUser.
KwDispatchResult KwWndDispatch::DispatchCommon(KwSystem& coSys, KwWnd& coWnd, KwMessage& coParam)
{
    KwMessage* pcoParam = &coParam;
    switch (coParam.GetMessage()) {
    // Destruction always goes on to the default processing, which frees
    // the system's own data of the window.
    case KwMsg::Destroy: coWnd.MapDestroy(pcoParam); return Default();
    case KwMsg::NcDestroy: coWnd.MapNcDestroy(pcoParam); return Default();
    case KwMsg::Move: return Rule(coWnd.MapMove(pcoParam));
    case KwMsg::Size: return Rule(coWnd.MapSize(pcoParam));
    case KwMsg::SetFocus: return Rule(coWnd.MapSetFocus(pcoParam));
    case KwMsg::KillFocus: return Rule(coWnd.MapKillFocus(pcoParam));
    case KwMsg::Paint: {
        coSys.SetPaintEvent(1);
        coWnd.MapPaint(pcoParam);
        coSys.SetPaintEvent(0);
        return Answer(0);
    }
    case KwMsg::EndSession: return Rule(coWnd.MapEndSession(pcoParam));
    case KwMsg::SetCursor: return Rule(coWnd.MapSetCursor(pcoParam));
    case KwMsg::ChildActivate: return Rule(coWnd.MapChildActivate(pcoParam));
    case KwMsg::GetMinMaxInfo: return Rule(coWnd.MapGetMinMaxInfo(pcoParam));
    case KwMsg::Command: return Rule(coWnd.MapCommand(pcoParam));
    case KwMsg::KeyDown: return Rule(coWnd.MapKeyDown(pcoParam));
    case KwMsg::KeyUp: return Rule(coWnd.MapKeyUp(pcoParam));
    case KwMsg::Char: return Rule(coWnd.MapChar(pcoParam));
    case KwMsg::DeadChar: return Rule(coWnd.MapDeadChar(pcoParam));
    case KwMsg::SysKeyDown: return Rule(coWnd.MapSysKeyDown(pcoParam));
    case KwMsg::SysKeyUp: return Rule(coWnd.MapSysKeyUp(pcoParam));
    case KwMsg::SysChar: return Rule(coWnd.MapSysChar(pcoParam));
    case KwMsg::HScroll: return Rule(coWnd.MapHScroll(pcoParam));
    case KwMsg::VScroll: return Rule(coWnd.MapVScroll(pcoParam));
    case KwMsg::MouseMove: return Rule(coWnd.MapMouseMove(pcoParam));
    case KwMsg::LButtonDown: return Rule(coWnd.MapLButtonDown(pcoParam));
    case KwMsg::LButtonUp: return Rule(coWnd.MapLButtonUp(pcoParam));
    case KwMsg::LButtonDblClk: return Rule(coWnd.MapLButtonDblClk(pcoParam));
    case KwMsg::RButtonDown: return Rule(coWnd.MapRButtonDown(pcoParam));
    case KwMsg::RButtonUp: return Rule(coWnd.MapRButtonUp(pcoParam));
    case KwMsg::RButtonDblClk: return Rule(coWnd.MapRButtonDblClk(pcoParam));
    case KwMsg::MButtonDown: return Rule(coWnd.MapMButtonDown(pcoParam));
    case KwMsg::MButtonUp: return Rule(coWnd.MapMButtonUp(pcoParam));
    case KwMsg::MButtonDblClk: return Rule(coWnd.MapMButtonDblClk(pcoParam));
    case KwMsg::PaletteChanged: return Rule(coWnd.MapPaletteChanged(pcoParam));
    case KwMsg::CaptureChanged:
    case KwMsg::CancelMode: return UserRule(coWnd.MapCaptureLost(pcoParam), coParam);
    default: return UserRule(coWnd.MapUser(pcoParam), coParam);
    }
}

int KwWndDispatch::DispatchDDE(KwWnd& coWnd, KwMessage& coParam)
{
    KwMessage* pcoParam = &coParam;
    switch (coParam.GetMessage()) {
    case KwMsg::DDEInitiate: return coWnd.MapDDEInitiate(pcoParam);
    case KwMsg::DDETerminate: return coWnd.MapDDETerminate(pcoParam);
    case KwMsg::DDEAdvise: return coWnd.MapDDEAdvise(pcoParam);
    case KwMsg::DDEUnadvise: return coWnd.MapDDEUnadvise(pcoParam);
    case KwMsg::DDEAck: return coWnd.MapDDEAck(pcoParam);
    case KwMsg::DDEData: return coWnd.MapDDEData(pcoParam);
    case KwMsg::DDERequest: return coWnd.MapDDERequest(pcoParam);
    case KwMsg::DDEPoke: return coWnd.MapDDEPoke(pcoParam);
    case KwMsg::DDEExecute: return coWnd.MapDDEExecute(pcoParam);
    default: return 0;
    }
}

// Wrapped system controls: a handled message answers 0, an unhandled one
// goes to the control's own procedure.
KwDispatchResult KwWndDispatch::DispatchControl(KwSystem& coSys, KwWnd& coWnd, KwMessage& coParam)
{
    KwMessage* pcoParam = &coParam;
    switch (coParam.GetMessage()) {
    case KwMsg::QueryEndSession: return Rule(coWnd.MapQueryEndSession(pcoParam));
    default: return DispatchCommon(coSys, coWnd, coParam);
    }
}

void KwWndDispatch::SetDefaultWindowProc(KwWnd& coWnd, void* pvProc)
{
    if (KwWSystem* pcoControl = dynamic_cast<KwWSystem*>(&coWnd))
        pcoControl->SetDefaultWindowProc(pvProc);
}

KwHandle KwWndDispatch::FontHandle(const KwFont& coFont)
{
    KwFont& coUsed = const_cast<KwFont&>(coFont);
    if (!coUsed.GetHandle() && !coUsed.SysCreate())
        return 0;
    return coUsed.GetHandle();
}

namespace {

// Registered when the library is loaded, before any program code runs.
KwAdapterRegistration<KwAdapterWindows, KwWndDispatch> s_coRegistration;

} // namespace
