#include "KwFileSelColors.h"

#include "KwWindows.h"

unsigned long KwFileSelColors::SystemColor(short nEntry)
{
    // window, window text, button highlight, button shadow, highlight,
    // highlight text, button face, button text, active border, scroll bar
    static const int s_anSystem[Count] = { COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW,
                                           COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE, COLOR_BTNTEXT,
                                           COLOR_ACTIVEBORDER, COLOR_SCROLLBAR };
    if (nEntry < 0 || nEntry >= Count)
        return 0;
    return ::GetSysColor(s_anSystem[nEntry]);
}
