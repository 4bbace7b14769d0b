#include "KwFakeMenus.h"

#include "KwMenuFlags.h"

#include <algorithm>
#include <cstring>

namespace {

const unsigned s_unAddress = KwMenuFlag::ByPosition;

std::string PointText(const KwPoint& coPoint)
{
    return std::to_string(coPoint.X()) + "," + std::to_string(coPoint.Y());
}

} // namespace

std::string KwFakeMenuSystem::Layout(KwHandle hMenu) const
{
    auto it = coMenus.find(hMenu);
    if (it == coMenus.end())
        return "none";
    std::string strLayout;
    for (const TEntry& coEntry : it->second) {
        if (!strLayout.empty())
            strLayout += "|";
        if (coEntry.unFlags & KwMenuFlag::OwnerDraw)
            strLayout += "-";
        else
            strLayout += coEntry.strText;
        if (coEntry.unFlags & KwMenuFlag::Popup)
            strLayout += "[" + Layout(coEntry.uId) + "]";
    }
    return strLayout;
}

int KwFakeMenuSystem::SystemBitmapCount() const
{
    return static_cast<int>(std::count_if(coObjects.begin(), coObjects.end(),
                                          [](const auto& coObject) { return coObject.second.rfind("bitmap obm=", 0) == 0; }));
}

KwHandle KwFakeMenuSystem::GetMenu(KwHandle hWnd) const
{
    auto it = coWindowMenus.find(hWnd);
    return it == coWindowMenus.end() ? 0 : it->second;
}

int KwFakeMenuSystem::SetMenu(KwHandle hWnd, KwHandle hMenu)
{
    if (!IsWindow(hWnd) || (hMenu && !coMenus.count(hMenu)))
        return 0;
    if (hMenu)
        coWindowMenus[hWnd] = hMenu;
    else
        coWindowMenus.erase(hWnd);
    return 1;
}

int KwFakeMenuSystem::DrawMenuBar(KwHandle hWnd)
{
    coLog.push_back("DrawMenuBar");
    return IsWindow(hWnd);
}

// As Win32: the menu bar goes after the window's final message.
int KwFakeMenuSystem::DestroyWindow(KwHandle hWnd)
{
    const KwHandle hMenu = GetMenu(hWnd);
    const int nDestroyed = KwFakeSystem::DestroyWindow(hWnd);
    coWindowMenus.erase(hWnd);
    if (hMenu)
        DestroyMenu(hMenu);
    return nDestroyed;
}

int KwFakeMenuSystem::PostMessage(KwHandle hWnd, unsigned unMsg, std::uintptr_t wParam, std::intptr_t lParam)
{
    coPosted.push_back({ hWnd, unMsg, wParam });
    return KwFakeSystem::PostMessage(hWnd, unMsg, wParam, lParam);
}

KwHandle KwFakeMenuSystem::CreateMenu(int)
{
    const KwHandle hMenu = m_hNextMenu++;
    coMenus[hMenu];
    return hMenu;
}

int KwFakeMenuSystem::DestroyMenu(KwHandle hMenu)
{
    auto it = coMenus.find(hMenu);
    if (it == coMenus.end())
        return 0;
    const std::vector<TEntry> coEntries = it->second;
    coMenus.erase(it);
    for (const TEntry& coEntry : coEntries) {
        if (coEntry.unFlags & KwMenuFlag::Popup)
            DestroyMenu(coEntry.uId);
    }
    return 1;
}

// By command id the popups are searched too, as Win32 does.
KwFakeMenuSystem::TEntry* KwFakeMenuSystem::Find(KwHandle hMenu, unsigned unItem, unsigned unFlags)
{
    auto it = coMenus.find(hMenu);
    if (it == coMenus.end())
        return nullptr;
    std::vector<TEntry>& coEntries = it->second;
    if (unFlags & s_unAddress)
        return unItem < coEntries.size() ? &coEntries[unItem] : nullptr;
    for (TEntry& coEntry : coEntries) {
        if (!(coEntry.unFlags & KwMenuFlag::Popup) && coEntry.uId == unItem)
            return &coEntry;
    }
    for (TEntry& coEntry : coEntries) {
        TEntry* pcoFound = (coEntry.unFlags & KwMenuFlag::Popup) ? Find(coEntry.uId, unItem, unFlags) : nullptr;
        if (pcoFound)
            return pcoFound;
    }
    return nullptr;
}

const KwFakeMenuSystem::TEntry* KwFakeMenuSystem::Find(KwHandle hMenu, unsigned unItem, unsigned unFlags) const
{
    return const_cast<KwFakeMenuSystem*>(this)->Find(hMenu, unItem, unFlags);
}

int KwFakeMenuSystem::InsertMenu(KwHandle hMenu, unsigned unItem, unsigned unFlags, std::uintptr_t uId, const void* pvItem)
{
    auto it = coMenus.find(hMenu);
    if (it == coMenus.end() || !(unFlags & s_unAddress) || ((unFlags & KwMenuFlag::Popup) && !coMenus.count(uId)))
        return 0;
    TEntry coEntry;
    coEntry.unFlags = unFlags & ~s_unAddress;
    coEntry.uId = uId;
    if (!(unFlags & (KwMenuFlag::OwnerDraw | KwMenuFlag::Bitmap)) && pvItem)
        coEntry.strText = static_cast<const char*>(pvItem);
    std::vector<TEntry>& coEntries = it->second;
    coEntries.insert(unItem < coEntries.size() ? coEntries.begin() + unItem : coEntries.end(), coEntry);
    return 1;
}

int KwFakeMenuSystem::ModifyMenu(KwHandle hMenu, unsigned unItem, unsigned unFlags, std::uintptr_t uId, const void* pvItem)
{
    TEntry* pcoEntry = Find(hMenu, unItem, unFlags);
    if (!pcoEntry)
        return 0;
    pcoEntry->unFlags = unFlags & ~s_unAddress;
    pcoEntry->uId = uId;
    pcoEntry->strText = pvItem ? static_cast<const char*>(pvItem) : "";
    return 1;
}

int KwFakeMenuSystem::RemoveMenu(KwHandle hMenu, unsigned unItem, unsigned unFlags)
{
    const TEntry* pcoEntry = Find(hMenu, unItem, unFlags);
    if (!pcoEntry)
        return 0;
    for (auto& coMenu : coMenus) {
        std::vector<TEntry>& coEntries = coMenu.second;
        for (auto it = coEntries.begin(); it != coEntries.end(); ++it) {
            if (&*it == pcoEntry) {
                coEntries.erase(it);
                return 1;
            }
        }
    }
    return 0;
}

long KwFakeMenuSystem::CheckMenuItem(KwHandle hMenu, unsigned unItem, unsigned unFlags)
{
    TEntry* pcoEntry = Find(hMenu, unItem, unFlags);
    if (!pcoEntry)
        return -1;
    const long lWas = static_cast<long>(pcoEntry->unFlags & KwMenuFlag::Checked);
    pcoEntry->unFlags = (pcoEntry->unFlags & ~KwMenuFlag::Checked) | (unFlags & KwMenuFlag::Checked);
    return lWas;
}

long KwFakeMenuSystem::EnableMenuItem(KwHandle hMenu, unsigned unItem, unsigned unFlags)
{
    TEntry* pcoEntry = Find(hMenu, unItem, unFlags);
    if (!pcoEntry)
        return -1;
    const unsigned unEnable = KwMenuFlag::Grayed | KwMenuFlag::Disabled;
    const long lWas = static_cast<long>(pcoEntry->unFlags & unEnable);
    pcoEntry->unFlags = (pcoEntry->unFlags & ~unEnable) | (unFlags & unEnable);
    return lWas;
}

long KwFakeMenuSystem::GetMenuState(KwHandle hMenu, unsigned unItem, unsigned unFlags) const
{
    const TEntry* pcoEntry = Find(hMenu, unItem, unFlags);
    if (!pcoEntry)
        return -1;
    if (!(pcoEntry->unFlags & KwMenuFlag::Popup))
        return static_cast<long>(pcoEntry->unFlags);
    // A popup entry: the number of its entries in the high byte.
    return static_cast<long>((GetMenuItemCount(pcoEntry->uId) << 8) | (pcoEntry->unFlags & 0xFF));
}

int KwFakeMenuSystem::GetMenuItemCount(KwHandle hMenu) const
{
    auto it = coMenus.find(hMenu);
    return it == coMenus.end() ? -1 : static_cast<int>(it->second.size());
}

unsigned KwFakeMenuSystem::GetMenuItemID(KwHandle hMenu, int nPos) const
{
    const TEntry* pcoEntry = nPos >= 0 ? Find(hMenu, static_cast<unsigned>(nPos), s_unAddress) : nullptr;
    return pcoEntry && !(pcoEntry->unFlags & KwMenuFlag::Popup) ? static_cast<unsigned>(pcoEntry->uId) : 0xFFFFFFFFu;
}

KwHandle KwFakeMenuSystem::GetSubMenu(KwHandle hMenu, int nPos) const
{
    const TEntry* pcoEntry = nPos >= 0 ? Find(hMenu, static_cast<unsigned>(nPos), s_unAddress) : nullptr;
    return pcoEntry && (pcoEntry->unFlags & KwMenuFlag::Popup) ? static_cast<KwHandle>(pcoEntry->uId) : 0;
}

int KwFakeMenuSystem::GetMenuString(KwHandle hMenu, unsigned unItem, char* pszText, int nSize, unsigned unFlags) const
{
    const TEntry* pcoEntry = Find(hMenu, unItem, unFlags);
    if (!pszText || nSize <= 0)
        return 0;
    const std::string strText = pcoEntry ? pcoEntry->strText : std::string();
    const int nCopy = std::min(static_cast<int>(strText.size()), nSize - 1);
    std::memcpy(pszText, strText.data(), static_cast<size_t>(nCopy));
    pszText[nCopy] = 0;
    return nCopy;
}

int KwFakeMenuSystem::SetMenuItemBitmaps(KwHandle hMenu, unsigned unItem, unsigned unFlags, KwHandle hUnchecked, KwHandle hChecked)
{
    TEntry* pcoEntry = Find(hMenu, unItem, unFlags);
    if (!pcoEntry)
        return 0;
    pcoEntry->hChecked = hChecked;
    pcoEntry->hUnchecked = hUnchecked;
    return 1;
}

KwHandle KwFakeMenuSystem::LoadSystemBitmap(unsigned short unId)
{
    const KwHandle hBitmap = CreateBitmap(KwSize(13, 13), 1, 1, nullptr);
    coObjects[hBitmap] = "bitmap obm=" + std::to_string(unId);
    return hBitmap;
}

int KwFakeMenuSystem::TrackPopupMenu(KwHandle hMenu, unsigned unFlags, const KwPoint& coScreen, KwHandle hWnd)
{
    if (!coMenus.count(hMenu) || !IsWindow(hWnd))
        return 0;
    coLog.push_back("Track " + PointText(coScreen) + " flags=" + std::to_string(unFlags));
    if (fnInTrack)
        fnInTrack(hMenu);
    return 1;
}

int KwFakeMenuSystem::MoveTo(KwHandle, const KwPoint& coPoint)
{
    m_coPen = coPoint;
    return 1;
}

int KwFakeMenuSystem::LineTo(KwHandle, const KwPoint& coPoint)
{
    coLog.push_back("Line " + PointText(m_coPen) + " " + PointText(coPoint));
    m_coPen = coPoint;
    return 1;
}
