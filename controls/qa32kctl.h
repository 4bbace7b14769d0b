#pragma once

// The standard controls: the framework's own list and combo controls, and
// the wrapped system edit field and scroll bar they are built from.

#include "qa32kw25.h"

#include "KctlApi.h"
#include "KwCtlCodes.h"
#include "KwSysEdit.h"
#include "KwSysScrollBar.h"
#include "KwCtrlList.h"
#include "KwListText.h"
#include "KwComboList.h"
#include "KwComboBox.h"
#include "KwCheckBox.h"
