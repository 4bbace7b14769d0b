#include "KwApp.h"

#include "KwCodes.h"
#include "KwCursor.h"
#include "KwDC.h"
#include "KwLayout.h"
#include "KwSystem.h"
#include "KwWChild.h"
#include "KwWSystem.h"
#include "KwWFrame.h"
#include "TDynTab.h"
#include "TFileHdl.h"
#include "TOpSystem.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// The table exists before the reference object that uses it.
TMvcEventTable KwApp::m_stcoEvTab { "KwApp", &KwApp::TMvcEventsRegister };
KW_IMPLEMENT_DYNAMIC_CLASS(KwApp, KwRes, "kw25")

namespace {

enum : unsigned short { CursorWait = 32514, MaxArgs = 128, MessageBufferSize = 1024 };
enum : short { LogPixelsX = 88, LogPixelsY = 90, HorzRes = 8, VertRes = 10 };

} // namespace


void KwApp::TMvcEventsRegister()
{
    m_stcoEvTab.RegisterEventType("KW_LINK_RESFILEINSTALLED", "TMvcParam", nullptr, nullptr);
}

KwApp::KwApp() = default;

KwApp::KwApp(const char* pszName, const char* pszProfile, int nLogo)
    : m_coAppName(pszName)
    , m_nLogo(nLogo)
{
    if (!pcoKwSys) {
        pcoKwSys = KwCreatePlatformAdapter();
        if (!pcoKwSys)
            std::abort();
        SetOwnsAdapter(1);
    }
    if (!pcoKwSys->GetApp())
        pcoKwSys->SetApp(this);
    m_nSystem = pcoKwSys->GetSystemId();
    m_coDefaultFont.SetHeight(-8);
}

KwApp::~KwApp()
{
    if (IsDynCppReferenceObject())
        return;
    if (pcoKwSys && pcoKwSys->GetApp() == this) {
        KwWSystem::FreeProcZORVIK();
        pcoKwSys->SetApp(nullptr);
    }
}

void KwApp::SetDefaultFont(const KwFont& coFont)
{
    m_coDefaultFont = coFont;
}

// Frames

void KwApp::AddAppFrame(KwWFrame* pcoFrame)
{
    if (pcoFrame && std::find(m_coFrames.begin(), m_coFrames.end(), pcoFrame) == m_coFrames.end())
        m_coFrames.push_back(pcoFrame);
}

void KwApp::RemoveAppFrame(KwWFrame* pcoFrame)
{
    m_coFrames.erase(std::remove(m_coFrames.begin(), m_coFrames.end(), pcoFrame), m_coFrames.end());
    if (m_pcoMainWindow == pcoFrame)
        m_pcoMainWindow = nullptr;
    if (m_pcoLogoFrame == pcoFrame)
        m_pcoLogoFrame = nullptr;
}

KwWFrame* KwApp::GetAppFrame(short nIndex) const
{
    return nIndex >= 0 && nIndex < CurrentAppFrameCount() ? m_coFrames[static_cast<size_t>(nIndex)] : nullptr;
}

int KwApp::StartMainWindow(KwWFrame* pcoFrame)
{
    if (!pcoFrame || m_pcoMainWindow)
        return 0;
    EndStartupWait();
    if (m_pcoLogoFrame) {
        KwWFrame* pcoLogo = m_pcoLogoFrame;
        m_pcoLogoFrame = nullptr;
        pcoLogo->Destroy();
    }
    m_coLogoDib.SysDelete();
    m_pcoMainWindow = pcoFrame;
    pcoFrame->Start(m_nShowParam);
    return 1;
}

// Member link tables

void KwApp::AddMLA(const KwMemberLinkArray* pcoTable)
{
    if (pcoTable && std::find(m_coLinkTables.begin(), m_coLinkTables.end(), pcoTable) == m_coLinkTables.end())
        m_coLinkTables.push_back(pcoTable);
}

void KwApp::RemoveMLA(const KwMemberLinkArray* pcoTable)
{
    m_coLinkTables.erase(std::remove(m_coLinkTables.begin(), m_coLinkTables.end(), pcoTable), m_coLinkTables.end());
}

TMvcHandler KwApp::FindLinkPtr(const char* pszTarget, const char* pszLinkFunction) const
{
    if (!pszTarget || !pszLinkFunction)
        return nullptr;
    for (const KwMemberLinkArray* pcoTable : m_coLinkTables) {
        for (const KwMemberLinkArray* pcoEntry = pcoTable; pcoEntry->pszLinkFunction; ++pcoEntry) {
            if (pcoEntry->pszTarget && std::strcmp(pcoEntry->pszLinkFunction, pszLinkFunction) == 0
                && std::strcmp(pcoEntry->pszTarget, pszTarget) == 0)
                return pcoEntry->pfnHandler;
        }
    }
    return nullptr;
}

const char* KwApp::FindLinkName(TMvcHandler pfnHandler) const
{
    if (!pfnHandler)
        return nullptr;
    for (const KwMemberLinkArray* pcoTable : m_coLinkTables) {
        for (const KwMemberLinkArray* pcoEntry = pcoTable; pcoEntry->pszLinkFunction; ++pcoEntry) {
            if (pcoEntry->pszTarget && pcoEntry->pfnHandler == pfnHandler)
                return pcoEntry->pszLinkFunction;
        }
    }
    return nullptr;
}

void KwApp::RegisterCallbackUCC(UccCallback pfnCallback)
{
    if (pfnCallback && std::find(m_coUccCallbacks.begin(), m_coUccCallbacks.end(), pfnCallback) == m_coUccCallbacks.end())
        m_coUccCallbacks.push_back(pfnCallback);
}

void KwApp::UnregisterCallbackUCC(UccCallback pfnCallback)
{
    m_coUccCallbacks.erase(std::remove(m_coUccCallbacks.begin(), m_coUccCallbacks.end(), pfnCallback), m_coUccCallbacks.end());
}

KwRes* KwApp::UCC_KwRes(unsigned short unResType) const
{
    for (UccCallback pfnCallback : m_coUccCallbacks) {
        if (KwRes* pcoRes = pfnCallback(unResType))
            return pcoRes;
    }
    return nullptr;
}

// Wait cursor

void KwApp::WaitCursor(int nOn)
{
    if (!pcoKwSys)
        return;
    if (nOn) {
        if (++m_nWaitCount == 1) {
            m_hSavedCursor = pcoKwSys->GetCursor();
            pcoKwSys->SetCursor(pcoKwSys->LoadSystemCursor(CursorWait));
        }
        return;
    }
    if (m_nWaitCount <= 0)
        return;
    if (--m_nWaitCount == 0) {
        pcoKwSys->SetCursor(m_hSavedCursor ? m_hSavedCursor : pcoKwSys->GetArrowCursor());
        m_hSavedCursor = 0;
    }
}

void KwApp::EndStartupWait()
{
    if (!m_nStartup)
        return;
    m_nStartup = 0;
    WaitCursor(0);
}

// Message box

int KwApp::Message(const char* pszText, const char* pszTitle, const KwWnd*, unsigned short) const
{
    // Without the application's own dialog the system message box stands
    // in, as for a dialog that cannot be loaded.
    const char* pszShown = pszText && *pszText ? pszText : "You possibly forgot to define your messsage!";
    CurrentOS().Message(pszShown, pszTitle && *pszTitle ? pszTitle : "ZORVIK System-Message");
    return 1;
}

int KwApp::Message(unsigned short unType, const char* pszTitle, const char* pszFormat, ...) const
{
    if (!pszFormat)
        return 1;
    char szText[MessageBufferSize];
    va_list pArgs;
    va_start(pArgs, pszFormat);
    std::vsnprintf(szText, sizeof szText, pszFormat, pArgs);
    va_end(pArgs);
    return Message(szText, pszTitle, nullptr, unType);
}

// Start-up and main loop

std::vector<TString> KwApp::SplitCommandLine(const char* pszCommandLine)
{
    std::vector<TString> coArgs;
    const char* pch = pszCommandLine ? pszCommandLine : "";
    while (*pch && coArgs.size() < MaxArgs) {
        while (*pch && std::isspace(static_cast<unsigned char>(*pch)))
            ++pch;
        const char* pchStart = pch;
        while (*pch && !std::isspace(static_cast<unsigned char>(*pch)))
            ++pch;
        if (pch > pchStart)
            coArgs.push_back(TString().Strncpy(pchStart, static_cast<int>(pch - pchStart)));
    }
    return coArgs;
}

int KwApp::InitInstance(KwHandle hInstance, KwHandle hPrevInstance, const char* pszCommandLine, unsigned short unShow)
{
    Connect(hInstance);
    m_hPrevInstance = hPrevInstance;
    m_nShowParam = static_cast<short>(unShow);
    WaitCursor(1);
    m_nStartup = 1;
    for (short i = 0; i < TDynBase::VTableCount(); ++i) {
        const TDynTab* pcoTab = TDynBase::VTableFromIndex(i);
        TDynBase* pcoClassObject = pcoTab ? const_cast<TDynBase*>(pcoTab->RuntimeObject()) : nullptr;
        if (pcoClassObject && pcoTab->FindFunc("ZORVIK_InitDynClass"))
            pcoClassObject->Call("ZORVIK_InitDynClass");
    }
    if (!InitDynamicLayout()) {
        KwWnd::ChangeLayout(&KwWndLayoutWIN31::Instance());
        KwWChild::ChangeLayout(&KwWChildLayoutWIN31::Instance());
    }
    GetDefaultAppIconId();
    m_coArgs = SplitCommandLine(pszCommandLine);
    EndStartupWait();
    std::vector<const char*> coArgv;
    for (const TString& coArg : m_coArgs)
        coArgv.push_back(coArg);
    int nResult = Main();
    if (!nResult)
        nResult = Main(static_cast<short>(coArgv.size()), coArgv.empty() ? nullptr : coArgv.data());
    m_coArgs.clear();
    if (m_pcoLogoFrame) {
        KwWFrame* pcoLogo = m_pcoLogoFrame;
        m_pcoLogoFrame = nullptr;
        pcoLogo->Destroy();
    }
    m_coLogoDib.SysDelete();
    return nResult;
}

short KwApp::Go()
{
    short nResult = 0;
    if (m_pcoMainWindow && pcoKwSys)
        nResult = static_cast<short>(pcoKwSys->MainAppLoop());
    NotifyTaskExit(nResult);
    return nResult;
}

void KwApp::Exit(short nCode)
{
    if (GetHandle() && pcoKwSys)
        pcoKwSys->PostQuitMessage(nCode);
}

void KwApp::SysDelete()
{
    Exit(0);
    DisConnect();
}

const TString& KwApp::GetDefaultAppIconId() const
{
    if (m_coDefaultIconId.IsEmpty())
        m_coDefaultIconId = "BMP_KWDEFAULTICON";
    return m_coDefaultIconId;
}

int KwApp::EvResourceFileInstalled(const TFileHdl& coFileHdl)
{
    TMvcParam coParam(const_cast<TFileHdl&>(coFileHdl), 0, 0);
    return MVC().CallLink("KW_LINK_RESFILEINSTALLED", coParam);
}

int KwApp::DoLogoPaint(KwEventPaint& coEvent)
{
    if (!m_coLogoDib.IsValid())
        return 1;
    KwRect coRect = coEvent.Window().GetClientRect();
    coRect.Resize(-3);
    coEvent.CurrentDC().DrawStretchedDIB(m_coLogoDib, coRect);
    return 1;
}

// Screen and cursor

KwRect KwApp::GetScreenRect() { return pcoKwSys ? pcoKwSys->GetScreenRect() : KwRect(); }
int KwApp::Beep(unsigned short unType) { return pcoKwSys ? pcoKwSys->Beep(unType) : 0; }
KwPoint KwApp::GetCursorPos() { return pcoKwSys ? pcoKwSys->GetCursorPos() : KwPoint(); }
int KwApp::SetCursorPos(const KwPoint& coPoint) { return pcoKwSys ? pcoKwSys->SetCursorPos(coPoint) : 0; }
KwHandle KwApp::GetCursor() { return pcoKwSys ? pcoKwSys->GetCursor() : 0; }
KwHandle KwApp::SetCursor(KwHandle hCursor) { return pcoKwSys ? pcoKwSys->SetCursor(hCursor) : 0; }
int KwApp::ClipCursor(const KwRect& coRect) { return pcoKwSys ? pcoKwSys->ClipCursor(&coRect) : 0; }
int KwApp::FreeClippedCursor() { return pcoKwSys ? pcoKwSys->ClipCursor(nullptr) : 0; }
KwRect KwApp::GetClipCursor() { return pcoKwSys ? pcoKwSys->GetClipCursor() : KwRect(); }
int KwApp::ShowCursor(int nShow) { return pcoKwSys ? pcoKwSys->ShowCursor(nShow) : 0; }
int KwApp::GetNumPixelXPerInch(const KwDC& coDC) { return coDC.GetDeviceCaps(LogPixelsX); }
int KwApp::GetNumPixelYPerInch(const KwDC& coDC) { return coDC.GetDeviceCaps(LogPixelsY); }
int KwApp::GetPixelWidth(const KwDC& coDC) { return coDC.GetDeviceCaps(HorzRes); }
int KwApp::GetPixelHeight(const KwDC& coDC) { return coDC.GetDeviceCaps(VertRes); }

KwHandle KwApp::SetCursor(const KwCursor* pcoCursor)
{
    if (!pcoCursor)
        return 0;
    KwCursor& coCursor = const_cast<KwCursor&>(*pcoCursor);
    if (!coCursor.GetHandle() && !coCursor.SysCreate())
        return 0;
    return SetCursor(coCursor.GetHandle());
}

int KwRunApplication(KwHandle hInstance, KwHandle hPrevInstance, const char* pszCommandLine, int nSystemShow)
{
    KwApp* pcoApp = pcoKwSys ? pcoKwSys->GetApp() : nullptr;
    if (!pcoApp)
        return 1;
    const short nShow = KwCodes::ShowFromSystem(nSystemShow);
    pcoApp->InitInstance(hInstance, hPrevInstance, pszCommandLine, static_cast<unsigned short>(nShow));
    return pcoApp->Go();
}
