#include "GdvApp.h"

#include "GdvStartUp.h"

// The application object: the framework's entry point starts it.
static GdvApp s_coApp;

int GdvApp::Main()
{
    return GdvStartUp(*this);
}
