#include "KwSystem.h"

#include "KwMessages.h"
#include "KwProfile.h"
#include "KwTimer.h"
#include "KwWFrame.h"
#include "KwWnd.h"
#include "TOpSystem.h"
#include "TUtf8.h"

#include <algorithm>
#include <cstring>
#include <vector>

KwSystem* pcoKwSys = nullptr;

namespace {

enum : unsigned short { CursorArrow = 32512 };

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
KwDispatchResult UserRule(int nHandled, const KwMessParamWinNT& coParam)
{
    if (!nHandled)
        return Default();
    return Answer(coParam.IsResultSet() ? coParam.GetResult() : 0);
}

int IsDescendantHandle(const KwSystem& coSys, KwHandle hWnd, KwHandle hAncestor)
{
    if (!hWnd || !hAncestor)
        return 0;
    for (KwHandle h = coSys.GetParent(hWnd); h; h = coSys.GetParent(h)) {
        if (h == hAncestor)
            return 1;
    }
    return 0;
}

} // namespace

KwSystem::KwSystem(const char* pszAdapterName)
    : m_coAdapterName(pszAdapterName)
    , m_pcoWindowTable(m_coTables.GetHash("SYSTEM"))
{
    if (!pcoKwSys)
        pcoKwSys = this;
}

KwSystem::~KwSystem()
{
    if (pcoKwSys == this)
        pcoKwSys = nullptr;
}

KwWnd* KwSystem::LookupWindow(KwHandle hWnd) const
{
    return static_cast<KwWnd*>(m_pcoWindowTable->Lookup(hWnd));
}

int KwSystem::GetWindowText(KwHandle, char* pszText, int nSize) const
{
    if (pszText && nSize > 0)
        *pszText = 0;
    return 0;
}

TString KwSystem::CharText(unsigned long ulCode) const
{
    char achText[5] = {};
    TUtf8::Encode(ulCode, achText);
    return TString(achText);
}

int KwSystem::GetMenuString(KwHandle, unsigned, char* pszText, int nSize, unsigned) const
{
    if (pszText && nSize > 0)
        *pszText = 0;
    return 0;
}

int KwSystem::GetScrollRange(KwHandle, short, short* pnMin, short* pnMax) const
{
    if (pnMin)
        *pnMin = 0;
    if (pnMax)
        *pnMax = 0;
    return 0;
}

KwHandle KwSystem::SetControlColorBrush(unsigned long ulColor)
{
    if (m_hControlBrush && ulColor == m_ulControlColor)
        return m_hControlBrush;
    if (m_hControlBrush)
        DeleteObject(m_hControlBrush);
    m_hControlBrush = CreateBrush(1, 0, ulColor, 0);
    m_ulControlColor = ulColor;
    return m_hControlBrush;
}

KwHandle KwSystem::GetArrowCursor()
{
    if (!m_hArrowCursor)
        m_hArrowCursor = LoadSystemCursor(CursorArrow);
    return m_hArrowCursor;
}

// Profile files and message boxes

TString KwSystem::GetProfileString(const char* pszSection, const char* pszKey, const char* pszFile, const char* pszDefault) const
{
    return KwProfile::GetString(pszSection, pszKey, pszFile, pszDefault);
}

int KwSystem::WriteProfileString(const char* pszSection, const char* pszKey, const char* pszFile, const char* pszValue)
{
    return KwProfile::WriteString(pszSection, pszKey, pszFile, pszValue);
}

int KwSystem::SystemMessageBox(const char* pszText, const char* pszTitle, unsigned)
{
    CurrentOS().Message(pszText, pszTitle);
    return 1;
}

// Timers

KwHandle KwSystem::StartTimer(unsigned long ulElapse)
{
    const KwHandle hId = ulElapse ? SetSystemTimer(ulElapse) : 0;
    if (hId)
        ++m_lTimerCount;
    return hId;
}

int KwSystem::StopTimer(KwHandle hTimerId)
{
    if (!hTimerId)
        return 0;
    const int nKilled = KillSystemTimer(hTimerId);
    if (m_lTimerCount > 0)
        --m_lTimerCount;
    return nKilled;
}

void KwSystem::DispatchTimer(KwHandle hTimerId, unsigned long ulSysTime)
{
    KwTimer* pcoTimer = static_cast<KwTimer*>(Lookup("TIMER", hTimerId));
    if (pcoTimer && !pcoTimer->HasPause())
        pcoTimer->EvTimer(ulSysTime);
}

void KwSystem::RegisterWindowTimer(KwTimer* pcoTimer, int nRegister)
{
    auto it = std::find(m_coWindowTimers.begin(), m_coWindowTimers.end(), pcoTimer);
    if (nRegister && it == m_coWindowTimers.end())
        m_coWindowTimers.push_back(pcoTimer);
    else if (!nRegister && it != m_coWindowTimers.end())
        m_coWindowTimers.erase(it);
}

int KwSystem::IsTimerAlive(const KwTimer* pcoTimer) const
{
    if (std::find(m_coWindowTimers.begin(), m_coWindowTimers.end(), pcoTimer) != m_coWindowTimers.end())
        return 1;
    const KwHashTable* pcoTable = GetHash("TIMER");
    for (long i = 0; pcoTable && i < pcoTable->Count(); ++i) {
        if (pcoTable->GetObj(i) == pcoTimer)
            return 1;
    }
    return 0;
}

// A timer told may stop, which takes it out of the table, and its window's
// handler may stop or delete other timers: the timers are collected first
// and each is told only while it still exists.
void KwSystem::NotifyTimersWindowDestroyed(KwWnd* pcoWnd)
{
    std::vector<KwTimer*> coTimers(m_coWindowTimers);
    const KwHashTable* pcoTable = GetHash("TIMER");
    for (long i = 0; pcoTable && i < pcoTable->Count(); ++i) {
        KwTimer* pcoTimer = static_cast<KwTimer*>(pcoTable->GetObj(i));
        if (std::find(coTimers.begin(), coTimers.end(), pcoTimer) == coTimers.end())
            coTimers.push_back(pcoTimer);
    }
    for (KwTimer* pcoTimer : coTimers) {
        if (IsTimerAlive(pcoTimer))
            pcoTimer->NotifyWindowDestroyed(pcoWnd);
    }
}

// The window under the cursor

void KwSystem::SetCurrentCursorWindow(KwHandle hWnd)
{
    if (hWnd == m_hCursorWnd)
        return;
    const KwHandle hOld = m_hCursorWnd;
    KwWnd* pcoOld = hOld && IsWindow(hOld) ? GetWindowObject(hOld) : nullptr;
    KwWnd* pcoNew = hWnd ? GetWindowObject(hWnd) : nullptr;
    m_hCursorWnd = pcoNew ? hWnd : 0;
    // Moving into a descendant is no leave for the ancestor's flag, and
    // moving back from a descendant no enter for the ancestor's.
    const int nLeaveFlag = pcoNew && IsDescendantHandle(*this, hWnd, hOld) ? 0 : 1;
    const int nEnterFlag = pcoOld && IsDescendantHandle(*this, hOld, hWnd) ? 0 : 1;
    if (pcoOld)
        KwWnd::Guarded(*pcoOld, [&] { return pcoOld->MapMouseLeave(pcoNew, nLeaveFlag); });
    // The leave link may have destroyed either window (a pop-up that closes
    // when the mouse leaves it, or the window entered): both are looked for
    // again by their handles.
    pcoNew = hWnd && IsWindow(hWnd) ? GetWindowObject(hWnd) : nullptr;
    if (!pcoNew) {
        if (m_hCursorWnd == hWnd)
            m_hCursorWnd = 0;
        return;
    }
    pcoOld = hOld && IsWindow(hOld) ? GetWindowObject(hOld) : nullptr;
    KwWnd::Guarded(*pcoNew, [&] { return pcoNew->MapMouseEnter(pcoOld, nEnterFlag); });
}

// Dispatch

KwDispatchResult KwSystem::DispatchMessage(KwWnd& coWnd, KwMessParamWinNT& coParam, int nSystemControl)
{
    const KwMessParamWinNT coOuter = m_coActMessage;
    const int nOuterPaint = m_nPaintDepth;
    coParam.ClearResult();
    m_coActMessage = coParam;
    KwDispatchResult coResult;
    {
        KwDispatchScope<KwWnd> coScope(coWnd);
        coResult = nSystemControl ? DispatchControl(coWnd, coParam) : DispatchWindow(coWnd, coParam);
    }
    m_coActMessage = coOuter;
    m_nPaintDepth = nOuterPaint;
    return coResult;
}

KwDispatchResult KwSystem::DispatchWindow(KwWnd& coWnd, KwMessParamWinNT& coParam)
{
    KwMessParamWinNT* pcoParam = &coParam;
    const unsigned unMsg = coParam.GetMessage();
    if (unMsg >= KwMsg::CtlColorFirst && unMsg <= KwMsg::CtlColorLast)
        return coWnd.MapCtlColor(pcoParam) ? Answer(static_cast<std::intptr_t>(m_hControlBrush)) : Default();
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
        SetPaintEvent(1);
        const int nHandled = coWnd.MapNcPaint(pcoParam);
        SetPaintEvent(0);
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
    default: return DispatchCommon(coWnd, coParam);
    }
}

// The messages that windows and wrapped controls map alike; every other
// message reaches MapUser.
KwDispatchResult KwSystem::DispatchCommon(KwWnd& coWnd, KwMessParamWinNT& coParam)
{
    KwMessParamWinNT* pcoParam = &coParam;
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
        SetPaintEvent(1);
        coWnd.MapPaint(pcoParam);
        SetPaintEvent(0);
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

int KwSystem::DispatchDDE(KwWnd& coWnd, KwMessParamWinNT& coParam)
{
    KwMessParamWinNT* pcoParam = &coParam;
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
KwDispatchResult KwSystem::DispatchControl(KwWnd& coWnd, KwMessParamWinNT& coParam)
{
    KwMessParamWinNT* pcoParam = &coParam;
    switch (coParam.GetMessage()) {
    case KwMsg::QueryEndSession: return Rule(coWnd.MapQueryEndSession(pcoParam));
    default: return DispatchCommon(coWnd, coParam);
    }
}
