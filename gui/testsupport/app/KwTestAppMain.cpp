#include "KwTestApp.h"

#include "KwGuiTestRun.h"

// The main of the framework's GUI test programs: the application object is
// started as a program's entry point would start it, then the tests run.
int main(int argc, char** argv)
{
    kw25test::KwTestApp& coApp = kw25test::KwTestApp::Instance();
    coApp.GetConfig().SetKwPath(KwConfig::PathSystem, kw25test::StandardFileDirectory().c_str());
    coApp.InitInstance(reinterpret_cast<KwHandle>(::GetModuleHandleA(nullptr)), 0, "", 4);
    return kwtest::RunGuiTests(argc, argv);
}
