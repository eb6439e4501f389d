// The datasets of a class set made on several threads at once. Each dataset depends on its
// seed alone, so each thread makes its datasets in a program state of its own and writes
// their files; the caller's thread takes them back in the order of their numbers, to show
// progress and gather the class key, and may stop the set at any moment.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <variant>
#include <vector>

#include "commands/class_set.h"
#include "commands/program_state.h"
#include "files/answer_key_file.h"
#include "platform/joining_thread.h"

namespace zek {

/// One dataset on disk, and its row of the class key when keys are asked for.
struct MadeDataset {
    WrittenDataset dataset;
    std::optional<ClassKeyRow> keyRow;
};

class DatasetWorkers {
  public:
    /// Makes dataset `index` in a state of the thread's own, answering to a host that asks
    /// nothing; throws on a failure.
    using Maker = std::function<MadeDataset(ProgramState& state, CommandHost& host, int index)>;

    /// Starts `threads` threads on datasets `first` to `last`, each state prepared as a copy of
    /// `model`'s setup, flags and report footer (taken now, on the caller's thread).
    DatasetWorkers(const ProgramState& model, int first, int last, int threads, Maker maker);
    /// Stops and waits for the threads; datasets under way are finished.
    ~DatasetWorkers();
    DatasetWorkers(const DatasetWorkers&) = delete;
    DatasetWorkers& operator=(const DatasetWorkers&) = delete;

    /// The next dataset in order, once it is made; rethrows its failure. Call it at most
    /// once per dataset, and not after a failure or `StopAndCollect`.
    MadeDataset Next();

    /// After a stop or a failure: starts no other dataset, waits for those under way and
    /// returns, in order, those made that `Next` has not returned; `failure` gets the first
    /// of their failures, if any.
    std::vector<MadeDataset> StopAndCollect(std::exception_ptr& failure);

    /// How many threads to use for `requested` (0: two per core) and `datasets` datasets.
    static int ThreadsFor(int requested, int datasets);

  private:
    void Work();
    /// Starts no other dataset and waits for the threads.
    void StopAndJoin();

    // Copied from the caller's state before any thread starts.
    GenerationSetup setup_;
    RunFlags flags_;
    ReportFooterLines reportFooterLines_;
    Maker maker_;
    int last_;

    std::mutex mutex_;
    std::condition_variable changed_;
    int nextToStart_;
    int nextToReturn_;
    bool stopping_ = false;
    std::map<int, std::variant<MadeDataset, std::exception_ptr>> finished_;
    std::vector<platform::JoiningThread> threads_;
};

}  // namespace zek
