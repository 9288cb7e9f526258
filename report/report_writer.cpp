#include "report/report_writer.h"

#include "report/whole_file.h"

namespace zt::report {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return text;
}

}  // namespace

bool IsReportFile(const std::filesystem::path& file) {
  const std::string ending = Lower(file.extension().string());
  return ending == ".json" || ending == ".html" || ending == ".pdf";
}

std::optional<std::string> WriteCommissionReport(const std::filesystem::path& file,
                                                 const CommissionRecord& record,
                                                 Language language) {
  const std::string name = file.string();
  const std::string ending = Lower(file.extension().string());
  QByteArray bytes;
  if (ending == ".json") {
    bytes = CommissionJson(record);
  } else if (ending == ".html") {
    bytes = CommissionHtml(record, language).toUtf8();
  } else if (ending == ".pdf") {
    bytes = CommissionPdf(record, language);
    if (bytes.isEmpty()) {
      return "the report " + name + " was not written: the PDF could not be made";
    }
  } else {
    return "the report " + name + " was not written: its name must end in .json, .html or .pdf";
  }
  QString reason;
  if (!WriteWholeFile(QString::fromStdString(name), bytes, reason)) {
    return "the report " + name + " was not written: " + reason.toStdString();
  }
  return std::nullopt;
}

}  // namespace zt::report
