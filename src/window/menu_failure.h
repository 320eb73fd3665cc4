// What the message window tells the user when a menu command fails: "<item> failed: <reason>",
// the item's caption without its access-key marks, and " (error n)" after an error of the table
// (number n, 0 for any other failure). Shown through the message-box port as a warning box
// titled with the window's design caption.
#pragma once

#include <string>

#include "window/menu.h"

namespace sirel {

std::u16string MenuFailureText(MenuItem item, const std::u16string& reason, int number);

}  // namespace sirel
