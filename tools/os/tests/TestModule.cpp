// A run-time module of the tests (qa32tmod): loading it registers its two
// classes, unloading it takes them out of the registry again, so a test can
// see whether the library is really loaded.
#include "TDynBase.h"

class TTestModuleProbe : public TDynBase {
    KW_DYNAMIC_CLASS(TTestModuleProbe, TDynBase)
public:
    TTestModuleProbe() = default;

    TDynRet Answer(char*) { return 42; }

protected:
    void InitMembers(TOnlyInternalUse) override
    {
        InsertDynFunc<TTestModuleProbe>("TTestModuleProbe::Answer", &TTestModuleProbe::Answer);
    }
};

class TTestModuleChild : public TTestModuleProbe {
    KW_DYNAMIC_CLASS(TTestModuleChild, TTestModuleProbe)
public:
    TTestModuleChild() = default;
};

KW_IMPLEMENT_DYNAMIC_CLASS(TTestModuleProbe, TDynBase, "tmod")
KW_IMPLEMENT_DYNAMIC_CLASS(TTestModuleChild, TTestModuleProbe, "tmod")
