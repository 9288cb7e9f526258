#pragma once

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <optional>
#include <string>

#include "report/commission_record.h"

namespace zt::report {

// The report for machines: one JSON object.
QByteArray CommissionJson(const CommissionRecord& record);
// The report for people: one HTML page with its style inside, nothing fetched.
QString CommissionHtml(const CommissionRecord& record, Language language);
// The same page as a PDF on A4, its fonts embedded. Needs a QGuiApplication.
QByteArray CommissionPdf(const CommissionRecord& record, Language language);

// Why a report was not written.
struct ReportFailure {
  enum class Problem { kPdfNotMade, kWrongEnding, kNotWritten };

  std::string file;
  Problem problem = Problem::kNotWritten;
  // Why the file could not be written, in the system's words.
  std::string systemReason;

  // Why, in `language` (the system's words as they are).
  std::string Reason(Language language) const;
  // "the report FILE was not written: REASON", as zt6100ctl says it.
  std::string Message() const;
};

// Writes the report as its file's ending asks (.json, .html or .pdf), whole or
// not at all: the file appears only once every byte is on disk, and a file
// already there is left as it was on failure. None on success.
std::optional<ReportFailure> WriteCommissionReport(const std::filesystem::path& file,
                                                 const CommissionRecord& record,
                                                 Language language);

// Whether `file` ends in .json, .html or .pdf.
bool IsReportFile(const std::filesystem::path& file);

}  // namespace zt::report
