#include "sim/sim_options.h"

#include <charconv>
#include <cstdio>
#include <limits>

#include "meter/register_map.h"

namespace zt::sim {

namespace {

constexpr std::string_view kUsage = R"(Usage: zt6100-sim [options]

Simulates one ZT6100 ammeter, a Modbus RTU slave (functions 3, 6 and 16), on a
pseudo-terminal. The first line of standard output is the device path a client
opens (e.g. /dev/pts/3); the simulator then serves until SIGTERM or SIGINT.
On a pty, a request is answered only when the client's baud rate, 8 data bits
and 2 stop bits match the meter's line (a Linux pty keeps no parity, so parity
is not checked there; on a --device line it is); after a baud-rate write to
register 0x0008 the meter echoes at the old rate and then listens at the new
one.

Link:
  --device PATH        serve this serial device instead of a new pty
  --link PATH          also make PATH a symbolic link to the pty (removed at
                       exit), a stable path across restarts
  --echo               send every byte received straight back, as a two-wire
                       RS-485 adapter that hears itself
  --address A          meter address, 0..255 (default 1)
  --baud RATE          meter line rate: 1200, 2400, 4800, 9600, 19200 (default 9600)
  --parity P           none, odd or even (default none)
  --latency MS         delay before each reply (default 20)
  --line-timing        send reply bytes paced by the line's character time
  --verbose            log every request and its fate on standard error
  --timestamps         with --verbose, start each line with the monotonic time
                       in microseconds at which the request was read

Initial values:
  --decimal-point N    register 0x0006 (default 2)
  --upper N            upper threshold, register 0x0302 (default 5000)
  --lower N            lower threshold, register 0x0304 (default 100)
  --parameter-baud N   BaudIndex in register 0x0308 (default 3)
  --live N             centre of the live value, register 0x0000 (default 1000)
  --distinct-live      each live-value read returns a value none of the last
                       64,535 reads returned (1000 and up)
  --relay N            relay output byte of register 0x0016 (default 1)
  --input N            switch input byte of register 0x0016 (default 0)
  --clock YYYY-MM-DDTHH:MM:SS
                       meter clock (default 2006-12-15T10:30:45)

Faults (each applies to every request, unless --fault-registers narrows it):
  --silent             hear nothing, answer nothing
  --late MS            answer MS later than the latency
  --noise N            N random bytes before each reply
  --bad-crc            flip one bit of the reply's CRC
  --foreign-address    answer from address + 1
  --exception          answer with exception 4 (slave device failure)
  --truncate N         cut the last N bytes off each reply
  --burst              320 random bytes before each reply
  --fault-registers FIRST[:LAST]
                       only requests touching these registers are hit
  --fault-share PERCENT
                       instead of the faults above, hit this share of the
                       requests with one fault each, of a kind drawn at random
  --max-late MS        with --fault-share, late replies come up to MS later
                       than the latency (default 1000)
  --seed N             with --fault-share, the seed of the draw

Numbers may be given in decimal or as 0x-prefixed hexadecimal.
--help prints this text, --version the program's version.

Examples:
  zt6100-sim --baud 19200 --parity even --verbose
  mbpoll -m rtu -b 9600 -P none -s 2 -a 1 -0 -t 4 -r 0x0110 -c 3 -1 /dev/pts/3
)";

std::optional<uint32_t> ParseNumber(std::string_view text, uint32_t max) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  uint32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
  if (text.empty() || ec != std::errc{} || ptr != end || value > max) {
    return std::nullopt;
  }
  return value;
}

std::optional<MeterClock> ParseClock(std::string_view text) {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  const std::string copy(text);
  char tail = 0;
  if (std::sscanf(copy.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &year, &month, &day, &hour, &minute,
                  &second, &tail) != 6 ||
      year < 2000 || year > 2255) {
    return std::nullopt;
  }
  return MeterClock{year, month, day, hour, minute, second};
}


constexpr uint32_t kWordMax = std::numeric_limits<uint16_t>::max();
constexpr uint32_t kByteMax = std::numeric_limits<uint8_t>::max();
constexpr uint32_t kMillisecondsMax = 600'000;

// Stores a number up to `Max` in the member `field` reaches.
template <uint32_t Max, typename Store>
bool Number(std::string_view text, Store store) {
  const std::optional<uint32_t> number = ParseNumber(text, Max);
  if (number) {
    store(*number);
  }
  return number.has_value();
}

// One option: its name, whether it takes a value, what is wrong when the
// value is missing or refused, and how it is stored. A flag's `apply` is
// called with an empty value.
struct OptionRule {
  std::string_view name;
  bool takesValue;
  std::string_view needs;
  bool (*apply)(SimOptions& options, std::string_view value);
};

constexpr OptionRule kOptionRules[] = {
    {"--device", true, "needs a device path",
     [](SimOptions& o, std::string_view path) {
       o.device = std::string(path);
       return !path.empty();
     }},
    {"--link", true, "needs a path",
     [](SimOptions& o, std::string_view path) {
       o.linkPath = std::string(path);
       return !path.empty();
     }},
    {"--echo", false, "", [](SimOptions& o, std::string_view) { return o.localEcho = true; }},
    {"--distinct-live", false, "",
     [](SimOptions& o, std::string_view) { return o.distinctLive = true; }},
    {"--fault-share", true, "needs a percentage 0..100",
     [](SimOptions& o, std::string_view text) {
       return Number<100>(text, [&](uint32_t v) { o.faultMix.percent = v; });
     }},
    {"--max-late", true, "needs milliseconds",
     [](SimOptions& o, std::string_view text) {
       return Number<kMillisecondsMax>(
           text, [&](uint32_t v) { o.faultMix.maxLate = std::chrono::milliseconds(v); });
     }},
    {"--seed", true, "needs a number",
     [](SimOptions& o, std::string_view text) {
       return Number<std::numeric_limits<uint32_t>::max()>(
           text, [&](uint32_t v) { o.faultMix.seed = v; });
     }},
    {"--address", true, "needs an address 0..255",
     [](SimOptions& o, std::string_view text) {
       return Number<kByteMax>(text, [&](uint32_t v) { o.address = static_cast<uint8_t>(v); });
     }},
    {"--baud", true, "needs one of 1200, 2400, 4800, 9600, 19200",
     [](SimOptions& o, std::string_view text) {
       const auto rate = ParseNumber(text, std::numeric_limits<int32_t>::max());
       const auto index = rate ? BaudIndexOf(static_cast<int32_t>(*rate)) : std::nullopt;
       if (index) {
         o.baudIndex = static_cast<uint16_t>(*index);
       }
       return index.has_value();
     }},
    {"--parity", true, "needs none, odd or even",
     [](SimOptions& o, std::string_view text) {
       const std::optional<ParityIndex> parity = ParityOfWord(text);
       if (parity) {
         o.parity = *parity;
       }
       return parity.has_value();
     }},
    {"--latency", true, "needs milliseconds",
     [](SimOptions& o, std::string_view text) {
       return Number<kMillisecondsMax>(
           text, [&](uint32_t v) { o.latency = std::chrono::milliseconds(v); });
     }},
    {"--line-timing", false, "",
     [](SimOptions& o, std::string_view) { return o.lineTiming = true; }},
    {"--verbose", false, "", [](SimOptions& o, std::string_view) { return o.verbose = true; }},
    {"--timestamps", false, "",
     [](SimOptions& o, std::string_view) { return o.timestamps = true; }},
    {"--silent", false, "",
     [](SimOptions& o, std::string_view) { return o.faults.silent = true; }},
    {"--late", true, "needs milliseconds",
     [](SimOptions& o, std::string_view text) {
       return Number<kMillisecondsMax>(
           text, [&](uint32_t v) { o.faults.extraDelay = std::chrono::milliseconds(v); });
     }},
    {"--noise", true, "needs a byte count 0..4096",
     [](SimOptions& o, std::string_view text) {
       return Number<4096>(text, [&](uint32_t v) { o.faults.noiseBytes = v; });
     }},
    {"--bad-crc", false, "",
     [](SimOptions& o, std::string_view) { return o.faults.flipCrcBit = true; }},
    {"--foreign-address", false, "",
     [](SimOptions& o, std::string_view) { return o.faults.foreignAddress = true; }},
    {"--exception", false, "",
     [](SimOptions& o, std::string_view) { return o.faults.exceptionReply = true; }},
    {"--truncate", true, "needs a byte count",
     [](SimOptions& o, std::string_view text) {
       return Number<kByteMax>(text, [&](uint32_t v) { o.faults.truncateBytes = v; });
     }},
    {"--burst", false, "", [](SimOptions& o, std::string_view) { return o.faults.burst = true; }},
    {"--fault-registers", true, "needs FIRST[:LAST] with FIRST <= LAST",
     [](SimOptions& o, std::string_view text) {
       const std::size_t colon = text.find(':');
       const auto first = ParseNumber(text.substr(0, colon), kWordMax);
       const auto last =
           colon == std::string_view::npos ? first : ParseNumber(text.substr(colon + 1), kWordMax);
       if (!first || !last || *last < *first) {
         return false;
       }
       o.faults.appliesTo =
           TouchingRegisters(static_cast<uint16_t>(*first), static_cast<uint16_t>(*last));
       return true;
     }},
    {"--decimal-point", true, "needs a number 0..65535",
     [](SimOptions& o, std::string_view text) {
       return Number<kWordMax>(text,
                               [&](uint32_t v) { o.decimalPoint = static_cast<uint16_t>(v); });
     }},
    {"--upper", true, "needs a number 0..65535",
     [](SimOptions& o, std::string_view text) {
       return Number<kWordMax>(text, [&](uint32_t v) { o.upperLimit = static_cast<uint16_t>(v); });
     }},
    {"--lower", true, "needs a number 0..65535",
     [](SimOptions& o, std::string_view text) {
       return Number<kWordMax>(text, [&](uint32_t v) { o.lowerLimit = static_cast<uint16_t>(v); });
     }},
    {"--parameter-baud", true, "needs a number 0..65535",
     [](SimOptions& o, std::string_view text) {
       return Number<kWordMax>(text,
                               [&](uint32_t v) { o.parameterBaud = static_cast<uint16_t>(v); });
     }},
    {"--live", true, "needs a number 0..65535",
     [](SimOptions& o, std::string_view text) {
       return Number<kWordMax>(text, [&](uint32_t v) { o.liveBase = static_cast<uint16_t>(v); });
     }},
    {"--relay", true, "needs a number 0..255",
     [](SimOptions& o, std::string_view text) {
       return Number<kByteMax>(text, [&](uint32_t v) { o.relayOutput = static_cast<uint8_t>(v); });
     }},
    {"--input", true, "needs a number 0..255",
     [](SimOptions& o, std::string_view text) {
       return Number<kByteMax>(text, [&](uint32_t v) { o.switchInput = static_cast<uint8_t>(v); });
     }},
    {"--clock", true, "needs YYYY-MM-DDTHH:MM:SS with a year 2000..2255",
     [](SimOptions& o, std::string_view text) {
       o.clock = ParseClock(text);
       return o.clock.has_value();
     }},
};

const OptionRule* RuleFor(std::string_view option) {
  for (const OptionRule& rule : kOptionRules) {
    if (rule.name == option) {
      return &rule;
    }
  }
  return nullptr;
}

}  // namespace

std::string_view UsageText() { return kUsage; }

ParsedOptions ParseSimOptions(std::span<const std::string_view> arguments) {
  SimOptions options;
  options.faultMix.maxLate = std::chrono::milliseconds(1000);
  ParsedOptions parsed;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view option = arguments[i];
    if (option == "--help" || option == "-h") {
      parsed.help = true;
      return parsed;
    }
    if (option == "--version") {
      parsed.version = true;
      return parsed;
    }
    const OptionRule* rule = RuleFor(option);
    if (rule == nullptr) {
      parsed.error = "unknown option " + std::string(option);
      return parsed;
    }
    std::string_view value;
    if (rule->takesValue) {
      if (i + 1 >= arguments.size()) {
        parsed.error = std::string(option) + ": " + std::string(rule->needs);
        return parsed;
      }
      value = arguments[++i];
    }
    if (!rule->apply(options, value)) {
      parsed.error = std::string(option) + ": " + std::string(rule->needs);
      return parsed;
    }
  }
  parsed.options = std::move(options);
  return parsed;
}

void ApplyOptions(const SimOptions& options, MeterModel& meter) {
  meter.SetAddress(options.address);
  meter.SetDistinctLiveValues(options.distinctLive);
  meter.SetLineBaudIndex(options.baudIndex);
  meter.SetLineParity(options.parity);
  if (options.decimalPoint) {
    meter.SetDecimalPoint(*options.decimalPoint);
  }
  if (options.upperLimit) {
    meter.SetUpperLimit(*options.upperLimit);
  }
  if (options.lowerLimit) {
    meter.SetLowerLimit(*options.lowerLimit);
  }
  if (options.parameterBaud) {
    meter.SetParameterBaud(*options.parameterBaud);
  }
  if (options.liveBase) {
    meter.SetLiveBase(*options.liveBase);
  }
  if (options.relayOutput) {
    meter.SetRelayOutput(*options.relayOutput);
  }
  if (options.switchInput) {
    meter.SetSwitchInput(*options.switchInput);
  }
  if (options.clock) {
    meter.SetClock(*options.clock);
  }
}

}  // namespace zt::sim
