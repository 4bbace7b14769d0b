#include "KwFakeSystem.h"

#include "KwMessages.h"
#include "KwWnd.h"
#include "TOpSystem.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

std::string RectText(const KwRect& coRect)
{
    char szText[64];
    std::snprintf(szText, sizeof szText, "%d,%d,%d,%d", coRect.Left(), coRect.Top(), coRect.Right(), coRect.Bottom());
    return szText;
}

// The long parameter of a message with two words: low and high.
std::intptr_t MakeLParam(int nLow, int nHigh)
{
    return static_cast<std::intptr_t>((static_cast<unsigned>(nHigh & 0xFFFF) << 16) | static_cast<unsigned>(nLow & 0xFFFF));
}

std::string KindOf(const std::string& strDescription)
{
    return strDescription.substr(0, strDescription.find(' '));
}

} // namespace

std::string KwFakeColor(unsigned long ulColor)
{
    char szText[16];
    std::snprintf(szText, sizeof szText, "%06lx", ulColor & 0xFFFFFFUL);
    return szText;
}

KwFakeSystem::KwFakeSystem()
    : KwSystem("fake window system")
{
}

KwFakeSystem::~KwFakeSystem() = default;

std::vector<std::string> KwFakeSystem::Lines(const char* pszStart) const
{
    std::vector<std::string> coLines;
    for (const std::string& strLine : coLog) {
        if (strLine.compare(0, std::strlen(pszStart), pszStart) == 0)
            coLines.push_back(strLine);
    }
    return coLines;
}

std::string KwFakeSystem::ColorOf(KwHandle hObject) const
{
    auto it = coObjects.find(hObject);
    if (it == coObjects.end())
        return "none";
    const size_t nAt = it->second.find("color=");
    return nAt == std::string::npos ? "none" : it->second.substr(nAt + 6, 6);
}

std::intptr_t KwFakeSystem::Send(KwHandle hWnd, unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam)
{
    auto it = coWindows.find(hWnd);
    if (it == coWindows.end())
        return 0;
    KwWnd* pcoWnd = it->second.pcoObject;
    if (!pcoWnd) {
        coDefaults.push_back(unMsg);
        return 0;
    }
    KwMessParamWinNT coParam(hWnd, unMsg, wParam, lParam);
    const KwDispatchResult coResult = DispatchMessage(*pcoWnd, coParam, 0);
    if (coResult.nDefault) {
        coDefaults.push_back(unMsg);
        return unMsg == KwMsg::NcCreate ? 1 : 0;
    }
    return coResult.lResult;
}

// Windows

KwWnd* KwFakeSystem::GetWindowObject(KwHandle hWnd) const
{
    auto it = coWindows.find(hWnd);
    return it == coWindows.end() ? nullptr : it->second.pcoObject;
}

KwHandle KwFakeSystem::CreateWindowEx(KwWnd* pcoWnd, KwWnd* pcoParent, const char*)
{
    const KwHandle hWnd = m_hNext++;
    TWindow& coWindow = coWindows[hWnd];
    coWindow.hParent = pcoParent ? pcoParent->GetHandle() : 0;
    coWindow.ulStyle = pcoWnd->GetStyle();
    coWindow.ulExStyle = pcoWnd->GetExStyle();
    coWindow.coRect = KwRect(pcoWnd->GetPos(), pcoWnd->GetSize());
    coWindow.pcoObject = pcoWnd;
    if (coWindow.hParent && coWindows.count(coWindow.hParent))
        coWindows[coWindow.hParent].coChildren.push_back(hWnd);
    pcoWnd->Connect(hWnd);
    Send(hWnd, KwMsg::NcCreate);
    Send(hWnd, KwMsg::Create);
    return hWnd;
}

// As Win32: the window and then its descendants are told that they are
// being destroyed, then the descendants and last the window get their final
// message.
int KwFakeSystem::DestroyWindow(KwHandle hWnd)
{
    if (!coWindows.count(hWnd))
        return 0;
    DestroyTree(hWnd);
    NcDestroyTree(hWnd);
    return 1;
}

void KwFakeSystem::DestroyTree(KwHandle hWnd)
{
    if (!coWindows.count(hWnd))
        return;
    Send(hWnd, KwMsg::Destroy);
    const std::vector<KwHandle> coChildren = coWindows.count(hWnd) ? coWindows[hWnd].coChildren : std::vector<KwHandle>();
    for (KwHandle hChild : coChildren)
        DestroyTree(hChild);
}

void KwFakeSystem::NcDestroyTree(KwHandle hWnd)
{
    if (!coWindows.count(hWnd))
        return;
    const std::vector<KwHandle> coChildren = coWindows[hWnd].coChildren;
    for (KwHandle hChild : coChildren)
        NcDestroyTree(hChild);
    if (hFocus == hWnd)
        hFocus = 0;
    if (hCapture == hWnd)
        hCapture = 0;
    Send(hWnd, KwMsg::NcDestroy);
    auto it = coWindows.find(hWnd);
    if (it == coWindows.end())
        return;
    const KwHandle hParent = it->second.hParent;
    coWindows.erase(it);
    if (coWindows.count(hParent)) {
        auto& coSiblings = coWindows[hParent].coChildren;
        coSiblings.erase(std::remove(coSiblings.begin(), coSiblings.end(), hWnd), coSiblings.end());
    }
}

int KwFakeSystem::ShowWindow(KwHandle hWnd, short nShow)
{
    if (!coWindows.count(hWnd))
        return 0;
    TWindow& coWindow = coWindows[hWnd];
    const int nWasVisible = (coWindow.ulStyle & KwStyle::Visible) != 0;
    if (nShow == 1)
        coWindow.ulStyle &= ~KwStyle::Visible;
    else
        coWindow.ulStyle |= KwStyle::Visible;
    return nWasVisible;
}

KwRect KwFakeSystem::GetWindowRect(KwHandle hWnd) const
{
    auto it = coWindows.find(hWnd);
    if (it == coWindows.end())
        return KwRect();
    KwRect coRect = it->second.coRect;
    if (it->second.hParent) {
        const KwPoint coOrigin = ClientToScreen(it->second.hParent, KwPoint());
        coRect.Move(coOrigin);
    }
    return coRect;
}

KwRect KwFakeSystem::GetClientRect(KwHandle hWnd) const
{
    auto it = coWindows.find(hWnd);
    return it == coWindows.end() ? KwRect() : KwRect(KwPoint(), it->second.coRect.Size());
}

int KwFakeSystem::MoveWindow(KwHandle hWnd, const KwRect& coRect, int)
{
    if (!coWindows.count(hWnd))
        return 0;
    coWindows[hWnd].coRect = coRect;
    Send(hWnd, KwMsg::Move, 0, MakeLParam(coRect.Left(), coRect.Top()));
    Send(hWnd, KwMsg::Size, 0, MakeLParam(coRect.Width(), coRect.Height()));
    return 1;
}

KwHandle KwFakeSystem::GetParent(KwHandle hWnd) const
{
    auto it = coWindows.find(hWnd);
    return it == coWindows.end() ? 0 : it->second.hParent;
}

KwHandle KwFakeSystem::GetRelative(KwHandle hWnd, KwRelation nRelation) const
{
    auto it = coWindows.find(hWnd);
    if (it == coWindows.end())
        return 0;
    if (nRelation == KwRelation::FirstChild)
        return it->second.coChildren.empty() ? 0 : it->second.coChildren.front();
    auto itParent = coWindows.find(it->second.hParent);
    if (itParent == coWindows.end())
        return 0;
    const std::vector<KwHandle>& coSiblings = itParent->second.coChildren;
    const auto itSelf = std::find(coSiblings.begin(), coSiblings.end(), hWnd);
    switch (nRelation) {
    case KwRelation::FirstSibling:
        return coSiblings.front();
    case KwRelation::LastSibling:
        return coSiblings.back();
    case KwRelation::Next:
        return itSelf + 1 < coSiblings.end() ? *(itSelf + 1) : 0;
    case KwRelation::Previous:
        return itSelf > coSiblings.begin() ? *(itSelf - 1) : 0;
    default:
        return 0;
    }
}

int KwFakeSystem::IsWindowVisible(KwHandle hWnd) const
{
    for (KwHandle h = hWnd; h; h = GetParent(h)) {
        if (!(GetWindowStyle(h) & KwStyle::Visible))
            return 0;
    }
    return IsWindow(hWnd);
}

int KwFakeSystem::IsWindowEnabled(KwHandle hWnd) const
{
    auto it = coWindows.find(hWnd);
    return it != coWindows.end() && it->second.nEnabled;
}

int KwFakeSystem::EnableWindow(KwHandle hWnd, int nEnable)
{
    if (!coWindows.count(hWnd))
        return 0;
    const int nWasDisabled = !coWindows[hWnd].nEnabled;
    coWindows[hWnd].nEnabled = nEnable ? 1 : 0;
    return nWasDisabled;
}

unsigned long KwFakeSystem::GetWindowStyle(KwHandle hWnd) const
{
    auto it = coWindows.find(hWnd);
    return it == coWindows.end() ? 0 : it->second.ulStyle;
}

void KwFakeSystem::SetWindowStyle(KwHandle hWnd, unsigned long ulStyle)
{
    if (coWindows.count(hWnd))
        coWindows[hWnd].ulStyle = ulStyle;
}

unsigned long KwFakeSystem::GetWindowExStyle(KwHandle hWnd) const
{
    auto it = coWindows.find(hWnd);
    return it == coWindows.end() ? 0 : it->second.ulExStyle;
}

KwHandle KwFakeSystem::SetFocus(KwHandle hWnd)
{
    const KwHandle hOld = hFocus;
    if (hOld == hWnd)
        return hOld;
    hFocus = hWnd;
    if (hOld)
        Send(hOld, KwMsg::KillFocus, static_cast<std::uintptr_t>(hWnd));
    if (hWnd)
        Send(hWnd, KwMsg::SetFocus, static_cast<std::uintptr_t>(hOld));
    return hOld;
}

KwHandle KwFakeSystem::SetCapture(KwHandle hWnd)
{
    const KwHandle hOld = hCapture;
    hCapture = hWnd;
    if (hOld && hOld != hWnd)
        Send(hOld, KwMsg::CaptureChanged, 0, static_cast<std::intptr_t>(hWnd));
    return hOld;
}

int KwFakeSystem::ReleaseCapture()
{
    const KwHandle hOld = hCapture;
    hCapture = 0;
    if (hOld)
        Send(hOld, KwMsg::CaptureChanged, 0, 0);
    return 1;
}

int KwFakeSystem::GetWindowTextLength(KwHandle hWnd) const
{
    auto it = coWindows.find(hWnd);
    return it == coWindows.end() ? 0 : static_cast<int>(it->second.strText.size());
}

int KwFakeSystem::GetWindowText(KwHandle hWnd, char* pszText, int nSize) const
{
    auto it = coWindows.find(hWnd);
    if (!pszText || nSize <= 0 || it == coWindows.end())
        return 0;
    const int nCopy = std::min(static_cast<int>(it->second.strText.size()), nSize - 1);
    std::memcpy(pszText, it->second.strText.data(), static_cast<size_t>(nCopy));
    pszText[nCopy] = 0;
    return nCopy;
}

int KwFakeSystem::SetWindowText(KwHandle hWnd, const char* pszText)
{
    if (!coWindows.count(hWnd))
        return 0;
    coWindows[hWnd].strText = pszText ? pszText : "";
    return 1;
}

int KwFakeSystem::InvalidateRect(KwHandle hWnd, const KwRect* pcoRect, int)
{
    Log("Invalidate " + (pcoRect ? RectText(*pcoRect) : std::string("all")));
    return IsWindow(hWnd);
}

KwPoint KwFakeSystem::ClientToScreen(KwHandle hWnd, const KwPoint& coPoint) const
{
    KwPoint coResult = coPoint;
    for (KwHandle h = hWnd; h; h = GetParent(h)) {
        auto it = coWindows.find(h);
        if (it == coWindows.end())
            break;
        coResult += it->second.coRect.TopLeft();
    }
    return coResult;
}

KwPoint KwFakeSystem::ScreenToClient(KwHandle hWnd, const KwPoint& coPoint) const
{
    return KwPoint(coPoint - ClientToScreen(hWnd, KwPoint()));
}

std::intptr_t KwFakeSystem::SendMessage(KwHandle hWnd, unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam)
{
    return Send(hWnd, unMsg, wParam, lParam);
}

int KwFakeSystem::PostMessage(KwHandle hWnd, unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam)
{
    char szLine[64];
    std::snprintf(szLine, sizeof szLine, "Post %u", unMsg);
    Log(szLine);
    if (!IsWindow(hWnd))
        return 0;
    coPosted.push_back(TPosted { hWnd, unMsg, wParam, lParam });
    return 1;
}

void KwFakeSystem::DeliverPosted()
{
    while (!coPosted.empty()) {
        const TPosted coMessage = coPosted.front();
        coPosted.erase(coPosted.begin());
        Send(coMessage.hWnd, coMessage.unMsg, coMessage.wParam, coMessage.lParam);
    }
}

int KwFakeSystem::RemoveMessClose(KwHandle hWnd)
{
    const size_t nBefore = coPosted.size();
    coPosted.erase(std::remove_if(coPosted.begin(), coPosted.end(),
                                  [hWnd](const TPosted& coMessage) {
                                      return coMessage.unMsg == KwMsg::Close && (!hWnd || coMessage.hWnd == hWnd);
                                  }),
                   coPosted.end());
    return static_cast<int>(nBefore - coPosted.size());
}

int KwFakeSystem::ExecuteProcess(const char* pszCommandLine, const char* pszWorkDir, short nShow)
{
    coExecuted.push_back(std::string(pszCommandLine) + "|" + (pszWorkDir ? pszWorkDir : "") + "|" + std::to_string(nShow));
    return 1;
}

int KwFakeSystem::SystemMessageBox(const char* pszText, const char* pszTitle, unsigned)
{
    Log(std::string("SystemMessageBox ") + (pszTitle ? pszTitle : "") + ": " + (pszText ? pszText : ""));
    TOpSystem::CallMessageHandler(pszText, pszTitle);
    return 1;
}

std::intptr_t KwFakeSystem::SysEventDefault(const KwWnd&, const KwMessParamWinNT& coParam)
{
    char szLine[64];
    std::snprintf(szLine, sizeof szLine, "EventDefault %u", coParam.GetMessage());
    Log(szLine);
    return 0;
}

void KwFakeSystem::DetachWindowObject(KwWnd& coWnd)
{
    auto it = coWindows.find(coWnd.GetHandle());
    if (it != coWindows.end() && it->second.pcoObject == &coWnd)
        it->second.pcoObject = nullptr;
}

KwHandle KwFakeSystem::SetCursor(KwHandle hCursor)
{
    const KwHandle hOld = m_hCursor;
    m_hCursor = hCursor;
    return hOld;
}

int KwFakeSystem::ModalLoop(const KwWnd* pcoWnd, unsigned short)
{
    Log("ModalLoop");
    if (fnInModalLoop)
        fnInModalLoop();
    DeliverPosted();
    return m_nQuit;
}

void KwFakeSystem::PostQuitMessage(int nExitCode)
{
    m_nQuit = 1;
    Log("PostQuit " + std::to_string(nExitCode));
}

// Device contexts and drawing objects

KwFakeSystem::TDc* KwFakeSystem::Dc(KwHandle hDC)
{
    auto it = coDcs.find(hDC);
    return it == coDcs.end() ? nullptr : &it->second;
}

KwHandle KwFakeSystem::NewObject(const std::string& strDescription)
{
    const KwHandle hObject = m_hNext++;
    coObjects[hObject] = strDescription;
    return hObject;
}

KwHandle KwFakeSystem::NewDc(KwHandle hWnd)
{
    const KwHandle hDC = m_hNext++;
    TDc& coDc = coDcs[hDC];
    coDc.hWnd = hWnd;
    coDc.hPen = NewObject("pen own color=000000");
    coDc.hBrush = NewObject("brush own color=ffffff");
    coDc.hFont = NewObject("font own");
    coDc.hBitmap = NewObject("bitmap own");
    coDc.ahOwn[0] = coDc.hPen;
    coDc.ahOwn[1] = coDc.hBrush;
    coDc.ahOwn[2] = coDc.hFont;
    coDc.ahOwn[3] = coDc.hBitmap;
    return hDC;
}

KwHandle KwFakeSystem::GetDC(KwHandle hWnd)
{
    Log("GetDC");
    return NewDc(hWnd);
}

int KwFakeSystem::ReleaseDC(KwHandle, KwHandle hDC)
{
    Log("ReleaseDC");
    return DropDc(hDC);
}

// A context that goes takes its own drawing objects along.
int KwFakeSystem::DropDc(KwHandle hDC)
{
    auto it = coDcs.find(hDC);
    if (it == coDcs.end())
        return 0;
    for (KwHandle hOwn : it->second.ahOwn)
        coObjects.erase(hOwn);
    coDcs.erase(it);
    return 1;
}

KwHandle KwFakeSystem::CreateCompatibleDC(KwHandle)
{
    return NewDc(0);
}

int KwFakeSystem::DeleteDC(KwHandle hDC)
{
    return DropDc(hDC);
}

// The paint context is kept in the system's part of the paint record, as
// the system keeps it, and goes with the end of the paint.
KwHandle KwFakeSystem::BeginPaint(KwHandle hWnd, KwPaintStruct& coPaint)
{
    Log("BeginPaint");
    coPaint.coPaint = GetClientRect(hWnd);
    const KwHandle hDC = NewDc(hWnd);
    std::memcpy(coPaint.abSystem, &hDC, sizeof hDC);
    return hDC;
}

int KwFakeSystem::EndPaint(KwHandle, KwPaintStruct& coPaint)
{
    Log("EndPaint");
    KwHandle hDC = 0;
    std::memcpy(&hDC, coPaint.abSystem, sizeof hDC);
    DropDc(hDC);
    return 1;
}

KwHandle KwFakeSystem::CreatePen(unsigned short unStyle, short nWidth, unsigned long ulColor)
{
    return NewObject("pen style=" + std::to_string(unStyle) + " width=" + std::to_string(nWidth) + " color=" + KwFakeColor(ulColor));
}

KwHandle KwFakeSystem::CreateBrush(unsigned short unStyle, short nHatch, unsigned long ulColor, KwHandle)
{
    return NewObject("brush style=" + std::to_string(unStyle) + " hatch=" + std::to_string(nHatch) + " color=" + KwFakeColor(ulColor));
}

KwHandle KwFakeSystem::CreateFont(const KwLogFont& coFont)
{
    return NewObject(std::string("font face=") + coFont.GetName() + " height=" + std::to_string(coFont.m_nHeight));
}

KwHandle KwFakeSystem::CreateRectRgn(const KwRect& coRect)
{
    return NewObject("region " + RectText(coRect));
}

KwHandle KwFakeSystem::CreateBitmap(const KwSize& coSize, unsigned short, unsigned short, const void*)
{
    return NewObject("bitmap " + std::to_string(coSize.Width()) + "x" + std::to_string(coSize.Height()));
}

KwHandle KwFakeSystem::CreateCompatibleBitmap(KwHandle, const KwSize& coSize)
{
    return CreateBitmap(coSize, 1, 32, nullptr);
}

KwSize KwFakeSystem::GetBitmapSize(KwHandle hBitmap) const
{
    auto it = coObjects.find(hBitmap);
    int nWidth = 0;
    int nHeight = 0;
    if (it != coObjects.end())
        std::sscanf(it->second.c_str(), "bitmap %dx%d", &nWidth, &nHeight);
    return KwSize(static_cast<short>(nWidth), static_cast<short>(nHeight));
}

int KwFakeSystem::DeleteObject(KwHandle hObject)
{
    for (const auto& coEntry : coDcs) {
        const TDc& coDc = coEntry.second;
        if (coDc.hPen == hObject || coDc.hBrush == hObject || coDc.hFont == hObject || coDc.hBitmap == hObject)
            ++nDeletedWhileSelected;
    }
    return coObjects.erase(hObject) ? 1 : 0;
}

KwHandle KwFakeSystem::SelectObject(KwHandle hDC, KwHandle hObject)
{
    TDc* pcoDc = Dc(hDC);
    auto it = coObjects.find(hObject);
    if (!pcoDc || it == coObjects.end())
        return 0;
    const std::string strKind = KindOf(it->second);
    KwHandle* phSlot = strKind == "pen" ? &pcoDc->hPen : strKind == "brush" ? &pcoDc->hBrush
        : strKind == "font" ? &pcoDc->hFont : strKind == "bitmap" ? &pcoDc->hBitmap : nullptr;
    if (!phSlot)
        return 0;
    const KwHandle hOld = *phSlot;
    *phSlot = hObject;
    Log("Select " + it->second);
    return hOld;
}

unsigned long KwFakeSystem::SetBkColor(KwHandle hDC, unsigned long ulColor)
{
    TDc* pcoDc = Dc(hDC);
    if (!pcoDc)
        return 0;
    const unsigned long ulOld = pcoDc->ulBkColor;
    pcoDc->ulBkColor = ulColor;
    return ulOld;
}

unsigned long KwFakeSystem::GetBkColor(KwHandle hDC) const
{
    auto it = coDcs.find(hDC);
    return it == coDcs.end() ? 0 : it->second.ulBkColor;
}

unsigned long KwFakeSystem::SetTextColor(KwHandle hDC, unsigned long ulColor)
{
    TDc* pcoDc = Dc(hDC);
    if (!pcoDc)
        return 0;
    const unsigned long ulOld = pcoDc->ulTextColor;
    pcoDc->ulTextColor = ulColor;
    return ulOld;
}

unsigned long KwFakeSystem::GetTextColor(KwHandle hDC) const
{
    auto it = coDcs.find(hDC);
    return it == coDcs.end() ? 0 : it->second.ulTextColor;
}

unsigned KwFakeSystem::GetTextAlign(KwHandle hDC) const
{
    auto it = coDcs.find(hDC);
    return it == coDcs.end() ? 0 : it->second.unAlign;
}

unsigned KwFakeSystem::SetTextAlign(KwHandle hDC, unsigned unAlign)
{
    TDc* pcoDc = Dc(hDC);
    if (!pcoDc)
        return 0;
    const unsigned unOld = pcoDc->unAlign;
    pcoDc->unAlign = unAlign;
    return unOld;
}

int KwFakeSystem::IntersectClipRect(KwHandle, const KwRect& coRect)
{
    Log("Clip " + RectText(coRect));
    return 1;
}

int KwFakeSystem::Polyline(KwHandle hDC, const KwPoint* pcoPoints, short nCount)
{
    TDc* pcoDc = Dc(hDC);
    if (!pcoDc)
        return 0;
    std::string strLine = "Polyline";
    for (short i = 0; i < nCount; ++i)
        strLine += " " + std::to_string(pcoPoints[i].X()) + "," + std::to_string(pcoPoints[i].Y());
    Log(strLine + " pen=" + ColorOf(pcoDc->hPen));
    return 1;
}

int KwFakeSystem::Rectangle(KwHandle hDC, const KwRect& coRect)
{
    TDc* pcoDc = Dc(hDC);
    if (!pcoDc)
        return 0;
    const std::string strBrush = coObjects.count(pcoDc->hBrush) ? coObjects[pcoDc->hBrush] : "none";
    const std::string strFill = strBrush.find("style=0") != std::string::npos ? "hollow" : ColorOf(pcoDc->hBrush);
    Log("Rectangle " + RectText(coRect) + " pen=" + ColorOf(pcoDc->hPen) + " brush=" + strFill);
    return 1;
}

int KwFakeSystem::FillRect(KwHandle, const KwRect& coRect, KwHandle hBrush)
{
    Log("FillRect " + RectText(coRect) + " brush=" + ColorOf(hBrush));
    return 1;
}

int KwFakeSystem::DrawFocusRect(KwHandle, const KwRect& coRect)
{
    Log("DrawFocusRect " + RectText(coRect));
    return 1;
}

int KwFakeSystem::BitBlt(KwHandle hDC, const KwPoint& coDest, const KwSize& coSize, KwHandle, const KwPoint&, unsigned long ulRop)
{
    char szLine[96];
    std::snprintf(szLine, sizeof szLine, "BitBlt %d,%d %dx%d rop=%06lx", coDest.X(), coDest.Y(), coSize.Width(), coSize.Height(), ulRop);
    Log(szLine);
    return Dc(hDC) ? 1 : 0;
}

int KwFakeSystem::TextOut(KwHandle hDC, const KwPoint& coPoint, const char* pszText, int nLength)
{
    TDc* pcoDc = Dc(hDC);
    if (!pcoDc)
        return 0;
    Log("TextOut " + std::to_string(coPoint.X()) + "," + std::to_string(coPoint.Y()) + " '" + std::string(pszText, static_cast<size_t>(nLength))
        + "' align=" + std::to_string(pcoDc->unAlign));
    return 1;
}

int KwFakeSystem::DrawText(KwHandle hDC, KwRect& coRect, const char* pszText, int nLength, unsigned unFlags, int nTabWidth)
{
    if (!Dc(hDC))
        return 0;
    char szFlags[64];
    std::snprintf(szFlags, sizeof szFlags, " flags=%04x tab=%d", unFlags, nTabWidth);
    Log("DrawText " + RectText(coRect) + " '" + std::string(pszText, static_cast<size_t>(nLength)) + "'" + szFlags);
    if (unFlags & 0x0400)
        coRect.Set(coRect.TopLeft(), GetTextExtent(hDC, pszText, nLength));
    return 13;
}

KwSize KwFakeSystem::GetTextExtent(KwHandle, const char*, int nLength) const
{
    return KwSize(static_cast<short>(7 * nLength), 13);
}

int KwFakeSystem::GetTextMetrics(KwHandle, KwTextMetrics& coMetrics) const
{
    coMetrics.lHeight = 13;
    coMetrics.lAscent = 10;
    coMetrics.lDescent = 3;
    coMetrics.lInternalLeading = 2;
    return 1;
}

KwHandle KwFakeSystem::SetSystemTimer(unsigned long ulElapse)
{
    const KwHandle hId = m_hNext++;
    coTimers.push_back(hId);
    Log("SetTimer " + std::to_string(ulElapse));
    return hId;
}

int KwFakeSystem::KillSystemTimer(KwHandle hTimerId)
{
    const auto it = std::find(coTimers.begin(), coTimers.end(), hTimerId);
    if (it == coTimers.end())
        return 0;
    coTimers.erase(it);
    Log("KillTimer");
    return 1;
}
