#pragma once

#include "KwtlApi.h"

#include <cstdint>

// The result of a function called by name. Numbers are held as one 32-bit
// value: narrower types are sign- or zero-extended into it, conversions read
// the low bits back, a double is kept in single precision. A pointer is
// kept whole, so it survives on 64-bit builds.
class KWTL_API TDynRet {
public:
    TDynRet() = default;
    TDynRet(char chValue) : m_ullValue(Bits(static_cast<signed char>(chValue))) {}
    TDynRet(unsigned char uchValue) : m_ullValue(uchValue) {}
    TDynRet(short nValue) : m_ullValue(Bits(nValue)) {}
    TDynRet(unsigned short unValue) : m_ullValue(unValue) {}
    TDynRet(int nValue) : m_ullValue(Bits(nValue)) {}
    TDynRet(unsigned int unValue) : m_ullValue(static_cast<uint32_t>(unValue)) {}
    TDynRet(long lValue) : m_ullValue(Bits(static_cast<int32_t>(lValue))) {}
    TDynRet(unsigned long ulValue) : m_ullValue(static_cast<uint32_t>(ulValue)) {}
    TDynRet(void* pvValue) : m_ullValue(reinterpret_cast<uintptr_t>(pvValue)) {}
    TDynRet(float fValue);
    TDynRet(double dValue) : TDynRet(static_cast<float>(dValue)) {}
    TDynRet(const TDynRet&) = default;
    TDynRet& operator=(const TDynRet&) = default;
    virtual ~TDynRet() = default;

    // Conversions
    operator char() const { return static_cast<char>(Low()); }
    operator unsigned char() const { return static_cast<unsigned char>(Low()); }
    operator short() const { return static_cast<short>(Low()); }
    operator unsigned short() const { return static_cast<unsigned short>(Low()); }
    operator int() const { return static_cast<int32_t>(Low()); }
    operator unsigned int() const { return Low(); }
    operator long() const { return static_cast<int32_t>(Low()); }
    operator unsigned long() const { return Low(); }
    operator float() const;
    operator double() const { return static_cast<float>(*this); }
    void* AsPtr() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(m_ullValue)); }

private:
    static uint32_t Bits(int32_t nValue) { return static_cast<uint32_t>(nValue); }
    uint32_t Low() const { return static_cast<uint32_t>(m_ullValue); }

    uint64_t m_ullValue { 0 };
};
