#include "KwFileSelProgress.h"

#include "KwApp.h"
#include "KwCntText.h"
#include "KwCopyEngine.h"
#include "KwCopyFileSystem.h"
#include "KwEvent.h"
#include "KwFileDialog.h"
#include "KwFileSelColors.h"
#include "KwFileSelCopySettings.h"
#include "KwFileSelProfile.h"
#include "KwFileSelProgressState.h"
#include "KwListText.h"
#include "KwProgressIndicator.h"
#include "KwPushButton.h"
#include "KwSystem.h"
#include "KwTimer.h"
#include "KwWChild.h"
#include "TFileSelection.h"
#include "TOpSystem.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

using Col = KwFileSelColors;
constexpr short ColWindow = Col::ColWindow, ColText = Col::ColText, ColLight = Col::ColLight, ColDark = Col::ColDark,
                ColFace = Col::ColFace, ColButtonText = Col::ColButtonText;
enum : short { Margin = 8, RowHeight = 24, LabelWidth = 50, ButtonWidth = 90, ButtonHeight = 26 };
enum : unsigned short { AlignLeftMiddle = 33, AlignCentred = 34, DrainInterval = 40 };
const char* const s_pszResourceId = "FW_PROGRESS";

KwCopyFileSystem* s_pcoFileSystem = nullptr;   // the seams of the windows made next; null: the platform's
KwSecurityApi* s_pcoSecurity = nullptr;

void Colours(KwWnd& coWnd, short nBack, short nFore)
{
    coWnd.SetResFont(1, 0);
    coWnd.SetColBack(nBack, 0);
    coWnd.SetColFore(nFore, 0);
    coWnd.SetColShadowLight(ColLight, 0);
    coWnd.SetColShadowDark(ColDark, 0);
    coWnd.SetColBord(ColFace, 0);
}

void Shaded(KwWChild& coChild)
{
    coChild.UseBorder(1, 0);
    coChild.SetShade(1, 0);
    coChild.SetShadeWidth(2, 0);
    coChild.SetShadeTurned(1, 0);
}

void SetWindowText(KwWChild* pcoChild, const std::string& strText)
{
    if (!pcoChild)
        return;
    if (KwCntText* pcoText = dynamic_cast<KwCntText*>(pcoChild->Content()))
        pcoText->SetText(strText.c_str());
    pcoChild->Invalidate(0);
}

} // namespace

KW_IMPLEMENT_DYNAMIC_CLASS(KwFileSelProgress, KwWFrame, "flsl")

KwFileSelProgress::KwFileSelProgress()
    : KwWFrame(s_pszResourceId, KwPoint(60, 60), KwSize(620, 460), "Copy", ColFace, 0x00C80000UL, 0, 0)
    , m_pcoEngine(std::make_unique<KwCopyEngine>(s_pcoFileSystem ? *s_pcoFileSystem : KwCopyFileSystem::Platform(),
                                                 s_pcoSecurity ? *s_pcoSecurity : KwSecurityApi::Platform()))
    , m_pcoState(std::make_unique<KwFileSelProgressState>(*m_pcoEngine))
{
    m_pcoEngine->Queue().SetNotify(&KwFileSelProgress::NotifyRecords, this);
    SetEndOnEsc(1);
    // The owner deletes the window after the modal run and reads its
    // outcome first.
    AutoDestroyOff();
}

KwFileSelProgress::KwFileSelProgress(KwWnd* pcoParent) : KwFileSelProgress()
{
    m_pcoParentWnd = pcoParent;
    m_pcoEngine->Options() = KwFileSelProfile::CopyOptions();
    LoadFromResource(pcoParent);
}

void KwFileSelProgress::UseSeams(KwCopyFileSystem* pcoFileSystem, KwSecurityApi* pcoSecurity)
{
    s_pcoFileSystem = pcoFileSystem;
    s_pcoSecurity = pcoSecurity;
}

KwFileSelProgress::~KwFileSelProgress()
{
    // The worker may still post: cancel and join before the window goes.
    // (The class's registration object has neither.)
    m_pcoState.reset();
    if (m_pcoEngine)
        m_pcoEngine->Queue().SetNotify(nullptr, nullptr);
    m_pcoTimer.reset();
}

void KwFileSelProgress::LoadFromResource(KwWnd* pcoParent)
{
    KwApp* pcoApp = pcoKwSys ? pcoKwSys->GetApp() : nullptr;
    if (!pcoApp || !pcoApp->GetResHdl().FindUsedFileHdl(s_pszResourceId, nullptr))
        return;
    pcoApp->WaitCursor(1);
    const int bOk = pcoApp->GetResHdl().LoadCustomWindow(s_pszResourceId, this, pcoParent, nullptr);
    pcoApp->WaitCursor(0);
    if (!bOk)
        KwFileSelFail("bOk != FALSE");
    // Whatever the record says: the owner deletes the window, Escape asks
    // it to close.
    AutoDestroyOff();
    SetEndOnEsc(1);
}

void KwFileSelProgress::TPostTarget::Set(KwHandle hWnd)
{
    std::lock_guard<std::mutex> coGuard(m_coLock);
    m_hWnd = hWnd;
}

int KwFileSelProgress::TPostTarget::Post(unsigned unMsg)
{
    std::lock_guard<std::mutex> coGuard(m_coLock);
    return m_hWnd && pcoKwSys && pcoKwSys->PostMessage(m_hWnd, unMsg, 0, 0);
}

// Runs on the worker thread: only a post through the post target, never a
// look at the window object.
void KwFileSelProgress::NotifyRecords(void* pvContext)
{
    KwFileSelProgress* pcoThis = static_cast<KwFileSelProgress*>(pvContext);
    if (!pcoThis->m_bPosted.exchange(true) && !pcoThis->m_coPostTarget.Post(MsgRecords))
        pcoThis->m_bPosted = false;
}

int KwFileSelProgress::SetPathFrom(const char* pszPath)
{
    m_strPathFrom = pszPath ? pszPath : "";
    SetWindowText(m_pcoFromPath, m_strPathFrom);
    return m_pcoEngine->SetPathFrom(KwCopyFileSystem::FromSystemText(m_strPathFrom.c_str()).c_str());
}

int KwFileSelProgress::SetPathTo(const char* pszPath)
{
    m_strPathTo = pszPath ? pszPath : "";
    SetWindowText(m_pcoToPath, m_strPathTo);
    return m_pcoEngine->SetPathTo(KwCopyFileSystem::FromSystemText(m_strPathTo.c_str()).c_str());
}

int KwFileSelProgress::SetFiles(const TFileSelection* pcoFiles)
{
    return m_pcoEngine->SetFiles(pcoFiles);
}

short KwFileSelProgress::RunModal()
{
    if (!GetHandle() && !SysCreate(m_pcoParentWnd))
        return 0;
    return StartModal(m_pcoParentWnd ? ModeModalParent : ModeModalNone);
}

// A label ("From:"), a shown path or a frame around the list or the bar.
KwWChild* KwFileSelProgress::MakeFrame(const char* pszName, const char* pszText, KwWnd* pcoParent)
{
    KwWChild* pcoChild = dynamic_cast<KwWChild*>(FindChildPtr(pszName));
    if (!pcoChild) {
        pcoChild = new KwWChild(pszName, KwPoint(0, 0), KwSize(10, 10), ColFace, ColWindow, ColText);
        if (!pcoChild->SysCreate(pcoParent))
            KwFileSelFail(pszName);
    }
    pcoChild->SetTabStop(0);
    const bool bLabel = pszText && *pszText && pszText[std::char_traits<char>::length(pszText) - 1] == ':';
    Colours(*pcoChild, bLabel ? ColFace : ColWindow, ColText);
    if (bLabel)
        pcoChild->UseBorder(0, 0);
    else
        Shaded(*pcoChild);
    if (pszText && !pcoChild->Content())
        new KwCntText(pszText, AlignLeftMiddle, pcoChild);
    return pcoChild;
}

KwPushButton* KwFileSelProgress::MakeButton(const char* pszName, const char* pszText)
{
    KwPushButton* pcoButton = dynamic_cast<KwPushButton*>(FindChildPtr(pszName));
    if (!pcoButton) {
        pcoButton = new KwPushButton(pszName, KwPoint(0, 0), KwSize(ButtonWidth, ButtonHeight), pszText);
        if (!pcoButton->SysCreate(this))
            KwFileSelFail(pszName);
    }
    Colours(*pcoButton, ColFace, ColButtonText);
    pcoButton->SetTabStop(1);
    return pcoButton;
}

KwListText* KwFileSelProgress::MakeList()
{
    KwListText* pcoList = dynamic_cast<KwListText*>(FindChildPtr("LT_OUTPUT"));
    if (!pcoList) {
        pcoList = new KwListText("LT_OUTPUT", KwPoint(0, 0), KwSize(10, 10));
        if (!pcoList->SysCreate(m_pcoListFrame))
            KwFileSelFail("m_pcoListBox");
    }
    Colours(*pcoList, ColWindow, ColText);
    pcoList->UseBorder(0, 0);
    pcoList->SetTabStop(1);
    return pcoList;
}

KwProgressIndicator* KwFileSelProgress::MakeBar()
{
    KwProgressIndicator* pcoBar = dynamic_cast<KwProgressIndicator*>(FindChildPtr("PI_PROGRESS"));
    if (!pcoBar) {
        pcoBar = new KwProgressIndicator("PI_PROGRESS", KwPoint(0, 0), KwSize(10, 10), ColFace, ColFace, ColText);
        if (!pcoBar->SysCreate(m_pcoPrgIndFrame))
            KwFileSelFail("m_pcoPrgInd");
    }
    Colours(*pcoBar, ColFace, ColText);
    pcoBar->UseBorder(0, 0);
    pcoBar->SetShowPercentAsText(1, 0);
    pcoBar->SetFillColor(Col::ColSelBack, 0);
    if (!pcoBar->Content())
        new KwCntText("", AlignCentred, pcoBar);
    return pcoBar;
}

void KwFileSelProgress::MakeChildren()
{
    m_pcoFrom = MakeFrame("CW_FROM", "From:", this);
    m_pcoFromPath = MakeFrame("CW_FROMPATH", m_strPathFrom.c_str(), this);
    m_pcoTo = MakeFrame("CW_TO", "To:", this);
    m_pcoToPath = MakeFrame("CW_TOPATH", m_strPathTo.c_str(), this);
    m_pcoListFrame = MakeFrame("CW_OUTPUT", nullptr, this);
    m_pcoListBox = MakeList();
    m_pcoPrgIndFrame = MakeFrame("CW_PROGRESS", nullptr, this);
    m_pcoPrgInd = MakeBar();
    m_pcoStatus = MakeFrame("CW_STATUS", "", this);
    m_pcoPbStart = MakeButton("PB_START", "&Start");
    m_pcoPbCancel = MakeButton("PB_CANCEL", "&Cancel");
    m_pcoPbClose = MakeButton("PB_CLOSE", "Close");
    m_pcoPbSave = MakeButton("PB_SAVELOG", "Save lo&g");
    m_pcoPbList = MakeButton("PB_LISTONLY", "&List only");
}

int KwFileSelProgress::EvCreate()
{
    m_coPostTarget.Set(GetHandle());
    return KwWFrame::EvCreate();
}

int KwFileSelProgress::EvInit()
{
    KwFileSelColors::Refresh();
    if (!m_pcoListBox)
        MakeChildren();
    m_pcoListBox->MVC().SetLink("KW_LINK_LISTGETTEXT", this, &KwFileSelProgress::LnkListGetText);
    m_pcoPbStart->MVC().SetLink("KW_LINK_COMMAND", this, &KwFileSelProgress::LnkCommandStart);
    m_pcoPbCancel->MVC().SetLink("KW_LINK_COMMAND", this, &KwFileSelProgress::LnkCommandCancel);
    m_pcoPbClose->MVC().SetLink("KW_LINK_COMMAND", this, &KwFileSelProgress::LnkCommandClose);
    m_pcoPbSave->MVC().SetLink("KW_LINK_COMMAND", this, &KwFileSelProgress::LnkCommandSave);
    m_pcoPbList->MVC().SetLink("KW_LINK_COMMAND", this, &KwFileSelProgress::LnkCommandListOnly);
    Layout();
    ShowState();
    return KwWFrame::EvInit();
}

void KwFileSelProgress::Layout()
{
    if (!m_pcoListBox)
        return;
    const KwSize coClient = GetClientSize();
    const short nW = coClient.Width();
    const short nH = coClient.Height();
    const short nPathW = static_cast<short>(std::max(20, nW - 3 * Margin - LabelWidth));
    short nY = Margin;
    for (auto [pcoLabel, pcoPath] : { std::pair { m_pcoFrom, m_pcoFromPath }, std::pair { m_pcoTo, m_pcoToPath } }) {
        pcoLabel->SetPosAndSize(KwPoint(Margin, nY), KwSize(LabelWidth, RowHeight), 0);
        pcoPath->SetPosAndSize(KwPoint(static_cast<short>(2 * Margin + LabelWidth), nY), KwSize(nPathW, RowHeight), 0);
        nY = static_cast<short>(nY + RowHeight + Margin / 2);
    }
    const short nInnerW = static_cast<short>(std::max(20, nW - 2 * Margin));
    const short nButtonsY = static_cast<short>(nH - Margin - ButtonHeight);
    const short nStatusY = static_cast<short>(nButtonsY - Margin - RowHeight);
    const short nBarY = static_cast<short>(nStatusY - Margin / 2 - RowHeight);
    const short nListH = static_cast<short>(std::max(20, nBarY - Margin / 2 - nY));
    m_pcoListFrame->SetPosAndSize(KwPoint(Margin, nY), KwSize(nInnerW, nListH), 0);
    m_pcoListBox->SetRect(m_pcoListFrame->CalcContentRect(), 0);
    m_pcoPrgIndFrame->SetPosAndSize(KwPoint(Margin, nBarY), KwSize(nInnerW, RowHeight), 0);
    m_pcoPrgInd->SetRect(m_pcoPrgIndFrame->CalcContentRect(), 0);
    m_pcoStatus->SetPosAndSize(KwPoint(Margin, nStatusY), KwSize(nInnerW, RowHeight), 0);
    short nX = static_cast<short>(nW - Margin - ButtonWidth);
    for (KwPushButton* pcoButton : { m_pcoPbClose, m_pcoPbCancel, m_pcoPbStart, m_pcoPbList }) {
        pcoButton->SetPosAndSize(KwPoint(nX, nButtonsY), KwSize(ButtonWidth, ButtonHeight), 0);
        nX = static_cast<short>(nX - Margin - ButtonWidth);
    }
    m_pcoPbSave->SetPosAndSize(KwPoint(Margin, nButtonsY), KwSize(ButtonWidth, ButtonHeight), 0);
    Invalidate(1);
}

int KwFileSelProgress::EvSize(unsigned short unCode, const KwSize& coSize)
{
    const int nResult = KwWFrame::EvSize(unCode, coSize);
    Layout();
    return nResult;
}

int KwFileSelProgress::EvPaint(KwPaintDC& coDC)
{
    KwFileSelColors::Refresh();
    return KwWFrame::EvPaint(coDC);
}

int KwFileSelProgress::EvUser(KwMessParam* pcoParam)
{
    const KwMessParamWinNT* pcoWin = dynamic_cast<const KwMessParamWinNT*>(pcoParam);
    if (!pcoWin || pcoWin->GetMessage() != MsgRecords)
        return KwWFrame::EvUser(pcoParam);
    if (!m_pcoTimer)
        m_pcoTimer = std::make_unique<KwWindowTimer>(this, DrainInterval, 1, "TM_RECORDS");
    DrainRecords();
    return 1;
}

int KwFileSelProgress::EvTimer(unsigned long)
{
    DrainRecords();
    return 1;
}

void KwFileSelProgress::DrainRecords()
{
    if (m_pcoState->Pump())
        ShowState();
    if (m_pcoState->GetPhase() != KwFileSelProgressState::Finished)
        return;
    // The last record is in: later notifications post again.
    m_pcoTimer.reset();
    m_bPosted = false;
}

// A close request while the copy runs cancels it; the window stays until
// the worker has ended and Close is pressed.
int KwFileSelProgress::EvClose()
{
    if (!m_pcoState->RequestClose()) {
        ShowButtons();
        return 1;
    }
    return KwWFrame::EvClose();
}

long KwFileSelProgress::LineCount() const
{
    return m_pcoState->LineCount();
}

std::string KwFileSelProgress::Line(long lLine) const
{
    return m_pcoState->Line(lLine);
}

int KwFileSelProgress::LineColour(long lLine) const
{
    return m_pcoState->LineColour(lLine);
}

std::string KwFileSelProgress::BarText() const
{
    return m_pcoState->BarText();
}

int KwFileSelProgress::EvDestroy()
{
    m_coPostTarget.Set(0);
    m_pcoTimer.reset();
    for (KwWChild** ppcoChild : { &m_pcoFrom, &m_pcoFromPath, &m_pcoTo, &m_pcoToPath, &m_pcoListFrame, &m_pcoPrgIndFrame,
                                  &m_pcoStatus })
        *ppcoChild = nullptr;
    m_pcoListBox = nullptr;
    m_pcoPrgInd = nullptr;
    m_pcoPbStart = m_pcoPbCancel = m_pcoPbClose = m_pcoPbSave = m_pcoPbList = nullptr;
    return KwWFrame::EvDestroy();
}

std::string KwFileSelProgress::StatusText() const
{
    std::string strText = m_pcoState->CountsText();
    const std::string strSpeed = m_pcoState->SpeedText();
    if (!strSpeed.empty())
        strText += "   " + strSpeed;
    if (!m_strLogResult.empty())
        strText += "   " + m_strLogResult;
    return strText;
}

void KwFileSelProgress::ShowButtons()
{
    if (!m_pcoPbStart)
        return;
    // The system takes the keyboard from a window it disables: seen before.
    KwWnd* pcoFocus = GetFocus();
    m_pcoPbStart->Enable(m_pcoState->CanStart(), 1);
    m_pcoPbList->Enable(m_pcoState->CanStart(), 1);
    m_pcoPbCancel->Enable(m_pcoState->CanCancel(), 1);
    m_pcoPbClose->Enable(m_pcoState->CanClose(), 1);
    m_pcoPbSave->Enable(m_pcoState->LineCount() > 0 && m_pcoState->GetPhase() != KwFileSelProgressState::Running, 1);
    // A button that had the keyboard and can no longer be pressed hands it
    // on (Close, else Cancel, else the frame), or every key would be lost.
    const bool bStranded = pcoFocus && !pcoFocus->IsEnabled()
        && (pcoFocus == m_pcoPbStart || pcoFocus == m_pcoPbList || pcoFocus == m_pcoPbCancel || pcoFocus == m_pcoPbClose
            || pcoFocus == m_pcoPbSave);
    if (!bStranded)
        return;
    if (m_pcoPbClose->IsEnabled())
        m_pcoPbClose->SetFocus();
    else if (m_pcoPbCancel->IsEnabled())
        m_pcoPbCancel->SetFocus();
    else
        SetFocus();
}

void KwFileSelProgress::ShowState()
{
    if (!m_pcoListBox)
        return;
    const long lLines = m_pcoState->LineCount();
    m_pcoListBox->SetRange(static_cast<unsigned long>(lLines), 0);
    // The newest line stays in sight.
    const long lEnd = m_pcoListBox->GetEndPos();
    if (lEnd > 0)
        m_pcoListBox->SetCurrentPos(static_cast<unsigned long>(lEnd), 0);
    m_pcoListBox->Invalidate(0);
    m_lShownLines = lLines;
    const unsigned short unPercent = static_cast<unsigned short>(m_pcoState->GetPercent());
    m_pcoPrgInd->SetFillColor(static_cast<short>(m_pcoState->BarFillColour()), 0);
    if (unPercent < m_unShownPercent)
        m_pcoPrgInd->ResetProgress();
    m_pcoPrgInd->UpdateProgress(unPercent);
    m_unShownPercent = unPercent;
    // The caption tells the run's result too ("100 %, 2 failed",
    // "Canceled at 40 %"), not only the percentage.
    if (KwContent* pcoCaption = m_pcoPrgInd->Content())
        pcoCaption->SetContent(m_pcoState->BarText().c_str());
    m_pcoPrgInd->Invalidate(0);
    SetWindowText(m_pcoStatus, StatusText());
    ShowButtons();
}

int KwFileSelProgress::LnkListGetText(TMvcParam& coParam)
{
    const KwEventListBox* pcoEvent = static_cast<KwEvent&>(coParam);
    if (!pcoEvent)
        return 0;
    const long lLine = static_cast<long>(pcoEvent->Position());
    const std::string strShown = KwCopyFileSystem::ToSystemText(m_pcoState->Line(lLine).c_str());
    m_pcoListBox->SetListBoxText(strShown.c_str(), static_cast<short>(m_pcoState->LineColour(lLine)), ColWindow);
    return 1;
}

void KwFileSelProgress::StartedRun(int nStarted)
{
    if (!nStarted)
        return;
    m_strLogResult.clear();
    m_unShownPercent = 0;
    m_pcoPrgInd->Start(0);
    ShowState();
}

int KwFileSelProgress::LnkCommandStart(TMvcParam&)
{
    StartedRun(m_pcoState->PressStart());
    return 0;
}

int KwFileSelProgress::LnkCommandListOnly(TMvcParam&)
{
    StartedRun(m_pcoState->PressListOnly());
    return 0;
}

int KwFileSelProgress::LnkCommandCancel(TMvcParam&)
{
    m_pcoState->PressCancel();
    ShowButtons();
    return 0;
}

int KwFileSelProgress::LnkCommandClose(TMvcParam&)
{
    if (m_pcoState->CanClose())
        Close(0);
    return 0;
}

int KwFileSelProgress::SaveLog(const std::string& strPath)
{
    std::string strError;
    const int nSaved = m_pcoState->SaveLog(KwCopyFileSystem::FromSystemText(strPath.c_str()), strError);
    m_strLogResult = nSaved ? "Log saved to " + strPath : "Log not saved: " + KwCopyFileSystem::ToSystemText(strError.c_str());
    SetWindowText(m_pcoStatus, StatusText());
    return nSaved;
}

std::string KwFileSelProgress::ProposedLogName() const
{
    std::time_t tStarted = m_pcoState->GetStartTime();
    if (!tStarted)
        tStarted = std::time(nullptr);
    const std::tm* pcoLocal = std::localtime(&tStarted);
    return KwFileSelCopySettings::LogFileName(KwFileSelProfile::Section(), pcoLocal ? *pcoLocal : std::tm {});
}

// The dialog opens where the last log went (else in the current
// directory); it asks itself before it lets an existing file be chosen.
int KwFileSelProgress::ChooseLogPath(std::string& strPath)
{
    std::string strDirectory = KwFileSelProfile::Get(KwFileSelProfile::KeyLogDirectory);
    if (strDirectory.empty() || !CurrentOS().ExistsPath(strDirectory.c_str()))
        strDirectory = static_cast<const char*>(CurrentOS().GetCurrentDirectory());
    KwFileDialog coDialog(KwFileDialog::TypeSave, "log", strDirectory.c_str(), ProposedLogName().c_str(),
                          "Logs | *.log | All files | *.*", "Save log", this);
    if (!coDialog.StartModal())
        return 0;
    strPath = coDialog.GetPath();
    const size_t nCut = strPath.find_last_of("\\/");
    if (nCut != std::string::npos)
        KwFileSelProfile::Set(KwFileSelProfile::KeyLogDirectory, strPath.substr(0, nCut == 2 ? 3 : nCut).c_str());
    return 1;
}

int KwFileSelProgress::LnkCommandSave(TMvcParam&)
{
    std::string strPath;
    if (ChooseLogPath(strPath))
        SaveLog(strPath);
    return 0;
}
