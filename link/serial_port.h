#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zt {

// Outcome of opening a port: on failure, the device that was tried and the
// system's reason, for the caller to show.
struct OpenResult {
  bool opened = false;
  std::string device;
  std::string reason;
  // The user may not use the device; on POSIX, the group that owns it (which
  // the user has to join, then log in again). Empty otherwise or unnamed.
  bool permissionDenied = false;
  std::string deviceGroup;

  explicit operator bool() const { return opened; }
};

// The serial-port operations the console uses, nothing more. On a port that is
// closed, or one whose device has vanished, counting gives 0, reading gives
// nothing and writing sends nothing.
class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Port number 1 or 2; takes effect at the next Open.
  virtual void SelectPort(int16_t portNumber) = 0;
  // From the next Open, `portNumber` stands for `device` (a path such as
  // /dev/ttyUSB0, or COM5); empty gives it back to the platform's own device
  // for that number. A port with no devices behind it (a simulated meter)
  // only remembers it.
  virtual void SetPortDevice(int16_t portNumber, const std::string& device) = 0;
  // A settings text such as "9600,N,8,2"; a malformed text is refused with
  // false and leaves the format as it was.
  virtual bool SetLineFormat(std::string_view settingsText) = 0;
  virtual OpenResult Open() = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Drops every byte received so far.
  virtual void ClearReceiveBuffer() = 0;
  // Takes every byte waiting at this moment and throws it away.
  virtual void DiscardPendingInput() = 0;
  // Bytes received and not yet read; consumes nothing.
  virtual int16_t CountWaiting() = 0;
  // All waiting bytes in arrival order, removed from the receive buffer.
  virtual std::vector<uint8_t> ReadWaiting() = 0;
  // Hands the bytes to the port in one write; does not wait for them to leave.
  virtual void Write(const uint8_t* data, int16_t length) = 0;
  // Blocks until at least one received byte is waiting or `timeout` has
  // passed, without spinning; true when bytes are waiting. A closed port
  // waits out the whole timeout.
  virtual bool WaitForBytes(std::chrono::microseconds timeout) = 0;
  // True once the open port's device has gone away (hung up, unplugged, a
  // read or write error that does not clear): the port has then closed
  // itself. Cleared by the next successful Open; Close leaves it as it is.
  virtual bool DeviceLost() const = 0;
  // False when the line's format is set elsewhere (on a serial device server
  // reached by raw TCP): SetLineFormat then only records the format and the
  // line keeps the rate and parity it has.
  virtual bool SetsLineFormat() const { return true; }
};

// Writes the frame if the port is open; otherwise does nothing at all.
void SendFrame(SerialPort& port, const uint8_t* data, int16_t length);

}  // namespace zt
