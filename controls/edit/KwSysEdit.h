#pragma once

#include "KctlApi.h"
#include "KwOwnFont.h"
#include "KwWSystem.h"

// An edit field: the system's "EDIT" control, wrapped. The text lives in
// the control; the colours come from the framework (the parent answers the
// control-colour messages with the field's foreground and background), the
// font is the window's or one the field keeps for itself.
class KCTL_API KwSysEdit : public KwWSystem {
    KW_DYNAMIC_CLASS(KwSysEdit, KwWSystem)
public:
    KwSysEdit();
    explicit KwSysEdit(const char* pszName);
    KwSysEdit(const char* pszName, const KwPoint& coPos, const KwSize& coSize, short nColBord = 0, short nColBack = 7,
              short nColFore = 0);
    ~KwSysEdit() override = default;

    // A read-only field lets the user select and copy its text, not change
    // it.
    int IsReadOnly() const;
    void SetReadOnly(int nOn);
    // Room kept free left and right of the text, in pixels.
    void SetMargins(short nLeft, short nRight);
    void SelectAll();
    // The field keeps a copy; null goes back to the window's font.
    void SetFont(const KwFont* pcoFont, int nRedraw);

    // Overrides
    operator KwSysEdit*() override { return this; }
    operator const KwSysEdit*() const override { return this; }
    int SysCreate(KwWnd* pcoParent) override;
    // The control shows its focus itself (the caret, the selection).
    void DrawFocus(KwDC& coDC) override {}
    // Asks the window's EvTextWillChange first: a refusal keeps the text
    // and answers 0. Then EvTextHasChanged.
    int SetText(const char* pszText) override;
    const KwFont& GetUsedFont() const override;
    KwWnd* Copy() const override { return new KwSysEdit(*this); }

protected:
    KwSysEdit(const KwSysEdit& coOther);

private:
    void ApplyMargins();

    KwOwnFont m_coFont;
    short m_nMarginLeft { 0 };
    short m_nMarginRight { 0 };
};
