#include "scripted_port.h"

#include <algorithm>

namespace zt::test {

int16_t ScriptedPort::CountWaiting() {
  std::size_t count = 0;
  for (const Pending& p : pending_) {
    if (p.at <= clock_.Now()) {
      count += p.bytes.size();
    }
  }
  return static_cast<int16_t>(count);
}

void ScriptedPort::Write(const uint8_t* data, int16_t length) {
  Frame request(data, data + length);
  if (!open_) {
    return;
  }
  sent.push_back({clock_.TickCount(), request});
  if (responder) {
    if (std::optional<ScriptedReply> reply = responder(request)) {
      pending_.push_back(
          {clock_.Now() + std::chrono::milliseconds(reply->delayMs), std::move(reply->bytes)});
    }
  }
  if (onWrite) {
    onWrite();
  }
}

bool ScriptedPort::WaitForBytes(std::chrono::microseconds timeout) {
  std::chrono::microseconds until = clock_.Now() + timeout;
  if (!open_) {
    clock_.SleepUntil(until);
    return false;
  }
  for (const Pending& p : pending_) {
    if (p.at <= clock_.Now()) {
      return true;
    }
    until = std::min(until, p.at);
  }
  clock_.SleepUntil(until);
  return CountWaiting() > 0;
}

Frame ScriptedPort::TakeArrived() {
  Frame arrived;
  const auto notYet = std::stable_partition(pending_.begin(), pending_.end(),
                                            [&](const Pending& p) { return p.at > clock_.Now(); });
  for (auto it = notYet; it != pending_.end(); ++it) {
    arrived.insert(arrived.end(), it->bytes.begin(), it->bytes.end());
  }
  pending_.erase(notYet, pending_.end());
  return arrived;
}

}  // namespace zt::test
