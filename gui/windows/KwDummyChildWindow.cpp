#include "KwDummyChildWindow.h"

#include "KwContent.h"

KW_IMPLEMENT_DYNAMIC_CLASS(KwDummyChildWindow, KwWChild, "kw25")

KwDummyChildWindow::KwDummyChildWindow()
{
    InitDefault();
}

void KwDummyChildWindow::InitDefault()
{
    DisConnect();
    SetResId(nullptr);
    SetCppClass(nullptr);
    SetWriteable(0);
    KwWndBase::SetStyle(0);
    KwWndBase::SetExStyle(0);
    SetInitText(nullptr);
    SetExtra(nullptr);
    StorePos(KwPoint());
    StoreSize(KwSize());
    KwWndBase::SetColBord(0, 0);
    KwWndBase::SetColBack(0, 0);
    KwWndBase::SetColFore(0, 0);
    KwWndBase::SetColShadowLight(0, 0);
    KwWndBase::SetColShadowDark(0, 0);
    KwWndBase::SetColShadowMedium(0, 0);
    KwWnd::SetResFont(-1, 0);
    DestroyContent();
    SetBorderWidth(0, 0);
    SetShadeWidth(0, 0);
    SetInShadeBorderWidth(0, 0);
    SetFlag(0xFFFF, 0);
}
