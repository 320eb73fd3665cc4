// The message-box port: a modal box with a prompt, a title and a single OK button; ShowOk has
// no icon, ShowWarning the warning (exclamation) icon. Both return when the user closes the
// box; what the user pressed is not reported.
// (The class is not called MessageBox so that it never collides with the Windows macro.)
#pragma once

#include <string>

namespace sirel {

class MessageBoxPort {
 public:
  virtual ~MessageBoxPort() = default;
  virtual void ShowOk(const std::u16string& prompt, const std::u16string& title) = 0;
  virtual void ShowWarning(const std::u16string& prompt, const std::u16string& title) = 0;
};

}  // namespace sirel
