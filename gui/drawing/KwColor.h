#pragma once

#include "Kw25Api.h"
#include "KwRes.h"

// One colour: the low 24 bits are the RGB value (red in the lowest byte),
// the top bit marks the colour transparent. The flag never reaches the
// system: GetSystemColor() clears it.
class KW25_API KwColor : public KwRes {
    KW_DYNAMIC_CLASS(KwColor, KwRes)
public:
    enum : unsigned short { VarValue = 5001 };
    enum : unsigned long { TransparentBit = 0x80000000UL };

    KwColor() = default;
    explicit KwColor(unsigned long ulValue, const char* pszName = nullptr) : KwRes(pszName), m_ulValue(ulValue) {}
    KwColor(unsigned char bRed, unsigned char bGreen, unsigned char bBlue, const char* pszName = nullptr);
    KwColor(const KwColor& coOther) : KwRes(coOther), m_ulValue(coOther.m_ulValue) {}
    KwColor& operator=(const KwColor& coOther);

    // Value
    unsigned long Get() const { return m_ulValue; }
    unsigned long GetSystemColor() const { return m_ulValue & 0x00FFFFFFUL; }
    unsigned char Red() const { return static_cast<unsigned char>(m_ulValue & 0xFF); }
    unsigned char Green() const { return static_cast<unsigned char>((m_ulValue >> 8) & 0xFF); }
    unsigned char Blue() const { return static_cast<unsigned char>((m_ulValue >> 16) & 0xFF); }
    void Set(unsigned long ulValue) { m_ulValue = ulValue; }
    void Set(unsigned char bRed, unsigned char bGreen, unsigned char bBlue);
    // The Change forms set a new value and answer the old one.
    unsigned long Change(unsigned long ulValue);
    unsigned long Change(unsigned char bRed, unsigned char bGreen, unsigned char bBlue);
    void SetTransparent(int nOn);
    int IsTransparent() const { return (m_ulValue & TransparentBit) ? 1 : 0; }

    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    void WriteData(TFile& coFile) const override;

private:
    unsigned long m_ulValue { 0 };
};

// A colour by its number in the application's active colour table, so that
// a resource file can restyle all windows at once.
class KW25_API KwSysColor : public KwRes {
    KW_DYNAMIC_CLASS(KwSysColor, KwRes)
public:
    enum : unsigned short { VarIndex = 5011 };

    KwSysColor() = default;
    explicit KwSysColor(short nIndex) : m_nIndex(nIndex) {}
    KwSysColor(const KwSysColor& coOther) : KwRes(coOther), m_nIndex(coOther.m_nIndex) {}
    KwSysColor& operator=(const KwSysColor& coOther);

    short GetIndex() const { return m_nIndex; }
    void SetIndex(short nIndex) { m_nIndex = nIndex; }
    short ChgIndex(short nIndex);
    // The colour of the number in the active colour table (the built-in
    // default table while there is no application).
    const KwColor& GetKwColor() const;
    unsigned long GetRealColor() const { return GetKwColor().GetSystemColor(); }

    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    void WriteData(TFile& coFile) const override;

private:
    short m_nIndex { 0 };
};
