#pragma once

#include "Kw25Api.h"

// The keys the framework's keyboard handling knows, by index: 0 Return,
// 1 Up, 2 Down, 3 Left, 4 Right, 5 Page up, 6 Page down, 7 Home, 8 End,
// 9 Delete, 10 Backspace, 11 Tab, 12 Escape, 13 to 22 F1 to F10, 23 Shift,
// 24 Alt, 25 Control, 26 Caps lock, 27 Num lock, 28 Insert.
class KW25_API KwKeyTable {
public:
    enum : short { Count = 29 };

    KwKeyTable();

    // The index of a virtual-key code, or -1.
    short FindKeyIndex(unsigned short unKey) const;
    unsigned short GetKey(short nIndex) const { return nIndex >= 0 && nIndex < Count ? m_aunKeys[nIndex] : 0; }

    // Modifier states, asked of the adapter.
    int IsShift() const;
    int IsAlt() const;
    int IsCtrl() const;
    int IsCapsLock() const;
    int IsInsert() const;
    int IsNumLock() const;

private:
    unsigned short m_aunKeys[Count];
};
