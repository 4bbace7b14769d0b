#pragma once

// The tool library: run-time classes, strings and containers.

#include "KwtlApi.h"
#include "TAppList.h"
#include "TArray.h"
#include "TCrt.h"
#include "TDynBase.h"
#include "TDynRet.h"
#include "TDynTab.h"
#include "TFmtText.h"
#include "TFmtTextFormat.h"
#include "TMvc.h"
#include "TMvcEventTable.h"
#include "TMvcParam.h"
#include "TOpSystem.h"
#include "TConsoleProcess.h"
#include "TOsThread.h"
#include "TRefMem.h"
#include "TRefObject.h"
#include "TString.h"
#include "TTreeNode.h"
#include "TFileInfo.h"
#include "TModuleManager.h"
#include "TRuntimeModule.h"
#include "DevPoint.h"
#include "GBox.h"
#include "GPoint.h"
#include "GScale.h"
#include "TMakeDepend.h"
#include "TDateTime.h"
#include "TFile.h"
#include "TFileSelection.h"
#include "TLogFile.h"
#include "TPath.h"

#if defined(_WIN32)
#include "TConProWinNT.h"
#include "TOsThreadWinNT.h"
#include "TWinNtServiceManager.h"
#else
#include "TOsThreadPosix.h"
#endif
