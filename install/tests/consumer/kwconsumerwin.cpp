// A framework program: its application object; the entry point comes from
// qa32kw25main.
#include "KwApp.h"

namespace {

class TConsumerApp : public KwApp {
public:
    TConsumerApp() : KwApp("KwConsumer", nullptr, 0) {}
};

TConsumerApp s_coApp;

} // namespace
