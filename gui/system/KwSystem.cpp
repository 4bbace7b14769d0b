#include "KwSystem.h"

#include "KwAdapterClients.h"
#include "KwProfile.h"
#include "TOpSystem.h"
#include "TUtf8.h"

#include <algorithm>
#include <cstring>
#include <vector>

KwSystem* pcoKwSys = nullptr;

namespace {

enum : unsigned short { CursorArrow = 32512 };

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
    return KwAdapterWindows::Current().Window(m_pcoWindowTable->Lookup(hWnd));
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
    KwAdapterTimers& coTimers = KwAdapterTimers::Current();
    if (KwTimer* pcoTimer = coTimers.Timer(Lookup("TIMER", hTimerId)))
        coTimers.Tick(*pcoTimer, ulSysTime);
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
    const KwAdapterTimers& coTimers = KwAdapterTimers::Current();
    const KwHashTable* pcoTable = GetHash("TIMER");
    for (long i = 0; pcoTable && i < pcoTable->Count(); ++i) {
        if (coTimers.Timer(pcoTable->GetObj(i)) == pcoTimer)
            return 1;
    }
    return 0;
}

// A timer told may stop, which takes it out of the table, and its window's
// handler may stop or delete other timers: the timers are collected first
// and each is told only while it still exists.
void KwSystem::NotifyTimersWindowDestroyed(KwWnd* pcoWnd)
{
    KwAdapterTimers& coAdapterTimers = KwAdapterTimers::Current();
    std::vector<KwTimer*> coTimers(m_coWindowTimers);
    const KwHashTable* pcoTable = GetHash("TIMER");
    for (long i = 0; pcoTable && i < pcoTable->Count(); ++i) {
        KwTimer* pcoTimer = coAdapterTimers.Timer(pcoTable->GetObj(i));
        if (pcoTimer && std::find(coTimers.begin(), coTimers.end(), pcoTimer) == coTimers.end())
            coTimers.push_back(pcoTimer);
    }
    for (KwTimer* pcoTimer : coTimers) {
        if (IsTimerAlive(pcoTimer))
            coAdapterTimers.WindowDestroyed(*pcoTimer, pcoWnd);
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
    KwAdapterWindows& coWindows = KwAdapterWindows::Current();
    if (pcoOld)
        coWindows.MouseLeave(*pcoOld, pcoNew, nLeaveFlag);
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
    coWindows.MouseEnter(*pcoNew, pcoOld, nEnterFlag);
}

// Dispatch

// The switch from a message to a window's Map handler is the windows
// family's (KwAdapterWindows); the adapter keeps what is its own: the
// current message and the paint depth, restored after a nested message.
KwDispatchResult KwSystem::DispatchMessage(KwWnd& coWnd, KwMessage& coParam, int nSystemControl)
{
    const KwMessage coOuter = m_coActMessage;
    const int nOuterPaint = m_nPaintDepth;
    coParam.ClearResult();
    m_coActMessage = coParam;
    const KwDispatchResult coResult = KwAdapterWindows::Current().Dispatch(*this, coWnd, coParam, nSystemControl);
    m_coActMessage = coOuter;
    m_nPaintDepth = nOuterPaint;
    return coResult;
}
