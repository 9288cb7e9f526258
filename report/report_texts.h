#pragma once

#include <string_view>

#include "report/commission_record.h"

namespace zt::report {

// A text of the report in both of the console's languages.
struct Text {
  std::string_view key;
  std::string_view zh;
  std::string_view en;
};

inline constexpr Text kTexts[] = {
    {"title", "调试报告", "Commissioning report"},
    {"site", "现场", "Site"},
    {"meter", "仪表", "Meter"},
    {"written", "日期时间", "Date and time"},
    {"version", "软件版本", "Console version"},
    {"link", "通讯链路", "Link"},
    {"port", "端口", "Port"},
    {"rate", "波特率", "Rate"},
    {"echo", "本地回显", "Local echo"},
    {"yes", "有", "yes"},
    {"no", "无", "no"},
    {"unknown", "未知", "unknown"},
    {"check", "检查结果", "Check"},
    {"setting", "设置", "Setting"},
    {"expected", "期望值", "Expected"},
    {"read", "读取值", "Read"},
    {"verdict", "结论", "Verdict"},
    {"time", "时间", "Time"},
    {"note", "备注", "Note"},
    {"writes", "写入", "Writes"},
    {"value", "值", "Value"},
    {"state", "状态", "State"},
    {"reads", "读取记录", "Values read"},
    {"no_value", "无应答", "no reply"},
    {"live", "实时数据", "Live value"},
    {"polls", "次数", "Polls"},
    {"replies", "成功", "Replies"},
    {"min", "最小", "Minimum"},
    {"max", "最大", "Maximum"},
    {"mean", "平均", "Mean"},
    {"statistics", "链路统计", "Link statistics"},
    {"exchanges", "交换次数", "Exchanges"},
    {"failures", "失败", "Failures"},
    {"error_rate", "误码率", "Error rate"},
    {"main_cause", "主要原因", "Main cause"},
    {"advice", "建议检查", "What to check"},
    {"latency", "应答延迟 (最小/中位/95%/最大)", "Reply latency (min/median/95%/max)"},
    {"link_good", "链路正常", "The link is sound"},
    {"all_match", "全部一致", "Everything matches"},
    {"some_differ", "有不一致或无应答的项目", "Something differs or went unanswered"},
    {"cancelled", "已取消", "Cancelled"},
    {"overall", "总结", "Overall"},
    {"no_writes", "无需写入", "Nothing needed writing"},
    // Row keys.
    {"address", "仪表地址", "Address"},
    {"baud", "通讯波特率", "Line rate"},
    {"parity", "校验位", "Parity"},
    {"parameter_baud", "参数波特率", "Parameter baud"},
    {"decimal_point", "小数点", "Decimal point"},
    {"upper_limit", "上限", "Upper limit"},
    {"lower_limit", "下限", "Lower limit"},
    {"pt", "PT", "PT"},
    {"ct", "CT", "CT"},
    {"wiring", "接线方式", "Wiring"},
    {"relay", "继电器输出", "Relay output"},
    {"switch", "开关输入", "Switch input"},
    {"relay_switch", "继电器/开关", "Relay/switch word"},
    {"clock", "仪表时间", "Meter clock"},
    // Values.
    {"none", "无校验", "none"},
    {"odd", "奇校验", "odd"},
    {"even", "偶校验", "even"},
    {"on", "通", "on"},
    {"off", "断", "off"},
    {"closed", "合", "closed"},
    {"open", "分", "open"},
    // Verdicts and step states.
    {"match", "一致", "match"},
    {"differs", "不一致", "differs"},
    {"not_readable", "无法读取", "not readable"},
    {"no_reply", "无应答", "no reply"},
    {"no_expectation", "仅显示", "shown only"},
    {"confirmed", "已确认", "confirmed"},
    {"not_confirmed", "未确认", "not confirmed"},
    {"not_sent", "未发送", "not sent"},
    {"not_writable", "无法写入", "not writable"},
    // Failure causes, by their keys.
    {"no_bytes", "无任何字节", "no byte"},
    {"too_few_bytes", "字节不足", "too few bytes"},
    {"bad_crc", "CRC错误", "bad CRC"},
    {"other_address", "其他地址的应答", "reply from another address"},
    {"exception", "异常应答", "exception reply"},
    {"other_function", "其他功能码", "another function"},
    {"other_request", "应答其他请求", "reply to another request"},
    {"late_reply", "迟到的应答", "late reply"},
    {"local_echo_only", "仅有本地回显", "local echo only"},
    // What to check, by the cause's key.
    {"advice_no_bytes", "电源、A/B接线、地址、波特率", "power, A/B wiring, address, rate"},
    {"advice_too_few_bytes", "波特率、校验位、终端电阻、干扰", "rate, parity, termination, noise"},
    {"advice_bad_crc", "波特率、校验位、终端电阻、干扰", "rate, parity, termination, noise"},
    {"advice_other_address", "两台仪表使用同一地址", "two meters with one address"},
    {"advice_exception", "仪表拒绝了该寄存器", "the meter refused the register"},
    {"advice_other_function", "线路上有另一个主站", "another master on the line"},
    {"advice_other_request", "线路上有另一个主站", "another master on the line"},
    {"advice_late_reply", "仪表应答过慢:波特率、转换器", "the meter answers late: rate, a slow converter"},
    {"advice_local_echo_only", "电源、A/B接线、地址(只收到适配器的回显)",
     "power, A/B wiring, address (only the adapter's echo came back)"},
    // The meter core's fixed notes, by their own words.
    {"cannot be read from this meter", "此仪表不能读回", "cannot be read from this meter"},
    {"not readable; written and confirmed in this run", "不能读回;本次已写入并确认",
     "not readable; written and confirmed in this run"},
    {"the meter did not confirm the write", "仪表未确认写入", "the meter did not confirm the write"},
    {"the meter did not confirm the new address", "仪表未确认新地址",
     "the meter did not confirm the new address"},
    {"not a valid date and time", "不是有效的日期时间", "not a valid date and time"},
    {"pdf_not_made", "无法生成 PDF", "the PDF could not be made"},
    {"report_ending", "文件名必须以 .json、.html 或 .pdf 结尾",
     "its name must end in .json, .html or .pdf"},
    {"the meter's parity is set on the meter itself, not over the line",
     "校验位只能在仪表上设置,不能通过通讯写入",
     "the meter's parity is set on the meter itself, not over the line"},
};

// The text of `key` in `language`; a key without a text comes back as it is.
constexpr std::string_view Say(std::string_view key, Language language) {
  for (const Text& text : kTexts) {
    if (text.key == key) {
      return language == Language::kChinese ? text.zh : text.en;
    }
  }
  return key;
}

}  // namespace zt::report
