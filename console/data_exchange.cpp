#include "console/data_exchange.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include <limits>
#include <type_traits>

#include "console/modal_ui.h"
#include "console/window_text.h"
#include "res/texts.h"

namespace zt {

std::optional<int32_t> ParseBoxInteger(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) {
    return std::nullopt;
  }
  bool ok = false;
  const qlonglong value = trimmed.toLongLong(&ok, 10);
  if (!ok || value < std::numeric_limits<int32_t>::min() ||
      value > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

namespace {

// A number box takes, as it is typed, only what a number is made of: blanks
// around it, a sign where the field may be signed, digits. Whether the number
// is complete and in range is still told by the prompt on OK, which also
// covers an empty box.
void RefuseLetters(QLineEdit* box, bool signedField) {
  // A box made digits-only by its template keeps its own, stricter check.
  if (box->isReadOnly() || box->validator() != nullptr) {
    return;
  }
  const QRegularExpression number(signedField ? QStringLiteral("\\s*[+-]?[0-9]*\\s*")
                                              : QStringLiteral("\\s*\\+?[0-9]*\\s*"));
  box->setValidator(new QRegularExpressionValidator(number, box));
}

}  // namespace

void DataExchange::BindInt(int32_t& field, QLineEdit* box) {
  RefuseLetters(box, true);
  bindings_.push_back({&field, box});
}

void DataExchange::BindUnsigned(uint8_t& field, QLineEdit* box, uint32_t min, uint32_t max) {
  RefuseLetters(box, false);
  bindings_.push_back({&field, box, min, max});
}

void DataExchange::BindUnsigned(uint32_t& field, QLineEdit* box, uint32_t min, uint32_t max) {
  RefuseLetters(box, false);
  bindings_.push_back({&field, box, min, max});
}

void DataExchange::BindText(QString& field, QLineEdit* box) { bindings_.push_back({&field, box}); }

void DataExchange::BindText(std::string& field, QLineEdit* box) {
  bindings_.push_back({&field, box});
}

bool DataExchange::UpdateData(bool save) {
  for (const Binding& binding : bindings_) {
    if (!save) {
      Show(binding);
    } else if (!Save(binding)) {
      return false;
    }
  }
  return true;
}

void DataExchange::ShowFields(std::initializer_list<const QLineEdit*> boxes) {
  for (const Binding& binding : bindings_) {
    for (const QLineEdit* box : boxes) {
      if (binding.box == box) {
        Show(binding);
      }
    }
  }
}

void DataExchange::Show(const Binding& binding) {
  std::visit(
      [&](auto* field) {
        if constexpr (std::is_same_v<decltype(field), QString*>) {
          binding.box->setText(*field);
        } else if constexpr (std::is_same_v<decltype(field), std::string*>) {
          binding.box->setText(QString::fromStdString(*field));
        } else {
          binding.box->setText(QString::number(*field));
        }
      },
      binding.field);
}

bool DataExchange::Save(const Binding& binding) {
  if (QString* const* text = std::get_if<QString*>(&binding.field)) {
    **text = binding.box->text();
    return true;
  }
  if (std::string* const* text = std::get_if<std::string*>(&binding.field)) {
    **text = binding.box->text().toStdString();
    return true;
  }
  const std::optional<int32_t> value = ParseBoxInteger(binding.box->text());
  if (int32_t* const* integer = std::get_if<int32_t*>(&binding.field)) {
    if (!value) {
      Refuse(binding, Tr(res::text::kEnterInteger));
      return false;
    }
    **integer = *value;
    return true;
  }
  if (!value || *value < 0 || static_cast<uint32_t>(*value) < binding.min ||
      static_cast<uint32_t>(*value) > binding.max) {
    Refuse(binding, Tr(res::text::kEnterIntegerBetween)
                        .arg(binding.min)
                        .arg(binding.max));
    return false;
  }
  std::visit(
      [&](auto* field) {
        using Field = std::remove_pointer_t<decltype(field)>;
        if constexpr (std::is_integral_v<Field>) {
          *field = static_cast<Field>(*value);
        }
      },
      binding.field);
  return true;
}

void DataExchange::Refuse(const Binding& binding, const QString& prompt) {
  ui_.ShowMessage(&window_, prompt);
  binding.box->setFocus();
  binding.box->selectAll();
}

}  // namespace zt
