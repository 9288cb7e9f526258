#include "report/report_writer.h"

#include "report/report_texts.h"
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

std::string ReportFailure::Reason(Language language) const {
  switch (problem) {
    case Problem::kPdfNotMade:
      return std::string(Say("pdf_not_made", language));
    case Problem::kWrongEnding:
      return std::string(Say("report_ending", language));
    case Problem::kNotWritten:
      break;
  }
  return systemReason;
}

std::string ReportFailure::Message() const {
  return "the report " + file + " was not written: " + Reason(Language::kEnglish);
}

std::optional<ReportFailure> WriteCommissionReport(const std::filesystem::path& file,
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
      return ReportFailure{name, ReportFailure::Problem::kPdfNotMade, ""};
    }
  } else {
    return ReportFailure{name, ReportFailure::Problem::kWrongEnding, ""};
  }
  QString reason;
  if (!WriteWholeFile(QString::fromStdString(name), bytes, reason)) {
    return ReportFailure{name, ReportFailure::Problem::kNotWritten, reason.toStdString()};
  }
  return std::nullopt;
}

}  // namespace zt::report
