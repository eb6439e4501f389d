#include "platform/processors.h"

#include <gtest/gtest.h>

#if defined(__linux__)
#include <sched.h>
#endif

#include <thread>

namespace zek::platform {
namespace {

#if defined(__linux__)

// A process held to one processor (taskset, a container's limit) counts one processor
// however many the machine has, and makes no second thread for a run.
TEST(ProcessorsTest, AProcessHeldToOneProcessorCountsOne) {
    cpu_set_t before;
    CPU_ZERO(&before);
    ASSERT_EQ(sched_getaffinity(0, sizeof before, &before), 0);
    int first = 0;
    while (!CPU_ISSET(first, &before)) ++first;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(first, &one);
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    const int counted = AllowedProcessorCount();
    const bool others = OtherProcessorsAllowed();
    ASSERT_EQ(sched_setaffinity(0, sizeof before, &before), 0);
    EXPECT_EQ(counted, 1);
    EXPECT_FALSE(others);
    EXPECT_EQ(AllowedProcessorCount(), CPU_COUNT(&before));
}

#endif

TEST(ProcessorsTest, AHelperKeptOffTheCallersProcessorStillRuns) {
    bool ran = false;
    std::thread helper([&ran] { ran = true; });
    KeepOffCallersProcessor(helper.native_handle());
    helper.join();
    EXPECT_TRUE(ran);
    EXPECT_GE(AllowedProcessorCount(), 1);
}

}  // namespace
}  // namespace zek::platform
