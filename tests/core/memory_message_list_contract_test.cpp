// Runs the MessageList contract suite against the in-memory list.
#include <memory>

#include "contract/message_list_contract.h"
#include "platform/memory/memory_message_list.h"

namespace sirel {
namespace {

class MemoryListUnderTest final : public testing_contract::ListUnderTest {
 public:
  MessageList& list() override { return list_; }
  void SelectLikeUser(std::int16_t index, bool selected) override {
    list_.SetSelected(index, selected);
  }
  std::int16_t CurrentIndex() override { return list_.ListIndex(); }

 private:
  MemoryMessageList list_;
};

std::unique_ptr<testing_contract::ListUnderTest> MakeMemoryList() {
  return std::make_unique<MemoryListUnderTest>();
}

INSTANTIATE_TEST_SUITE_P(Memory, MessageListContractTest, ::testing::Values(&MakeMemoryList));

}  // namespace
}  // namespace sirel
