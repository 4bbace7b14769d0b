#include "KwEventCntTree.h"

#include "KwCntTree.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwEventCntTree, KwEventContent, "xcnt")

KwEventCntTree::KwEventCntTree(KwCntTree& coTree, TTreeNode* pcoNode)
    : KwEventContent(coTree, 0, 0), m_pcoNode(pcoNode)
{
}

KwCntTree& KwEventCntTree::Tree() const
{
    return static_cast<KwCntTree&>(Content());
}
