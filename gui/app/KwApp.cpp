#include "KwApp.h"

#include "KwCodes.h"
#include "KwCursor.h"
#include "KwDC.h"
#include "KwLayout.h"
#include "KwProfile.h"
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
#include <string>

// The table exists before the reference object that uses it.
TMvcEventTable KwApp::m_stcoEvTab { "KwApp", &KwApp::TMvcEventsRegister };
KW_IMPLEMENT_DYNAMIC_CLASS(KwApp, KwRes, "kw25")

namespace {

enum : unsigned short { CursorWait = 32514, MaxArgs = 128 };
// The system's message box of the framework: task-modal, exclamation icon.
constexpr unsigned MessageBoxFlags = 0x2000 | 0x30;
// The logo frame: a popup window with a border.
constexpr unsigned long LogoStyle = 0x80800000UL;
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
    KwFont coBold("MS Sans Serif", "FONT_SANSSERIF_BOLD");
    coBold.SetHeight(-8);
    coBold.SetBold(1);
    m_coResHdl.SetFont(static_cast<short>(0), coBold);
    KwFont coNormal("MS Sans Serif", "FONT_SANSSERIF_NORMAL");
    coNormal.SetHeight(-8);
    m_coResHdl.SetFont(static_cast<short>(1), coNormal);
    m_coConfig.Create(pszProfile);
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

int KwApp::HasAppFrame(const KwWFrame* pcoFrame) const
{
    return pcoFrame && std::find(m_coFrames.begin(), m_coFrames.end(), pcoFrame) != m_coFrames.end();
}

int KwApp::StartMainWindow(KwWFrame* pcoFrame)
{
    if (!pcoFrame || m_pcoMainWindow)
        return 0;
    EndStartupWait();
    CloseLogo();
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
    InstallStandardFile();
    GetDefaultAppIconId();
    if (m_nLogo)
        ShowLogo();
    m_coArgs = SplitCommandLine(pszCommandLine);
    EndStartupWait();
    std::vector<const char*> coArgv;
    for (const TString& coArg : m_coArgs)
        coArgv.push_back(coArg);
    int nResult = Main();
    if (!nResult)
        nResult = Main(static_cast<short>(coArgv.size()), coArgv.empty() ? nullptr : coArgv.data());
    m_coArgs.clear();
    CloseLogo();
    return nResult;
}

// The standard resource file: installed from the "system" directory (or
// found elsewhere along the configuration); without it a message, and the
// main loop will not run.
void KwApp::InstallStandardFile()
{
    const char* pszName = GetStandardKwtFile();
    const TString coPath = m_coConfig.FindFile(pszName, KwConfig::PathSystem, 1);
    TString coError;
    if (coPath.IsEmpty()) {
        coError.SetText("Standard Resource-File <%s> not found!", pszName);
    } else {
        const unsigned short unResult = m_coResHdl.InstallResourceFile(coPath, nullptr, 0, nullptr);
        if (unResult != TFileHdl::Success)
            coError = TFileHdl::GetError(unResult, coPath);
    }
    if (coError.IsEmpty())
        return;
    EndStartupWait();
    if (pcoKwSys)
        pcoKwSys->SystemMessageBox(coError, "ZORVIK-Message", MessageBoxFlags);
    Exit(0);
}

// The logo: the picture in a bordered popup frame centred on the screen,
// shown until the main window starts or the Main hooks return.
void KwApp::ShowLogo()
{
    if (m_coLogoDibId.IsEmpty())
        m_coLogoDibId = "BMP_ZORVIK";
    if (!m_coResHdl.LoadCustomDib(m_coLogoDibId, &m_coLogoDib, nullptr) && m_coLogoDibId.Stricmp("BMP_ZORVIK") != 0)
        m_coResHdl.LoadCustomDib("BMP_ZORVIK", &m_coLogoDib, nullptr);
    if (!m_coLogoDib.IsValid())
        return;
    const KwSize coPicture = m_coLogoDib.GetSize();
    const KwSize coFrame(static_cast<short>(coPicture.Width() + 8), static_cast<short>(coPicture.Height() + 8));
    const KwRect coScreen = GetScreenRect();
    const KwPoint coPos(static_cast<short>(coScreen.Left() + (coScreen.Width() - coFrame.Width()) / 2),
                        static_cast<short>(coScreen.Top() + (coScreen.Height() - coFrame.Height()) / 2));
    auto* pcoFrame = new KwWFrame("KW_INIT", coPos, coFrame, nullptr, 15, LogoStyle, 0, 0);
    if (!pcoFrame->SysCreate(nullptr)) {
        pcoFrame->Destroy();
        return;
    }
    m_pcoLogoFrame = pcoFrame;
    auto* pcoChild = new KwWChild("KW_INIT1", KwPoint(), KwSize(static_cast<short>(coFrame.Width() - 2), static_cast<short>(coFrame.Height() - 2)), 0, 15, 0);
    pcoChild->SetShade(1, 0);
    pcoChild->SetShadeWidth(2, 0);
    pcoChild->MVC().SetLink("KW_LINK_PAINT", this, &KwApp::LnkLogoPaint);
    pcoChild->SysCreate(pcoFrame);
    pcoFrame->StartDirect(4);
}

void KwApp::CloseLogo()
{
    if (m_pcoLogoFrame) {
        KwWFrame* pcoLogo = m_pcoLogoFrame;
        m_pcoLogoFrame = nullptr;
        pcoLogo->Destroy();
    }
    m_coLogoDib.SysDelete();
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

int KwApp::LnkLogoPaint(TMvcParam& coParam)
{
    KwEventPaint* pcoPaint = dynamic_cast<KwEventPaint*>(&coParam);
    return pcoPaint ? DoLogoPaint(*pcoPaint) : 0;
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

// Profile files, directories, other programs

short KwApp::GetProfileShort(const char* pszSection, const char* pszKey, const char* pszFile, short nDefault)
{
    if (!pcoKwSys)
        return nDefault;
    return KwProfile::ToShort(pcoKwSys->GetProfileString(pszSection, pszKey, pszFile, nullptr), nDefault);
}

TString KwApp::GetProfileString(const char* pszSection, const char* pszKey, const char* pszFile, const char* pszDefault)
{
    return pcoKwSys ? pcoKwSys->GetProfileString(pszSection, pszKey, pszFile, pszDefault) : TString(pszDefault);
}

int KwApp::WriteProfileShort(const char* pszSection, const char* pszKey, const char* pszFile, short nValue)
{
    TString coValue;
    coValue.SetText("%d", nValue);
    return WriteProfileString(pszSection, pszKey, pszFile, coValue);
}

int KwApp::WriteProfileString(const char* pszSection, const char* pszKey, const char* pszFile, const char* pszValue)
{
    return pcoKwSys ? pcoKwSys->WriteProfileString(pszSection, pszKey, pszFile, pszValue) : 0;
}

TString KwApp::GetWindowsDirectory() { return pcoKwSys ? pcoKwSys->GetWindowsDirectory() : TString(); }
TString KwApp::GetSystemDirectory() { return pcoKwSys ? pcoKwSys->GetSystemDirectory() : TString(); }

TString KwApp::ExecuteWorkDir(const char* pszCommandLine)
{
    if (!pszCommandLine)
        return TString();
    std::string strProgram;
    int nQuoted = 0;
    for (const char* pch = pszCommandLine; *pch; ++pch) {
        if (*pch == '"') {
            nQuoted = !nQuoted;
            continue;
        }
        if (!nQuoted && (*pch == ' ' || *pch == ',' || *pch == ';'))
            break;
        strProgram += *pch;
    }
    const size_t nCut = strProgram.find_last_of("\\:");
    if (nCut == std::string::npos)
        return TString();
    // A colon stays, and so does a backslash right after it or at the very
    // start, so that roots stay roots.
    size_t nKeep = nCut;
    if (strProgram[nCut] == ':' || nCut == 0 || strProgram[nCut - 1] == ':')
        nKeep = nCut + 1;
    return TString(strProgram.substr(0, nKeep).c_str());
}

int KwApp::Execute(const char* pszCommandLine, unsigned short unShow)
{
    if (!pcoKwSys || !pszCommandLine || !*pszCommandLine)
        return 0;
    const TString coWorkDir = ExecuteWorkDir(pszCommandLine);
    return pcoKwSys->ExecuteProcess(pszCommandLine, coWorkDir.IsEmpty() ? nullptr : static_cast<const char*>(coWorkDir),
                                    static_cast<short>(unShow));
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
