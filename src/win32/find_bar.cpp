#include "win32/find_bar.h"

#include "win32/text_conversion.h"

namespace sirel::win32 {

namespace {

constexpr COLORREF kNoMatchTint = RGB(255, 214, 214);

bool KeyIsDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// The EDIT class's procedure, the same for every EDIT of the process.
WNDPROC g_edit_class_proc = nullptr;

}  // namespace

bool FindBar::Create(HWND parent, HINSTANCE instance, int controlId, FindBarHandler* handler) {
  Destroy();
  edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | ES_LEFT | ES_AUTOHSCROLL, 0, 0,
                          0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                          instance, nullptr);
  if (edit_ == nullptr) return false;
  const LONG_PTR previous =
      SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FindBar::EditProc));
  if (previous == 0) {
    DestroyWindow(edit_);
    edit_ = nullptr;
    return false;
  }
  g_edit_class_proc = reinterpret_cast<WNDPROC>(previous);
  SetWindowLongPtrW(edit_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  handler_ = handler;
  open_ = false;
  no_match_ = false;
  return true;
}

void FindBar::Destroy() noexcept {
  if (edit_ != nullptr && IsWindow(edit_)) {
    SetWindowLongPtrW(edit_, GWLP_USERDATA, 0);
    SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_edit_class_proc));
  }
  edit_ = nullptr;
  handler_ = nullptr;
  open_ = false;
  no_match_ = false;
  if (tint_ != nullptr) DeleteObject(tint_);
  tint_ = nullptr;
}

void FindBar::Open() {
  if (edit_ == nullptr) return;
  open_ = true;
  ShowWindow(edit_, SW_SHOWNA);
  SetFocus(edit_);
  SendMessageW(edit_, EM_SETSEL, 0, -1);
}

void FindBar::Close() {
  if (edit_ == nullptr) return;
  open_ = false;
  ShowWindow(edit_, SW_HIDE);
}

int FindBar::HeightFor(HFONT font) const {
  HDC dc = GetDC(edit_);
  if (dc == nullptr) return 0;
  HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  if (previous != nullptr) SelectObject(dc, previous);
  ReleaseDC(edit_, dc);
  // The text, a pixel above and below it, and the client edge.
  return metrics.tmHeight + 2 + 2 * GetSystemMetrics(SM_CYEDGE);
}

void FindBar::SetFont(HFONT font) {
  if (edit_ != nullptr) SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

std::u16string FindBar::Text() const {
  if (edit_ == nullptr) return {};
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit_)) + 1, L'\0');
  const int length = GetWindowTextW(edit_, text.data(), static_cast<int>(text.size()));
  return FromWide(text.data(), static_cast<std::size_t>(length));
}

void FindBar::ShowNoMatch(bool noMatch) {
  if (noMatch == no_match_ || edit_ == nullptr) return;
  no_match_ = noMatch;
  if (noMatch && tint_ == nullptr) tint_ = CreateSolidBrush(kNoMatchTint);
  InvalidateRect(edit_, nullptr, TRUE);
}

HBRUSH FindBar::ColorFor(HDC dc) const {
  if (!no_match_ || tint_ == nullptr) return nullptr;
  SetBkColor(dc, kNoMatchTint);
  return tint_;
}

// Enter, Escape and F3 are the bar's own; so are the characters they and Ctrl+F make.
bool FindBar::OnKey(UINT message, WPARAM key) {
  if (message == WM_CHAR) return key == L'\r' || key == 0x1B || key == 0x06 || key == L'\n';
  if (message != WM_KEYDOWN) return false;
  const bool shift = KeyIsDown(VK_SHIFT);
  switch (key) {
    case VK_RETURN:
    case VK_F3:
      if (handler_ != nullptr) handler_->OnFindStep(shift ? FindStep::kPrevious : FindStep::kNext);
      return true;
    case VK_ESCAPE:
      if (handler_ != nullptr) handler_->OnFindClose();
      return true;
    default:
      return false;
  }
}

// Nothing may unwind through the window system: a failing handler answers 0.
LRESULT CALLBACK FindBar::EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc = g_edit_class_proc;
  auto* self = reinterpret_cast<FindBar*>(GetWindowLongPtrW(edit, GWLP_USERDATA));
  if (self == nullptr) return CallWindowProcW(proc, edit, message, wParam, lParam);
  try {
    if (message == WM_GETDLGCODE) return DLGC_WANTALLKEYS | CallWindowProcW(proc, edit, message, wParam, lParam);
    if (self->OnKey(message, wParam)) return 0;
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrW(edit, GWLP_USERDATA, 0);
      SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
      self->edit_ = nullptr;
      self->open_ = false;
    }
    return CallWindowProcW(proc, edit, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

}  // namespace sirel::win32
