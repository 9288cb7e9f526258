#pragma once

#include <QBasicTimer>
#include <QObject>

#include <cstdint>
#include <functional>
#include <optional>

#include "console/link_worker.h"

namespace zt {

// Keeps a tool window up to date from copies of the link's state that the
// link worker takes between exchanges: once when the window appears, then
// on a timer while it is shown. At most one copy is asked for at a time,
// however long the job on the line takes; while paused none is asked for
// and one already on its way is dropped.
class SnapshotRefresher final : public QObject {
 public:
  // The frames to copy: those after a sequence number, or none at all.
  using FramesAfter = std::function<std::optional<int64_t>()>;
  using Show = std::function<void(LinkSnapshot)>;

  SnapshotRefresher(LinkWorker& worker, int intervalMs, FramesAfter framesAfter, Show show);

  // Refreshes now and then every interval, until Stop().
  void Start();
  void Stop();
  void Refresh();
  void SetPaused(bool paused);
  bool Paused() const { return paused_; }

 protected:
  void timerEvent(QTimerEvent* event) override;

 private:
  LinkWorker& worker_;
  const int intervalMs_;
  FramesAfter framesAfter_;
  Show show_;
  QBasicTimer timer_;
  bool paused_ = false;
  bool pending_ = false;
};

}  // namespace zt
