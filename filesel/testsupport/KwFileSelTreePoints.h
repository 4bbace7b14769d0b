#pragma once

// Where the mouse goes on a file selector in the GUI tests, how it drags,
// and the drag pictures the selectors are given.

#include "KwBitmap.h"
#include "KwCntTree.h"
#include "KwDC.h"
#include "KwFileSelector.h"
#include "KwPen.h"
#include "KwWindows.h"
#include "TTreeNode.h"
#include "kwguitest.h"

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

// The drag pictures: a square in the middle of the transparent colour.
inline int PaintDragPicture(const char* pszId, KwBitmap& coBitmap)
{
    KwScreenDC coScreen(1);
    if (!coBitmap.SysCreate(coScreen, KwSize(32, 32), 0))
        return 0;
    KwMemDC coMem(coScreen);
    coMem.SelectBitmap(&coBitmap);
    coMem.FillRect(KwRect(0, 0, 32, 32), KwBrush(RGB(255, 0, 255), 1, 0));
    const bool bDrop = std::string(pszId) == "BMP_DROPMP";
    coMem.FillRect(KwRect(8, 8, 24, 24), KwBrush(bDrop ? RGB(0, 160, 0) : RGB(200, 0, 0), 1, 0));
    coMem.SelectBitmap(nullptr);
    return 1;
}

// Presses at the point of one window, moves a little on the pressed line
// (which starts the drag of what lies there), then in steps onto the point
// of another window, and releases there; a screenshot before the release.
inline void DragOnto(HWND hFrom, POINT ptFrom, HWND hTarget, POINT ptTarget, const char* pszShot = nullptr)
{
    ASSERT_TRUE(MoveMouse(hFrom, ptFrom));
    ASSERT_TRUE(MouseDown());
    ASSERT_TRUE(MoveMouse(hFrom, { ptFrom.x + 2, ptFrom.y }));
    POINT ptEnd = ptTarget;
    ::ClientToScreen(hTarget, &ptEnd);
    POINT ptStart {};
    ::GetCursorPos(&ptStart);
    for (int i = 1; i <= 10; ++i)
        ASSERT_TRUE(MoveMouse({ ptStart.x + (ptEnd.x - ptStart.x) * i / 10, ptStart.y + (ptEnd.y - ptStart.y) * i / 10 }));
    if (pszShot)
        ScreenshotDesktop(pszShot);
    ASSERT_TRUE(MouseUp());
    PumpIdle();
}

// Clicks the middle of the child window of the dialog that has the text
// (a button); false when there is none.
inline bool PressButton(HWND hDialog, const char* pszText)
{
    const HWND hButton = FindChild(hDialog, pszText);
    RECT rc {};
    ::GetClientRect(hButton, &rc);
    return hButton && ClickAt(hButton, { rc.right / 2, rc.bottom / 2 });
}

} // namespace kwtest
