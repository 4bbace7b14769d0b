#pragma once

#include "Kw25Api.h"
#include "TMvc.h"

class TDynBase;
class TResource;

// What a resource object read from a file asks of the running application:
// whether links stay text (files loaded for editing), the member function a
// link names in the application's member link tables, the window a view id
// names, and the user told of a fault. The application family registers
// the one source at library load, so that the resources family needs
// nothing above it. Current() is null while no application runs: a link
// read then is left unbound and a fault goes to the system's message.
class KW25_API KwResApplication {
public:
    using TSourceFn = KwResApplication* (*)();

    virtual ~KwResApplication() = default;

    virtual int IsLoadForEdit() const = 0;
    virtual TMvcHandler FindLinkPtr(const char* pszViewId, const char* pszHandler) const = 0;
    // The window named pszViewId around coParent when that is a window
    // with a system window: from it upwards, then among the descendants of
    // the topmost window reached. Null otherwise.
    virtual TDynBase* FindViewWindow(TResource& coParent, const char* pszViewId) const = 0;
    virtual void Message(const char* pszText, const char* pszTitle) const = 0;

    static KwResApplication* Current();
    static void Register(TSourceFn pfnSource);

private:
    static TSourceFn s_pfnSource;
};
