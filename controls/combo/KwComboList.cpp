#include "KwComboList.h"

#include "KwComboBox.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwComboList, KwListText, "kctl")

int KwComboList::EvListCommand(unsigned long ulPos)
{
    return m_pcoComboBox ? m_pcoComboBox->ChooseEntry(ulPos) : KwListText::EvListCommand(ulPos);
}

int KwComboList::EvLButtonUp(const KwPoint& coPoint, unsigned short unKeyFlags)
{
    if (!IsTracking())
        return KwListText::EvLButtonUp(coPoint, unKeyFlags);
    const int nAutoScrolling = IsAutoScrolling();
    const int nResult = KwListText::EvLButtonUp(coPoint, unKeyFlags);
    if (GetDataRect().PtInRect(coPoint)) {
        const long lPos = PosFromLine(LineFromPoint(coPoint));
        if (lPos >= 0) {
            SelectLine(static_cast<unsigned long>(lPos));
            EvListCommand(static_cast<unsigned long>(lPos));
        }
        return 1;
    }
    if (GetClientRect().PtInRect(coPoint) || nAutoScrolling || !m_pcoComboBox)
        return nResult;
    if (!m_pcoComboBox->IsOnComboBox(ClientToScreen(coPoint)))
        m_pcoComboBox->CloseComboList();
    return 1;
}
