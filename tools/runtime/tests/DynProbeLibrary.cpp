// A library of its own with two registered classes: loading it must enter
// them into the registry and unloading it must take them out again.
#include "TDynBase.h"

class TDllProbe : public TDynBase {
    KW_DYNAMIC_CLASS(TDllProbe, TDynBase)
public:
    TDllProbe() = default;

    TDynRet Answer(char*) { return 42; }

protected:
    void InitMembers(TOnlyInternalUse) override { InsertDynFunc<TDllProbe>("TDllProbe::Answer", &TDllProbe::Answer); }
};

class TDllProbeChild : public TDllProbe {
    KW_DYNAMIC_CLASS(TDllProbeChild, TDllProbe)
public:
    TDllProbeChild() = default;
};

KW_IMPLEMENT_DYNAMIC_CLASS(TDllProbe, TDynBase, "prob")
KW_IMPLEMENT_DYNAMIC_CLASS(TDllProbeChild, TDllProbe, "prob")
