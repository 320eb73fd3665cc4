// The requests that the end-to-end host answers, one line in and one line out:
//
//   ping                      pong
//   post <text>               ok            (DoSirel with the UTF-8 text, no priority)
//   busy <n>                  ok            (posts "Host line 1".."Host line <n>", one every
//                                            100 ms, running no messages meanwhile)
//   tick <ms>                 ok            (a timer posts "Tick 1", "Tick 2", ... every <ms>
//                                            while the host runs its messages)
//   untick                    ok            (the timer stops)
//   top                       top <i>       the list's first visible line
//   listrect                  listrect <h>  the list's height in pixels
//   inview <i>                inview <1|0>  line i is wholly in the list's view
//   follows                   follows <1|0> 1: the newest line is the only selected one, in view
//   lines                     lines <count> <line>|<line>|...
//   selected                  selected <i>,<i>,...   or  selected -
//   point <i>                 point <x> <y>  screen point in the middle of line i (-1: the
//                                            list's empty area below the lines)
//   rowpoint <k>              point <x> <y>  middle of the k-th row the list shows (0: top)
//   menu                      menu <count> <caption>|...   or  menu none
//   menupoint <i>             point <x> <y>  middle of item i of the open pop-up menu
//   dialog                    dialog title=<hex> owner=<client|message|none|other>
//                                    buttons=<caption>|... text=<hex> edits=<hex>,...
//                                                                      or  dialog none
//   dialogpoint               point <x> <y>  middle of the open dialog
//   clipboard                 clipboard formats=<n> unicode=<hex|none> text=<hex|none>
//   setclipboard <text>       ok            (the text, as Unicode text, by another owner)
//   holdclipboard             ok            (another thread opens the clipboard and keeps it)
//   releaseclipboard          ok
//   window                    window visible=<0|1> formvisible=<value>
//   formvisible <value>       ok
//   quit                      bye
//
// <hex> is the UTF-8 (clipboard text: the exact bytes) in lower-case hex, "-" when empty.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "poster/poster.h"

namespace sirel::e2e {

class ClipboardHolder;

class HostCommands {
 public:
  HostCommands(Poster& poster, HWND client);
  ~HostCommands();

  std::string Handle(const std::string& request);
  // One posting of the ticking client.
  void Tick(int n);

 private:
  HWND MessageWindow();
  std::string Owner(HWND owner);

  Poster& poster_;
  HWND client_;
  std::unique_ptr<ClipboardHolder> holder_;
};

}  // namespace sirel::e2e
