#include "win32/system_clipboard.h"

#include <algorithm>
#include <cstring>

#include "core/errors.h"
#include "win32/unique_resource.h"

namespace sirel::win32 {

namespace {

constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryMs = 20;

// Opens the clipboard for owner; throws ClipboardOpen when it stays held by another program.
void OpenWithRetry(HWND owner) {
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    if (OpenClipboard(owner)) return;
    Sleep(kOpenRetryMs);
  }
  throw SirelError(ErrorCode::ClipboardOpen);
}

// A movable global block holding text and its NUL, as SetClipboardData wants it; empty when it
// cannot be made. Clipboard text ends at its first NUL, so a NUL of a line is given as U+2400
// (SYMBOL FOR NULL), the mark the list shows for it.
UniqueGlobal NewTextBlock(const std::u16string& text) {
  const SIZE_T bytes = (text.size() + 1) * sizeof(char16_t);
  UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!block) return block;
  auto* memory = static_cast<char16_t*>(GlobalLock(block.get()));
  if (memory == nullptr) return UniqueGlobal();
  std::memcpy(memory, text.c_str(), bytes);
  std::replace(memory, memory + text.size(), u'\0', u'\u2400');
  GlobalUnlock(block.get());
  return block;
}

}  // namespace

void SystemClipboard::Clear() {
  OpenWithRetry(owner_());
  const auto close = ScopeExit([] { CloseClipboard(); });
  if (!EmptyClipboard()) throw SirelError(ErrorCode::ClipboardOpen);
}

void SystemClipboard::SetText(const std::u16string& text) {
  // Built before the clipboard is opened, so it is held open only for a moment.
  UniqueGlobal block = NewTextBlock(text);
  OpenWithRetry(owner_());
  const auto close = ScopeExit([] { CloseClipboard(); });
  // Emptying makes this process the owner, which SetClipboardData requires; on any failure
  // below the clipboard is left empty.
  if (!EmptyClipboard()) throw SirelError(ErrorCode::ClipboardOpen);
  if (!block) throw SirelError(ErrorCode::ClipboardSet);
  if (SetClipboardData(CF_UNICODETEXT, block.get()) == nullptr) {
    throw SirelError(ErrorCode::ClipboardSet);
  }
  block.release();  // the clipboard owns the block now
}

}  // namespace sirel::win32
