#include "KwEvent.h"

#include "KwMenu.h"
#include "KwMenuItem.h"

// The events that menus and their items send, defined where a menu is a
// complete type (their classes are declared in KwEvent.h).

KwEventMenu::KwEventMenu(KwMenu* pcoMenu, unsigned short unWParam, unsigned long ulLParam)
    : KwEvent(pcoMenu, unWParam, ulLParam)
{
}

KwMenu& KwEventMenu::Menu() const
{
    return static_cast<KwMenu&>(*GetBaseObject());
}

KwEventMenuItem::KwEventMenuItem(KwMenuItem* pcoItem, unsigned short unWParam, unsigned long ulLParam)
    : KwEvent(pcoItem, unWParam, ulLParam)
{
}

KwMenuItem& KwEventMenuItem::MenuItem() const
{
    return static_cast<KwMenuItem&>(*GetBaseObject());
}
