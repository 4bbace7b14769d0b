#include "KwFileSelColors.h"

unsigned long KwFileSelColors::SystemColor(short nEntry)
{
    // The classic Windows scheme, in the order of the entries.
    static const unsigned long s_aulScheme[Count] = { 0xFFFFFF, 0x000000, 0xFFFFFF, 0x808080, 0x800000,
                                                      0xFFFFFF, 0xC0C0C0, 0x000000, 0xC0C0C0, 0xC0C0C0 };
    return nEntry >= 0 && nEntry < Count ? s_aulScheme[nEntry] : 0;
}
