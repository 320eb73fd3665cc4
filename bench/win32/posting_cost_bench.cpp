// What a posting costs the window system and the client, with the window hidden and shown,
// and with every paint slowed to 20 ms (the list subclassed here sleeps in its WM_PAINT, as a
// slow display or a remote desktop session would make it).
//
//   sirel_posting_cost_bench.exe            timings: ns per posting and lines per second
//   sirel_posting_cost_bench.exe trace N L S  for the server-request count: a full list of L
//                                          lines (the limit L), shown (S=1) or hidden, then
//                                          N postings between two atom look-ups that mark them
//                                          in Wine's server trace; prints the frames drawn
//
// scripts/run-wine-bench.sh runs the trace form under WINEDEBUG=+server with N = 1,000 and
// N = 0 and prints the requests per posting outside the frames and per frame.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "poster/poster.h"
#include "thread/thread_state.h"
#include "wall_clock_win32.h"
#include "win32/message_form.h"
#include "win32/native_platform.h"

namespace {

using sirel::Poster;
using sirel::ThreadState;

WNDPROC g_list_proc = nullptr;
int g_paints = 0;
DWORD g_paint_sleep_ms = 0;

LRESULT CALLBACK CountingListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    ++g_paints;
    if (g_paint_sleep_ms > 0) Sleep(g_paint_sleep_ms);
  }
  return CallWindowProcW(g_list_proc, hwnd, message, wParam, lParam);
}

std::u16string Line(int i) {
  std::u16string text = u"message number ";
  for (char c : std::to_string(i)) text.push_back(static_cast<char16_t>(c));
  return text;
}

// A poster with a full list of `lines` (its limit), shown or hidden, the list's paints counted.
struct Setup {
  Setup(int lines, bool shown) : poster(ThreadState::Current()) {
    poster.Initialize();
    poster.ClearList();
    poster.SetMaxListCount(lines);
    auto& form = static_cast<sirel::win32::MessageForm&>(ThreadState::Current().ObtainWindow());
    HWND list = form.listBox().hwnd();
    if (g_list_proc == nullptr) {
      g_list_proc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingListProc)));
    }
    for (int i = 0; i < lines; ++i) poster.DoSirel(Line(i));
    poster.SetFormVisible(shown ? sirel::kTrue : sirel::kFalse);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  Poster poster;
};

void Mark(const wchar_t* name) { GlobalFindAtomW(name); }

int Trace(int postings, int lines, bool shown) {
  Setup setup(lines, shown);
  g_paints = 0;
  Mark(L"sirel-mark-begin");
  for (int i = 0; i < postings; ++i) setup.poster.DoSirel(Line(i));
  Mark(L"sirel-mark-end");
  std::printf("frames %d\n", g_paints);
  return 0;
}

// Each case posts for a second of wall time, so that frames (at least 30 ms apart) have their
// share of the run whatever a posting costs.
void Time(int lines) {
  double ns[3] = {};
  const char* names[3] = {"hidden", "shown", "shown, 20 ms paints"};
  for (int kind = 0; kind < 3; ++kind) {
    Setup setup(lines, kind > 0);
    g_paint_sleep_ms = kind == 2 ? 20 : 0;
    g_paints = 0;
    const double start = sirel::bench::WallSeconds();
    int postings = 0;
    double elapsed = 0;
    while (elapsed < 1.0) {
      for (int i = 0; i < 100; ++i) setup.poster.DoSirel(Line(postings++));
      elapsed = sirel::bench::WallSeconds() - start;
    }
    ns[kind] = elapsed * 1e9 / postings;
    g_paint_sleep_ms = 0;
    std::printf("  %5d lines, %-20s %8.0f ns per posting, %7.0f lines/s, %4d frames\n", lines,
                names[kind], ns[kind], 1e9 / ns[kind], g_paints);
  }
  std::printf("  %5d lines: shown / hidden %.2f; hidden / shown with 20 ms paints %.0f %%\n",
              lines, ns[1] / ns[0], 100.0 * ns[0] / ns[2]);
}

}  // namespace

int main(int argc, char** argv) {
  sirel::win32::InstallNativePlatform();
  if (argc == 5 && std::string(argv[1]) == "trace") {
    return Trace(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]) != 0);
  }
  std::printf("posting cost (a busy client that never pumps)\n");
  for (int lines : {100, 1000, 32767}) Time(lines);
  return 0;
}
