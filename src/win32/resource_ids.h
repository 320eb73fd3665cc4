// Resource identifiers of the message window, shared by window_resources.rc (which the DLL's
// resource script includes) and the code that loads them.
#pragma once

#define IDI_SIREL_MESSAGES 101
