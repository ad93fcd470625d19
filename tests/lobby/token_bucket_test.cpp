// Flood control's arithmetic with a clock the test moves by hand.
#include "lobby/token_bucket.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Clock = TTokenBucket::Clock;

// How many of Count lines sent at one moment pass.
int Passing(TTokenBucket& Bucket, Clock::time_point At, int Count) {
  int passed = 0;
  for (int i = 0; i < Count; ++i)
    passed += Bucket.Take(At) ? 1 : 0;
  return passed;
}

TEST(TTokenBucket, ABurstPassesThenTheRateRefillsIt) {
  const Clock::time_point start{};
  TTokenBucket bucket(20, 2.0, start);
  EXPECT_TRUE(bucket.Full(start));
  EXPECT_EQ(Passing(bucket, start, 25), 20);
  EXPECT_FALSE(bucket.Full(start));
  // Two a second: after 499 ms not one token, after 500 ms one, after two seconds four more.
  EXPECT_FALSE(bucket.Take(start + 499ms));
  EXPECT_TRUE(bucket.Take(start + 500ms));
  EXPECT_FALSE(bucket.Take(start + 500ms));
  EXPECT_EQ(Passing(bucket, start + 2500ms, 10), 4);
  // It never holds more than the burst, however long the sender rests.
  EXPECT_TRUE(bucket.Full(start + 1h));
  EXPECT_EQ(Passing(bucket, start + 1h, 30), 20);
}

TEST(TTokenBucket, APersonTypingNeverMeetsTheDefaultLimit) {
  Clock::time_point at{};
  TTokenBucket bucket(20, 2.0, at);
  // A line every 600 ms for ten minutes, with a quick burst of ten every minute.
  for (int second = 0; second < 600; ++second) {
    at += 600ms;
    ASSERT_TRUE(bucket.Take(at)) << second;
    if (second % 100 == 0) {
      ASSERT_EQ(Passing(bucket, at, 10), 10) << second;
    }
  }
}

TEST(TTokenBucket, FractionalRatesAndTimeGoingBackwards) {
  const Clock::time_point start = Clock::time_point{} + 10s;
  TTokenBucket bucket(1, 0.25, start);
  EXPECT_TRUE(bucket.Take(start));
  EXPECT_FALSE(bucket.Take(start + 3999ms));
  // An earlier time counts as the last one: it neither refills nor breaks the bucket.
  EXPECT_FALSE(bucket.Take(start - 5s));
  EXPECT_TRUE(bucket.Take(start + 4s));
  EXPECT_EQ(bucket.Burst(), 1u);
  EXPECT_DOUBLE_EQ(bucket.Rate(), 0.25);
}

} // namespace
