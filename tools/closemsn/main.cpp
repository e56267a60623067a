// vellumo-closemsn: asks Messenger's main windows to close and waits until
// they have handled that (or given up on a hung one), then exits 0.
//
// The Wine backend of Vellumo runs this inside the Wine prefix, where it sees
// the windows of the Messenger that runs there. It takes no arguments, shows
// nothing and reports nothing: whether Messenger closed is for the caller to
// see from Messenger's own process.

#include "platform/messenger_windows.h"

int main()
{
    vellumo::platform::closeMessengerWindows({});
    return 0;
}
