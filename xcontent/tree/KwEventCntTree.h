#pragma once

#include "KwEvent.h"
#include "TString.h"
#include "XcntApi.h"

class KwCntTree;
class TTreeNode;

// The event of the tree content's links: the node it is about and, for
// "EXTCONT_LINK_GETTREENODETEXT", the text and colour number the handler
// gives that node (-1: the window's foreground colour).
class XCNT_API KwEventCntTree : public KwEventContent {
    KW_DYNAMIC_CLASS(KwEventCntTree, KwEventContent)
public:
    KwEventCntTree() = default;
    KwEventCntTree(KwCntTree& coTree, TTreeNode* pcoNode);

    TTreeNode* GetNode() const { return m_pcoNode; }
    KwCntTree& Tree() const;
    // The text is copied.
    void SetNodeText(const char* pszText) { m_coText = pszText; }
    const TString& GetNodeText() const { return m_coText; }
    void SetTextColor(short nColor) { m_nTextColor = nColor; }
    short GetTextColor() const { return m_nTextColor; }

private:
    TTreeNode* m_pcoNode { nullptr };   // not owned
    TString m_coText;
    short m_nTextColor { -1 };
};
