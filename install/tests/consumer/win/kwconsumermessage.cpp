// Handlers of Win32 programs call a message's block by its Win32 name:
// this compiles only while the installed headers give that name.
#include "KwEvent.h"
#include "KwMessParamWinNT.h"

int ConsumerIsUserMessage(const KwEventUser& coUser)
{
    const KwMessParamWinNT* pcoMessage = coUser.GetWinNTParam();
    return pcoMessage && pcoMessage->GetMessage() == 0x0400 ? 1 : 0;
}
