#include "KwMenu.h"

#include "KwEvent.h"
#include "KwHashTable.h"
#include "KwMenuFlags.h"
#include "KwMenuHost.h"
#include "KwMenuItem.h"
#include "KwSystem.h"
#include "TFile.h"
#include "TResVar.h"

#include <new>
#include <vector>

// The table exists before the reference object that uses it.
TMvcEventTable KwMenu::m_stcoEvTab { "KwMenu", &KwMenu::TMvcEventsRegister };
KW_IMPLEMENT_DYNAMIC_CLASS(KwMenu, KwRes, "kw25")
KW_IMPLEMENT_DYNAMIC_CLASS(KwPopupMenu, KwMenu, "kw25")

namespace {

// Whether the item belongs to the menu: directly or, through popups, to
// the menu at the top of its chain.
int BelongsTo(const KwMenuItem& coItem, const KwMenu* pcoMenu)
{
    return !pcoMenu || coItem.GetParentMenu() == pcoMenu || coItem.GetMainMenu() == pcoMenu;
}

// Runs fn on the item found by name; none when there is no such item.
template <class R, class F>
R OnItem(const char* pszName, const KwMenu* pcoMenu, R none, F fn)
{
    KwMenuItem* pcoItem = KwMenu::FindItem(pszName, pcoMenu);
    return pcoItem ? fn(*pcoItem) : none;
}

} // namespace

// The menu's opening is declared here so that programs can link it.
void KwMenu::TMvcEventsRegister()
{
    m_stcoEvTab.RegisterEventType("KW_LINK_MENUINIT", "KwEventMenu", nullptr, nullptr);
}

// Construction

KwMenu::KwMenu()
{
    SetResType(KindMenu);
}

KwMenu::KwMenu(const char* pszName, int nCreate)
    : KwRes(pszName)
{
    SetResType(KindMenu);
    if (nCreate)
        SysCreate();
}

KwMenu::KwMenu(const char* pszName, TPopupTag)
    : KwRes(pszName)
    , m_nPopup(1)
{
    SetResType(KindMenu);
}

KwMenu::~KwMenu()
{
    if (IsDynCppReferenceObject())
        return;
    SysDelete();
}

int KwMenu::SysCreate()
{
    SysDelete();
    const KwHandle hMenu = pcoKwSys ? pcoKwSys->CreateMenu(m_nPopup) : 0;
    if (!hMenu)
        return 0;
    Connect(hMenu);
    return 1;
}

void KwMenu::SysDelete()
{
    const KwHandle hMenu = GetHandle();
    KwMenuHost* pcoHost = KwMenuHost::Current();
    if (pcoHost && m_pcoFrame && hMenu && pcoHost->MenuBar(*m_pcoFrame) == this)
        pcoHost->SetMenuBar(*m_pcoFrame, nullptr);
    m_pcoFrame = nullptr;
    if (!hMenu || !pcoKwSys)
        return;
    DeleteEntries();
    pcoKwSys->DestroyMenu(hMenu);
    DisConnect();
}

void KwMenu::DeleteEntries()
{
    KwSystem* pcoSys = pcoKwSys;
    const KwHandle hMenu = GetHandle();
    std::vector<KwHandle> coPopups;
    const int nCount = pcoSys->GetMenuItemCount(hMenu);
    for (int i = 0; i < nCount; ++i) {
        if (const KwHandle hPopup = pcoSys->GetSubMenu(hMenu, i))
            coPopups.push_back(hPopup);
    }
    for (KwHandle hPopup : coPopups) {
        if (KwPopupMenu* pcoPopup = FindPopup(hPopup))
            pcoPopup->Destroy();
    }
    std::vector<unsigned short> coIds;
    const KwHashTable* pcoItems = pcoSys->GetHash("MENUITEM");
    for (long i = 0; pcoItems && i < pcoItems->Count(); ++i) {
        const KwMenuItem* pcoItem = static_cast<const KwMenuItem*>(pcoItems->GetObj(i));
        if (pcoItem->GetSysMenu() == hMenu)
            coIds.push_back(pcoItem->GetSystemId());
    }
    for (unsigned short unId : coIds) {
        KwMenuItem* pcoItem = FindItem(unId);
        if (pcoItem && pcoItem->GetSysMenu() == hMenu)
            pcoItem->Destroy();
    }
}

void KwMenu::RedrawBar() const
{
    KwMenuHost* pcoHost = KwMenuHost::Current();
    if (!m_nPopup && m_pcoFrame && pcoHost)
        pcoHost->DrawMenuBar(*m_pcoFrame);
}

// Inserting

KwMenuItem* KwMenu::InsertItem(const char* pszName, const char* pszText, unsigned short unMask, short nPosition,
                               const char* pszClass)
{
    KwMenuItem* pcoItem = KwMenuItem::UCC_KwMenuItem(pszClass, pszName, unMask);
    if (pcoItem && !pcoItem->CreateItem(this, pszText, nPosition)) {
        pcoItem->Destroy();
        return nullptr;
    }
    return pcoItem;
}

KwMenuItem* KwMenu::InsertItem(const char* pszName, KwHandle hBitmap, unsigned short unMask, short nPosition,
                               const char* pszClass)
{
    KwMenuItem* pcoItem = KwMenuItem::UCC_KwMenuItem(pszClass, pszName, unMask);
    if (pcoItem && !pcoItem->CreateBitmapItem(this, hBitmap, nPosition)) {
        pcoItem->Destroy();
        return nullptr;
    }
    return pcoItem;
}

KwMenuItem* KwMenu::InsertSeparatorItem(short nPosition)
{
    KwMenuItem* pcoItem = KwMenuItem::UCC_KwMenuItem(nullptr, nullptr, 0);
    if (pcoItem && !pcoItem->CreateSeparator(this, nPosition)) {
        pcoItem->Destroy();
        return nullptr;
    }
    return pcoItem;
}

KwMenuItem* KwMenu::InsertCustomItem(const char* pszName, void* pvData, unsigned short unMask, short nPosition,
                                     const char* pszClass)
{
    KwMenuItem* pcoItem = KwMenuItem::UCC_KwMenuItem(pszClass, pszName, unMask);
    if (pcoItem && !pcoItem->CreateCustom(this, pvData, nPosition)) {
        pcoItem->Destroy();
        return nullptr;
    }
    return pcoItem;
}

KwPopupMenu* KwMenu::InsertPopupItem(const char* pszName, const char* pszText, short nPosition)
{
    KwPopupMenu* pcoPopup = KwPopupMenu::CreatePopupMenu(pszName, 1);
    if (pcoPopup && !InsertPopupItem(pszText, pcoPopup, nPosition, pcoPopup->GetResId())) {
        pcoPopup->Destroy();
        return nullptr;
    }
    return pcoPopup;
}

KwMenuItem* KwMenu::InsertPopupItem(const char* pszText, KwPopupMenu* pcoPopup, short nPosition, const char* pszName)
{
    if (!pcoPopup || pcoPopup->HasParentItem())
        return nullptr;
    KwMenuItem* pcoItem = KwMenuItem::UCC_KwMenuItem(nullptr, pszName, 0);
    if (pcoItem && !pcoItem->CreatePopup(this, pszText, pcoPopup, nPosition)) {
        pcoItem->Destroy();
        return nullptr;
    }
    return pcoItem;
}

// Entries

short KwMenu::GetItemCount() const
{
    const int nCount = GetHandle() && pcoKwSys ? pcoKwSys->GetMenuItemCount(GetHandle()) : 0;
    return static_cast<short>(nCount < 0 ? 0 : (nCount > 0x7FFF ? 0x7FFF : nCount));
}

KwMenuItem* KwMenu::GetMenuItem(short nPosition) const
{
    if (!GetHandle() || !pcoKwSys || nPosition < 0)
        return nullptr;
    if (const KwHandle hPopup = pcoKwSys->GetSubMenu(GetHandle(), nPosition)) {
        KwPopupMenu* pcoPopup = FindPopup(hPopup);
        return pcoPopup ? pcoPopup->GetParentItem() : nullptr;
    }
    const unsigned unId = pcoKwSys->GetMenuItemID(GetHandle(), nPosition);
    KwMenuItem* pcoItem = unId < 0x10000 ? FindItem(static_cast<unsigned short>(unId)) : nullptr;
    return pcoItem && pcoItem->GetSysMenu() == GetHandle() ? pcoItem : nullptr;
}

int KwMenu::IsSeparatorAt(short nPosition) const
{
    if (const KwMenuItem* pcoItem = GetMenuItem(nPosition))
        return pcoItem->IsSeparator();
    const long lState = GetHandle() && pcoKwSys ? pcoKwSys->GetMenuState(GetHandle(), static_cast<unsigned>(nPosition), KwMenuFlag::ByPosition) : -1;
    return lState != -1 && (static_cast<unsigned>(lState) & KwMenuFlag::Separator) != 0;
}

KwMenuItem* KwMenu::GetCurrentToggle() const
{
    const short nCount = GetItemCount();
    for (short i = 0; i < nCount; ++i) {
        KwMenuItem* pcoItem = GetMenuItem(i);
        if (pcoItem && pcoItem->CanToggle() && pcoItem->IsChecked())
            return pcoItem;
    }
    return nullptr;
}

short KwMenu::GetPosition(const char* pszName) const
{
    return GetItemPos(pszName, this);
}

// Lookup in all menus

KwMenuItem* KwMenu::FindItem(const char* pszName, const KwMenu* pcoMenu)
{
    const KwHashTable* pcoItems = pcoKwSys && pszName && *pszName ? pcoKwSys->GetHash("MENUITEM") : nullptr;
    for (long i = 0; pcoItems && i < pcoItems->Count(); ++i) {
        KwMenuItem* pcoItem = static_cast<KwMenuItem*>(pcoItems->GetObj(i));
        if (pcoItem->HasResId(pszName) && BelongsTo(*pcoItem, pcoMenu))
            return pcoItem;
    }
    return nullptr;
}

KwMenuItem* KwMenu::FindItem(unsigned short unId)
{
    return unId && pcoKwSys ? static_cast<KwMenuItem*>(pcoKwSys->Lookup("MENUITEM", unId)) : nullptr;
}

KwPopupMenu* KwMenu::FindPopup(const char* pszName, const KwMenu* pcoMenu)
{
    const KwHashTable* pcoMenus = pcoKwSys && pszName && *pszName ? pcoKwSys->GetHash("MENU") : nullptr;
    for (long i = 0; pcoMenus && i < pcoMenus->Count(); ++i) {
        KwMenu* pcoFound = static_cast<KwMenu*>(pcoMenus->GetObj(i));
        if (!pcoFound->IsPopupMenu() || !pcoFound->HasResId(pszName))
            continue;
        KwPopupMenu* pcoPopup = static_cast<KwPopupMenu*>(pcoFound);
        const KwMenuItem* pcoParent = pcoPopup->GetParentItem();
        if (!pcoMenu || (pcoParent && BelongsTo(*pcoParent, pcoMenu)))
            return pcoPopup;
    }
    return nullptr;
}

KwPopupMenu* KwMenu::FindPopup(KwHandle hMenu)
{
    KwMenu* pcoMenu = hMenu && pcoKwSys ? static_cast<KwMenu*>(pcoKwSys->Lookup("MENU", hMenu)) : nullptr;
    return pcoMenu && pcoMenu->IsPopupMenu() ? static_cast<KwPopupMenu*>(pcoMenu) : nullptr;
}

int KwMenu::RemovePopupItem(const char* pszName, const KwMenu* pcoMenu)
{
    KwPopupMenu* pcoPopup = FindPopup(pszName, pcoMenu);
    if (!pcoPopup)
        return 0;
    pcoPopup->Destroy();
    return 1;
}

short KwMenu::GetItemPos(const char* pszName, const KwMenu* pcoMenu)
{
    return OnItem<short>(pszName, pcoMenu, -1, [](KwMenuItem& coItem) { return coItem.GetPosition(); });
}

int KwMenu::CanToggle(const char* pszName, const KwMenu* pcoMenu)
{
    return OnItem(pszName, pcoMenu, 0, [](KwMenuItem& coItem) { return coItem.CanToggle(); });
}

int KwMenu::CanSelect(const char* pszName, const KwMenu* pcoMenu)
{
    return OnItem(pszName, pcoMenu, 0, [](KwMenuItem& coItem) { return coItem.CanSelect(); });
}

int KwMenu::IsPopup(const char* pszName, const KwMenu* pcoMenu)
{
    return OnItem(pszName, pcoMenu, 0, [](KwMenuItem& coItem) { return coItem.IsPopup(); });
}

int KwMenu::IsSeparator(const char* pszName, const KwMenu* pcoMenu)
{
    return OnItem(pszName, pcoMenu, 0, [](KwMenuItem& coItem) { return coItem.IsSeparator(); });
}

int KwMenu::IsCustomDraw(const char* pszName, const KwMenu* pcoMenu)
{
    return OnItem(pszName, pcoMenu, 0, [](KwMenuItem& coItem) { return coItem.IsCustomDraw(); });
}

int KwMenu::IsBitmap(const char* pszName, const KwMenu* pcoMenu)
{
    return OnItem(pszName, pcoMenu, 0, [](KwMenuItem& coItem) { return coItem.IsBitmap(); });
}

int KwMenu::IsChecked(const char* pszName, const KwMenu* pcoMenu)
{
    return OnItem(pszName, pcoMenu, 0, [](KwMenuItem& coItem) { return coItem.IsChecked(); });
}

int KwMenu::IsUnChecked(const char* pszName, const KwMenu* pcoMenu)
{
    return OnItem(pszName, pcoMenu, 0, [](KwMenuItem& coItem) { return coItem.IsUnChecked(); });
}

int KwMenu::IsDisabled(const char* pszName, const KwMenu* pcoMenu)
{
    return OnItem(pszName, pcoMenu, 0, [](KwMenuItem& coItem) { return coItem.IsDisabled(); });
}

int KwMenu::IsGrayed(const char* pszName, const KwMenu* pcoMenu)
{
    return OnItem(pszName, pcoMenu, 0, [](KwMenuItem& coItem) { return coItem.IsGrayed(); });
}

int KwMenu::IsEnabled(const char* pszName, const KwMenu* pcoMenu)
{
    return OnItem(pszName, pcoMenu, 0, [](KwMenuItem& coItem) { return coItem.IsEnabled(); });
}

unsigned KwMenu::GetState(const char* pszName, const KwMenu* pcoMenu)
{
    return OnItem(pszName, pcoMenu, 0u, [](KwMenuItem& coItem) { return coItem.GetState(); });
}

TString KwMenu::GetText(const char* pszName, const KwMenu* pcoMenu)
{
    return OnItem(pszName, pcoMenu, TString(), [](KwMenuItem& coItem) { return coItem.GetText(); });
}

unsigned short KwMenu::GetSystemId(const char* pszName, const KwMenu* pcoMenu)
{
    return OnItem<unsigned short>(pszName, pcoMenu, 0, [](KwMenuItem& coItem) { return coItem.GetSystemId(); });
}

int KwMenu::SetCanToggle(const char* pszName, int nOn, const KwMenu* pcoMenu)
{
    return OnItem(pszName, pcoMenu, 0, [nOn](KwMenuItem& coItem) { coItem.SetCanToggle(nOn); return 1; });
}

int KwMenu::SetCanSelect(const char* pszName, int nOn, const KwMenu* pcoMenu)
{
    return OnItem(pszName, pcoMenu, 0, [nOn](KwMenuItem& coItem) { coItem.SetCanSelect(nOn); return 1; });
}

int KwMenu::SetChecked(const char* pszName, int nCheck, const KwMenu* pcoMenu)
{
    return OnItem(pszName, pcoMenu, 0, [nCheck](KwMenuItem& coItem) { return coItem.SetChecked(nCheck); });
}

int KwMenu::SetEnabled(const char* pszName, int nEnable, int nGray, const KwMenu* pcoMenu)
{
    return OnItem(pszName, pcoMenu, 0, [=](KwMenuItem& coItem) { return coItem.SetEnabled(nEnable, nGray); });
}

TString KwMenu::SetText(const char* pszName, const char* pszText, const KwMenu* pcoMenu)
{
    return OnItem(pszName, pcoMenu, TString(), [pszText](KwMenuItem& coItem) { return coItem.SetText(pszText); });
}

// Events and links

int KwMenu::EvInit(short nIndex)
{
    m_nLastHighlight = 0;
    const KwHandle hMenu = GetHandle();
    KwEventMenu coEvent(this, static_cast<unsigned short>(nIndex), 0);
    const int nResult = MVC().CallConstType("KW_LINK_MENUINIT", coEvent);
    // The link may have deleted the menu.
    if (nResult || !pcoKwSys || pcoKwSys->Lookup("MENU", hMenu) != this)
        return nResult;
    KwWFrame* pcoFrame = GetParentWindow();
    KwMenuHost* pcoHost = KwMenuHost::Current();
    return pcoFrame && pcoHost ? pcoHost->MenuInit(*pcoFrame, *this, nIndex) : 0;
}

void KwMenu::SetLink(KwWFrame* pcoFrame)
{
    m_pcoFrame = pcoFrame;
}

void KwMenu::RemoveLink()
{
    m_pcoFrame = nullptr;
}

KwWFrame* KwMenu::GetParentWindow() const
{
    return m_pcoFrame;
}

KwMenu* KwMenu::GetMainMenu() const
{
    return const_cast<KwMenu*>(this);
}

// Resources

// A menu bar read inside a frame becomes the frame's menu once its own
// variables are read, so that its items find their frame while they are
// read.
int KwMenu::NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex)
{
    KwRes::NotifyReadFinished(pcoParent, ulIndex);
    if (!SysCreate())
        return 0;
    KwMenuHost* pcoHost = KwMenuHost::Current();
    if (KwWFrame* pcoFrame = pcoParent && pcoHost ? pcoHost->AsFrame(*pcoParent) : nullptr)
        pcoHost->SetMenuBar(*pcoFrame, this);
    return 0;
}

// Items and popups stay only when their entry was made in this menu.
int KwMenu::NotifyChildFullReadFinished(TResource* pcoChild, unsigned long ulIndex)
{
    if (!pcoChild || pcoChild->IsDummyResource() || !GetHandle())
        return 0;
    if (pcoChild->IsClassFamily("KwPopupMenu")) {
        const KwMenuItem* pcoParent = static_cast<KwPopupMenu*>(pcoChild)->GetParentItem();
        return pcoParent && pcoParent->GetSysMenu() == GetHandle();
    }
    if (pcoChild->IsClassFamily("KwMenuItem"))
        return static_cast<KwMenuItem*>(pcoChild)->GetSysMenu() == GetHandle();
    return KwRes::NotifyChildFullReadFinished(pcoChild, ulIndex);
}

// The entries in order; a popup stands in the place of the item that
// opens it.
void KwMenu::WriteChildren(TFile& coFile) const
{
    const short nCount = GetItemCount();
    for (short i = 0; i < nCount; ++i) {
        if (const KwHandle hPopup = pcoKwSys->GetSubMenu(GetHandle(), i)) {
            if (const KwPopupMenu* pcoPopup = FindPopup(hPopup))
                pcoPopup->WriteResource(coFile);
        } else if (const KwMenuItem* pcoItem = GetMenuItem(i)) {
            pcoItem->WriteResource(coFile);
        }
    }
}

// Popup menus

KwPopupMenu::KwPopupMenu()
    : KwMenu(nullptr, TPopupTag())
{
}

KwPopupMenu::KwPopupMenu(const char* pszName)
    : KwMenu(pszName, TPopupTag())
{
}

KwPopupMenu::~KwPopupMenu()
{
    if (IsDynCppReferenceObject())
        return;
    SysDelete();
}

KwPopupMenu* KwPopupMenu::CreatePopupMenu(const char* pszName, int nCreate)
{
    if (!pszName || !*pszName)
        return nullptr;
    KwPopupMenu* pcoPopup = new (std::nothrow) KwPopupMenu(pszName);
    if (!pcoPopup)
        return nullptr;
    TString coFree;
    if (!pcoPopup->CheckUnique("MENU", &coFree) && !coFree.IsEmpty())
        pcoPopup->SetResId(coFree);
    if (nCreate && !pcoPopup->SysCreate()) {
        pcoPopup->Destroy();
        return nullptr;
    }
    return pcoPopup;
}

void KwPopupMenu::DetachFromParent()
{
    KwMenuItem* pcoItem = m_pcoParentItem;
    if (!pcoItem)
        return;
    // The item's own removal takes the entry out by position; the popup is
    // unlinked first, so that the item does not delete it in turn.
    pcoItem->m_unMask |= KwMenuItem::MaskCreating;
    pcoItem->SysDelete();
    pcoItem->m_unMask &= static_cast<unsigned short>(~KwMenuItem::MaskCreating);
    pcoItem->m_pcoPopup = nullptr;
    m_pcoParentItem = nullptr;
    pcoItem->Destroy();
}

void KwPopupMenu::SysDelete()
{
    DetachFromParent();
    KwMenu::SysDelete();
}

int KwPopupMenu::Remove()
{
    if (!m_pcoParentItem)
        return 0;
    DetachFromParent();
    return 1;
}

int KwPopupMenu::MoveTo(KwMenu* pcoMenu, short nPosition, const char* pszText)
{
    if (!pcoMenu || !GetHandle() || pcoMenu == this)
        return 0;
    Remove();
    const TString coText = pszText && *pszText ? TString(pszText) : GetResId();
    return pcoMenu->InsertPopupItem(coText, this, nPosition, GetResId()) ? 1 : 0;
}

int KwPopupMenu::Track(const KwPoint& coPoint, const KwWnd& coOwner, unsigned short unFlags)
{
    const KwMenuHost* pcoHost = KwMenuHost::Current();
    const KwHandle hOwner = pcoHost ? pcoHost->WindowHandle(coOwner) : 0;
    if (!GetHandle() || !hOwner || !pcoKwSys)
        return 0;
    unsigned unSystem = KwTrackFlag::LeftAlign;
    if (unFlags & TrackCenter)
        unSystem = KwTrackFlag::CenterAlign;
    else if (unFlags & TrackRight)
        unSystem = KwTrackFlag::RightAlign;
    if (!(unFlags & TrackLeftButtonOnly))
        unSystem |= KwTrackFlag::RightButton;
    m_hTrackOwner = hOwner;
    return pcoKwSys->TrackPopupMenu(GetHandle(), unSystem, coPoint, m_hTrackOwner);
}

KwWFrame* KwPopupMenu::GetParentWindow() const
{
    if (m_pcoParentItem)
        return m_pcoParentItem->GetParentWindow();
    const KwMenuHost* pcoHost = KwMenuHost::Current();
    return m_hTrackOwner && pcoHost ? pcoHost->FrameOfWindow(m_hTrackOwner) : nullptr;
}

KwMenu* KwPopupMenu::GetMainMenu() const
{
    KwMenu* pcoParent = m_pcoParentItem ? m_pcoParentItem->GetParentMenu() : nullptr;
    return pcoParent ? pcoParent->GetMainMenu() : const_cast<KwPopupMenu*>(this);
}

int KwPopupMenu::NotifyReadBegin()
{
    m_coText.Empty();
    return KwMenu::NotifyReadBegin();
}

int KwPopupMenu::NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex)
{
    if (coVar.MyId() != VarParentText)
        return KwMenu::NotifyVariableRead(coVar, pcoParent, ulIndex);
    m_coText = coVar.AsText();
    return 1;
}

// A popup read inside a menu makes its system menu and its entry at the
// end of that menu, so that its own items follow into it.
int KwPopupMenu::NotifyReadFinished(TResource* pcoParent, unsigned long ulIndex)
{
    KwRes::NotifyReadFinished(pcoParent, ulIndex);
    if (SysCreate() && pcoParent && pcoParent->IsClassFamily("KwMenu"))
        static_cast<KwMenu*>(pcoParent)->InsertPopupItem(m_coText, this, -1, GetResId());
    m_coText.Empty();
    return 0;
}

void KwPopupMenu::WriteData(TFile& coFile) const
{
    KwMenu::WriteData(coFile);
    TResString(VarParentText, m_pcoParentItem ? m_pcoParentItem->GetText() : TString()).Write(coFile);
}
