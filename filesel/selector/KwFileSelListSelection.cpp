#include "KwFileSelListSelection.h"

#include <algorithm>

namespace {

const std::string s_strNone;

} // namespace

void KwFileSelListSelection::SetEntries(const std::vector<std::string>& vecNames)
{
    m_vecNames.clear();
    for (const std::string& strName : vecNames)
        if (strName != "." && strName != "..")
            m_vecNames.push_back(strName);
    m_vecSelected.assign(m_vecNames.size(), 0);
    m_lSelected = 0;
    m_lAnchor = 0;
    m_nPendingDeselect = 0;
}

const std::string& KwFileSelListSelection::Name(long lPosition) const
{
    return lPosition >= 0 && lPosition < Count() ? m_vecNames[static_cast<size_t>(lPosition)] : s_strNone;
}

int KwFileSelListSelection::IsSelected(long lPosition) const
{
    return lPosition >= 0 && lPosition < Count() && m_vecSelected[static_cast<size_t>(lPosition)];
}

void KwFileSelListSelection::Select(long lPosition, bool bSelected)
{
    char& chSelected = m_vecSelected[static_cast<size_t>(lPosition)];
    if (static_cast<bool>(chSelected) == bSelected)
        return;
    chSelected = bSelected;
    m_lSelected += bSelected ? 1 : -1;
}

void KwFileSelListSelection::Clear()
{
    std::fill(m_vecSelected.begin(), m_vecSelected.end(), 0);
    m_lSelected = 0;
}

int KwFileSelListSelection::Press(long lPosition, int nCtrl, int nShift)
{
    m_nPendingDeselect = 0;
    if (lPosition < 0 || lPosition >= Count())
        return 0;
    const bool bFound = IsSelected(lPosition);
    if (!nCtrl) {
        if (bFound)
            m_nPendingDeselect = 1;
        else
            Clear();
    }
    if (nShift) {
        const long lAnchor = std::min(m_lAnchor, Count() - 1);
        for (long i = std::min(lAnchor, lPosition); i <= std::max(lAnchor, lPosition); ++i)
            Select(i, true);
    } else {
        Select(lPosition, !(nCtrl && bFound));
        m_lAnchor = lPosition;
    }
    return 1;
}

int KwFileSelListSelection::Release(long lPosition)
{
    if (!m_nPendingDeselect)
        return 0;
    m_nPendingDeselect = 0;
    if (lPosition != m_lAnchor || lPosition < 0 || lPosition >= Count())
        return 0;
    Clear();
    Select(lPosition, true);
    return 1;
}

std::vector<std::string> KwFileSelListSelection::SelectedNames() const
{
    std::vector<std::string> vecNames;
    for (long i = 0; i < Count(); ++i)
        if (m_vecSelected[static_cast<size_t>(i)])
            vecNames.push_back(m_vecNames[static_cast<size_t>(i)]);
    return vecNames;
}
