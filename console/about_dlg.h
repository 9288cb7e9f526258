#pragma once

#include <QDialog>

namespace zt {

// The product line and the maker's contact lines; its one button closes it.
class CAboutDlg final : public QDialog {
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace zt
