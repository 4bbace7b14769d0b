#pragma once

#include "Kw25Api.h"
#include "KwColor.h"
#include "KwPair.h"
#include "KwRes.h"
#include "TString.h"

#include <cstdint>

// What every window is before it has a system window: its creation values
// (style, position, size, text), its look flags and its six colour
// numbers. These are its resource variables (31 to 47).
class KW25_API KwWndBase : public KwRes {
    KW_DYNAMIC_CLASS(KwWndBase, KwRes)
public:
    // Look flags
    enum : unsigned short {
        LookAutoDestroy = 0x0002,       // deleted when its system window is destroyed
        LookTransparent = 0x0004,
        LookBorder = 0x0100,
        LookParentBack = 0x0200,        // paints with the parent's background colour
        LookWindowInMemory = 0x1000,
        LookContentInMemory = 0x2000,
        LookHourGlass = 0x4000,         // the wait cursor while painting
        LookDefault = LookAutoDestroy | LookBorder,
    };
    // Resource variables
    enum : unsigned short {
        VarExtra = 31, VarStyle = 32, VarExStyle = 33, VarIgnored = 34, VarPosX = 35, VarPosY = 36,
        VarWidth = 37, VarHeight = 38, VarColBord = 39, VarColBack = 40, VarColFore = 41, VarLook = 42,
        VarInitText = 43, VarShadowLight = 44, VarShadowDark = 45, VarUserValue = 46, VarShadowMedium = 47,
    };

    KwWndBase() = default;
    KwWndBase(const char* pszName, unsigned long ulStyle, unsigned long ulExStyle, const KwPoint& coPos,
              const KwSize& coSize, short nColBack, short nColFore, short nColBord, const char* pszText);
    ~KwWndBase() override = default;

    // Look
    unsigned short GetLookFlags() const { return m_unLook; }
    int IsAutoDestroy() const { return (m_unLook & LookAutoDestroy) ? 1 : 0; }
    void AutoDestroyOn() { m_unLook |= LookAutoDestroy; }
    void AutoDestroyOff() { m_unLook &= static_cast<unsigned short>(~LookAutoDestroy); }
    int IsTransparent() const { return (m_unLook & LookTransparent) ? 1 : 0; }
    int HasBorderLook() const { return (m_unLook & LookBorder) ? 1 : 0; }
    int IsParentBack() const { return (m_unLook & LookParentBack) ? 1 : 0; }
    int IsWindowInMemory() const { return (m_unLook & LookWindowInMemory) ? 1 : 0; }
    int IsContentInMemory() const { return (m_unLook & LookContentInMemory) ? 1 : 0; }
    int IsHourGlassOnPaint() const { return (m_unLook & LookHourGlass) ? 1 : 0; }

    // Colours (numbers of the application's colour table)
    const KwSysColor& GetColBord() const { return m_coColBord; }
    const KwSysColor& GetColBack() const { return m_coColBack; }
    const KwSysColor& GetColFore() const { return m_coColFore; }
    const KwSysColor& GetColShadowLight() const { return m_coColShadowLight; }
    const KwSysColor& GetColShadowDark() const { return m_coColShadowDark; }
    const KwSysColor& GetColShadowMedium() const { return m_coColShadowMedium; }

    // Values kept for the application. The user value is stored in files as
    // 32 bits and never holds a pointer.
    const TString& GetExtra() const { return m_coExtra; }
    void SetExtra(const char* pszExtra) { m_coExtra = pszExtra; }
    std::int32_t GetUserValue() const { return m_lUserValue; }
    void SetUserValue(std::int32_t lValue) { m_lUserValue = lValue; }
    // The text given at construction (the title of a frame); null for none.
    const char* GetInitText() const { return m_coInitText.IsEmpty() ? nullptr : static_cast<const char*>(m_coInitText); }
    void SetInitText(const char* pszText) { m_coInitText = pszText && *pszText ? pszText : nullptr; }

    // Overridables, in their slot order after those of KwRes. Without a
    // system window they read and store the creation values.
    virtual unsigned long GetStyle() const { return m_ulStyle; }
    virtual unsigned long GetExStyle() const { return m_ulExStyle; }
    virtual KwPoint GetPos() const { return m_coPos; }
    virtual KwSize GetSize() const { return m_coSize; }
    virtual void SetLookTransparent(int nOn, int nRedraw) { SetLook(LookTransparent, nOn); }
    virtual void UseParentBack(int nOn, int nRedraw) { SetLook(LookParentBack, nOn); }
    virtual void UseBorder(int nOn, int nRedraw) { SetLook(LookBorder, nOn); }
    virtual void UseHourGlassOnPaint(int nOn) { SetLook(LookHourGlass, nOn); }
    virtual void PaintNormal() { m_unLook &= static_cast<unsigned short>(~(LookWindowInMemory | LookContentInMemory)); }
    virtual void PaintWindowInMemory() { m_unLook |= LookWindowInMemory; }
    virtual void PaintContentInMemory() { m_unLook |= LookContentInMemory; }
    virtual void SetStyle(unsigned long ulStyle) { m_ulStyle = ulStyle; }
    virtual void SetExStyle(unsigned long ulExStyle) { m_ulExStyle = ulExStyle; }
    virtual void SetPos(KwPoint coPos, int nRedraw) { m_coPos = coPos; }
    virtual void SetSize(KwSize coSize, int nRedraw) { m_coSize = coSize; }
    virtual void SetColBord(short nColor, int nRedraw) { m_coColBord.SetIndex(nColor); }
    virtual void SetColBack(short nColor, int nRedraw) { m_coColBack.SetIndex(nColor); }
    virtual void SetColFore(short nColor, int nRedraw) { m_coColFore.SetIndex(nColor); }
    virtual void SetColShadowLight(short nColor, int nRedraw) { m_coColShadowLight.SetIndex(nColor); }
    virtual void SetColShadowDark(short nColor, int nRedraw) { m_coColShadowDark.SetIndex(nColor); }
    virtual void SetColShadowMedium(short nColor, int nRedraw) { m_coColShadowMedium.SetIndex(nColor); }

    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    KwWndBase(const KwWndBase& coOther);
    KwWndBase& operator=(const KwWndBase&) = delete;

    void WriteData(TFile& coFile) const override;
    void SetLook(unsigned short unFlag, int nOn);
    // The creation values themselves, for windows that keep them up to date.
    void StorePos(const KwPoint& coPos) { m_coPos = coPos; }
    void StoreSize(const KwSize& coSize) { m_coSize = coSize; }
    void StoreInitText(const char* pszText) { m_coInitText = pszText; }

private:
    unsigned short m_unLook { LookDefault };
    std::int32_t m_lUserValue { 0 };
    TString m_coExtra;
    unsigned long m_ulStyle { 0 };
    unsigned long m_ulExStyle { 0 };
    TString m_coInitText;
    KwPoint m_coPos;
    KwSize m_coSize;
    KwSysColor m_coColBord;
    KwSysColor m_coColBack;
    KwSysColor m_coColFore;
    KwSysColor m_coColShadowLight { 7 };
    KwSysColor m_coColShadowDark { 8 };
    KwSysColor m_coColShadowMedium { 15 };
};
