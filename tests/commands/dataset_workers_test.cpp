#include "commands/dataset_workers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace zek {
namespace {

using namespace std::chrono_literals;

// Dataset `slow` is made only once a later dataset has been, so the threads finish out of
// order every time rather than by chance.
class OutOfOrderMaker {
  public:
    explicit OutOfOrderMaker(int slow) : slow_(slow) {}

    MadeDataset operator()(ProgramState&, CommandHost&, int index) {
        std::unique_lock lock(mutex_);
        if (index == slow_) {
            // Bounded, so that a fault cannot hang the test; the order below then fails it.
            laterMade_.wait_for(lock, 10s, [this] { return !finished_.empty(); });
        }
        finished_.push_back(index);
        laterMade_.notify_all();
        if (index == failing_) throw std::runtime_error("dataset " + std::to_string(index));
        return {{index, 1000 + index, "d" + std::to_string(index) + ".csv"}, std::nullopt};
    }
    void FailAt(int index) { failing_ = index; }
    std::vector<int> finished() {
        const std::lock_guard lock(mutex_);
        return finished_;
    }

  private:
    int slow_;
    int failing_ = 0;
    std::mutex mutex_;
    std::condition_variable laterMade_;
    std::vector<int> finished_;
};

TEST(DatasetWorkersTest, DatasetsComeBackInTheOrderOfTheirNumbersWhicheverFinishesFirst) {
    const auto model = std::make_unique<ProgramState>();
    OutOfOrderMaker maker(2);
    DatasetWorkers workers(*model, 2, 6, 2, [&](ProgramState& state, CommandHost& host, int index) {
        return maker(state, host, index);
    });
    std::vector<int> taken;
    for (int index = 2; index <= 6; ++index) taken.push_back(workers.Next().dataset.index);
    EXPECT_EQ(taken, (std::vector<int>{2, 3, 4, 5, 6}));
    ASSERT_FALSE(maker.finished().empty());
    EXPECT_NE(maker.finished().front(), 2) << "the threads finished in order: nothing was tested";
}

// A failure comes back at its own number, after the datasets before it; those made after it
// are collected in order, so that the set can list every file on disk.
TEST(DatasetWorkersTest, AFailureComesBackAtItsNumberAndTheMadeAreCollectedInOrder) {
    const auto model = std::make_unique<ProgramState>();
    OutOfOrderMaker maker(3);
    maker.FailAt(3);
    DatasetWorkers workers(*model, 2, 5, 2, [&](ProgramState& state, CommandHost& host, int index) {
        return maker(state, host, index);
    });
    EXPECT_EQ(workers.Next().dataset.index, 2);
    EXPECT_THROW(workers.Next(), std::runtime_error);
    std::exception_ptr failure;
    std::vector<int> collected;
    for (const MadeDataset& made : workers.StopAndCollect(failure)) {
        collected.push_back(made.dataset.index);
    }
    EXPECT_TRUE(std::is_sorted(collected.begin(), collected.end()));
    for (int index : collected) EXPECT_GT(index, 3);
}

}  // namespace
}  // namespace zek
