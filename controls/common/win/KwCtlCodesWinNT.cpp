#include "KctlWin32.h"
#include "KwCtlCodes.h"

static_assert(KwCtlCodes::MsgMouseWheel == WM_MOUSEWHEEL && KwCtlCodes::MsgEditSetSel == EM_SETSEL
                  && KwCtlCodes::MsgEditSetReadOnly == EM_SETREADONLY && KwCtlCodes::MsgEditSetMargins == EM_SETMARGINS,
              "messages");
static_assert(KwCtlCodes::WheelDelta == WHEEL_DELTA && KwCtlCodes::MarginLeft == EC_LEFTMARGIN
                  && KwCtlCodes::MarginRight == EC_RIGHTMARGIN,
              "wheel and margins");
static_assert(KwCtlCodes::StyleTabStop == WS_TABSTOP && KwCtlCodes::StyleClipChildren == WS_CLIPCHILDREN
                  && KwCtlCodes::StyleEditAutoHScroll == ES_AUTOHSCROLL && KwCtlCodes::StyleEditReadOnly == ES_READONLY
                  && KwCtlCodes::StyleScrollBarVert == SBS_VERT,
              "styles");
static_assert(KwCtlCodes::BarControl == SB_CTL && KwCtlCodes::MetricVScrollWidth == SM_CXVSCROLL
                  && KwCtlCodes::MetricHScrollHeight == SM_CYHSCROLL,
              "scroll bars and metrics");
static_assert(KwCtlCodes::KeyDown == VK_DOWN && KwCtlCodes::KeyF4 == VK_F4, "keys");
