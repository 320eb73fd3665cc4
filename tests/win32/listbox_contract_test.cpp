// Runs the MessageList contract suite against the real LISTBOX, each list in a message window
// of its own (hidden), as the library makes them.
#include <memory>

#include "contract/message_list_contract.h"
#include "win32/message_form.h"
#include "win32/native_platform.h"

namespace sirel::win32 {
namespace {

class ListboxUnderTest final : public testing_contract::ListUnderTest {
 public:
  ListboxUnderTest() : window_(ThisModule()) { window_.EnsureLoaded(); }
  MessageList& list() override { return window_.listBox(); }
  void SelectLikeUser(std::int16_t index, bool selected) override {
    window_.listBox().SetSelected(index, selected);
  }
  std::int16_t CurrentIndex() override { return window_.listBox().ListIndex(); }

 private:
  MessageForm window_;
};

std::unique_ptr<testing_contract::ListUnderTest> MakeListboxList() {
  return std::make_unique<ListboxUnderTest>();
}

INSTANTIATE_TEST_SUITE_P(Listbox, MessageListContractTest, ::testing::Values(&MakeListboxList));

}  // namespace
}  // namespace sirel::win32
