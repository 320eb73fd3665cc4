#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "poster/poster.h"

namespace sirel {
namespace {

TEST(PosterSmokeTest, PostsALine) {
  MemoryPlatform platform;
  ThreadState thread(platform);
  Poster poster(thread);
  poster.Initialize();
  poster.DoSirel(u"T", 3);
  EXPECT_EQ(poster.Count(), 1);
  EXPECT_EQ(poster.LastMessage(), u"T");
}

}  // namespace
}  // namespace sirel
