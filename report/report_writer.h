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

// Writes the report as its file's ending asks (.json, .html or .pdf), whole or
// not at all: the file appears only once every byte is on disk, and a file
// already there is left as it was on failure. None on success, otherwise the
// message for the user, naming the file and the reason.
std::optional<std::string> WriteCommissionReport(const std::filesystem::path& file,
                                                 const CommissionRecord& record,
                                                 Language language);

// Whether `file` ends in .json, .html or .pdf.
bool IsReportFile(const std::filesystem::path& file);

}  // namespace zt::report
