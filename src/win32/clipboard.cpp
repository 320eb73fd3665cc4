#include "win32/clipboard.h"

#include <cstring>

#include "core/errors.h"

namespace sirel::win32 {

namespace {

constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryMs = 20;

// The clipboard opened for the lifetime of the object; throws ClipboardOpen when it stays held
// by another program.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
      if (OpenClipboard(owner)) return;
      Sleep(kOpenRetryMs);
    }
    throw SirelError(ErrorCode::ClipboardOpen);
  }
  ~OpenedClipboard() { CloseClipboard(); }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
};

// A movable global block holding text and its NUL, as SetClipboardData wants it; freed unless
// released to the clipboard.
class TextBlock {
 public:
  explicit TextBlock(const std::u16string& text) {
    const SIZE_T bytes = (text.size() + 1) * sizeof(char16_t);
    handle_ = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (handle_ == nullptr) return;
    void* memory = GlobalLock(handle_);
    if (memory == nullptr) {
      GlobalFree(handle_);
      handle_ = nullptr;
      return;
    }
    std::memcpy(memory, text.c_str(), bytes);
    GlobalUnlock(handle_);
  }
  ~TextBlock() {
    if (handle_ != nullptr) GlobalFree(handle_);
  }
  TextBlock(const TextBlock&) = delete;
  TextBlock& operator=(const TextBlock&) = delete;

  HGLOBAL get() const { return handle_; }
  void release() { handle_ = nullptr; }

 private:
  HGLOBAL handle_ = nullptr;
};

}  // namespace

void SystemClipboard::Clear() {
  OpenedClipboard opened(owner_());
  if (!EmptyClipboard()) throw SirelError(ErrorCode::ClipboardOpen);
}

void SystemClipboard::SetText(const std::u16string& text) {
  // Built before the clipboard is opened, so it is held open only for a moment.
  TextBlock block(text);
  OpenedClipboard opened(owner_());
  // Emptying makes this process the owner, which SetClipboardData requires; on any failure
  // below the clipboard is left empty.
  if (!EmptyClipboard()) throw SirelError(ErrorCode::ClipboardOpen);
  if (block.get() == nullptr) throw SirelError(ErrorCode::ClipboardSet);
  if (SetClipboardData(CF_UNICODETEXT, block.get()) == nullptr) {
    throw SirelError(ErrorCode::ClipboardSet);
  }
  block.release();  // the clipboard owns the block now
}

}  // namespace sirel::win32
