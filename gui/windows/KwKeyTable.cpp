#include "KwKeyTable.h"

#include "KwSystem.h"

#include <algorithm>

namespace {

int IsDown(int nKey)
{
    return pcoKwSys && (pcoKwSys->GetKeyState(nKey) & 0x8000) ? 1 : 0;
}

int IsToggled(int nKey)
{
    return pcoKwSys && (pcoKwSys->GetKeyState(nKey) & 0x0001) ? 1 : 0;
}

} // namespace

KwKeyTable::KwKeyTable()
{
    static const unsigned short s_aunKeys[Count] = {
        13, 38, 40, 37, 39, 33, 34, 36, 35, 46, 8, 9, 27,
        112, 113, 114, 115, 116, 117, 118, 119, 120, 121,
        16, 18, 17, 20, 144, 45,
    };
    std::copy(std::begin(s_aunKeys), std::end(s_aunKeys), m_aunKeys);
}

short KwKeyTable::FindKeyIndex(unsigned short unKey) const
{
    for (short i = 0; i < Count; ++i) {
        if (m_aunKeys[i] == unKey)
            return i;
    }
    return -1;
}

int KwKeyTable::IsShift() const { return IsDown(16); }
int KwKeyTable::IsAlt() const { return IsDown(18); }
int KwKeyTable::IsCtrl() const { return IsDown(17); }
int KwKeyTable::IsCapsLock() const { return IsToggled(20); }
int KwKeyTable::IsInsert() const { return IsToggled(45); }
int KwKeyTable::IsNumLock() const { return IsToggled(144); }
