#include "link/telnet_com_port.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/hex.h"

namespace {

using zt::TelnetComPort;
using zt::test::Bytes;
using zt::test::Hex;
using Answer = TelnetComPort::Answer;

std::vector<uint8_t> Feed(TelnetComPort& telnet, std::string_view hex) {
  std::vector<uint8_t> data;
  telnet.Receive(Bytes(hex), data);
  return data;
}

// What ser2net 4.3 sends when a client connects to a telnet(rfc2217)
// accepter: WILL/DO SUPPRESS-GO-AHEAD, WILL ECHO, DONT ECHO, DO BINARY,
// WILL BINARY, DO COM-PORT-OPTION.
constexpr std::string_view kSer2netGreeting =
    "ff fb 03 ff fd 03 ff fb 01 ff fe 01 ff fd 00 ff fb 00 ff fd 2c";
// Its confirmation of 9600 bit/s, 8 data bits, even parity, 2 stop bits,
// after a modem-state notification.
constexpr std::string_view kSer2netConfirms9600E82 =
    "ff fa 2c 6b 00 ff f0 "
    "ff fa 2c 65 00 00 25 80 ff f0 ff fa 2c 66 08 ff f0 ff fa 2c 67 03 ff f0 ff fa 2c 68 02 ff f0";

zt::LineFormat Format(int32_t baud, zt::ParityIndex parity) {
  zt::LineFormat format;
  format.baudRate = baud;
  format.parity = parity;
  return format;
}

TEST(TelnetComPort, NegotiatesWithSer2netAndTakesItsConfirmationOfTheLine) {
  TelnetComPort telnet;
  EXPECT_EQ(Hex(telnet.Start()), "FF FB 2C FF FB 00 FF FD 00");
  EXPECT_EQ(Hex(telnet.SetLine(Format(9600, zt::kParityEven))),
            "FF FA 2C 01 00 00 25 80 FF F0 FF FA 2C 02 08 FF F0 FF FA 2C 03 03 FF F0 "
            "FF FA 2C 04 02 FF F0");

  EXPECT_TRUE(Feed(telnet, kSer2netGreeting).empty());
  EXPECT_EQ(telnet.ComPort(), Answer::kAccepted);
  EXPECT_EQ(telnet.Binary(), Answer::kAccepted);
  EXPECT_FALSE(telnet.LineSet());
  // SUPPRESS-GO-AHEAD taken both ways, ECHO refused; the server's answers
  // to our own requests are not answered again.
  EXPECT_EQ(Hex(telnet.TakeOutgoing()), "FF FD 03 FF FB 03 FF FE 01");

  EXPECT_TRUE(Feed(telnet, kSer2netConfirms9600E82).empty());
  EXPECT_TRUE(telnet.LineSet());
  EXPECT_TRUE(telnet.LineMismatch().empty());
  EXPECT_TRUE(telnet.TakeOutgoing().empty());

  // The same options offered again change nothing and draw no answer.
  Feed(telnet, "ff fd 00 ff fb 00 ff fd 2c ff fb 03");
  EXPECT_TRUE(telnet.TakeOutgoing().empty());
}

TEST(TelnetComPort, EscapesAndUnescapesFfEvenWhenASequenceIsSplitAcrossSegments) {
  EXPECT_EQ(Hex(TelnetComPort::Escape(Bytes("01 ff 02 ff ff"))), "01 FF FF 02 FF FF FF FF");

  TelnetComPort telnet;
  std::vector<uint8_t> data;
  // The doubled FF split between two segments, then a command split after
  // its verb, then a confirmation whose rate holds an escaped FF (65535
  // bit/s) split inside the escape.
  for (const std::string_view segment :
       {"01 03 ff", "ff 02", "ff", "fb", "01 04", "ff fa 2c 65 00 00 ff", "ff ff f0 05"}) {
    telnet.Receive(Bytes(segment), data);
  }
  EXPECT_EQ(Hex(data), "01 03 FF 02 04 05");
  EXPECT_EQ(Hex(telnet.TakeOutgoing()), "FF FE 01");

  zt::LineFormat odd = Format(65535, zt::kParityOdd);
  TelnetComPort line;
  EXPECT_EQ(Hex(line.SetLine(odd)).substr(0, 30), "FF FA 2C 01 00 00 FF FF FF FF ");
  Feed(line, "ff fa 2c 65 00 00 ff ff ff ff ff f0 ff fa 2c 66 08 ff f0");
  Feed(line, "ff fa 2c 67 02 ff f0 ff fa 2c 68 02 ff");
  EXPECT_FALSE(line.LineSet());
  Feed(line, "f0");
  EXPECT_TRUE(line.LineSet());
}

TEST(TelnetComPort, ARefusalOrAnotherValueIsReportedAndNeverTakenAsSet) {
  TelnetComPort refused;
  refused.Start();
  refused.SetLine(Format(9600, zt::kParityNone));
  // A plain Telnet server: binary yes, the COM port option no.
  Feed(refused, "ff fd 00 ff fb 00 ff fe 2c");
  EXPECT_EQ(refused.ComPort(), Answer::kRefused);
  EXPECT_EQ(refused.Binary(), Answer::kAccepted);
  EXPECT_TRUE(refused.TakeOutgoing().empty());

  TelnetComPort textOnly;
  textOnly.Start();
  Feed(textOnly, "ff fd 2c ff fc 00");
  EXPECT_EQ(textOnly.Binary(), Answer::kRefused);

  TelnetComPort other;
  other.SetLine(Format(19200, zt::kParityNone));
  Feed(other, "ff fa 2c 65 00 00 25 80 ff f0 ff fa 2c 66 08 ff f0 ff fa 2c 67 01 ff f0 "
              "ff fa 2c 68 02 ff f0");
  EXPECT_FALSE(other.LineSet());
  EXPECT_EQ(other.LineMismatch(), "the rate 9600 instead of 19200");
  // A new request starts over.
  other.SetLine(Format(9600, zt::kParityNone));
  EXPECT_TRUE(other.LineMismatch().empty());
  Feed(other, "ff fa 2c 65 00 00 25 80 ff f0 ff fa 2c 66 08 ff f0 ff fa 2c 67 01 ff f0 "
              "ff fa 2c 68 01 ff f0");
  EXPECT_EQ(other.LineMismatch(), "stop-size code 1 instead of 2");

  // Withdrawn after it was granted: acknowledged once.
  TelnetComPort withdrawn;
  Feed(withdrawn, "ff fd 2c");
  Feed(withdrawn, "ff fe 2c");
  EXPECT_EQ(withdrawn.ComPort(), Answer::kRefused);
  EXPECT_EQ(Hex(withdrawn.TakeOutgoing()), "FF FC 2C");
}

TEST(TelnetComPort, UnknownCommandsAndBrokenSubnegotiationsDoNotSwallowTheMetersBytes) {
  TelnetComPort telnet;
  // NOP, an option we do not know asked for, an overlong subnegotiation,
  // one cut off by a stray command.
  std::vector<uint8_t> overlong = Bytes("ff fa 2c 6b");
  overlong.resize(overlong.size() + 500, 0x11);
  overlong.insert(overlong.end(), {0xff, 0xf0, 0x07});
  std::vector<uint8_t> data;
  telnet.Receive(overlong, data);
  telnet.Receive(Bytes("ff f1 08 ff fd 18 09 ff fa 2c 65 00 ff 0a 0b"), data);
  EXPECT_EQ(Hex(data), "07 08 09 0B");
  EXPECT_EQ(Hex(telnet.TakeOutgoing()), "FF FC 18");
}

}  // namespace
