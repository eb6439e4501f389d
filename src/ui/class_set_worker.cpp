#include "ui/class_set_worker.h"

namespace zek {

ClassSetWorker::ClassSetWorker(ClassSetRun& run, QObject* parent) : QObject(parent), run_(run) {}

ClassSetWorker::~ClassSetWorker() {
    Stop();
    if (thread_.joinable()) thread_.join();
}

void ClassSetWorker::Start() {
    thread_ = std::thread([this] { Work(); });
}

// The result is complete before `finished` is sent, and the window reads it only after.
void ClassSetWorker::Work() {
    ClassSetProgress progress;
    progress.written = [this](const WrittenDataset& dataset) {
        emit datasetWritten(dataset.index);
        return !stopping_.load();
    };
    try {
        result_ = run_.Write(progress);
    } catch (const FileError& error) {
        result_ = run_.soFar();
        failure_ = QString::fromStdString(error.what());
    } catch (const std::exception& error) {
        result_ = run_.soFar();
        failure_ = QString::fromStdString(error.what());
    }
    emit finished();
}

}  // namespace zek
