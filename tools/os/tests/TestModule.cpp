// A run-time module of the tests (qa32tmod): loading it registers its class,
// unloading it takes the class out of the registry again, so a test can see
// whether the library is really loaded.
#include "TDynBase.h"

class TTestModuleProbe : public TDynBase {
    KW_DYNAMIC_CLASS(TTestModuleProbe, TDynBase)
public:
    TTestModuleProbe() = default;
};

KW_IMPLEMENT_DYNAMIC_CLASS(TTestModuleProbe, TDynBase, "tmod")
