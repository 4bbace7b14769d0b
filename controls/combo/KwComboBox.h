#pragma once

#include "KctlApi.h"
#include "KwSysEdit.h"
#include "TArray.h"
#include "TString.h"

class KwComboList;
class KwWFrame;

// An edit field with a list of entries to choose from. Its button
// "__COMBOSELECT__", a left press on the field, F4 and Alt+Down open the
// drop-down: a frame "__COMBOFRAME__" just below the field, as wide as the
// field, with a KwComboList "__COMBOLIST__" in it, run modally until the
// user chooses an entry (which goes into the field unless
// "KW_LINK_COMBOLISTCOMMAND" takes it), presses Escape, releases the
// button away from both, or clicks elsewhere (the drop-down closes when it
// is deactivated).
//
// The owner may fill the drop-down itself ("KW_LINK_COMBOINIT") and give
// its lines ("KW_LINK_COMBOLISTGETTEXT"); otherwise the lines are the
// entries, kept in alphabetical order (without regard to case) unless that
// is switched off.
class KCTL_API KwComboBox : public KwSysEdit {
    KW_DYNAMIC_CLASS(KwComboBox, KwSysEdit)
    KW_MVC_CLASS(KwComboBox, KwSysEdit)
public:
    enum : unsigned short { VarEntry = 402, VarAlphabetical = 403, VarVisibleLines = 404 };
    enum : unsigned short { DefaultVisibleLines = 3 };
    static constexpr const char* FrameName = "__COMBOFRAME__";
    static constexpr const char* ButtonName = "__COMBOSELECT__";
    // UseTextList: a count with this bit set means a list ended by null.
    static constexpr unsigned long NullTerminated = 0x80000000UL;

    KwComboBox();
    explicit KwComboBox(const char* pszName);
    KwComboBox(const char* pszName, const KwPoint& coPos, const KwSize& coSize, short nColBord = 0, short nColBack = 7,
               short nColFore = 0);
    ~KwComboBox() override;

    // Entries: copies, in alphabetical order or in the order added.
    // Add answers the entry's index (-1 when memory ran out).
    long Add(const char* pszText);
    int Remove(long lIndex);
    int Remove(const char* pszText);
    void RemoveAll();
    // The first entry equal to the text without regard to case; -1 (and
    // plIndex untouched) when there is none.
    long Find(const char* pszText, long* plIndex = nullptr) const;
    TString GetLine(long lIndex) const { return TString(GetLinePtr(lIndex)); }
    const char* GetLinePtr(long lIndex) const { return static_cast<const char*>(m_coEntries.Get(lIndex)); }
    long LineCount() const { return m_coEntries.Count(); }
    // Replaces the entries by the texts.
    void UseTextList(const char* const* ppszTexts, unsigned long ulCount);
    // Switching on sorts the entries; switching off keeps their order.
    void SetAlphabeticalOrder(int nOn);
    int IsAlphabetical() const { return m_nAlphabetical; }
    // Lines of the drop-down
    void SetVisible(unsigned short unLines) { m_unVisibleLines = unLines; }
    unsigned short GetVisible() const { return m_unVisibleLines; }
    // The run-time class of the drop-down list (of the KwComboList
    // family); empty for KwComboList itself.
    void SetComboListClass(const char* pszClass) { m_coListClass = pszClass; }
    const TString& GetComboListClass() const { return m_coListClass; }
    // Whether the field's text is one of the entries.
    int CurrentInRange() const { return Find(GetText()) >= 0; }

    // The drop-down: opens it and runs it until it closes (1); 0 while it
    // is open or when the field has no parent. nByMouse: opened by a press
    // that the list takes over.
    int StartSelection(int nByMouse = 0);
    int IsComboListOpen() const { return m_pcoFrame != nullptr; }
    KwWFrame* GetComboFrame() const { return m_pcoFrame; }
    KwComboList* GetComboList() const { return m_pcoList; }
    // Told by the drop-down list
    int ChooseEntry(unsigned long ulPos);
    void CloseComboList();
    int IsOnComboBox(const KwPoint& coScreenPoint) const;

    // Overrides
    KwWnd* Copy() const override { return new KwComboBox(*this); }
    int SysCreate(KwWnd* pcoParent) override;
    int EvSize(unsigned short unCode, const KwSize& coSize) override;
    int EvLButtonDown(const KwPoint& coPoint, unsigned short unKeyFlags) override;
    int EvKeyFunction(short nIndex) override;
    int EvSysKeyDown(unsigned short unKey, unsigned long ulKeyData) override;
    int NotifyEnabled(int nEnabled) override;
    int NotifyVariableRead(const TResVar& coVar, TResource* pcoParent, unsigned long ulIndex) override;

protected:
    KwComboBox(const KwComboBox& coOther);
    void WriteData(TFile& coFile) const override;
    int NotifyReadBegin() override;

private:
    KwComboList* MakeComboList() const;
    void LayoutButton();
    short ButtonWidth() const;

    // Links of the drop-down frame and list
    int LnkFrameInit(TMvcParam& coParam);
    int LnkFrameActivate(TMvcParam& coParam);
    int LnkFrameDestroy(TMvcParam& coParam);
    int LnkListGetText(TMvcParam& coParam);

    TArray m_coEntries { 4, &KwComboBox::FreeEntry, TArrayCmpiString };   // owns its copies; sorted while alphabetical
    int m_nAlphabetical { 1 };
    unsigned short m_unVisibleLines { DefaultVisibleLines };
    TString m_coListClass;
    KwWFrame* m_pcoFrame { nullptr };   // the open drop-down; deletes itself when closed
    KwComboList* m_pcoList { nullptr }; // its child
    int m_nByMouse { 0 };

    static void FreeEntry(void* pvEntry);
};

// The button of a combo box that opens the drop-down: a raised face with
// an arrow.
class KCTL_API KwComboButton : public KwWChild {
    KW_DYNAMIC_CLASS(KwComboButton, KwWChild)
public:
    KwComboButton();
    ~KwComboButton() override = default;

    KwWnd* Copy() const override { return new KwComboButton(*this); }
    int EvPaint(KwPaintDC& coDC) override;
    int EvLButtonDown(const KwPoint& coPoint, unsigned short unKeyFlags) override;

protected:
    KwComboButton(const KwComboButton& coOther) : KwWChild(coOther) {}
};
