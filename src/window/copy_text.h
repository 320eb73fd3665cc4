// The text of the copy commands: the chosen lines of the message list in ascending index order,
// each followed by CR LF (the last one included), nothing before the first line and nothing
// between lines. An empty line contributes CR LF alone. Neither function changes the list.
#pragma once

#include <string>

#include "platform/message_list.h"

namespace sirel {

// The lines whose selected flag is true.
std::u16string SelectedLinesText(const MessageList& list);

// Every line, whatever the selection.
std::u16string AllLinesText(const MessageList& list);

}  // namespace sirel
