// The framework's message box: the dialog "DLG_GER_MESSAGE" of the
// standard resource file with its buttons, picture and text.

#include "KwApp.h"

#include "KwDC.h"
#include "KwStatic.h"
#include "KwPushButton.h"
#include "KwSystem.h"
#include "KwWFrame.h"
#include "TUtf8.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char* DialogId = "DLG_GER_MESSAGE";
constexpr const char* ButtonIds[3] = { "BT_PUSH1", "BT_PUSH2", "BT_PUSH3" };
constexpr unsigned MessageBoxFlags = 0x2000 | 0x30;   // task-modal, exclamation icon
constexpr short Margin = 5;
constexpr short MinTextWidth = 250;
constexpr int FormatBufferSize = 1024;

struct TButtonSet {
    const char* apszLabels[3];
    short anResults[3];
};

// By type & 0x0F; a button without label is not shown.
const TButtonSet s_aButtonSets[] = {
    { { "&OK", nullptr, nullptr }, { 1, 0, 0 } },
    { { "&OK", "&Cancel", nullptr }, { 1, 2, 0 } },
    { { "&Abort", "&Retry", "&Ignore" }, { 3, 4, 5 } },
    { { "&Yes", "&No", "&Cancel" }, { 6, 7, 2 } },
    { { "&Yes", "&No", nullptr }, { 6, 7, 0 } },
    { { "&Retry", "&Cancel", nullptr }, { 4, 2, 0 } },
};

short EscapeResult(const TButtonSet& coSet)
{
    for (int i = 0; i < 3; ++i) {
        if (coSet.anResults[i] == 2)
            return 2;
    }
    return coSet.apszLabels[1] ? 0 : coSet.anResults[0];
}

const char* PictureOf(unsigned short unType)
{
    switch (unType & 0xF0) {
    case 0x10: return "BMP_MBSTOP";
    case 0x20: return "BMP_MBQUEST";
    case 0x30: return "BMP_MBEXCLAM";
    default: return "BMP_MBINFO";
    }
}

template <class T>
T* ChildAs(const KwWFrame& coDialog, const char* pszId)
{
    return dynamic_cast<T*>(coDialog.FindChildPtr(pszId));
}

short Max(short nA, short nB)
{
    return nA > nB ? nA : nB;
}

// Sets a flag for as long as it lives.
class TFlagScope {
public:
    explicit TFlagScope(int& nFlag) : m_nFlag(nFlag) { m_nFlag = 1; }
    ~TFlagScope() { m_nFlag = 0; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    int& m_nFlag;
};

} // namespace

int KwApp::SystemMessage(const char* pszText) const
{
    if (pcoKwSys)
        pcoKwSys->SystemMessageBox(pszText, "ZORVIK System-Message", MessageBoxFlags);
    return 1;
}

int KwApp::Message(unsigned short unType, const char* pszTitle, const char* pszFormat, ...) const
{
    if (!pszFormat)
        return 1;
    char szText[FormatBufferSize];
    va_list pArgs;
    va_start(pArgs, pszFormat);
    const int nWritten = std::vsnprintf(szText, sizeof szText, pszFormat, pArgs);
    va_end(pArgs);
    if (nWritten >= static_cast<int>(sizeof szText))
        szText[TUtf8::WithoutSplitEnd(szText, sizeof szText - 1)] = 0;
    return Message(szText, pszTitle, nullptr, unType);
}

int KwApp::Message(const char* pszText, const char* pszTitle, const KwWnd* pcoParent, unsigned short unType) const
{
    const char* pszShown = pszText && *pszText ? pszText : "You possibly forgot to define your messsage!";
    // A message raised while the dialog is being made (the reader
    // complaining about the dialog itself) takes the system's box.
    if (m_nInMessage)
        return SystemMessage(pszShown);
    KwWFrame* pcoDialog = nullptr;
    {
        TFlagScope coGuard(m_nInMessage);
        std::string strProject(GetStandardKwtFile());
        strProject.resize(strProject.find('.'));
        KwWnd* pcoLoaded = const_cast<KwResHdl&>(m_coResHdl).LoadWindow(DialogId, nullptr, strProject.c_str());
        pcoDialog = pcoLoaded && pcoLoaded->IsFrameWindow() ? static_cast<KwWFrame*>(pcoLoaded) : nullptr;
        if (pcoLoaded && (!pcoDialog || !pcoDialog->IsValid())) {
            pcoLoaded->Destroy();
            pcoDialog = nullptr;
        }
    }
    if (!pcoDialog)
        return SystemMessage(pszShown);
    return RunMessageDialog(*pcoDialog, pszShown, pszTitle, pcoParent ? pcoParent : m_pcoMainWindow, unType);
}

int KwApp::RunMessageDialog(KwWFrame& coDialog, const char* pszText, const char* pszTitle, const KwWnd* pcoParent,
                            unsigned short unType) const
{
    const TButtonSet& coSet = s_aButtonSets[std::min<size_t>(unType & 0x0F, std::size(s_aButtonSets) - 1)];
    // The picture, the text and the buttons of the set (with nAll: all three).
    const auto Complete = [&](int nAll) {
        for (int i = 0; i < 3; ++i) {
            if ((nAll || coSet.apszLabels[i]) && !ChildAs<KwPushButton>(coDialog, ButtonIds[i]))
                return 0;
        }
        return ChildAs<KwStatic>(coDialog, "BMP_INFO") && ChildAs<KwStatic>(coDialog, "MESSAGE") ? 1 : 0;
    };
    if (!Complete(1)) {
        coDialog.Destroy();
        return SystemMessage(pszText);
    }
    // The buttons the set does not show go first. A dialog may hold a part
    // inside one of them, which goes with it: every part is looked for
    // again afterwards, and a dialog that lost one it needs is not shown.
    for (int i = 0; i < 3; ++i) {
        KwPushButton* pcoUnused = coSet.apszLabels[i] ? nullptr : ChildAs<KwPushButton>(coDialog, ButtonIds[i]);
        if (pcoUnused)
            pcoUnused->Destroy();
    }
    if (!Complete(0)) {
        coDialog.Destroy();
        return SystemMessage(pszText);
    }
    KwPushButton* apcoButtons[3] {};
    for (int i = 0; i < 3; ++i)
        apcoButtons[i] = coSet.apszLabels[i] ? ChildAs<KwPushButton>(coDialog, ButtonIds[i]) : nullptr;
    KwStatic* pcoPicture = ChildAs<KwStatic>(coDialog, "BMP_INFO");
    KwStatic* pcoMessage = ChildAs<KwStatic>(coDialog, "MESSAGE");

    const KwWFrame* pcoParentFrame = pcoParent ? pcoParent->GetParentFrame() : nullptr;
    if (pcoParentFrame && pcoParentFrame->IsTopMost())
        coDialog.SetTopMost(1);
    if (pszTitle && *pszTitle)
        coDialog.SetText(pszTitle);
    KwApp* pcoSelf = const_cast<KwApp*>(this);
    int nShown = 0;
    for (int i = 0; i < 3; ++i) {
        if (!apcoButtons[i])
            continue;
        apcoButtons[i]->SetText(coSet.apszLabels[i]);
        TString coNumber;
        apcoButtons[i]->SetExtra(coNumber.SetText("%d", coSet.anResults[i]));
        apcoButtons[i]->MVC().SetLink("KW_LINK_COMMAND", pcoSelf, &KwApp::MBoxPushed);
        ++nShown;
    }
    pcoPicture->SetPictureId(PictureOf(unType), 0);
    pcoMessage->SetText(pszText);

    // The text area: the widest line, at least 250 (room for the buttons),
    // the lines together, at least as high as the picture at its left: the
    // box is sized to its text. The buttons spread along the bottom.
    const KwSize coMeasured = pcoMessage->MeasureText();
    const KwSize coPicture = pcoPicture->GetSize();
    const KwSize coText(Max(coMeasured.Width(), MinTextWidth), Max(coMeasured.Height(), coPicture.Height()));
    const KwSize coButton = apcoButtons[0]->GetSize();
    const short nInner = Max(coText.Height(), coPicture.Height());
    const short nWidth = static_cast<short>(Margin + coPicture.Width() + Margin + coText.Width() + Margin);
    const short nButtonsTop = static_cast<short>(Margin + nInner + Margin);
    const short nHeight = static_cast<short>(nButtonsTop + coButton.Height() + Margin);
    pcoPicture->SetPos(KwPoint(Margin, Margin), 0);
    pcoMessage->SetPosAndSize(KwPoint(static_cast<short>(2 * Margin + coPicture.Width()), Margin), coText, 0);
    const short nGap = static_cast<short>((nWidth - nShown * coButton.Width()) / (nShown + 1));
    short nLeft = nGap;
    for (KwPushButton* pcoButton : apcoButtons) {
        if (!pcoButton)
            continue;
        pcoButton->SetPosAndSize(KwPoint(nLeft, nButtonsTop), coButton, 0);
        nLeft = static_cast<short>(nLeft + coButton.Width() + nGap);
    }
    coDialog.AdjustWindow(KwSize(nWidth, nHeight), coDialog.HasMenu(), nullptr, 0);
    coDialog.CalcMiddlePos(nullptr, 1);

    int nDefault = 0;
    if ((unType & 0x0F00) == 0x100 && apcoButtons[1])
        nDefault = 1;
    else if ((unType & 0x0F00) == 0x200 && apcoButtons[2])
        nDefault = 2;
    apcoButtons[nDefault]->Call("SetDefaultPush", 1, 1);
    apcoButtons[nDefault]->SetDefaultFocus(1);

    // Escape and the close box answer the Cancel button, or OK when that
    // is the only one; without either they do nothing.
    const short nEscape = EscapeResult(coSet);
    coDialog.SetEndOnEsc(nEscape != 0);
    coDialog.SetDlgResult(nEscape);
    // Only the dialog's own close requests are stale; those of other
    // windows stay.
    if (pcoKwSys)
        pcoKwSys->RemoveMessClose(coDialog.GetHandle());
    // The dialog destroys itself when it closes and is deleted when the
    // run returns (a quit request leaves it open: it goes too).
    KwWFrame* pcoDialog = &coDialog;
    const short nResult = pcoDialog->StartModal(KwWFrame::ModeModalApp);
    if (HasAppFrame(pcoDialog))
        pcoDialog->Destroy();
    return nResult;
}

int KwApp::MBoxPushed(TMvcParam& coParam)
{
    KwEvent* pcoEvent = dynamic_cast<KwEvent*>(&coParam);
    KwRes* pcoSender = pcoEvent ? pcoEvent->GetBaseObject() : nullptr;
    if (!pcoSender || !pcoSender->IsClassFamily("KwWnd"))
        return 1;
    KwWnd* pcoButton = static_cast<KwWnd*>(pcoSender);
    KwWFrame* pcoFrame = pcoButton->GetParentFrame();
    if (!pcoFrame)
        return 1;
    pcoFrame->SetDlgResult(static_cast<short>(std::atoi(pcoButton->GetExtra())));
    pcoFrame->Close(0);
    return 1;
}
