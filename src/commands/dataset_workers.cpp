#include "commands/dataset_workers.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "commands/silent_host.h"
#include "platform/processors.h"

namespace zek {

DatasetWorkers::DatasetWorkers(const ProgramState& model, int first, int last, int threads,
                               Maker maker)
    : setup_(model.setup),
      flags_(model.flags),
      reportFooterLines_(model.reportFooterLines),
      maker_(std::move(maker)),
      last_(last),
      nextToStart_(first),
      nextToReturn_(first) {
    threads_.reserve(static_cast<std::size_t>(threads));
    for (int k = 0; k < threads; ++k) threads_.emplace_back([this] { Work(); });
}

DatasetWorkers::~DatasetWorkers() {
    StopAndJoin();
}

void DatasetWorkers::StopAndJoin() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    threads_.clear();  // joins
}

int DatasetWorkers::ThreadsFor(int requested, int datasets) {
    // Two per core: each dataset waits for the disk to take its four files, and meanwhile
    // the other thread of its core computes.
    // The processors this process may use, not all the machine has: a set held to two cores
    // by taskset or a container starts no more threads than those can take.
    if (!platform::CanStartThreads()) return 1;
    const int cores = platform::AllowedProcessorCount();
    return std::clamp(requested > 0 ? requested : 2 * cores, 1, std::max(1, datasets));
}

void DatasetWorkers::Work() {
    // The tables are allocated once per thread and serve every dataset it makes.
    auto state = std::make_unique<ProgramState>();
    state->setup = setup_;
    state->flags = flags_;
    state->reportFooterLines = reportFooterLines_;
    // The workers already keep every core busy.
    state->runThreads = RunThreads::One;
    SilentHost host;
    while (true) {
        int index = 0;
        {
            const std::lock_guard lock(mutex_);
            if (stopping_ || nextToStart_ > last_) return;
            index = nextToStart_++;
        }
        std::variant<MadeDataset, std::exception_ptr> outcome;
        try {
            outcome = maker_(*state, host, index);
        } catch (...) {
            outcome = std::current_exception();
        }
        {
            const std::lock_guard lock(mutex_);
            if (std::holds_alternative<std::exception_ptr>(outcome)) stopping_ = true;
            finished_.emplace(index, std::move(outcome));
        }
        changed_.notify_all();
    }
}

MadeDataset DatasetWorkers::Next() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return finished_.contains(nextToReturn_); });
    auto node = finished_.extract(nextToReturn_++);
    if (auto* failure = std::get_if<std::exception_ptr>(&node.mapped())) {
        std::rethrow_exception(*failure);
    }
    return std::move(std::get<MadeDataset>(node.mapped()));
}

std::vector<MadeDataset> DatasetWorkers::StopAndCollect(std::exception_ptr& failure) {
    StopAndJoin();
    std::vector<MadeDataset> made;
    for (auto& [index, outcome] : finished_) {
        if (auto* error = std::get_if<std::exception_ptr>(&outcome)) {
            if (!failure) failure = *error;
        } else {
            made.push_back(std::move(std::get<MadeDataset>(outcome)));
        }
    }
    finished_.clear();
    return made;
}

}  // namespace zek
