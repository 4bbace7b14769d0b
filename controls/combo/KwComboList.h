#pragma once

#include "KctlApi.h"
#include "KwListText.h"

class KwComboBox;

// The drop-down list of a combo box: a text list in the drop-down frame
// that gets its lines from the combo box and hands the chosen entry back
// to it. Releasing the button over a line, a double click on the selection
// and Enter choose; releasing it outside the list closes the drop-down
// unless the pointer is over the combo box or the list is scrolling by
// itself.
class KCTL_API KwComboList : public KwListText {
    KW_DYNAMIC_CLASS(KwComboList, KwListText)
public:
    static constexpr const char* ListName = "__COMBOLIST__";
    enum : unsigned short { DefaultLines = 5 };
    enum : short { DefaultWidth = 50 };

    KwComboList() : KwListText(ListName, KwPoint(0, 0), DefaultWidth, DefaultLines) {}
    ~KwComboList() override = default;

    KwComboBox* GetComboBox() const { return m_pcoComboBox; }
    void SetComboBox(KwComboBox* pcoComboBox) { m_pcoComboBox = pcoComboBox; }
    // The drop-down opened by a press on the combo box: the list takes the
    // pointer over as if it had been pressed in the list itself.
    void TakeOverPress() { StartTracking(); }

    KwWnd* Copy() const override { return new KwComboList(*this); }
    int EvListCommand(unsigned long ulPos) override;
    int EvLButtonUp(const KwPoint& coPoint, unsigned short unKeyFlags) override;

protected:
    KwComboList(const KwComboList& coOther) : KwListText(coOther) {}

private:
    KwComboBox* m_pcoComboBox { nullptr };   // not owned; the combo box outlives its drop-down
};
