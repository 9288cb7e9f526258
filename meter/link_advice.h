#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "link/failure_cause.h"
#include "res/translatable.h"

namespace zt {

// What the technician should look at when most of a link's failures had
// this cause: `check` in the words of zt6100ctl, `happened` and `look` as
// the console's window says them (window texts, translated there).
struct LinkAdvice {
  FailureCause cause;
  std::string_view check;
  const char* happened;
  const char* look;
};

inline constexpr LinkAdvice kLinkAdvice[kFailureCauses] = {
    {FailureCause::NoBytes, "power, A/B wiring, address, rate",
     ZT_TEXT("zt6100", "仪表无应答"), ZT_TEXT("zt6100", "电源、A/B 接线、仪表地址、波特率")},
    {FailureCause::TooFewBytes, "rate, parity, termination, noise",
     ZT_TEXT("zt6100", "应答字节不全"), ZT_TEXT("zt6100", "波特率、校验位、终端电阻、干扰")},
    {FailureCause::BadCrc, "rate, parity, termination, noise",
     ZT_TEXT("zt6100", "应答校验码错误"), ZT_TEXT("zt6100", "波特率、校验位、终端电阻、干扰")},
    {FailureCause::OtherAddress, "two meters with one address",
     ZT_TEXT("zt6100", "其他地址的仪表应答"), ZT_TEXT("zt6100", "线上另有一台仪表使用该地址")},
    // %1: the exception code, two hex digits.
    {FailureCause::Exception, "the meter refused the register",
     ZT_TEXT("zt6100", "仪表拒绝: 异常 %1"), ZT_TEXT("zt6100", "仪表不接受该寄存器或数值")},
    {FailureCause::OtherFunction, "another master on the line",
     ZT_TEXT("zt6100", "应答的功能码不符"), ZT_TEXT("zt6100", "线上另有主站")},
    {FailureCause::OtherRequest, "another master on the line",
     ZT_TEXT("zt6100", "应答的是其他请求"), ZT_TEXT("zt6100", "线上另有主站")},
    {FailureCause::LateReply, "the meter answers late: rate, a slow converter",
     ZT_TEXT("zt6100", "仪表应答太迟"), ZT_TEXT("zt6100", "波特率、转换器是否太慢")},
    {FailureCause::LocalEchoOnly, "power, A/B wiring, address (only the adapter's echo came back)",
     ZT_TEXT("zt6100", "只收到转换器的回显"), ZT_TEXT("zt6100", "电源、A/B 接线、仪表地址")},
};

constexpr const LinkAdvice& AdviceOf(FailureCause cause) {
  return kLinkAdvice[static_cast<int>(cause)];
}

constexpr std::string_view AdviceFor(FailureCause cause) { return AdviceOf(cause).check; }

// What went wrong, as the window says it ("仪表拒绝: 异常 03"): the cause's
// text through `text` (its translation in a window), by default unchanged.
inline std::string HappenedWords(const FailureDiagnosis& diagnosis,
                                 std::string (*text)(const char*) = nullptr) {
  const char* source = AdviceOf(diagnosis.cause).happened;
  std::string words = text ? text(source) : std::string(source);
  if (const std::size_t at = words.find("%1"); at != std::string::npos) {
    char code[4];
    std::snprintf(code, sizeof code, "%02X", diagnosis.exceptionCode);
    words.replace(at, 2, code);
  }
  return words;
}

// `message` with why it failed after it, as the window says it:
// "写本机地址不成功 (仪表拒绝: 异常 03)"; unchanged without a diagnosis.
inline std::string WithCause(std::string message, const std::optional<FailureDiagnosis>& why,
                             std::string (*text)(const char*) = nullptr) {
  if (why) {
    message += " (" + HappenedWords(*why, text) + ")";
  }
  return message;
}

}  // namespace zt
