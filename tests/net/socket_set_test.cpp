#include "net/socket_set.h"

#include "../support/line_client.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

using test_support::TLineClient;

TEST(TSocketSet, AddOnAFullSetFailsAndLeavesItUnchanged) {
  TSocket a, b;
  ASSERT_TRUE(a.Listen("127.0.0.1", 0));
  ASSERT_TRUE(b.Listen("127.0.0.1", 0));
  TSocketSet set(1);
  EXPECT_TRUE(set.Add(&a));
  EXPECT_FALSE(set.Add(&b));
  EXPECT_FALSE(set.Add(&a)) << "already in the set";
  EXPECT_EQ(set.Count(), 1u);
  EXPECT_FALSE(set.Remove(&b));
  EXPECT_TRUE(set.SetCapacity(2));
  EXPECT_TRUE(set.Add(b.Handle()));
  EXPECT_FALSE(set.SetCapacity(1));
  EXPECT_TRUE(set.Remove(b.Handle()));
  EXPECT_TRUE(set.Remove(&a));
  EXPECT_EQ(set.Count(), 0u);
  TSocket empty;
  EXPECT_FALSE(set.Add(&empty));
}

TEST(TSocketSet, ActivityReportsReadySockets) {
  TSocket listener;
  ASSERT_TRUE(listener.Listen("127.0.0.1", 0));
  TSocketSet set(2);
  set.Add(&listener);
  EXPECT_FALSE(set.Activity(false));
  EXPECT_FALSE(set.SocketActive(&listener));
  TLineClient peer(listener.LocalPort());
  EXPECT_TRUE(set.Activity(true));
  EXPECT_TRUE(set.SocketActive(&listener));
  EXPECT_TRUE(set.SocketActive(listener.Handle()));
  auto accepted = listener.Accept();
  ASSERT_NE(accepted, nullptr);
  set.Add(accepted.get());
  EXPECT_FALSE(set.Activity(false));
  peer.SendLine("Q|");
  EXPECT_TRUE(set.Activity(true));
  EXPECT_TRUE(set.SocketActive(accepted.get()));
  EXPECT_FALSE(set.SocketActive(&listener));
  EXPECT_FALSE(set.SocketWritable(accepted.get())) << "nothing queued, writing not watched";
  accepted->Queue("O|x");
  set.Check(0);
  EXPECT_TRUE(set.SocketWritable(accepted.get()));
}

TEST(TSocketSet, WakeEndsAWaitFromAnotherThread) {
  TSocket listener;
  ASSERT_TRUE(listener.Listen("127.0.0.1", 0));
  TSocketSet set(1);
  set.Add(&listener);
  std::thread waker([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    set.Wake();
  });
  auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(set.Check(-1), 0);
  waker.join();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_EQ(set.Check(20), 0) << "a wake is used up by one wait";
}

TEST(TSocketSet, WatchesDescriptorsAbove1023) {
  rlimit limit{};
  getrlimit(RLIMIT_NOFILE, &limit);
  if (limit.rlim_max < 1300)
    GTEST_SKIP() << "descriptor limit too low";
  limit.rlim_cur = limit.rlim_max;
  setrlimit(RLIMIT_NOFILE, &limit);
  std::vector<int> filler;
  while (filler.empty() || filler.back() < 1100)
    filler.push_back(open("/dev/null", O_RDONLY | O_CLOEXEC));
  TSocket listener;
  ASSERT_TRUE(listener.Listen("127.0.0.1", 0));
  EXPECT_GE(listener.Descriptor(), 1024);
  TSocketSet set(1);
  set.Add(&listener);
  TLineClient peer(listener.LocalPort());
  EXPECT_TRUE(set.Activity(true));
  EXPECT_TRUE(set.SocketActive(&listener));
  for (int fd : filler)
    close(fd);
}

} // namespace
