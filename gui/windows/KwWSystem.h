#pragma once

#include "Kw25Api.h"
#include "KwWChild.h"
#include "TString.h"

// A window of one of the system's predefined control classes ("EDIT",
// "BUTTON", "SCROLLBAR", ...), wrapped by replacing its window procedure:
// its messages reach the framework's Map handlers first and the control's
// own procedure when they are not handled. The text lives in the control.
class KW25_API KwWSystem : public KwWChild {
    KW_DYNAMIC_CLASS(KwWSystem, KwWChild)
public:
    KwWSystem() = default;
    KwWSystem(const char* pszName, const char* pszSystemClass);
    KwWSystem(const char* pszName, const char* pszSystemClass, const KwPoint& coPos, const KwSize& coSize,
              short nColBord, short nColBack, short nColFore);
    ~KwWSystem() override;

    const TString& GetSystemClass() const { return m_coSystemClass; }
    void SetSystemClass(const char* pszClass) { m_coSystemClass = pszClass; }
    // Set by the adapter when it wraps the control.
    void SetDefaultWindowProc(void* pvProc) { m_pvOriginalProc = pvProc; }

    // The framework's procedure for wrapped controls, and its release
    // (nothing to release on this platform).
    static void* AllocProcZORVIK();
    static void FreeProcZORVIK() {}

    // Overridables, in their slot order after those of KwWChild.
    // Fires the notifications and the link "KW_LINK_PAINT" after the
    // control has painted itself; answers the link's result.
    virtual int EvSysPaint(KwDC& coDC);
    virtual int ChangeWindowProcedure();

    // Overrides
    operator KwWSystem*() override { return this; }
    operator const KwWSystem*() const override { return this; }
    const char* Register() override;
    int SysCreate(KwWnd* pcoParent) override;
    void UseBorder(int nOn, int nRedraw) override;
    void SetResFont(short nFont, int nRedraw) override;
    void* GetDefaultWindowProc() const override { return m_pvOriginalProc; }
    int CanSetContent(const KwContent&) const override { return 0; }
    int CanRemoveContent() const override { return 0; }
    KwWnd* Copy() const override;

protected:
    KwWSystem(const KwWSystem& coOther);

private:
    int MapPaint(KwMessParam* pcoParam) override;

    TString m_coSystemClass;
    void* m_pvOriginalProc { nullptr };   // the control's own procedure
};
