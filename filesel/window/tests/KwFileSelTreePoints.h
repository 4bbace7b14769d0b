#pragma once

// Where the mouse goes on a file selector's tree in the GUI tests.

#include "KwCntTree.h"
#include "KwFileSelector.h"
#include "KwWindows.h"
#include "TTreeNode.h"

#include <gtest/gtest.h>

#include <string>

namespace kwtest {

// A point on the node's text, in the tree window's client coordinates.
inline POINT OnNode(KwFileSelector& coSelector, const std::string& strPath)
{
    TTreeNode* pcoNode = coSelector.FindNode(strPath.c_str());
    EXPECT_NE(pcoNode, nullptr) << strPath;
    KwCntTree& coTree = *coSelector.GetTree();
    const short nHeight = coTree.GetNodeBoxSize().Height();
    const long lLine = coTree.LineOfNode(pcoNode) - coTree.GetTopLine();
    const short nY = static_cast<short>(lLine * nHeight + nHeight / 2);
    for (short nX = 0; nX < 300; nX += 2)
        if (coTree.NodeFromPoint(KwPoint(nX, nY)) == pcoNode)
            return { nX + coTree.GetNodeBoxSize().Width() + 6, nY };
    ADD_FAILURE() << "no point on " << strPath;
    return { 0, 0 };
}

} // namespace kwtest
