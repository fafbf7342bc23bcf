#pragma once
// An export running on a thread of its own, with its own copy of the play and its own fonts
// and caches (export_play owns them), so that the window plays on meanwhile. It reports to
// the window's thread; destroying it cancels the export and waits for the thread.

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "export/play_export.h"

namespace hoopcast::app {

class ExportJob : public QObject {
    Q_OBJECT
  public:
    // What runs the export on the job's thread: export_play unless told otherwise (tests).
    using Run = std::function<ExportResult(const PlayModel&, const ExportRequest&, const ExportProgress&)>;

    ExportJob(const PlayModel& play, ExportRequest request, Run runner = {}, QObject* parent = nullptr);
    ~ExportJob() override;
    ExportJob(const ExportJob&) = delete;
    ExportJob& operator=(const ExportJob&) = delete;

    // The export stops at its next frame and removes what it wrote.
    void cancel() noexcept { cancelled_ = true; }
    const ExportRequest& request() const noexcept { return request_; }

    static constexpr int kProgressSteps = 1000;

  signals:
    // Steps done of kProgressSteps.
    void progressed(int steps);
    // Once, last.
    void finished(const hoopcast::ExportResult& result);

  private:
    void run();

    std::unique_ptr<const PlayModel> play_;
    const ExportRequest request_;
    const Run run_;
    std::atomic<bool> cancelled_{false};
    std::thread thread_;
};

}  // namespace hoopcast::app
