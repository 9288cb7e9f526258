#pragma once

#include <string_view>

// The frames the console exchanges with a meter at address 1, each written
// out once. A test that compares bytes on the wire names them from here, so
// that a refactor cannot move a byte without a test noticing.
namespace zt::test::frame {

// Reads of one register (function 3).
inline constexpr std::string_view kReadLiveValue = "01 03 00 00 00 01 84 0A";
inline constexpr std::string_view kReadDecimalPoint = "01 03 00 06 00 01 64 0B";
inline constexpr std::string_view kReadSwitchStatus = "01 03 00 16 00 01 65 CE";
inline constexpr std::string_view kReadUpperLimit = "01 03 03 02 00 01 25 8E";
inline constexpr std::string_view kReadLowerLimit = "01 03 03 04 00 01 C5 8F";
inline constexpr std::string_view kReadParameterBaud = "01 03 03 08 00 01 05 8C";
// The clock: registers 0x0110 to 0x0112 in one read.
inline constexpr std::string_view kReadClock = "01 03 01 10 00 03 05 F2";
// The decimal-point read addressed to meter 7.
inline constexpr std::string_view kReadDecimalPointAt7 = "07 03 00 06 00 01 64 6D";

// Single writes (function 6); the meter echoes each one unchanged.
inline constexpr std::string_view kWriteDecimalPoint2 = "01 06 00 06 00 02 E8 0A";
inline constexpr std::string_view kWriteUpperLimit1000 = "01 06 03 02 03 E8 28 F0";
inline constexpr std::string_view kWriteLowerLimit100 = "01 06 03 04 00 64 C9 A4";
inline constexpr std::string_view kWriteParameterBaud9600 = "01 06 03 08 00 03 48 4D";
inline constexpr std::string_view kWriteAddress5 = "01 06 03 00 00 05 49 8D";
inline constexpr std::string_view kWriteLinkBaud19200 = "01 06 00 08 00 04 09 CB";
inline constexpr std::string_view kWriteWiring1 = "01 06 00 02 00 01 E9 CA";
inline constexpr std::string_view kWriteWiring4 = "01 06 00 02 00 04 29 C9";

// The ratio writes (function 16, two registers) and the meter's replies.
inline constexpr std::string_view kWritePt100 = "01 10 00 00 00 02 04 00 64 00 00 B2 70";
inline constexpr std::string_view kWritePt64000 = "01 10 00 00 00 02 04 FA 00 00 00 C3 77";
inline constexpr std::string_view kWritePt200 = "01 10 00 00 00 02 04 00 C8 00 00 72 51";
inline constexpr std::string_view kWriteCt5 = "01 10 00 04 00 02 04 00 05 00 00 E2 5D";
inline constexpr std::string_view kWriteCt50 = "01 10 00 04 00 02 04 00 32 00 00 53 93";
inline constexpr std::string_view kPtWrittenReply = "01 10 00 00 00 02 41 C8";
inline constexpr std::string_view kCtWrittenReply = "01 10 00 04 00 02 00 09";

// Replies to reads.
inline constexpr std::string_view kReplyValue3 = "01 03 02 00 03 F8 45";
inline constexpr std::string_view kReplyRelayOnInputOpen = "01 03 02 01 00 B9 D4";
inline constexpr std::string_view kReplyRelayOffInputClosed = "01 03 02 00 01 79 84";
// 2006-12-15 10:30:45: minute, second, day, hour, year - 2000, month.
inline constexpr std::string_view kReplyClock20061215 = "01 03 06 1E 2D 0F 0A 06 0C AE 7E";
// Function 3 refused: illegal data address.
inline constexpr std::string_view kReplyIllegalAddress = "01 83 02 C0 F1";

}  // namespace zt::test::frame
