#pragma once

#include "Kw25Api.h"
#include "KwWChild.h"

// The placeholder child of the application object that resource loading
// uses: never written to resource files, never given a system window.
class KW25_API KwDummyChildWindow : public KwWChild {
    KW_DYNAMIC_CLASS(KwDummyChildWindow, KwWChild)
public:
    KwDummyChildWindow();
    ~KwDummyChildWindow() override = default;

    // Resets every member: names, handle, styles, text, position, size,
    // colours (all 0), resource font (-1), content, widths and flags.
    void InitDefault();
    int SysCreate(KwWnd*) override { return 0; }
};
