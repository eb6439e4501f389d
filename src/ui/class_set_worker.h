// Writes a class set on a thread of its own, so that the window keeps drawing its progress and
// a Cancel takes effect within the datasets already being made. What the thread has to say
// reaches the window by signal, queued on the window's thread.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <optional>
#include <thread>

#include "commands/class_set.h"

namespace zek {

class ClassSetWorker final : public QObject {
    Q_OBJECT

  public:
    /// `run` must have passed its first dataset and outlive the worker.
    explicit ClassSetWorker(ClassSetRun& run, QObject* parent = nullptr);
    /// Stops and waits for the thread.
    ~ClassSetWorker() override;
    ClassSetWorker(const ClassSetWorker&) = delete;
    ClassSetWorker& operator=(const ClassSetWorker&) = delete;

    void Start();
    /// No dataset is started after this; those under way are finished. Any thread.
    void Stop() { stopping_.store(true); }

    /// Once `finished` has come: what was written, and the failure's message, if any.
    const ClassSetResult& result() const { return result_; }
    const std::optional<QString>& failure() const { return failure_; }

  signals:
    void datasetWritten(int index);
    void finished();

  private:
    void Work();

    ClassSetRun& run_;
    std::atomic<bool> stopping_{false};
    ClassSetResult result_;
    std::optional<QString> failure_;
    std::thread thread_;
};

}  // namespace zek
