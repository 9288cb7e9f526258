#include "sim/simulated_port.h"

#include <algorithm>
#include <limits>

#include "link/port_devices.h"
#include "sim/line_timing.h"

namespace zt::sim {

SimulatedPort::SimulatedPort(Clock& clock, MeterModel& meter)
    : clock_(clock), responder_(meter) {
  format_ = ParseSettingsText(kInitialLineFormat).value_or(LineFormat{});
}

void SimulatedPort::SelectPort(int16_t portNumber) {
  Settle();
  selectedPort_ = portNumber;
  Log(PortOperation::SelectPort, std::to_string(portNumber));
}

bool SimulatedPort::SetLineFormat(std::string_view settingsText) {
  Settle();
  const std::optional<LineFormat> parsed = ParseSettingsText(settingsText);
  if (parsed && !formatElsewhere_) {
    format_ = *parsed;
  }
  Log(PortOperation::SetLineFormat, std::string(settingsText), parsed.has_value());
  return parsed.has_value();
}

OpenResult SimulatedPort::Open() {
  Settle();
  OpenResult result;
  result.device = PortDevices::PlatformDefault(selectedPort_);
  if (vanished_) {
    result.reason = "No such file or directory";
  } else if (openFailure_) {
    result.reason = *openFailure_;
  } else if (open_) {
    result.reason = "The port is already open";
  } else {
    open_ = true;
    openPort_ = selectedPort_;
    received_.clear();
    result.opened = true;
  }
  Log(PortOperation::Open, result.opened ? result.device : result.reason, result.opened);
  return result;
}

void SimulatedPort::Close() {
  Settle();
  open_ = false;
  received_.clear();
  Log(PortOperation::Close);
}

void SimulatedPort::ClearReceiveBuffer() {
  Settle();
  received_.clear();
  Log(PortOperation::ClearReceiveBuffer);
}

void SimulatedPort::DiscardPendingInput() {
  Settle();
  Log(PortOperation::DiscardPendingInput, std::to_string(received_.size()));
  received_.clear();
}

int16_t SimulatedPort::CountWaiting() {
  Settle();
  const std::size_t waiting = Dead() ? 0 : received_.size();
  const auto count = static_cast<int16_t>(std::min<std::size_t>(
      waiting, static_cast<std::size_t>(std::numeric_limits<int16_t>::max())));
  Log(PortOperation::CountWaiting, std::to_string(count));
  return count;
}

std::vector<uint8_t> SimulatedPort::ReadWaiting() {
  Settle();
  std::vector<uint8_t> bytes;
  if (!Dead()) {
    bytes.assign(received_.begin(), received_.end());
    received_.clear();
  }
  Log(PortOperation::ReadWaiting, std::to_string(bytes.size()));
  return bytes;
}

void SimulatedPort::Write(const uint8_t* data, int16_t length) {
  Settle();
  if (Dead() || data == nullptr || length <= 0) {
    Log(PortOperation::Write, "0", false);
    return;
  }
  const auto size = static_cast<std::size_t>(length);
  std::vector<uint8_t> bytes(data, data + size);
  const std::chrono::microseconds now = clock_.Now();
  // A write queued behind one still on the line starts when that one ends.
  const std::chrono::microseconds start = std::max(now, portTxFreeAt_);
  portTxFreeAt_ = start + LineTime(format_, size);
  if (recording_) {
    written_.push_back({now, bytes, format_, openPort_});
  }
  if (localEcho_) {
    for (std::size_t i = 0; i < size; ++i) {
      incoming_.emplace(start + LineTime(format_, i + 1), Incoming{bytes[i], std::nullopt});
    }
  }
  outgoing_.push_back({portTxFreeAt_, std::move(bytes), format_, openPort_});
  Log(PortOperation::Write, std::to_string(size));
}

bool SimulatedPort::WaitForBytes(std::chrono::microseconds timeout) {
  Settle();
  const std::chrono::microseconds deadline = clock_.Now() + timeout;
  while (Dead() || received_.empty()) {
    const std::optional<std::chrono::microseconds> next = NextArrival();
    if (!next || *next >= deadline) {
      clock_.SleepUntil(deadline);
      Settle();
      break;
    }
    clock_.SleepUntil(*next);
    Settle();
  }
  const bool waiting = !Dead() && !received_.empty();
  Log(PortOperation::WaitForBytes, std::to_string(waiting ? received_.size() : 0));
  return waiting;
}

std::optional<std::chrono::microseconds> SimulatedPort::NextArrival() const {
  std::optional<std::chrono::microseconds> next;
  if (!outgoing_.empty()) {
    next = outgoing_.front().arrival;
  }
  if (!incoming_.empty() && (!next || incoming_.begin()->first < *next)) {
    next = incoming_.begin()->first;
  }
  return next;
}

void SimulatedPort::InjectIncoming(std::chrono::microseconds at, std::vector<uint8_t> bytes) {
  for (const uint8_t byte : bytes) {
    incoming_.emplace(at, Incoming{byte, std::nullopt});
  }
}

void SimulatedPort::Reappear() {
  Settle();
  vanished_ = false;
  open_ = false;
}

void SimulatedPort::Vanish() {
  Settle();
  vanished_ = true;
  received_.clear();
  incoming_.clear();
  outgoing_.clear();
}

std::vector<PortOperation> SimulatedPort::Operations() const {
  std::vector<PortOperation> operations;
  operations.reserve(events_.size());
  for (const PortEvent& event : events_) {
    operations.push_back(event.operation);
  }
  return operations;
}

void SimulatedPort::ClearLogs() {
  written_.clear();
  events_.clear();
}

void SimulatedPort::Settle() {
  const std::chrono::microseconds now = clock_.Now();
  for (;;) {
    const bool requestDue = !outgoing_.empty() && outgoing_.front().arrival <= now;
    const bool byteDue = !incoming_.empty() && incoming_.begin()->first <= now;
    if (requestDue && (!byteDue || outgoing_.front().arrival < incoming_.begin()->first)) {
      Outgoing request = std::move(outgoing_.front());
      outgoing_.pop_front();
      Deliver(request);
    } else if (byteDue) {
      Incoming incoming = incoming_.begin()->second;
      incoming_.erase(incoming_.begin());
      Receive(incoming);
    } else {
      return;
    }
  }
}

void SimulatedPort::Deliver(const Outgoing& request) {
  // A port with nothing wired to it, or a line at another rate or parity,
  // leaves the meter with garbage it cannot take for a request.
  if (request.port != meterPort_ || request.line != MeterLineAt(request.arrival)) {
    return;
  }
  const uint8_t* data = request.bytes.data();
  std::size_t size = request.bytes.size();
  // Each write is followed by silence, so whatever is left incomplete at its
  // end is no frame.
  for (;;) {
    FramedRequest framed = NextRequest(data, size, true);
    if (!framed.request) {
      return;
    }
    data += framed.consumed;
    size -= framed.consumed;
    const std::optional<Response> response = responder_.Respond(*framed.request);
    if (!response) {
      continue;
    }
    const std::chrono::microseconds start =
        std::max(request.arrival + response->delay, meterTxFreeAt_);
    for (std::size_t i = 0; i < response->bytes.size(); ++i) {
      incoming_.emplace(start + LineTime(response->line, i + 1),
                        Incoming{response->bytes[i], response->line});
    }
    meterTxFreeAt_ = start + LineTime(response->line, response->bytes.size());
    if (response->nextLine != response->line) {
      oldMeterLineUntil_ = {meterTxFreeAt_, response->line};
    }
  }
}

void SimulatedPort::Receive(const Incoming& incoming) {
  if (Dead()) {
    return;
  }
  if (incoming.line && (*incoming.line != format_ || openPort_ != meterPort_)) {
    return;
  }
  received_.push_back(incoming.byte);
}

LineFormat SimulatedPort::MeterLineAt(std::chrono::microseconds at) const {
  if (oldMeterLineUntil_ && at < oldMeterLineUntil_->first) {
    return oldMeterLineUntil_->second;
  }
  return responder_.Meter().Line();
}

void SimulatedPort::Log(PortOperation operation, std::string text, bool ok) {
  if (recording_) {
    events_.push_back({operation, clock_.Now(), std::move(text), ok});
  }
}

}  // namespace zt::sim
