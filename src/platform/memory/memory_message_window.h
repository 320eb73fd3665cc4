// An in-memory message window: title, position, visibility, a handle and a MemoryMessageList.
// Lets the core's rules run natively. Close() imitates the user closing the window through its
// frame: the lines are gone and the next EnsureLoaded() loads the window afresh.
#pragma once

#include "platform/memory/memory_message_list.h"
#include "platform/message_window.h"

namespace sirel {

class MemoryMessageWindow final : public MessageWindow {
 public:
  explicit MemoryMessageWindow(WindowHandle handle) : handle_(handle) {}

  void EnsureLoaded() override;
  MessageList& List() override { return list_; }
  WindowHandle Handle() const override { return handle_; }
  std::u16string Caption() const override { return caption_; }
  void SetCaption(const std::u16string& caption) override { caption_ = caption; }
  float Top() const override { return top_; }
  float Left() const override { return left_; }
  void SetTop(float twips) override { top_ = twips; }
  void SetLeft(float twips) override { left_ = twips; }
  void Show() override { visible_ = true; }
  void Hide() override { visible_ = false; }
  bool IsVisible() const override { return visible_; }

  MemoryMessageList& memoryList() { return list_; }
  void Close() noexcept override { loaded_ = false; }
  bool IsLoaded() const override { return loaded_; }
  int loadCount() const { return load_count_; }

 private:
  WindowHandle handle_;
  bool loaded_ = false;
  int load_count_ = 0;
  MemoryMessageList list_;
  std::u16string caption_;
  float top_ = 0;
  float left_ = 0;
  bool visible_ = false;
};

}  // namespace sirel
