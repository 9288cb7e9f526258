#pragma once

#include <QString>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <variant>
#include <vector>

class QLineEdit;
class QWidget;

namespace zt {

class ModalUi;

// The fields of a window bound to its edit boxes, moved all at once in one
// direction or the other.
class DataExchange {
 public:
  DataExchange(ModalUi& ui, QWidget& window) : ui_(ui), window_(window) {}

  // A signed decimal integer with no range.
  void BindInt(int32_t& field, QLineEdit* box);
  // An unsigned decimal number within [min, max].
  void BindUnsigned(uint8_t& field, QLineEdit* box, uint32_t min, uint32_t max);
  void BindUnsigned(uint32_t& field, QLineEdit* box, uint32_t min, uint32_t max);
  void BindText(QString& field, QLineEdit* box);
  void BindText(std::string& field, QLineEdit* box);  // UTF-8

  // save = true reads every box into its field, in binding order. At the
  // first box that does not hold a valid value the standard prompt is shown
  // once, that box is selected, the later fields are left untouched and false
  // is returned. save = false writes every field into its box.
  bool UpdateData(bool save);
  // Writes the fields of these boxes only, leaving every other box as it is.
  void ShowFields(std::initializer_list<const QLineEdit*> boxes);

 private:
  struct Binding {
    std::variant<int32_t*, uint8_t*, uint32_t*, QString*, std::string*> field;
    QLineEdit* box;
    uint32_t min = 0;  // unsigned fields only
    uint32_t max = 0;
  };

  bool Save(const Binding& binding);
  void Show(const Binding& binding);
  void Refuse(const Binding& binding, const QString& prompt);

  ModalUi& ui_;
  QWidget& window_;
  std::vector<Binding> bindings_;
};

// Parses a decimal integer as the boxes take it: surrounding blanks allowed,
// an optional sign, digits, and a value that fits 32 signed bits.
std::optional<int32_t> ParseBoxInteger(const QString& text);

}  // namespace zt
