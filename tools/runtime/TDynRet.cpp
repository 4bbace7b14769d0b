#include "TDynRet.h"

#include <cstring>

TDynRet::TDynRet(float fValue)
{
    uint32_t nBits = 0;
    std::memcpy(&nBits, &fValue, sizeof nBits);
    m_ullValue = nBits;
}

TDynRet::operator float() const
{
    const uint32_t nBits = Low();
    float fValue = 0;
    std::memcpy(&fValue, &nBits, sizeof fValue);
    return fValue;
}
