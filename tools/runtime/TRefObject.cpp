#include "TRefObject.h"

KW_IMPLEMENT_DYNAMIC_CLASS(TRefObject, TDynBase, "kwtl")
