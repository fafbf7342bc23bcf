#include "app/export_job.h"

#include <exception>
#include <new>
#include <utility>

namespace hoopcast::app {

ExportJob::ExportJob(const PlayModel& play, ExportRequest request, Run runner, QObject* parent)
    : QObject(parent),
      play_(std::make_unique<const PlayModel>(play)),
      request_(std::move(request)),
      run_(runner ? std::move(runner) : Run(export_play)),
      thread_([this] { run(); }) {}

ExportJob::~ExportJob() {
    cancel();
    if (thread_.joinable()) thread_.join();
}

// Posts to this object run on the window's thread, and are dropped if it is gone by then.
void ExportJob::run() {
    int reported = -1;
    const auto progress = [this, &reported](std::int64_t done, std::int64_t total) {
        const int steps = total > 0 ? static_cast<int>(done * kProgressSteps / total) : 0;
        if (steps != reported) {
            reported = steps;
            QMetaObject::invokeMethod(
                this, [this, steps] { emit progressed(steps); }, Qt::QueuedConnection);
        }
        return !cancelled_.load();
    };
    ExportResult result;
    // Nothing thrown here may end the program: a huge size can run out of memory.
    try {
        result = run_(*play_, request_, progress);
    } catch (const std::bad_alloc&) {
        result = {ExportOutcome::Failed, "not enough memory to write " + request_.path};
    } catch (const std::exception& e) {
        result = {ExportOutcome::Failed, "cannot write " + request_.path + ": " + e.what()};
    }
    QMetaObject::invokeMethod(
        this, [this, result] { emit finished(result); }, Qt::QueuedConnection);
}

}  // namespace hoopcast::app
