#pragma once

#include <string>
#include <vector>

// The selection in a file selector's list, apart from the window: which
// entries are selected, the anchor of Shift+click and a deselect that waits
// for the button's release.
//
//   press on an unselected entry      selects it alone
//   Ctrl+press                        toggles one entry
//   Shift+press                       adds the range from the anchor (each
//                                     entry once, however often it is added)
//   press on a selected entry         keeps the selection for a drag; the
//                                     release on the same entry selects it alone
//
// and from the keyboard, where the list's caret moves by the position keys
// and type-ahead:
//
//   caret moved                       selects the entry alone
//   Shift+move                        selects the range from the anchor
//   Ctrl+Shift+move                   adds that range
//   Ctrl+move                         leaves the selection as it is
//   Space                             toggles the entry under the caret
class KwFileSelListSelection {
public:
    // The entries of a directory in list order; "." and ".." are never
    // entries. Empties the selection; the anchor goes back to 0.
    void SetEntries(const std::vector<std::string>& vecNames);
    long Count() const { return static_cast<long>(m_vecNames.size()); }
    // Empty for a position past the last entry.
    const std::string& Name(long lPosition) const;

    // The left button. A position past the last entry does nothing. Each
    // answers 1 when the selection may have changed (repaint the list).
    int Press(long lPosition, int nCtrl, int nShift);
    int Release(long lPosition);
    // The keyboard: the caret is at the position now. Answers as Press.
    int MoveCaret(long lPosition, int nCtrl, int nShift);
    // Flips the entry, which becomes the anchor.
    int Toggle(long lPosition);
    // After the entries were read again: the names still there are
    // selected again.
    void SelectNames(const std::vector<std::string>& vecNames);

    int IsSelected(long lPosition) const;
    long SelectedCount() const { return m_lSelected; }
    // The selected entries' names, in list order.
    std::vector<std::string> SelectedNames() const;
    long GetAnchor() const { return m_lAnchor; }
    int IsDeselectPending() const { return m_nPendingDeselect; }

private:
    void Select(long lPosition, bool bSelected);
    void Clear();
    void SelectRange(long lFrom, long lTo);

    std::vector<std::string> m_vecNames;
    std::vector<char> m_vecSelected;
    long m_lSelected { 0 };
    long m_lAnchor { 0 };
    int m_nPendingDeselect { 0 };
};
