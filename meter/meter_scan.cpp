#include "meter/meter_scan.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <set>

#include "link/modbus_rtu.h"
#include "meter/register_map.h"

namespace zt {

namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

// A read request and its reply to one register.
constexpr int kRequestCharacters = 8;
constexpr int kReplyCharacters = 7;

// Modbus RTU unicast addresses; 0 is the broadcast, which no meter answers.
constexpr uint8_t kFirstScanAddress = 1;
constexpr uint8_t kLastDefaultAddress = 247;

// The meter leaves the factory at 9600 bit/s, so that rate comes first; then
// the others from the fastest, whose tries are the shortest.
constexpr std::array<int32_t, 5> kDefaultScanRates = {9600, 19200, 4800, 2400, 1200};

std::optional<int> ParseAddress(std::string_view text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc{} || ptr != end || value < kFirstScanAddress ||
      value > 255) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

milliseconds ScanTryWait(const ScanLine& line, milliseconds turnaround) {
  const microseconds lineTime = FastExchange::ForLine(LineFormatOf(line.baudRate, line.parity)).characterTime *
                                (kRequestCharacters + kReplyCharacters);
  return std::chrono::ceil<milliseconds>(lineTime) + turnaround;
}

milliseconds ScanPlan::WorstCase() const {
  milliseconds total{0};
  for (const ScanLine& line : lines) {
    total += ScanTryWait(line, turnaround) * static_cast<int64_t>(addresses.size());
  }
  return total;
}

ScanPlan DefaultScanPlan() {
  ScanPlan plan;
  for (int address = kFirstScanAddress; address <= kLastDefaultAddress; ++address) {
    plan.addresses.push_back(static_cast<uint8_t>(address));
  }
  plan.lines = ScanLines(DefaultScanRates(), {kParityNone});
  return plan;
}

std::vector<int32_t> DefaultScanRates() {
  return {std::begin(kDefaultScanRates), std::end(kDefaultScanRates)};
}

std::vector<ScanLine> ScanLines(const std::vector<int32_t>& rates,
                                const std::vector<int32_t>& parities) {
  std::vector<ScanLine> lines;
  for (const int32_t parity : parities) {
    for (const int32_t rate : rates) {
      const ScanLine line{rate, parity};
      if (std::find(lines.begin(), lines.end(), line) == lines.end()) {
        lines.push_back(line);
      }
    }
  }
  return lines;
}

std::optional<std::vector<uint8_t>> ParseAddressList(std::string_view text) {
  std::vector<uint8_t> addresses;
  std::set<uint8_t> seen;
  const auto add = [&](int address) {
    if (seen.insert(static_cast<uint8_t>(address)).second) {
      addresses.push_back(static_cast<uint8_t>(address));
    }
  };
  while (true) {
    const std::size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    const std::size_t dash = item.find('-');
    const std::optional<int> first = ParseAddress(item.substr(0, dash));
    const std::optional<int> last =
        dash == std::string_view::npos ? first : ParseAddress(item.substr(dash + 1));
    if (!first || !last || *last < *first) {
      return std::nullopt;
    }
    for (int address = *first; address <= *last; ++address) {
      add(address);
    }
    if (comma == std::string_view::npos) {
      return addresses;
    }
    text.remove_prefix(comma + 1);
  }
}

ScanOutcome ScanForMeters(SerialPort& port, Clock& clock, const ScanPlan& plan,
                          const ScanCallbacks& callbacks) {
  ScanOutcome outcome;
  const int64_t total = plan.Tries();
  Transaction transaction(port, clock);
  transaction.SetLocalEcho(plan.echo);
  for (const ScanLine& line : plan.lines) {
    const LineFormat format = LineFormatOf(line.baudRate, line.parity);
    port.SetLineFormat(SettingsText(format));
    transaction.SetFastExchange(FastExchange::ForLine(format));
    // Another rate is another line: whether it echoes is found out anew.
    transaction.ForgetLine();
    const milliseconds wait = ScanTryWait(line, plan.turnaround);
    for (const uint8_t address : plan.addresses) {
      if (callbacks.stopRequested && callbacks.stopRequested()) {
        outcome.stopped = true;
        return outcome;
      }
      if (callbacks.progress) {
        callbacks.progress({outcome.tries, total, address, line});
      }
      const TxFrame request = BuildReadRequest(address, reg::kDecimalPoint, 1);
      const int16_t at = transaction.RequestReply(request, wait, ExpectedReply::ReadOf(request));
      ++outcome.tries;
      if (at == Transaction::kNoReply) {
        // A try that heard nothing but, at most, the adapter's copy of its
        // request leaves the line quiet. The transaction's guard after a
        // failure keeps one request's late reply from answering the next;
        // here the next request asks another address, which a late reply
        // does not carry, so the guard would only double the scan. Bytes
        // that are not understood keep it: something is talking.
        const bool onlyEcho = transaction.LineEchoes().value_or(false) &&
                              transaction.Received().size() == static_cast<std::size_t>(request.length);
        if (transaction.Received().empty() || onlyEcho) {
          transaction.ForgetLine();
        }
        continue;
      }
      const ScanHit hit{address, line, transaction.ReplyRegister(at, 0)};
      outcome.found.push_back(hit);
      if (callbacks.found) {
        callbacks.found(hit);
      }
      if (plan.stopAtFirst) {
        return outcome;
      }
    }
  }
  return outcome;
}

}  // namespace zt
