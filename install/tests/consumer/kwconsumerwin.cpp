// A framework program: its application object; the entry point comes from
// qa32kw25main.
#include "KwApp.h"
#include "KwEvent.h"
#include "KwMessParamWinNT.h"

namespace {

class TConsumerApp : public KwApp {
public:
    TConsumerApp() : KwApp("KwConsumer", nullptr, 0) {}

    // Handlers of Win32 programs call a message's block by its Win32 name:
    // this compiles only while the installed headers give that name.
    int LnkUser(TMvcParam& coParam)
    {
        const KwEventUser* pcoUser = dynamic_cast<KwEventUser*>(&coParam);
        const KwMessParamWinNT* pcoMessage = pcoUser ? pcoUser->GetWinNTParam() : nullptr;
        return pcoMessage && pcoMessage->GetMessage() == 0x0400 ? 1 : 0;
    }
};

TConsumerApp s_coApp;

} // namespace
