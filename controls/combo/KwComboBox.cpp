#include "KwComboBox.h"

#include "KwComboList.h"
#include "KwCtlCodes.h"
#include "KwDC.h"
#include "KwMessages.h"
#include "KwPen.h"
#include "KwSystem.h"
#include "KwWFrame.h"
#include "TCrt.h"
#include "TFile.h"
#include "TResVar.h"

#include <algorithm>
#include <cstdlib>

TMvcEventTable KwComboBox::m_stcoEvTab { "KwComboBox", &KwComboBox::TMvcEventsRegister };
KW_IMPLEMENT_DYNAMIC_CLASS(KwComboBox, KwSysEdit, "kctl")
KW_IMPLEMENT_DYNAMIC_CLASS(KwComboButton, KwWChild, "kctl")

namespace {

enum : short { KeyF4 = 16 };
enum : short { FallbackButtonWidth = 16 };

const KwEventListBox* ListEvent(TMvcParam& coParam)
{
    return static_cast<const KwEvent&>(coParam);
}

} // namespace

void KwComboBox::TMvcEventsRegister()
{
    m_stcoEvTab.RegisterEventType("KW_LINK_COMBOINIT", "KwEventWnd", nullptr, nullptr);
    m_stcoEvTab.RegisterEventType("KW_LINK_COMBOLISTGETTEXT", "KwEventListBox", nullptr, nullptr);
    m_stcoEvTab.RegisterEventType("KW_LINK_COMBOLISTCOMMAND", "KwEventListBox", nullptr, nullptr);
}

void KwComboBox::FreeEntry(void* pvEntry)
{
    std::free(pvEntry);
}

KwComboBox::KwComboBox()
{
    SetStyle(GetStyle() | KwCtlCodes::StyleClipChildren);
}

KwComboBox::KwComboBox(const char* pszName)
    : KwComboBox()
{
    SetResId(pszName);
}

KwComboBox::KwComboBox(const char* pszName, const KwPoint& coPos, const KwSize& coSize, short nColBord, short nColBack,
                       short nColFore)
    : KwSysEdit(pszName, coPos, coSize, nColBord, nColBack, nColFore)
{
    SetStyle(GetStyle() | KwCtlCodes::StyleClipChildren);
}

KwComboBox::KwComboBox(const KwComboBox& coOther)
    : KwSysEdit(coOther)
    , m_nAlphabetical(coOther.m_nAlphabetical)
    , m_unVisibleLines(coOther.m_unVisibleLines)
    , m_coListClass(coOther.m_coListClass)
{
    m_coEntries.SetCmpFunc(coOther.m_coEntries.GetCompareFunc());
    for (long i = 0; i < coOther.LineCount(); ++i)
        m_coEntries.Add(Strdup(coOther.GetLinePtr(i)));
}

KwComboBox::~KwComboBox()
{
    if (m_pcoFrame)
        m_pcoFrame->Destroy();
}

// Entries

long KwComboBox::Add(const char* pszText)
{
    char* pszCopy = Strdup(pszText ? pszText : "");
    if (!pszCopy)
        return -1;
    long lIndex = m_coEntries.Count();
    const int nAdded = m_nAlphabetical ? m_coEntries.Insert(pszCopy, &lIndex) : m_coEntries.Add(pszCopy);
    if (!nAdded) {
        std::free(pszCopy);
        return -1;
    }
    return lIndex;
}

int KwComboBox::Remove(long lIndex)
{
    return m_coEntries.Delete(lIndex);
}

int KwComboBox::Remove(const char* pszText)
{
    const long lIndex = Find(pszText);
    return lIndex >= 0 ? Remove(lIndex) : 0;
}

void KwComboBox::RemoveAll()
{
    while (m_coEntries.Count())
        m_coEntries.Delete(m_coEntries.Count() - 1);
}

long KwComboBox::Find(const char* pszText, long* plIndex) const
{
    for (long i = 0; pszText && i < LineCount(); ++i) {
        if (CrtStricmp(GetLinePtr(i), pszText) == 0) {
            if (plIndex)
                *plIndex = i;
            return i;
        }
    }
    return -1;
}

void KwComboBox::UseTextList(const char* const* ppszTexts, unsigned long ulCount)
{
    RemoveAll();
    const int nNullTerminated = (ulCount & NullTerminated) != 0;
    const unsigned long ulLimit = ulCount & ~NullTerminated;
    for (unsigned long i = 0; ppszTexts && (nNullTerminated ? ppszTexts[i] != nullptr : i < ulLimit); ++i)
        Add(ppszTexts[i]);
}

void KwComboBox::SetAlphabeticalOrder(int nOn)
{
    m_nAlphabetical = nOn ? 1 : 0;
    m_coEntries.SetCmpFunc(m_nAlphabetical ? TArrayCmpiString : nullptr);
    if (!m_nAlphabetical)
        return;
    TArray coOld;
    coOld.Use(m_coEntries, 1);
    coOld.SetCmpFunc(nullptr);
    for (long i = 0; i < coOld.Count(); ++i) {
        long lIndex = 0;
        if (m_coEntries.Insert(coOld.Get(i), &lIndex))
            coOld.Set(nullptr, i);
    }
}

// Creation and look

short KwComboBox::ButtonWidth() const
{
    const int nWidth = pcoKwSys ? pcoKwSys->GetSystemMetrics(KwCtlCodes::MetricVScrollWidth) : 0;
    return static_cast<short>(nWidth > 0 ? nWidth : FallbackButtonWidth);
}

int KwComboBox::SysCreate(KwWnd* pcoParent)
{
    if (!KwSysEdit::SysCreate(pcoParent))
        return 0;
    KwComboButton* pcoButton = new KwComboButton;
    if (!pcoButton->SysCreate(this)) {
        delete pcoButton;
        return 1;
    }
    LayoutButton();
    return 1;
}

void KwComboBox::LayoutButton()
{
    KwWnd* pcoButton = GetChild(ButtonName);
    if (!pcoButton)
        return;
    const KwRect coClient = GetClientRect();
    const short nWidth = ButtonWidth();
    pcoButton->SetPosAndSize(KwPoint(static_cast<short>(coClient.Right() - nWidth), 0), KwSize(nWidth, coClient.Height()), 1);
    SetMargins(1, static_cast<short>(nWidth + 1));
}

int KwComboBox::EvSize(unsigned short unCode, const KwSize& coSize)
{
    const int nResult = KwSysEdit::EvSize(unCode, coSize);
    LayoutButton();
    return nResult;
}

int KwComboBox::NotifyEnabled(int nEnabled)
{
    if (KwWnd* pcoButton = GetChild(ButtonName))
        pcoButton->Enable(nEnabled, 1);
    return KwSysEdit::NotifyEnabled(nEnabled);
}

int KwComboBox::IsOnComboBox(const KwPoint& coScreenPoint) const
{
    return GetHandle() && GetClientRect().PtInRect(ScreenToClient(coScreenPoint));
}

// Opening

int KwComboBox::EvLButtonDown(const KwPoint& coPoint, unsigned short unKeyFlags)
{
    const int nResult = KwSysEdit::EvLButtonDown(coPoint, unKeyFlags);
    if (nResult || IsComboListOpen() || !IsEnabled())
        return nResult;
    return StartSelection(1);
}

int KwComboBox::EvKeyFunction(short nIndex)
{
    if (nIndex != KeyF4)
        return KwSysEdit::EvKeyFunction(nIndex);
    StartSelection(0);
    return 1;
}

int KwComboBox::EvSysKeyDown(unsigned short unKey, unsigned long ulKeyData)
{
    const int nResult = KwSysEdit::EvSysKeyDown(unKey, ulKeyData);
    if (nResult || unKey != KwCtlCodes::KeyDown)
        return nResult;
    StartSelection(0);
    return 1;
}

KwComboList* KwComboBox::MakeComboList() const
{
    if (!m_coListClass.IsEmpty()) {
        TDynBase* pcoMade = TDynBase::RTTIDynCreate(m_coListClass);
        if (pcoMade && pcoMade->IsClassFamily("KwComboList"))
            return static_cast<KwComboList*>(pcoMade);
        delete pcoMade;
    }
    return new KwComboList;
}

int KwComboBox::StartSelection(int nByMouse)
{
    if (m_pcoFrame || !GetHandle() || !GetParent() || !pcoKwSys)
        return 0;
    const KwRect coScreen = pcoKwSys->GetWindowRect(GetHandle());
    KwWFrame* pcoFrame = new KwWFrame(FrameName, KwPoint(coScreen.Left(), static_cast<short>(coScreen.Bottom() - 1)),
                                      KwSize(coScreen.Width(), 1), nullptr, GetColBack().GetIndex(), KwStyle::Popup, 0,
                                      KwWFrame::FlagEndOnEsc);
    pcoFrame->MVC().SetLink("KW_LINK_INIT", this, &KwComboBox::LnkFrameInit);
    pcoFrame->MVC().SetLink("KW_LINK_ACTIVATE", this, &KwComboBox::LnkFrameActivate);
    pcoFrame->MVC().SetLink("KW_LINK_DESTROY", this, &KwComboBox::LnkFrameDestroy);
    if (!pcoFrame->SysCreate(GetParentFrame())) {
        delete pcoFrame;
        return 0;
    }
    KwComboList* pcoList = MakeComboList();
    pcoList->SetComboBox(this);
    pcoList->SetColBord(GetColBord().GetIndex(), 0);
    pcoList->SetColBack(GetColBack().GetIndex(), 0);
    pcoList->SetColFore(GetColFore().GetIndex(), 0);
    pcoList->SetFont(&GetUsedFont(), 0);
    pcoList->UseTrackEvent(1);
    pcoList->MVC().SetLink("KW_LINK_LISTGETTEXT", this, &KwComboBox::LnkListGetText);
    pcoList->SetPos(KwPoint(0, 0), 0);
    pcoList->Resize(KwSize(coScreen.Width(), static_cast<short>(m_unVisibleLines * pcoList->CalcLineHeight()
                                                                 + 2 * pcoList->GetFullBorderWidth())), 0);
    if (!pcoList->SysCreate(pcoFrame)) {
        delete pcoList;
        pcoFrame->Destroy();
        return 0;
    }
    pcoFrame->SetSize(pcoList->GetSize(), 0);
    m_pcoFrame = pcoFrame;
    m_pcoList = pcoList;
    m_nByMouse = nByMouse;
    pcoFrame->StartModal(KwWFrame::ModeModalNone);
    // A closed frame is gone by now (its destruction link cleared the
    // pointer); one still open lost its loop to a quit request.
    if (m_pcoFrame)
        m_pcoFrame->Destroy();
    m_pcoFrame = nullptr;
    m_pcoList = nullptr;
    return 1;
}

// The drop-down frame starts: the list is filled (by the owner or from
// the entries), shows the field's entry selected and takes the focus.
int KwComboBox::LnkFrameInit(TMvcParam&)
{
    KwWnd* pcoFound = m_pcoFrame ? m_pcoFrame->FindChildPtr(KwComboList::ListName) : nullptr;
    if (!pcoFound || !pcoFound->IsClassFamily("KwComboList"))
        return 0;
    KwComboList* pcoList = static_cast<KwComboList*>(pcoFound);
    m_pcoList = pcoList;
    const int nFilled = FireEvent<KwEventWnd>("KW_LINK_COMBOINIT", [&] { return KwEventWnd(pcoList, 0, 0); });
    if (!nFilled) {
        long lCurrent = 0;
        Find(GetText(), &lCurrent);
        pcoList->SetRange(static_cast<unsigned long>(LineCount()), 0);
        pcoList->SetCurrentPos(static_cast<unsigned long>(lCurrent), 0);
        pcoList->SelectLine(static_cast<unsigned long>(lCurrent));
    }
    if (pcoList->GetVisibleLines() != m_unVisibleLines) {
        pcoList->Resize(KwSize(pcoList->GetSize().Width(), static_cast<short>(m_unVisibleLines * pcoList->CalcLineHeight()
                                                                               + 2 * pcoList->GetFullBorderWidth())), 1);
        m_pcoFrame->SetSize(pcoList->GetSize(), 1);
    }
    pcoList->SetFocus();
    if (m_nByMouse)
        pcoList->TakeOverPress();
    return 1;
}

int KwComboBox::LnkFrameActivate(TMvcParam& coParam)
{
    const KwEventWnd* pcoEvent = static_cast<const KwEvent&>(coParam);
    if (pcoEvent && !pcoEvent->GetWParam())
        CloseComboList();
    return 0;
}

int KwComboBox::LnkFrameDestroy(TMvcParam&)
{
    m_pcoFrame = nullptr;
    m_pcoList = nullptr;
    return 0;
}

int KwComboBox::LnkListGetText(TMvcParam& coParam)
{
    const KwEventListBox* pcoEvent = ListEvent(coParam);
    if (!pcoEvent || !m_pcoList)
        return 0;
    const unsigned long ulPos = pcoEvent->Position();
    const unsigned short unLine = pcoEvent->Line();
    KwComboList* pcoList = m_pcoList;
    if (!FireEvent<KwEventListBox>("KW_LINK_COMBOLISTGETTEXT", [&] { return KwEventListBox(pcoList, ulPos, unLine); }))
        pcoList->SetListBoxText(GetLinePtr(static_cast<long>(ulPos)), -1, -1);
    return 1;
}

int KwComboBox::ChooseEntry(unsigned long ulPos)
{
    KwComboList* pcoList = m_pcoList;
    if (!pcoList)
        return 0;
    if (!FireEvent<KwEventListBox>("KW_LINK_COMBOLISTCOMMAND", [&] { return KwEventListBox(pcoList, ulPos, 0); }))
        SetText(pcoList->FetchText(ulPos, pcoList->LineFromDataPos(ulPos)));
    CloseComboList();
    return 1;
}

void KwComboBox::CloseComboList()
{
    if (m_pcoFrame)
        m_pcoFrame->Close(0);
}

// Resources: the entries follow the order flag, so that reading them back
// keeps their order.

void KwComboBox::WriteData(TFile& coFile) const
{
    KwSysEdit::WriteData(coFile);
    TResShort(VarAlphabetical, static_cast<short>(m_nAlphabetical)).Write(coFile);
    TResShort(VarVisibleLines, static_cast<short>(m_unVisibleLines)).Write(coFile);
    for (long i = 0; i < LineCount(); ++i) {
        if (*GetLinePtr(i))
            TResString(VarEntry, GetLinePtr(i)).Write(coFile);
    }
}

int KwComboBox::NotifyReadBegin()
{
    m_unVisibleLines = DefaultVisibleLines;
    SetAlphabeticalOrder(1);
    RemoveAll();
    return KwSysEdit::NotifyReadBegin();
}

int KwComboBox::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    switch (coVar.MyId()) {
    case VarEntry: {
        const TString coEntry = coVar.AsText();
        if (!coEntry.IsEmpty())
            Add(coEntry);
        return 1;
    }
    case VarAlphabetical:
        SetAlphabeticalOrder(static_cast<short>(coVar));
        return 1;
    case VarVisibleLines:
        m_unVisibleLines = static_cast<unsigned short>(static_cast<short>(coVar));
        return 1;
    default:
        return KwSysEdit::NotifyVariableRead(coVar, pcoParent, ulIndex);
    }
}

// The button

KwComboButton::KwComboButton()
    : KwWChild(KwComboBox::ButtonName, KwPoint(), KwSize(16, 16), 0, 15, 0)
{
    UseBorder(0, 0);
    SetShade(1, 0);
    SetShadeWidth(2, 0);
}

int KwComboButton::EvPaint(KwPaintDC& coDC)
{
    const int nResult = KwWChild::EvPaint(coDC);
    const KwRect coClient = GetClientRect();
    const short nHalf = static_cast<short>(std::max(2, std::min<int>(coClient.Width(), coClient.Height()) / 4));
    const KwPoint coMiddle = coClient.MiddlePos();
    const KwPoint aArrow[] = {
        KwPoint(static_cast<short>(coMiddle.X() - nHalf), static_cast<short>(coMiddle.Y() - nHalf / 2)),
        KwPoint(static_cast<short>(coMiddle.X() + nHalf), static_cast<short>(coMiddle.Y() - nHalf / 2)),
        KwPoint(coMiddle.X(), static_cast<short>(coMiddle.Y() + nHalf / 2 + 1)),
    };
    const KwSysColor coArrow(IsEnabled() ? 0 : 8);
    KwBrush coBrush(coArrow, 1, 0);
    KwPen coPen(coArrow, 1, 1);
    const KwBrush* pcoOldBrush = coDC.SelectObject(&coBrush);
    const KwPen* pcoOldPen = coDC.SelectObject(&coPen);
    coDC.Polygon(aArrow, 3);
    coDC.SelectObject(pcoOldPen);
    coDC.SelectObject(pcoOldBrush);
    return nResult ? nResult : 1;
}

int KwComboButton::EvLButtonDown(const KwPoint& coPoint, unsigned short unKeyFlags)
{
    const int nResult = KwWChild::EvLButtonDown(coPoint, unKeyFlags);
    KwComboBox* pcoCombo = dynamic_cast<KwComboBox*>(GetParent());
    if (nResult || !pcoCombo || !pcoCombo->IsEnabled())
        return nResult;
    pcoCombo->SetFocus();
    return Guarded(*pcoCombo, [pcoCombo] { return pcoCombo->StartSelection(1); });
}
