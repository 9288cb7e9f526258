#include "meter/measurement_log.h"

#include <array>
#include <cstdio>
#include <ctime>

#include "meter/log_labels.h"
#include "meter/whole_append.h"

namespace zt {

namespace {

// Right-aligns `item` in `width` bytes; a longer item is written whole.
std::string Field(std::string_view item, std::size_t width) {
  return item.size() >= width ? std::string(item)
                              : std::string(width - item.size(), ' ') + std::string(item);
}

// printf's %g with the given significant digits.
std::string Number(double value, int precision) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*g", precision, value);
  return text;
}

class BlockWriter {
 public:
  void Line(const std::string& text) { block_ += text + "\r\n"; }
  std::string Row(std::string_view label, std::initializer_list<double> values, int precision) {
    std::string row(label);
    for (const double value : values) {
      row += Field(Number(value, precision), 12);
    }
    return row;
  }
  std::string Take() { return std::move(block_); }

 private:
  std::string block_;
};

constexpr int kFirstPrecision = 6;
// From the line-voltage line to the end of the block.
constexpr int kLaterPrecision = 5;
constexpr const char* kGap = "   ";

// A line of the block with a combined or total value, then phases A, B and C.
struct QuantityRow {
  std::string_view label;  // GBK bytes
  double ThreePhaseQuantities::*combined;
  double PhaseQuantities::*phase;
  int precision;
};

constexpr std::array kQuantityRows = std::to_array<QuantityRow>({
    {Gbk("相 电 压:"), &ThreePhaseQuantities::CombinedPhaseVoltage, &PhaseQuantities::PhaseVoltage,
     kFirstPrecision},
    {Gbk("线 电 压:"), &ThreePhaseQuantities::CombinedLineVoltage, &PhaseQuantities::LineVoltage,
     kLaterPrecision},
    {Gbk("相 电 流:"), &ThreePhaseQuantities::CombinedCurrent, &PhaseQuantities::Current,
     kLaterPrecision},
    {Gbk("有功功率:"), &ThreePhaseQuantities::TotalActivePower, &PhaseQuantities::ActivePower,
     kLaterPrecision},
    {Gbk("无功功率:"), &ThreePhaseQuantities::TotalReactivePower, &PhaseQuantities::ReactivePower,
     kLaterPrecision},
    {Gbk("视在功率:"), &ThreePhaseQuantities::TotalApparentPower, &PhaseQuantities::ApparentPower,
     kLaterPrecision},
    {Gbk("功率因数:"), &ThreePhaseQuantities::TotalPowerFactor, &PhaseQuantities::PowerFactor,
     kLaterPrecision},
});

}  // namespace

MeterClock ToUtcPlus8(std::chrono::system_clock::time_point utc) {
  const std::time_t shifted = std::chrono::system_clock::to_time_t(utc + std::chrono::hours(8));
  std::tm fields{};
#ifdef _WIN32
  gmtime_s(&fields, &shifted);
#else
  gmtime_r(&shifted, &fields);
#endif
  MeterClock time;
  time.year = fields.tm_year + 1900;
  time.month = fields.tm_mon + 1;
  time.day = fields.tm_mday;
  time.hour = fields.tm_hour;
  time.minute = fields.tm_min;
  time.second = fields.tm_sec;
  return time;
}

std::string FormatMeasurementBlock(const ThreePhaseQuantities& q, const EnergyUnits& units,
                                   const MeterClock& time) {
  BlockWriter out;
  out.Line("");
  char stamp[48];
  std::snprintf(stamp, sizeof stamp, "%4d/%02d/%02d   %02d:%02d:%02d", time.year, time.month,
                time.day, time.hour, time.minute, time.second);
  out.Line(stamp);
  out.Line(std::string(9, ' ') + Field(Gbk("合相"), 12) + Field(Gbk("A相/CA线"), 12) +
           Field(Gbk("B相/AB线"), 12) + Field(Gbk("C相/BC线"), 12));
  for (const QuantityRow& row : kQuantityRows) {
    out.Line(out.Row(row.label,
                     {q.*row.combined, q.PhaseA.*row.phase, q.PhaseB.*row.phase,
                      q.PhaseC.*row.phase},
                     row.precision));
  }
  const int p = kLaterPrecision;
  out.Line(out.Row(Gbk("频    率:"), {q.Frequency}, p) + Field(Gbk("零序电流:"), 24) +
           Field(Number(q.ZeroSequenceCurrent, p), 12));
  out.Line(std::string(Gbk("正向有功电能")) + kGap + std::string(Gbk("负相有功电能")) + kGap +
           std::string(Gbk("正向无功电能")) + kGap + std::string(Gbk("负相无功电能")));
  out.Line(Field(Number(q.ForwardActiveEnergy, p), 8) + Field(units[0], 4) + kGap +
           Field(Number(-q.ReverseActiveEnergy, p), 8) + Field(units[1], 4) + kGap +
           Field(Number(q.ForwardReactiveEnergy, p), 6) + Field(units[2], 6) + kGap +
           Field(Number(-q.ReverseReactiveEnergy, p), 6) + Field(units[3], 6));
  return out.Take();
}

bool AppendToLog(const std::filesystem::path& file, const std::string& block,
                 AppendFailure* why) {
  return AppendWhole(file, block, why);
}

bool AppendMeasurementBlock(const std::filesystem::path& file,
                            const ThreePhaseQuantities& quantities, const EnergyUnits& units,
                            std::chrono::system_clock::time_point utc, AppendFailure* why) {
  return AppendToLog(file, FormatMeasurementBlock(quantities, units, ToUtcPlus8(utc)), why);
}

}  // namespace zt
