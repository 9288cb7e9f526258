#include "console/snapshot_refresher.h"

#include <QTimerEvent>

#include <utility>

namespace zt {

SnapshotRefresher::SnapshotRefresher(LinkWorker& worker, int intervalMs,
                                     FramesAfter framesAfter, Show show)
    : worker_(worker),
      intervalMs_(intervalMs),
      framesAfter_(std::move(framesAfter)),
      show_(std::move(show)) {}

void SnapshotRefresher::Start() {
  Refresh();
  timer_.start(intervalMs_, this);
}

void SnapshotRefresher::Stop() { timer_.stop(); }

void SnapshotRefresher::Refresh() {
  if (paused_ || pending_) {
    return;
  }
  pending_ = true;
  // Delivered to this object, so a copy that comes back after its window is
  // gone is dropped.
  worker_.Snapshot(this, framesAfter_ ? framesAfter_() : std::nullopt,
                   [this](LinkSnapshot snapshot) {
                     pending_ = false;
                     if (paused_) {
                       return;  // fetched again, from the same place, on resuming
                     }
                     show_(std::move(snapshot));
                   });
}

void SnapshotRefresher::SetPaused(bool paused) { paused_ = paused; }

void SnapshotRefresher::timerEvent(QTimerEvent* event) {
  if (event->timerId() == timer_.timerId()) {
    Refresh();
    return;
  }
  QObject::timerEvent(event);
}

}  // namespace zt
