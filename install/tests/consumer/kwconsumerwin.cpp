// A framework program: its application object; the entry point comes from
// qa32kw25main.
#include "KwApp.h"
#include "KwEvent.h"

// Its handler reads the message under the Win32 name, in win/.
int ConsumerIsUserMessage(const KwEventUser& coUser);

namespace {

class TConsumerApp : public KwApp {
public:
    TConsumerApp() : KwApp("KwConsumer", nullptr, 0) {}

    int LnkUser(TMvcParam& coParam)
    {
        const KwEventUser* pcoUser = dynamic_cast<KwEventUser*>(&coParam);
        return pcoUser ? ConsumerIsUserMessage(*pcoUser) : 0;
    }
};

TConsumerApp s_coApp;

} // namespace
