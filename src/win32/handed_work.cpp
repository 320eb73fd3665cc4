#include "win32/handed_work.h"

#include "thread/thread_state.h"
#include "win32/unique_resource.h"

namespace sirel::win32 {

namespace {

// The work on its way to a thread: a message's parameter is run only when it is in this list.
struct WorkOnItsWay {
  SRWLOCK lock = SRWLOCK_INIT;
  HandedWork* first = nullptr;
};

WorkOnItsWay& OnItsWay() {
  static WorkOnItsWay list;
  return list;
}

UINT HandOverMessage() noexcept {
  // A registered message: a window of another program that gets it by a reused handle ignores it.
  static const UINT message = RegisterWindowMessageW(L"SirelHandedWork");
  return message;
}

}  // namespace

void HandToWindowThread(HWND window, HandedWork* work) noexcept {
  const UINT message = HandOverMessage();
  if (window == nullptr || work == nullptr || message == 0) return;
  WorkOnItsWay& list = OnItsWay();
  {
    ExclusiveLock lock(list.lock);
    work->next_ = list.first;
    list.first = work;
  }
  if (PostMessageW(window, message, 0, reinterpret_cast<LPARAM>(work))) return;
  // Not posted (the window is gone): taken off its way, and left undone.
  ExclusiveLock lock(list.lock);
  for (HandedWork** link = &list.first; *link != nullptr; link = &(*link)->next_) {
    if (*link == work) {
      *link = work->next_;
      return;
    }
  }
}

bool RunHandedWork(UINT message, LPARAM lParam) noexcept {
  if (message == 0 || message != HandOverMessage()) return false;
  auto* const posted = reinterpret_cast<HandedWork*>(lParam);
  HandedWork* work = nullptr;
  {
    WorkOnItsWay& list = OnItsWay();
    ExclusiveLock lock(list.lock);
    for (HandedWork** link = &list.first; *link != nullptr; link = &(*link)->next_) {
      if (*link == posted) {
        work = posted;
        *link = work->next_;
        break;
      }
    }
  }
  if (work == nullptr) return true;
  const ThreadState* here = ThreadState::CurrentIfMade();
  if (here != nullptr && here->serial() == work->thread_serial_) delete work;
  return true;
}

}  // namespace sirel::win32
