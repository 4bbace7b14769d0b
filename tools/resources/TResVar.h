#pragma once

#include "KwtlApi.h"
#include "TString.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>

class TFile;
class TLogFile;

// One typed, numbered variable of a resource record. On disk a variable is
// its type code, count and id (three u16), then one value when the count is
// 0 or 1, else count values. The kinds below add the value; the base itself
// carries none and converts to 0 or null.
//
// Reading never trusts the stored count: the values must fit into the bytes
// left before the end of the record (or of the stream), else nothing is
// allocated and Read answers 0.
class KWTL_API TResVar {
public:
    // Type codes of the kinds
    enum : unsigned short {
        TypeNone = 0,
        TypeChar = 1,
        TypeShort = 3,
        TypeLong = 7,
        TypeFloat = 9,
        TypeDouble = 10,
        TypeString = 11,
    };

    // Whether a type code that stands where an item may stand starts a
    // variable record (1, 3, 7, 9, 10, 11).
    static constexpr bool IsVariableType(unsigned short unCode)
    {
        return unCode == TypeChar || unCode == TypeShort || unCode == TypeLong || unCode == TypeFloat
            || unCode == TypeDouble || unCode == TypeString;
    }

    TResVar() = default;
    // Copies id and count only; the value belongs to the kind.
    TResVar(const TResVar& coOther) : m_unCount(coOther.m_unCount), m_unId(coOther.m_unId) {}
    virtual ~TResVar();

    // Streams. The type code has already been read; count, id and value(s)
    // follow. llEnd is the stream position the variable must not pass (-1:
    // the end of the stream). 1 when the whole variable was read.
    virtual int Read(TLogFile* pcoReader, int64_t llEnd = -1);
    virtual unsigned short MyType() const { return TypeNone; }
    // Type code, count, id and value(s); 1 when every byte was written.
    virtual int Write(TFile& coFile) const;

    // Conversions; the base answers 0 or null.
    virtual operator char() const { return 0; }
    virtual operator unsigned char() const { return 0; }
    virtual operator short() const { return 0; }
    virtual operator unsigned short() const { return 0; }
    virtual operator int() const { return 0; }
    virtual operator unsigned int() const { return 0; }
    virtual operator long() const { return 0; }
    virtual operator unsigned long() const { return 0; }
    virtual operator float() const { return 0; }
    virtual operator double() const { return 0; }
    virtual operator void*() const { return nullptr; }
    virtual operator const char*() const { return nullptr; }

    // Elements: the kind's element variable, filled with value i when i is
    // below the count (compared as u16), else unchanged. It belongs to this
    // variable. The base has no element and answers itself.
    virtual TResVar& operator[](int i) const;
    TResVar& operator[](short i) const { return (*this)[static_cast<int>(i)]; }
    TResVar& operator[](unsigned short i) const { return (*this)[static_cast<int>(i)]; }
    TResVar& operator[](unsigned int i) const { return (*this)[static_cast<int>(i)]; }

    // Identity
    unsigned short MyId() const { return m_unId; }
    unsigned short GetCount() const { return m_unCount; }
    // Storage treats a count below 2 as one value; this answers 1 from a
    // count of 1 on, as callers of the old interface expect.
    int IsArray() const { return m_unCount > 0; }

    // The variable as text, the one way a record's text is read: a string
    // variable's single text; a character variable's bytes up to its count
    // (its one character below a count of 2), up to a zero byte among
    // them, for a character array carries no terminating zero; empty for
    // an array of texts and for every other kind.
    TString AsText() const;

    // The bytes left before llEnd (or the end of the stream when it is -1).
    static int64_t Remaining(TLogFile* pcoReader, int64_t llEnd);
    // A counted string whose characters and zero byte lie before llEnd. The
    // text (malloc, null for length 0) goes to *ppszText; 0 when the string
    // is cut off or its zero byte is missing.
    static int ReadCountedString(TLogFile* pcoReader, int64_t llEnd, char** ppszText);
    // Exactly ulCount bytes before llEnd; 0 otherwise.
    static int ReadBytes(TLogFile* pcoReader, int64_t llEnd, void* pvBuffer, uint32_t ulCount);

protected:
    TResVar(unsigned short unId, unsigned short unCount) : m_unCount(unCount), m_unId(unId) {}
    TResVar& operator=(const TResVar& coOther);
    void Set(unsigned short unId, unsigned short unCount);
    // Reads count and id, before the values.
    int ReadHead(TLogFile* pcoReader, int64_t llEnd);
    int WriteHead(TFile& coFile) const;

    mutable TResVar* m_pcoElement { nullptr };   // owned; same kind, made on the first indexed access

private:
    unsigned short m_unCount { 1 };
    unsigned short m_unId { 0 };
};

namespace KwResVarDetail {

// Floating values converted to an integer type as C does (truncation toward
// zero), where C leaves the result undefined (out of range, not a number)
// the nearest representable value, 0 for not a number.
template <class TTo, class TFrom>
TTo Convert(TFrom value)
{
    if constexpr (std::is_floating_point_v<TFrom> && std::is_integral_v<TTo>) {
        if (std::isnan(value))
            return 0;
        // Through a 64-bit value, so that negative values reach unsigned
        // types modulo their range as integer conversions do.
        const long double ldValue = value;
        if (ldValue >= 9.2233720368547758e18L)
            return static_cast<TTo>(std::numeric_limits<int64_t>::max());
        if (ldValue <= -9.2233720368547758e18L)
            return static_cast<TTo>(std::numeric_limits<int64_t>::min());
        return static_cast<TTo>(static_cast<int64_t>(value));
    } else if constexpr (std::is_floating_point_v<TTo> && std::is_floating_point_v<TFrom>) {
        if (std::isnan(value))
            return static_cast<TTo>(value);
        if (value > std::numeric_limits<TTo>::max())
            return std::numeric_limits<TTo>::infinity();
        if (value < -std::numeric_limits<TTo>::max())
            return -std::numeric_limits<TTo>::infinity();
        return static_cast<TTo>(value);
    } else {
        return static_cast<TTo>(value);
    }
}

// Byte encodings of the numeric kinds: one value and each array element.
KWTL_API int WriteValue(TFile& coFile, char chValue);
KWTL_API int WriteValue(TFile& coFile, short nValue);
KWTL_API int WriteValue(TFile& coFile, long lValue);
KWTL_API int WriteValue(TFile& coFile, float fValue);
KWTL_API int WriteValue(TFile& coFile, double dValue);
KWTL_API int WriteArray(TFile& coFile, const char* pValues, unsigned short unCount);
KWTL_API int WriteArray(TFile& coFile, const short* pValues, unsigned short unCount);
KWTL_API int WriteArray(TFile& coFile, const long* pValues, unsigned short unCount);
KWTL_API int WriteArray(TFile& coFile, const float* pValues, unsigned short unCount);
KWTL_API int WriteArray(TFile& coFile, const double* pValues, unsigned short unCount);
KWTL_API int ReadValue(TLogFile* pcoReader, int64_t llEnd, char& chValue);
KWTL_API int ReadValue(TLogFile* pcoReader, int64_t llEnd, short& nValue);
KWTL_API int ReadValue(TLogFile* pcoReader, int64_t llEnd, long& lValue);
KWTL_API int ReadValue(TLogFile* pcoReader, int64_t llEnd, float& fValue);
KWTL_API int ReadValue(TLogFile* pcoReader, int64_t llEnd, double& dValue);
KWTL_API int ReadArray(TLogFile* pcoReader, int64_t llEnd, char* pValues, unsigned short unCount);
KWTL_API int ReadArray(TLogFile* pcoReader, int64_t llEnd, short* pValues, unsigned short unCount);
KWTL_API int ReadArray(TLogFile* pcoReader, int64_t llEnd, long* pValues, unsigned short unCount);
KWTL_API int ReadArray(TLogFile* pcoReader, int64_t llEnd, float* pValues, unsigned short unCount);
KWTL_API int ReadArray(TLogFile* pcoReader, int64_t llEnd, double* pValues, unsigned short unCount);
// Bytes of one array element on disk.
constexpr uint32_t ElementSize(char) { return 1; }
constexpr uint32_t ElementSize(short) { return 2; }
constexpr uint32_t ElementSize(long) { return 4; }
constexpr uint32_t ElementSize(float) { return 4; }
constexpr uint32_t ElementSize(double) { return 8; }

} // namespace KwResVarDetail

// The storage and conversions of the numeric kinds: one value, or an array
// of count values (count 2 and more). TKind is the kind itself, so that
// elements are of the same kind.
template <class TKind, class TValue>
class TResNumeric : public TResVar {
public:
    ~TResNumeric() override { delete[] m_pValues; }

    // The value; the array (null for a single value).
    TValue GetValue() const { return m_value; }
    const TValue* GetValues() const { return m_pValues; }

    int Read(TLogFile* pcoReader, int64_t llEnd = -1) override
    {
        if (!ReadHead(pcoReader, llEnd))
            return 0;
        Release();
        m_value = 0;
        if (GetCount() <= 1)
            return KwResVarDetail::ReadValue(pcoReader, llEnd, m_value);
        const int64_t llBytes = static_cast<int64_t>(GetCount()) * KwResVarDetail::ElementSize(TValue());
        if (llBytes > Remaining(pcoReader, llEnd))
            return 0;
        m_pValues = new (std::nothrow) TValue[GetCount()];
        if (!m_pValues)
            return 0;
        return KwResVarDetail::ReadArray(pcoReader, llEnd, m_pValues, GetCount());
    }
    int Write(TFile& coFile) const override
    {
        if (!WriteHead(coFile))
            return 0;
        if (GetCount() < 2 || !m_pValues)
            return KwResVarDetail::WriteValue(coFile, m_value);
        return KwResVarDetail::WriteArray(coFile, m_pValues, GetCount());
    }

    operator char() const override { return KwResVarDetail::Convert<char>(m_value); }
    operator unsigned char() const override { return KwResVarDetail::Convert<unsigned char>(m_value); }
    operator short() const override { return KwResVarDetail::Convert<short>(m_value); }
    operator unsigned short() const override { return KwResVarDetail::Convert<unsigned short>(m_value); }
    operator int() const override { return KwResVarDetail::Convert<int>(m_value); }
    operator unsigned int() const override { return KwResVarDetail::Convert<unsigned int>(m_value); }
    operator long() const override { return KwResVarDetail::Convert<long>(m_value); }
    operator unsigned long() const override { return KwResVarDetail::Convert<unsigned long>(m_value); }
    operator float() const override { return KwResVarDetail::Convert<float>(m_value); }
    operator double() const override { return KwResVarDetail::Convert<double>(m_value); }

    TResVar& operator[](int i) const override
    {
        if (!m_pcoElement) {
            m_pcoElement = new (std::nothrow) TKind;
            if (!m_pcoElement)
                return const_cast<TResNumeric&>(*this);
        }
        auto* pcoElement = static_cast<TKind*>(m_pcoElement);
        const auto unIndex = static_cast<unsigned short>(i);
        if (unIndex < GetCount())
            pcoElement->SetValue(MyId(), GetCount() < 2 || !m_pValues ? m_value : m_pValues[unIndex]);
        return *pcoElement;
    }
    using TResVar::operator[];

protected:
    TResNumeric() = default;
    TResNumeric(unsigned short unId, TValue value) : TResVar(unId, 1), m_value(value) {}
    TResNumeric(unsigned short unId, const TValue* pValues, unsigned short unCount) { SetValues(unId, pValues, unCount); }
    TResNumeric(const TResNumeric& coOther) : TResVar(coOther) { CopyValues(coOther); }
    TResNumeric& operator=(const TResNumeric& coOther)
    {
        if (this != &coOther) {
            TResVar::operator=(coOther);
            Release();
            CopyValues(coOther);
        }
        return *this;
    }

    void SetValue(unsigned short unId, TValue value)
    {
        Release();
        TResVar::Set(unId, 1);
        m_value = value;
    }
    // Count 1 takes the first value, 2 and more copy the values, 0 stores
    // nothing.
    void SetValues(unsigned short unId, const TValue* pValues, unsigned short unCount)
    {
        Release();
        m_value = 0;
        if (!pValues)
            unCount = 0;
        TResVar::Set(unId, unCount);
        if (unCount == 1)
            m_value = pValues[0];
        if (unCount < 2)
            return;
        m_pValues = new (std::nothrow) TValue[unCount];
        if (!m_pValues) {
            TResVar::Set(unId, 0);
            return;
        }
        std::memcpy(m_pValues, pValues, sizeof(TValue) * unCount);
    }

    TValue m_value {};

private:
    void Release()
    {
        delete[] m_pValues;
        m_pValues = nullptr;
    }
    void CopyValues(const TResNumeric& coOther)
    {
        m_value = coOther.m_value;
        if (!coOther.m_pValues)
            return;
        m_pValues = new (std::nothrow) TValue[coOther.GetCount()];
        if (!m_pValues) {
            TResVar::Set(MyId(), 0);
            return;
        }
        std::memcpy(m_pValues, coOther.m_pValues, sizeof(TValue) * coOther.GetCount());
    }

    TValue* m_pValues { nullptr };   // owned; count values when the count is 2 or more
};

class KWTL_API TResChar : public TResNumeric<TResChar, char> {
public:
    TResChar() = default;
    TResChar(unsigned short unId, char chValue) : TResNumeric(unId, chValue) {}
    TResChar(unsigned short unId, const char* pchValues, unsigned short unCount) : TResNumeric(unId, pchValues, unCount) {}
    TResChar(const TResChar& coOther) = default;
    TResChar& operator=(const TResChar& coOther) = default;

    void Set(unsigned short unId, char chValue) { SetValue(unId, chValue); }
    void Set(unsigned short unId, const char* pchValues, unsigned short unCount) { SetValues(unId, pchValues, unCount); }

    unsigned short MyType() const override { return TypeChar; }
    // The single character's address below a count of 2, else the array;
    // neither is terminated.
    operator const char*() const override { return GetCount() < 2 || !GetValues() ? &m_value : GetValues(); }

private:
    friend class TResNumeric<TResChar, char>;
};

class KWTL_API TResShort : public TResNumeric<TResShort, short> {
public:
    TResShort() = default;
    TResShort(unsigned short unId, short nValue) : TResNumeric(unId, nValue) {}
    TResShort(unsigned short unId, const short* pnValues, unsigned short unCount) : TResNumeric(unId, pnValues, unCount) {}
    TResShort(const TResShort& coOther) = default;
    TResShort& operator=(const TResShort& coOther) = default;

    void Set(unsigned short unId, short nValue) { SetValue(unId, nValue); }
    void Set(unsigned short unId, const short* pnValues, unsigned short unCount) { SetValues(unId, pnValues, unCount); }

    unsigned short MyType() const override { return TypeShort; }

private:
    friend class TResNumeric<TResShort, short>;
};

// Values are 32-bit on disk; a wider long keeps its low 32 bits.
class KWTL_API TResLong : public TResNumeric<TResLong, long> {
public:
    TResLong() = default;
    TResLong(unsigned short unId, long lValue) : TResNumeric(unId, lValue) {}
    TResLong(unsigned short unId, const long* plValues, unsigned short unCount) : TResNumeric(unId, plValues, unCount) {}
    TResLong(const TResLong& coOther) = default;
    TResLong& operator=(const TResLong& coOther) = default;

    void Set(unsigned short unId, long lValue) { SetValue(unId, lValue); }
    void Set(unsigned short unId, const long* plValues, unsigned short unCount) { SetValues(unId, plValues, unCount); }

    unsigned short MyType() const override { return TypeLong; }

private:
    friend class TResNumeric<TResLong, long>;
};

// One value is written widened to a double (8 bytes), array elements as
// 4-byte floats.
class KWTL_API TResFloat : public TResNumeric<TResFloat, float> {
public:
    TResFloat() = default;
    TResFloat(unsigned short unId, float fValue) : TResNumeric(unId, fValue) {}
    TResFloat(unsigned short unId, const float* pfValues, unsigned short unCount) : TResNumeric(unId, pfValues, unCount) {}
    TResFloat(const TResFloat& coOther) = default;
    TResFloat& operator=(const TResFloat& coOther) = default;

    void Set(unsigned short unId, float fValue) { SetValue(unId, fValue); }
    void Set(unsigned short unId, const float* pfValues, unsigned short unCount) { SetValues(unId, pfValues, unCount); }

    unsigned short MyType() const override { return TypeFloat; }

private:
    friend class TResNumeric<TResFloat, float>;
};

class KWTL_API TResDouble : public TResNumeric<TResDouble, double> {
public:
    TResDouble() = default;
    TResDouble(unsigned short unId, double dValue) : TResNumeric(unId, dValue) {}
    TResDouble(unsigned short unId, const double* pdValues, unsigned short unCount) : TResNumeric(unId, pdValues, unCount) {}
    TResDouble(const TResDouble& coOther) = default;
    TResDouble& operator=(const TResDouble& coOther) = default;

    void Set(unsigned short unId, double dValue) { SetValue(unId, dValue); }
    void Set(unsigned short unId, const double* pdValues, unsigned short unCount) { SetValues(unId, pdValues, unCount); }

    unsigned short MyType() const override { return TypeDouble; }

private:
    friend class TResNumeric<TResDouble, double>;
};

// One text or an array of texts, each an own heap copy or null. An absent
// and an empty text are written alike and read back as absent.
class KWTL_API TResString : public TResVar {
public:
    TResString() = default;
    TResString(unsigned short unId, const char* pszValue);
    TResString(unsigned short unId, const char* const* ppszValues, unsigned short unCount);
    TResString(const TResString& coOther);
    TResString& operator=(const TResString& coOther);
    ~TResString() override;

    void Set(unsigned short unId, const char* pszValue);
    void Set(unsigned short unId, const char* const* ppszValues, unsigned short unCount);
    const char* GetValue() const { return m_pszValue; }
    // The i-th text of an array; null outside it.
    const char* GetValue(unsigned short i) const { return m_ppszValues && i < GetCount() ? m_ppszValues[i] : nullptr; }

    int Read(TLogFile* pcoReader, int64_t llEnd = -1) override;
    unsigned short MyType() const override { return TypeString; }
    int Write(TFile& coFile) const override;
    // The single text; null for an array.
    operator const char*() const override { return GetCount() < 2 ? m_pszValue : nullptr; }
    TResVar& operator[](int i) const override;
    using TResVar::operator[];

private:
    void Release();
    void CopyValues(const TResString& coOther);
    // Slots for unCount texts, copies of ppszValues (null: all null).
    int MakeArray(const char* const* ppszValues, unsigned short unCount);
    static char* DupText(const char* pszText);

    char* m_pszValue { nullptr };     // owned (malloc)
    char** m_ppszValues { nullptr };  // owned (new[]); m_unSlots texts, each owned (malloc) or null
    unsigned short m_unSlots { 0 };
};
