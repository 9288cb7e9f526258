#include "sim/in_process_meter.h"

#include "meter/register_map.h"

namespace zt::sim {

InProcessMeter::InProcessMeter(const LinkSettings& answersAt)
    : port_(clock_, meter_) {
  meter_.SetAddress(answersAt.address);
  meter_.SetLineBaudIndex(static_cast<uint16_t>(
      BaudIndexOf(answersAt.baudRate).value_or(MeterModel::kDefaultLineBaudIndex)));
  meter_.SetLineParity(ParseSettingsText(SettingsText(answersAt)).value_or(LineFormat{}).parity);
  port_.SetRecording(false);
}

}  // namespace zt::sim
