#include "KwPushButton.h"

#include "KwDC.h"
#include "KwFont.h"
#include "KwKeyTable.h"
#include "KwPen.h"
#include "KwSystem.h"
#include "KwTimer.h"
#include "KwWFrame.h"
#include "TFile.h"
#include "TResVar.h"

#include <cctype>
#include <cstring>
#include <vector>

KW_IMPLEMENT_DYNAMIC_CLASS(KwPushButton, KwWControl, "kw25")

namespace {

enum : unsigned short { KeySpace = 32, KeyReturn = 13 };
enum : short { ColorWhite = 7, ColorGray = 8 };

// The push buttons below a window, in child order.
void CollectButtons(const KwWnd& coWnd, std::vector<KwPushButton*>& coButtons)
{
    for (KwWnd* pcoChild = coWnd.GetChildFirst(); pcoChild; pcoChild = coWnd.GetChildNext(pcoChild)) {
        if (KwWChild* pcoAsChild = dynamic_cast<KwWChild*>(pcoChild)) {
            if (KwPushButton* pcoButton = *pcoAsChild)
                coButtons.push_back(pcoButton);
        }
        CollectButtons(*pcoChild, coButtons);
    }
}

} // namespace

KwPushButton::KwPushButton()
    : KwWControl(TButton())
{
}

KwPushButton::KwPushButton(const char* pszName)
    : KwWControl(TButton(), pszName)
{
}

KwPushButton::KwPushButton(const char* pszName, const KwPoint& coPos, const KwSize& coSize, const char* pszText)
    : KwWControl(TButton(), pszName, coPos, coSize, pszText)
{
}

KwPushButton::KwPushButton(const KwPushButton& coOther)
    : KwWControl(coOther)
    , m_unPushFlags(coOther.m_unPushFlags & static_cast<unsigned short>(~FlagDefaultPush))
    , m_unRepeatDelay(coOther.m_unRepeatDelay)
    , m_unRepeatInterval(coOther.m_unRepeatInterval)
{
}

KwPushButton::~KwPushButton() = default;

KwWnd* KwPushButton::Copy() const
{
    return new KwPushButton(*this);
}

void KwPushButton::InitMembers(TOnlyInternalUse)
{
    InsertDynFunc<KwPushButton>("KwPushButton::IsDefaultPush", &KwPushButton::DynIsDefaultPush);
    InsertDynFunc<KwPushButton>("KwPushButton::SetDefaultPush", &KwPushButton::DynSetDefaultPush);
    InsertDynFunc<KwPushButton>("KwPushButton::IsRepeatOnPress", &KwPushButton::DynIsRepeatOnPress);
    InsertDynFunc<KwPushButton>("KwPushButton::SetRepeatOnPress", &KwPushButton::DynSetRepeatOnPress);
}

TDynRet KwPushButton::DynIsDefaultPush(char*)
{
    return TDynRet(IsDefaultPush());
}

TDynRet KwPushButton::DynSetDefaultPush(char* pchArgs)
{
    TDynArgs coArgs(pchArgs);
    const int nOn = coArgs.Next<int>();
    const int nRedraw = coArgs.Next<int>();
    SetDefaultPush(nOn, nRedraw);
    return TDynRet(1);
}

TDynRet KwPushButton::DynIsRepeatOnPress(char*)
{
    return TDynRet(IsRepeatOnPress());
}

TDynRet KwPushButton::DynSetRepeatOnPress(char* pchArgs)
{
    TDynArgs coArgs(pchArgs);
    SetRepeatOnPress(coArgs.Next<int>());
    return TDynRet(1);
}

const KwLayout& KwPushButton::MyLayout() const
{
    return KwPushButtonLayoutWIN31::Instance();
}

void KwPushButton::Repaint()
{
    if (GetHandle())
        Invalidate(0);
}

// Properties

void KwPushButton::SetDefaultPush(int nOn, int nRedraw)
{
    if (nOn) {
        std::vector<KwPushButton*> coButtons;
        if (const KwWFrame* pcoFrame = GetParentFrame())
            CollectButtons(*pcoFrame, coButtons);
        for (KwPushButton* pcoButton : coButtons) {
            if (pcoButton != this && pcoButton->IsDefaultPush())
                pcoButton->SetDefaultPush(0, nRedraw);
        }
        m_unPushFlags |= FlagDefaultPush;
    } else {
        m_unPushFlags &= static_cast<unsigned short>(~FlagDefaultPush);
    }
    if (nRedraw)
        Repaint();
}

void KwPushButton::SetRepeatOnPress(int nOn)
{
    if (nOn)
        m_unPushFlags |= FlagRepeatOnPress;
    else
        m_unPushFlags &= static_cast<unsigned short>(~FlagRepeatOnPress);
    if (!nOn)
        StopRepeat();
}

void KwPushButton::SetRepeatTimes(unsigned short unDelay, unsigned short unInterval)
{
    m_unRepeatDelay = unDelay ? unDelay : 1;
    m_unRepeatInterval = unInterval ? unInterval : 1;
}

char KwPushButton::HotKeyOf(const char* pszText)
{
    for (const char* pch = pszText; pch && *pch; ++pch) {
        if (*pch != '&')
            continue;
        if (pch[1] == '&') {
            ++pch;
            continue;
        }
        return pch[1];
    }
    return 0;
}

int KwPushButton::SetText(const char* pszText)
{
    const int nResult = KwWControl::SetText(pszText);
    Repaint();
    return nResult;
}

// Repetition: the first tick comes after the delay, then one every interval.

void KwPushButton::StartRepeat()
{
    if (!IsRepeatOnPress() || !GetHandle())
        return;
    if (!m_pcoRepeat)
        m_pcoRepeat = std::make_unique<KwWindowTimer>(this, m_unRepeatDelay, 0, nullptr);
    m_nRepeatStarted = 0;
    m_pcoRepeat->SetTimerWindow(this);
    m_pcoRepeat->SetTimeOut(m_unRepeatDelay, 0);
    m_pcoRepeat->SysCreate();
}

void KwPushButton::StopRepeat()
{
    if (m_pcoRepeat && m_pcoRepeat->IsRunning())
        m_pcoRepeat->SysDelete();
    m_nRepeatStarted = 0;
}

int KwPushButton::EvTimer(unsigned long ulSysTime)
{
    if (!m_pcoRepeat || !IsPushedIn() || !IsEnabled())
        return 0;
    if (!m_nRepeatStarted) {
        m_nRepeatStarted = 1;
        m_pcoRepeat->SetTimeOut(m_unRepeatInterval, 1);
    }
    EvCommand();
    return 1;
}

// Mouse

int KwPushButton::EvPush(const KwPoint&, unsigned short)
{
    Repaint();
    if (!IsRepeatOnPress())
        return 1;
    StartRepeat();
    EvCommand();
    return 1;
}

int KwPushButton::EvRelease(const KwPoint&, unsigned short)
{
    StopRepeat();
    Repaint();
    return 1;
}

int KwPushButton::EvPushedLeave()
{
    if (m_pcoRepeat && m_pcoRepeat->IsRunning())
        m_pcoRepeat->Pause();
    Repaint();
    return 1;
}

int KwPushButton::EvPushedReEnter()
{
    if (m_pcoRepeat && m_pcoRepeat->HasPause())
        m_pcoRepeat->Go();
    Repaint();
    return 1;
}

int KwPushButton::EvClicked(const KwPoint&, unsigned short)
{
    // A repeating button fired when it was pressed.
    if (IsRepeatOnPress())
        return 1;
    EvCommand();
    return 1;
}

int KwPushButton::EvCaptureLost()
{
    StopRepeat();
    KwWControl::EvCaptureLost();
    Repaint();
    return 0;
}

// Keyboard

int KwPushButton::EvKeyDown(unsigned short unKey, unsigned long ulKeyData)
{
    if (unKey != KeySpace || !IsEnabled())
        return KwWControl::EvKeyDown(unKey, ulKeyData);
    const int nResult = KwWnd::EvKeyDown(unKey, ulKeyData);
    if (nResult || m_nKeyDown)
        return 1;
    m_nKeyDown = 1;
    Repaint();
    if (IsRepeatOnPress()) {
        StartRepeat();
        EvCommand();
    }
    return 1;
}

int KwPushButton::EvKeyUp(unsigned short unKey, unsigned long ulKeyData)
{
    if (unKey != KeySpace || !m_nKeyDown)
        return KwWControl::EvKeyUp(unKey, ulKeyData);
    m_nKeyDown = 0;
    StopRepeat();
    Repaint();
    if (!IsRepeatOnPress() && IsEnabled())
        EvCommand();
    return 1;
}

int KwPushButton::EvChar(unsigned short unKey, unsigned long ulKeyData)
{
    const int nResult = KwWnd::EvChar(unKey, ulKeyData);
    if (nResult)
        return nResult;
    // Space acts on key down and up; its character is not passed on.
    if (unKey == KeySpace)
        return 1;
    if (unKey == KeyReturn) {
        if (IsEnabled())
            EvCommand();
        return 1;
    }
    return KwWControl::EvChar(unKey, ulKeyData);
}

int KwPushButton::IsHotKey(char chHotKey, char chKey)
{
    return chHotKey && std::tolower(static_cast<unsigned char>(chHotKey)) == std::tolower(static_cast<unsigned char>(chKey));
}

int KwPushButton::HasHotKeyCommandALT(char chKey) const
{
    return IsHotKey(GetHotKey(), chKey);
}

int KwPushButton::CallHotKeyCommandALT()
{
    if (!IsEnabled())
        return 0;
    SetFocus();
    EvCommand();
    return 1;
}

int KwPushButton::EvSetFocus(KwWnd* pcoOther)
{
    Repaint();
    return KwWControl::EvSetFocus(pcoOther);
}

int KwPushButton::EvKillFocus(KwWnd* pcoOther)
{
    if (m_nKeyDown) {
        m_nKeyDown = 0;
        StopRepeat();
    }
    Repaint();
    return KwWControl::EvKillFocus(pcoOther);
}

int KwPushButton::NotifyEnabled(int nEnabled)
{
    if (!nEnabled) {
        m_nKeyDown = 0;
        StopRepeat();
    }
    Repaint();
    if (GetHandle())
        Update();
    return KwWControl::NotifyEnabled(nEnabled);
}

// Resources

void KwPushButton::WriteData(TFile& coFile) const
{
    KwWControl::WriteData(coFile);
    TResShort(VarPushFlags, static_cast<short>(m_unPushFlags)).Write(coFile);
    TResShort(VarRepeatDelay, static_cast<short>(m_unRepeatDelay)).Write(coFile);
    TResShort(VarRepeatInterval, static_cast<short>(m_unRepeatInterval)).Write(coFile);
}

int KwPushButton::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    switch (coVar.MyId()) {
    case VarPushFlags:
        m_unPushFlags = static_cast<unsigned short>(static_cast<short>(coVar)) & (FlagDefaultPush | FlagRepeatOnPress);
        return 1;
    case VarRepeatDelay:
        SetRepeatTimes(static_cast<unsigned short>(static_cast<short>(coVar)), m_unRepeatInterval);
        return 1;
    case VarRepeatInterval:
        SetRepeatTimes(m_unRepeatDelay, static_cast<unsigned short>(static_cast<short>(coVar)));
        return 1;
    default:
        return KwWControl::NotifyVariableRead(coVar, pcoParent, ulIndex);
    }
}

// Look

int KwPushButtonLayoutWIN31::Paint(KwWnd* pcoWnd, KwDC& coDC, const KwRect*) const
{
    KwPushButton* pcoButton = dynamic_cast<KwPushButton*>(pcoWnd);
    if (!pcoButton)
        return 0;
    KwRect coRect = pcoButton->GetClientRect();
    const unsigned long ulFace = pcoButton->GetColBack().GetRealColor();
    KwBrush coFace(ulFace, 1, 0);
    KwBrush coHollow(0UL, 0, 0);
    KwPen coFrame(pcoButton->GetColBord().GetRealColor(), 1, 1);
    KwPen coLight(pcoButton->GetColShadowLight().GetRealColor(), 1, 1);
    KwPen coDark(pcoButton->GetColShadowDark().GetRealColor(), 1, 1);
    const KwPen* pcoOldPen = coDC.SelectObject(&coFrame);
    const KwBrush* pcoOldBrush = coDC.SelectObject(&coHollow);
    coDC.FillRect(coRect, coFace);
    const int nFrames = pcoButton->IsDefaultPush() ? 2 : 1;
    for (int i = 0; i < nFrames; ++i, coRect.Resize(-1))
        coDC.Rectangle(coRect);
    const int nIn = pcoButton->IsPushedIn();
    if (nIn) {
        coDC.SelectObject(&coDark);
        coDC.Rectangle(coRect);
    } else {
        for (int i = 0; i < 2; ++i, coRect.Resize(-1)) {
            const KwPoint aLight[] = { KwPoint(coRect.Left(), static_cast<short>(coRect.Bottom() - 1)),
                                       KwPoint(coRect.Left(), coRect.Top()),
                                       KwPoint(static_cast<short>(coRect.Right() - 1), coRect.Top()) };
            const KwPoint aDark[] = { KwPoint(coRect.Left(), static_cast<short>(coRect.Bottom() - 1)),
                                      KwPoint(static_cast<short>(coRect.Right() - 1), static_cast<short>(coRect.Bottom() - 1)),
                                      KwPoint(static_cast<short>(coRect.Right() - 1), static_cast<short>(coRect.Top() - 1)) };
            if (i == 0) {
                coDC.SelectObject(&coLight);
                coDC.Polyline(aLight, 3);
            }
            coDC.SelectObject(&coDark);
            coDC.Polyline(aDark, 3);
        }
    }
    coDC.SelectObject(pcoOldBrush);
    coDC.SelectObject(pcoOldPen);

    KwRect coText = pcoButton->GetClientRect();
    if (nIn)
        coText.Move(1, 1);
    const KwFont* pcoOldFont = coDC.SelectObject(&pcoButton->GetUsedFont());
    const int nOldMode = coDC.SetBkMode(1);
    const TString coLabel = pcoButton->GetText();
    if (pcoButton->IsEnabled()) {
        const unsigned long ulOldColor = coDC.SetTextColor(pcoButton->GetColFore().GetRealColor());
        coDC.TextOutRect(coText, coLabel, -1, 0x02 | 0x20, 0x04);
        coDC.SetTextColor(ulOldColor);
    } else {
        // Disabled: the etched look, a light copy below right of a grey one.
        KwRect coLow = coText;
        coLow.Move(1, 1);
        const unsigned long ulOldColor = coDC.SetTextColor(pcoButton->GetColShadowLight().GetRealColor());
        coDC.TextOutRect(coLow, coLabel, -1, 0x02 | 0x20, 0x04);
        coDC.SetTextColor(KwSysColor(ColorGray).GetRealColor());
        coDC.TextOutRect(coText, coLabel, -1, 0x02 | 0x20, 0x04);
        coDC.SetTextColor(ulOldColor);
    }
    coDC.SetBkMode(nOldMode);
    coDC.SelectObject(pcoOldFont);
    if (pcoButton->GetHandle() && KwWnd::GetFocus() == pcoButton) {
        KwRect coFocus = pcoButton->GetClientRect();
        coFocus.Resize(-4);
        coDC.DrawFocusRect(coFocus);
    }
    return 1;
}

KwPushButtonLayoutWIN31& KwPushButtonLayoutWIN31::Instance()
{
    static KwPushButtonLayoutWIN31 s_coLayout;
    return s_coLayout;
}
