// The About box of the message window: its title and its six-line prompt. The lines are joined
// by CR LF, with none after the last: the name, an empty line, the credit line, the contact line
// (web address and e-mail address twelve spaces apart), an empty line, the rights notice.
#pragma once

namespace sirel {

inline constexpr const char16_t* kAboutTitle = u"About Sireler";

inline constexpr const char16_t* kAboutPrompt =
    u"Sireler\r\n"
    u"\r\n"
    u"Written by the Sirel developers, Sirel Software\r\n"
    u"https://sirel.example.org            support@sirel.example.org\r\n"
    u"\r\n"
    u"Copyright \u00A9 2026 Sirel Software. All rights reserved.";

}  // namespace sirel
