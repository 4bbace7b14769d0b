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
        SelectRange(m_lAnchor, lPosition);
    } else {
        Select(lPosition, !(nCtrl && bFound));
        m_lAnchor = lPosition;
    }
    return 1;
}

void KwFileSelListSelection::SelectRange(long lFrom, long lTo)
{
    lFrom = std::min(lFrom, Count() - 1);
    for (long i = std::min(lFrom, lTo); i <= std::max(lFrom, lTo); ++i)
        Select(i, true);
}

int KwFileSelListSelection::MoveCaret(long lPosition, int nCtrl, int nShift)
{
    m_nPendingDeselect = 0;
    if (lPosition < 0 || lPosition >= Count() || (nCtrl && !nShift))
        return 0;
    if (!nCtrl)
        Clear();
    if (nShift) {
        SelectRange(m_lAnchor, lPosition);
        return 1;
    }
    Select(lPosition, true);
    m_lAnchor = lPosition;
    return 1;
}

int KwFileSelListSelection::Toggle(long lPosition)
{
    m_nPendingDeselect = 0;
    if (lPosition < 0 || lPosition >= Count())
        return 0;
    Select(lPosition, !IsSelected(lPosition));
    m_lAnchor = lPosition;
    return 1;
}

void KwFileSelListSelection::SelectNames(const std::vector<std::string>& vecNames)
{
    for (const std::string& strName : vecNames) {
        const auto itFound = std::find(m_vecNames.begin(), m_vecNames.end(), strName);
        if (itFound != m_vecNames.end())
            Select(static_cast<long>(itFound - m_vecNames.begin()), true);
    }
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
