#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zt {

// The line's parity, numbered as the settings dialog's radio buttons and the
// remembered settings number it.
enum ParityIndex : int32_t { kParityNone = 0, kParityOdd = 1, kParityEven = 2 };

// Each parity's word (options, profiles, reports) and its letter in a line
// format text.
struct ParityName {
  ParityIndex parity;
  std::string_view word;
  char letter;
};
inline constexpr ParityName kParityNames[] = {
    {kParityNone, "none", 'N'},
    {kParityOdd, "odd", 'O'},
    {kParityEven, "even", 'E'},
};

// "none", "odd", "even"; "?" for a number that is no parity.
std::string_view ParityWord(int32_t parity);
// The parity of "none", "odd" or "even"; nothing for any other word.
std::optional<ParityIndex> ParityOfWord(std::string_view word);

// The link to the meter as the technician chose it; the rest of the line
// format is fixed at 8 data bits and 2 stop bits.
struct LinkSettings {
  uint8_t address = 1;
  int16_t port = 1;
  int32_t baudRate = 9600;
  int32_t parity = kParityNone;

  friend bool operator==(const LinkSettings&, const LinkSettings&) = default;
};

// The line format as one text, e.g. "9600,N,8,2".
struct LineFormat {
  int32_t baudRate = 9600;
  ParityIndex parity = kParityNone;
  int dataBits = 8;
  int stopBits = 2;

  // Start bit, data bits, parity bit and stop bits of one character.
  int BitsPerCharacter() const { return 1 + dataBits + (parity == kParityNone ? 0 : 1) + stopBits; }

  friend bool operator==(const LineFormat&, const LineFormat&) = default;
};

// The line at `baudRate` with parity `parityIndex` (none for a number that is
// no parity), 8 data bits and 2 stop bits.
LineFormat LineFormatOf(int32_t baudRate, int32_t parityIndex);
LineFormat LineFormatOf(const LinkSettings& settings);

// "19200,E,8,2" for 19200 bit/s and even parity.
std::string SettingsText(int32_t baudRate, int32_t parityIndex);
std::string SettingsText(const LinkSettings& settings);
std::string SettingsText(const LineFormat& format);

// Refuses anything that is not "<baud>,<N|O|E>,<5..8>,<1|2>" with a positive
// decimal rate; nothing is guessed.
std::optional<LineFormat> ParseSettingsText(std::string_view text);

}  // namespace zt
