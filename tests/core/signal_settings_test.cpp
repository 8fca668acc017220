#include "synthesis/signal_settings.h"

#include <gtest/gtest.h>

namespace marvolen {
namespace {

TEST(SignalSettings, DerivedValuesByRate) {
  const int32_t expected[] = {800, 960, 2205, 4410, 4800, 9600};
  for (size_t i = 0; i < kSampleRateList.size(); ++i) {
    SignalSettings s;
    s.SampleRate = kSampleRateList[i].rate;
    EXPECT_EQ(PipUnit(s), expected[i]) << s.SampleRate;
  }
}

}  // namespace
}  // namespace marvolen
