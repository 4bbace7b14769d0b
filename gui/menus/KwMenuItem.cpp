#include "KwMenuItem.h"

#include "KwDC.h"
#include "KwEvent.h"
#include "KwMenu.h"
#include "KwMenuFlags.h"
#include "KwMenuHost.h"
#include "KwMessages.h"
#include "KwSystem.h"
#include "TCrt.h"
#include "TFile.h"
#include "TResVar.h"

#include <cstdlib>
#include <new>
#include <vector>

// The table exists before the reference object that uses it.
TMvcEventTable KwMenuItem::m_stcoEvTab { "KwMenuItem", &KwMenuItem::TMvcEventsRegister };
KW_IMPLEMENT_DYNAMIC_CLASS(KwMenuItem, KwRes, "kw25")

namespace {

enum : unsigned { KeyUp = 0x26, KeyDown = 0x28 };
enum : unsigned { StateMask = KwMenuFlag::Checked | KwMenuFlag::Grayed | KwMenuFlag::Disabled };
// Menu texts longer than this are cut when read back.
const int s_nMaxText = 1024;

// The system's predefined bitmaps, by the names of their constants.
struct TSystemBitmap {
    const char* pszName;
    unsigned short unId;
};
const TSystemBitmap s_acoSystemBitmaps[] = {
    { "OBM_LFARROWI", 32734 }, { "OBM_RGARROWI", 32735 }, { "OBM_DNARROWI", 32736 }, { "OBM_UPARROWI", 32737 },
    { "OBM_COMBO", 32738 }, { "OBM_MNARROW", 32739 }, { "OBM_LFARROWD", 32740 }, { "OBM_RGARROWD", 32741 },
    { "OBM_DNARROWD", 32742 }, { "OBM_UPARROWD", 32743 }, { "OBM_RESTORED", 32744 }, { "OBM_ZOOMD", 32745 },
    { "OBM_REDUCED", 32746 }, { "OBM_RESTORE", 32747 }, { "OBM_ZOOM", 32748 }, { "OBM_REDUCE", 32749 },
    { "OBM_LFARROW", 32750 }, { "OBM_RGARROW", 32751 }, { "OBM_DNARROW", 32752 }, { "OBM_UPARROW", 32753 },
    { "OBM_CLOSE", 32754 }, { "OBM_BTNCORNERS", 32758 }, { "OBM_CHECKBOXES", 32759 }, { "OBM_CHECK", 32760 },
    { "OBM_BTSIZE", 32761 }, { "OBM_SIZE", 32766 },
};

// The number of a predefined bitmap named by its constant or its number;
// 0 for any other name.
unsigned short SystemBitmapId(const char* pszName)
{
    if (!pszName || !*pszName)
        return 0;
    for (const TSystemBitmap& coBitmap : s_acoSystemBitmaps) {
        if (CrtStricmp(pszName, coBitmap.pszName) == 0)
            return coBitmap.unId;
    }
    char* pszEnd = nullptr;
    const long lId = std::strtol(pszName, &pszEnd, 10);
    return *pszEnd == 0 && lId > 0 && lId <= 0xFFFF ? static_cast<unsigned short>(lId) : 0;
}

// Of a mask given at construction: toggle, else select, else neither.
unsigned short ConstructionMask(unsigned short unMask)
{
    if (unMask & KwMenuItem::MaskToggle)
        return KwMenuItem::MaskToggle;
    return (unMask & KwMenuItem::MaskSelect) ? KwMenuItem::MaskSelect : 0;
}

unsigned short DefaultCheckId(unsigned short unMask)
{
    return (unMask & KwMenuItem::MaskToggle) ? KwObmId::DownArrow : KwObmId::Check;
}

void DeleteBitmap(KwHandle& hBitmap)
{
    if (hBitmap && pcoKwSys)
        pcoKwSys->DeleteObject(hBitmap);
    hBitmap = 0;
}

} // namespace

void KwMenuItem::TMvcEventsRegister()
{
    m_stcoEvTab.RegisterEventType("KW_LINK_COMMAND", "KwEvent", nullptr, nullptr);
    m_stcoEvTab.RegisterEventType("KW_LINK_MENUSELECT", "KwEventMenuItem", nullptr, nullptr);
    m_stcoEvTab.RegisterEventType("KW_LINK_MENUCHECKCHANGED", "KwEventMenuItem", nullptr, nullptr);
}

// Construction

KwMenuItem::KwMenuItem()
{
    SetResType(KindMenuItem);
    LoadDefaultCheck();
}

KwMenuItem::KwMenuItem(const char* pszName, unsigned short unMask)
    : KwRes(pszName)
    , m_unMask(ConstructionMask(unMask))
{
    SetResType(KindMenuItem);
    LoadDefaultCheck();
}

KwMenuItem::~KwMenuItem()
{
    if (IsDynCppReferenceObject())
        return;
    SysDelete();
    DeleteBitmap(m_hBmpCheck);
    DeleteBitmap(m_hBmpUnCheck);
}

KwMenuItem* KwMenuItem::UCC_KwMenuItem(const char* pszClass, const char* pszName, unsigned short unMask)
{
    KwMenuHost* pcoHost = KwMenuHost::Current();
    KwRes* pcoMade = pszClass && *pszClass && pcoHost ? pcoHost->MakeObject(pszClass) : nullptr;
    if (pcoMade && pcoMade->IsClassFamily("KwMenuItem")) {
        KwMenuItem* pcoItem = static_cast<KwMenuItem*>(pcoMade);
        pcoItem->SetResId(pszName);
        if (unMask & MaskToggle)
            pcoItem->SetCanToggle(1);
        if (unMask & MaskSelect)
            pcoItem->SetCanSelect(1);
        TString coFree;
        if (pszName && *pszName && !pcoItem->CheckUnique("MENUITEM", &coFree) && !coFree.IsEmpty())
            pcoItem->SetResId(coFree);
        return pcoItem;
    }
    if (pcoMade)
        pcoMade->Destroy();
    return new (std::nothrow) KwMenuItem(pszName, unMask);
}

// Mask and check-mark bitmaps

void KwMenuItem::SetMask(unsigned short unMask)
{
    const unsigned short unOldDefault = DefaultCheckId(m_unMask);
    m_unMask = unMask;
    // A default check mark follows the kind of item.
    if (m_unCheckId == unOldDefault && DefaultCheckId(m_unMask) != unOldDefault)
        LoadDefaultCheck();
}

void KwMenuItem::SetMaskBit(unsigned short unBit, int nOn)
{
    SetMask(static_cast<unsigned short>(nOn ? (m_unMask | unBit) : (m_unMask & ~unBit)));
}

void KwMenuItem::LoadDefaultCheck()
{
    DeleteBitmap(m_hBmpCheck);
    m_unCheckId = DefaultCheckId(m_unMask);
    m_hBmpCheck = pcoKwSys ? pcoKwSys->LoadSystemBitmap(m_unCheckId) : 0;
    ApplyBitmaps();
}

void KwMenuItem::ApplyBitmaps() const
{
    if (m_hSysMenu && GetHandle() && !m_pcoPopup && pcoKwSys)
        pcoKwSys->SetMenuItemBitmaps(m_hSysMenu, GetSystemId(), KwMenuFlag::ByCommand, m_hBmpUnCheck, m_hBmpCheck);
}

int KwMenuItem::SetBitmap(const char* pszName, int nChecked)
{
    const unsigned short unId = SystemBitmapId(pszName);
    if (!unId || !m_hSysMenu || !GetHandle() || m_pcoPopup || !pcoKwSys)
        return 0;
    const KwHandle hBitmap = pcoKwSys->LoadSystemBitmap(unId);
    if (!hBitmap)
        return 0;
    KwHandle& hTarget = nChecked ? m_hBmpCheck : m_hBmpUnCheck;
    DeleteBitmap(hTarget);
    hTarget = hBitmap;
    if (nChecked)
        m_unCheckId = 0;
    ApplyBitmaps();
    return 1;
}

// Creating the entry

int KwMenuItem::CreateItem(KwMenu* pcoMenu, const char* pszText, short nPosition)
{
    return CreateEntry(pcoMenu, KwMenuFlag::String, pszText ? pszText : "", nullptr, nPosition);
}

int KwMenuItem::CreateSeparator(KwMenu* pcoMenu, short nPosition)
{
    SetMask(static_cast<unsigned short>((m_unMask | MaskSeparator) & ~MaskCustomDraw));
    return CreateEntry(pcoMenu, KwMenuFlag::OwnerDraw, nullptr, nullptr, nPosition);
}

int KwMenuItem::CreateCustom(KwMenu* pcoMenu, void* pvData, short nPosition)
{
    SetMask(static_cast<unsigned short>((m_unMask | MaskCustomDraw) & ~MaskSeparator));
    return CreateEntry(pcoMenu, KwMenuFlag::OwnerDraw, pvData, nullptr, nPosition);
}

int KwMenuItem::CreateBitmapItem(KwMenu* pcoMenu, KwHandle hBitmap, short nPosition)
{
    if (!hBitmap)
        return 0;
    return CreateEntry(pcoMenu, KwMenuFlag::Bitmap, reinterpret_cast<const void*>(hBitmap), nullptr, nPosition);
}

int KwMenuItem::CreatePopup(KwMenu* pcoMenu, const char* pszText, KwPopupMenu* pcoPopup, short nPosition)
{
    if (!pcoPopup || !pcoPopup->GetHandle() || pcoPopup == pcoMenu)
        return 0;
    if (pcoPopup->m_pcoParentItem && pcoPopup->m_pcoParentItem != this)
        return 0;
    return CreateEntry(pcoMenu, KwMenuFlag::Popup | KwMenuFlag::String, pszText ? pszText : "", pcoPopup, nPosition);
}

// Separators are entries drawn by the framework, so that the highlight
// can reach them and skip them (EvSelect).
int KwMenuItem::CreateEntry(KwMenu* pcoMenu, unsigned unKind, const void* pvItem, KwPopupMenu* pcoPopup, short nPosition)
{
    // An item opens one popup for its whole life.
    if (m_pcoPopup && m_pcoPopup != pcoPopup)
        return 0;
    m_unMask |= MaskCreating;
    SysDelete();
    m_unMask &= static_cast<unsigned short>(~MaskCreating);
    KwSystem* pcoSys = pcoKwSys;
    if (!pcoMenu || !pcoMenu->GetHandle() || !pcoSys)
        return 0;
    const KwHandle hId = HashNextFreeHandle();
    if (!hId)
        return 0;
    if (nPosition < -1 || nPosition >= pcoMenu->GetItemCount())
        nPosition = -1;
    const std::uintptr_t uEntry = pcoPopup ? static_cast<std::uintptr_t>(pcoPopup->GetHandle()) : hId;
    if (!pcoSys->InsertMenu(pcoMenu->GetHandle(), static_cast<unsigned>(nPosition), unKind | KwMenuFlag::ByPosition, uEntry, pvItem)) {
        if (pcoPopup && m_pcoPopup == pcoPopup) {
            m_pcoPopup = nullptr;
            pcoPopup->m_pcoParentItem = nullptr;
        }
        return 0;
    }
    m_hSysMenu = pcoMenu->GetHandle();
    m_pcoPopup = pcoPopup;
    if (pcoPopup)
        pcoPopup->m_pcoParentItem = this;
    Connect(hId);
    ApplyBitmaps();
    RedrawBar();
    return 1;
}

void KwMenuItem::SysDelete()
{
    KwSystem* pcoSys = pcoKwSys;
    const KwHandle hSysMenu = m_hSysMenu;
    if (hSysMenu && pcoSys) {
        unsigned unItem = 0;
        unsigned unBy = 0;
        if (Address(unItem, unBy))
            pcoSys->RemoveMenu(hSysMenu, unItem, unBy);
    }
    KwMenu* pcoParent = GetParentMenu();
    m_hSysMenu = 0;
    if (m_pcoPopup && !(m_unMask & MaskCreating)) {
        KwPopupMenu* pcoPopup = m_pcoPopup;
        m_pcoPopup = nullptr;
        pcoPopup->m_pcoParentItem = nullptr;
        pcoPopup->Destroy();
    }
    DisConnect();
    if (pcoParent)
        pcoParent->RedrawBar();
}

// Place

KwMenu* KwMenuItem::GetParentMenu() const
{
    return m_hSysMenu && pcoKwSys ? static_cast<KwMenu*>(pcoKwSys->Lookup("MENU", m_hSysMenu)) : nullptr;
}

KwMenu* KwMenuItem::GetMainMenu() const
{
    KwMenu* pcoMenu = GetParentMenu();
    return pcoMenu ? pcoMenu->GetMainMenu() : nullptr;
}

KwWFrame* KwMenuItem::GetParentWindow() const
{
    KwMenu* pcoMenu = GetParentMenu();
    return pcoMenu ? pcoMenu->GetParentWindow() : nullptr;
}

short KwMenuItem::GetPosition(KwMenu** ppcoMenu) const
{
    if (ppcoMenu)
        *ppcoMenu = GetParentMenu();
    KwSystem* pcoSys = pcoKwSys;
    if (!m_hSysMenu || !GetHandle() || !pcoSys)
        return -1;
    const int nCount = pcoSys->GetMenuItemCount(m_hSysMenu);
    for (int i = 0; i < nCount && i < 0x7FFF; ++i) {
        const int nFound = m_pcoPopup ? pcoSys->GetSubMenu(m_hSysMenu, i) == m_pcoPopup->GetHandle()
                                      : pcoSys->GetMenuItemID(m_hSysMenu, i) == GetHandle();
        if (nFound)
            return static_cast<short>(i);
    }
    return -1;
}

int KwMenuItem::Address(unsigned& unItem, unsigned& unBy) const
{
    if (!m_hSysMenu || !GetHandle())
        return 0;
    if (!m_pcoPopup) {
        unItem = GetSystemId();
        unBy = KwMenuFlag::ByCommand;
        return 1;
    }
    const short nPosition = GetPosition();
    if (nPosition < 0)
        return 0;
    unItem = static_cast<unsigned>(nPosition);
    unBy = KwMenuFlag::ByPosition;
    return 1;
}

void KwMenuItem::RedrawBar() const
{
    if (KwMenu* pcoMenu = GetParentMenu())
        pcoMenu->RedrawBar();
}

int KwMenuItem::IsAlive(unsigned short unId) const
{
    return unId && KwMenu::FindItem(unId) == this;
}

// State

unsigned KwMenuItem::GetState() const
{
    unsigned unItem = 0;
    unsigned unBy = 0;
    if (!pcoKwSys || !Address(unItem, unBy))
        return 0;
    const long lState = pcoKwSys->GetMenuState(m_hSysMenu, unItem, unBy);
    return lState == -1 ? 0 : static_cast<unsigned>(lState);
}

int KwMenuItem::IsChecked() const { return (GetState() & KwMenuFlag::Checked) != 0; }
int KwMenuItem::IsUnChecked() const { return m_hSysMenu && !IsChecked(); }
int KwMenuItem::IsEnabled() const { return m_hSysMenu && !(GetState() & (KwMenuFlag::Grayed | KwMenuFlag::Disabled)); }
int KwMenuItem::IsDisabled() const { return (GetState() & KwMenuFlag::Disabled) != 0; }
int KwMenuItem::IsGrayed() const { return (GetState() & KwMenuFlag::Grayed) != 0; }
int KwMenuItem::IsBitmap() const { return (GetState() & KwMenuFlag::Bitmap) != 0; }

TString KwMenuItem::GetText() const
{
    unsigned unItem = 0;
    unsigned unBy = 0;
    if (!pcoKwSys || !Address(unItem, unBy))
        return TString();
    std::vector<char> coBuffer(s_nMaxText + 1, 0);
    pcoKwSys->GetMenuString(m_hSysMenu, unItem, coBuffer.data(), s_nMaxText + 1, unBy);
    return TString(coBuffer.data());
}

TString KwMenuItem::SetText(const char* pszText)
{
    unsigned unItem = 0;
    unsigned unBy = 0;
    if (!pcoKwSys || IsSeparator() || IsCustomDraw() || IsBitmap() || !Address(unItem, unBy))
        return TString();
    TString coOld = GetText();
    // The entry keeps its check, enable and popup state.
    unsigned unFlags = (GetState() & StateMask) | KwMenuFlag::String | unBy;
    std::uintptr_t uEntry = GetSystemId();
    if (m_pcoPopup) {
        unFlags |= KwMenuFlag::Popup;
        uEntry = static_cast<std::uintptr_t>(m_pcoPopup->GetHandle());
    }
    pcoKwSys->ModifyMenu(m_hSysMenu, unItem, unFlags, uEntry, pszText ? pszText : "");
    ApplyBitmaps();
    RedrawBar();
    return coOld;
}

int KwMenuItem::SetChecked(int nCheck)
{
    const int nWas = IsChecked();
    if (!m_hSysMenu || m_pcoPopup || !GetHandle() || !pcoKwSys || (nCheck != 0) == (nWas != 0))
        return nWas;
    if (CanToggle())
        return nCheck ? CheckInGroup() : nWas;
    pcoKwSys->CheckMenuItem(m_hSysMenu, GetSystemId(), KwMenuFlag::ByCommand | (nCheck ? KwMenuFlag::Checked : KwMenuFlag::Unchecked));
    EvCheckChanged(nCheck ? 1 : 0);
    return nWas;
}

// The group is the run of entries between the nearest separators (or the
// menu's ends) around this item.
int KwMenuItem::CheckInGroup()
{
    KwMenu* pcoMenu = nullptr;
    const short nPosition = GetPosition(&pcoMenu);
    if (!pcoMenu || nPosition < 0)
        return 0;
    const short nCount = pcoMenu->GetItemCount();
    short nFirst = nPosition;
    while (nFirst > 0 && !pcoMenu->IsSeparatorAt(static_cast<short>(nFirst - 1)))
        --nFirst;
    KwMenuItem* pcoOther = nullptr;
    for (short i = nFirst; i < nCount && !pcoOther && (i <= nPosition || !pcoMenu->IsSeparatorAt(i)); ++i) {
        KwMenuItem* pcoItem = pcoMenu->GetMenuItem(i);
        if (pcoItem && pcoItem != this && pcoItem->CanToggle() && pcoItem->IsChecked())
            pcoOther = pcoItem;
    }
    const unsigned short unId = GetSystemId();
    if (pcoOther) {
        pcoKwSys->CheckMenuItem(pcoOther->m_hSysMenu, pcoOther->GetSystemId(), KwMenuFlag::ByCommand | KwMenuFlag::Unchecked);
        pcoOther->EvCheckChanged(0);
        if (!IsAlive(unId))
            return 1;
    }
    pcoKwSys->CheckMenuItem(m_hSysMenu, unId, KwMenuFlag::ByCommand | KwMenuFlag::Checked);
    EvCheckChanged(1);
    return pcoOther ? 1 : 0;
}

int KwMenuItem::SetEnabled(int nEnable, int nGray)
{
    unsigned unItem = 0;
    unsigned unBy = 0;
    if (!pcoKwSys || !Address(unItem, unBy))
        return 0;
    unsigned unState = KwMenuFlag::Enabled;
    if (!nEnable)
        unState = nGray ? (KwMenuFlag::Grayed | KwMenuFlag::Disabled) : KwMenuFlag::Disabled;
    const long lWas = pcoKwSys->EnableMenuItem(m_hSysMenu, unItem, unBy | unState);
    if (lWas == -1)
        return 0;
    RedrawBar();
    return (static_cast<unsigned>(lWas) & (KwMenuFlag::Grayed | KwMenuFlag::Disabled)) == 0;
}

// Events

int KwMenuItem::EvMeasure(KwSize& coSize)
{
    if (!IsSeparator())
        return 0;
    coSize = KwSize(9, 9);
    return 1;
}

int KwMenuItem::EvRedraw(KwDC& coDC, const KwRect& coRect, unsigned short)
{
    if (!IsSeparator())
        return 0;
    const short nY = static_cast<short>(coRect.Top() + (coRect.Bottom() - coRect.Top()) / 2);
    coDC.MoveTo(KwPoint(coRect.Left(), nY));
    coDC.LineTo(KwPoint(coRect.Right(), nY));
    return 1;
}

int KwMenuItem::EvSelect(int nSystem)
{
    KwMenu* pcoMenu = nullptr;
    const short nPosition = GetPosition(&pcoMenu);
    int nResult = 0;
    if (IsSeparator() && !nSystem) {
        const KwWFrame* pcoFrame = pcoMenu ? pcoMenu->GetParentWindow() : nullptr;
        const KwMenuHost* pcoHost = KwMenuHost::Current();
        const KwHandle hFrame = pcoFrame && pcoHost ? pcoHost->FrameHandle(*pcoFrame) : 0;
        if (hFrame && pcoKwSys) {
            const unsigned unKey = pcoMenu->GetLastHighlight() > nPosition ? KeyUp : KeyDown;
            pcoKwSys->PostMessage(hFrame, KwMsg::KeyDown, unKey, 1);
            nResult = 1;
        }
    } else {
        const unsigned short unId = GetSystemId();
        KwEventMenuItem coEvent(this, static_cast<unsigned short>(nSystem ? 1 : 0), 0);
        nResult = MVC().CallConstType("KW_LINK_MENUSELECT", coEvent);
        if (!IsAlive(unId))
            return nResult;
        KwWFrame* pcoFrame = nResult ? nullptr : GetParentWindow();
        KwMenuHost* pcoHost = KwMenuHost::Current();
        if (pcoFrame && pcoHost)
            nResult = pcoHost->MenuSelect(*pcoFrame, *this, nSystem);
        if (!IsAlive(unId))
            return nResult;
        pcoMenu = GetParentMenu();
    }
    if (pcoMenu)
        pcoMenu->SetLastHighlight(nPosition);
    return nResult;
}

int KwMenuItem::EvClicked()
{
    const unsigned short unId = GetSystemId();
    if (IsSeparator() || !unId)
        return 0;
    if (CanSelect())
        SetChecked(!IsChecked());
    else if (CanToggle())
        SetChecked(1);
    if (!IsAlive(unId))
        return 0;
    KwEvent coEvent(this, 0, 0);
    const int nResult = MVC().CallConstType("KW_LINK_COMMAND", coEvent);
    if (nResult || !IsAlive(unId))
        return nResult;
    KwWFrame* pcoFrame = GetParentWindow();
    KwMenuHost* pcoHost = KwMenuHost::Current();
    return pcoFrame && pcoHost ? pcoHost->MenuClicked(*pcoFrame, *this) : 0;
}

int KwMenuItem::EvCheckChanged(int nChecked)
{
    const unsigned short unId = GetSystemId();
    KwEventMenuItem coEvent(this, static_cast<unsigned short>(nChecked ? 1 : 0), 0);
    const int nResult = MVC().CallConstType("KW_LINK_MENUCHECKCHANGED", coEvent);
    if (nResult || !IsAlive(unId))
        return nResult;
    KwWFrame* pcoFrame = GetParentWindow();
    KwMenuHost* pcoHost = KwMenuHost::Current();
    return pcoFrame && pcoHost ? pcoHost->MenuCheckChanged(*pcoFrame, *this, nChecked) : 0;
}

// Resources

int KwMenuItem::NotifyReadBegin()
{
    m_coText.Empty();
    return KwRes::NotifyReadBegin();
}

int KwMenuItem::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    switch (coVar.MyId()) {
    case VarMask:
        SetMask(static_cast<unsigned short>(static_cast<short>(coVar) & ~MaskCreating));
        return 1;
    case VarText:
        m_coText = coVar.AsText();
        return 1;
    default:
        return KwRes::NotifyVariableRead(coVar, pcoParent, ulIndex);
    }
}

int KwMenuItem::NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex)
{
    KwRes::NotifyReadFinished(pcoParent, ulIndex);
    if (!pcoParent || !pcoParent->IsClassFamily("KwMenu"))
        return 0;
    KwMenu* pcoMenu = static_cast<KwMenu*>(pcoParent);
    if (IsSeparator())
        CreateSeparator(pcoMenu, -1);
    else if (IsCustomDraw())
        CreateCustom(pcoMenu, nullptr, -1);
    else
        CreateItem(pcoMenu, m_coText, -1);
    m_coText.Empty();
    return 0;
}

void KwMenuItem::WriteData(TFile& coFile) const
{
    KwRes::WriteData(coFile);
    TResShort(VarMask, static_cast<short>(m_unMask & ~MaskCreating)).Write(coFile);
    TResString(VarText, m_hSysMenu ? GetText() : m_coText).Write(coFile);
}
