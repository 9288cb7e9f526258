// zt6100ctl's records against zt6100-sim on a pty in real time: the CSV of
// a poll read by Python's csv module, JSON lines with their time, and the
// frame trace against the meter's own log.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include "tool_process.h"

namespace zt::cli::test {
namespace {

// Reads the CSV on standard input as a spreadsheet would and checks every
// row; prints the rows and their successes, or the first fault found.
constexpr const char* kCsvCheck = R"(
import csv, datetime, sys
rows = list(csv.DictReader(sys.stdin))
header = ["time", "live", "decimal_point", "ok", "cause", "successes", "failures", "error_rate"]
assert rows and list(rows[0].keys()) == header, list(rows[0].keys()) if rows else "no rows"
for n, row in enumerate(rows):
    datetime.datetime.strptime(row["time"], "%Y-%m-%dT%H:%M:%S.%fZ")
    assert len(row["time"]) == 24, row
    assert row["ok"] in ("true", "false"), row
    ok = row["ok"] == "true"
    assert ok == (row["live"] != "") and ok == (row["cause"] == ""), row
    if ok:
        float(row["live"])
    int(row["decimal_point"])
    assert int(row["successes"]) + int(row["failures"]) == n + 1, row
    float(row["error_rate"])
print(len(rows), sum(row["ok"] == "true" for row in rows))
)";

// Bounds each wait on Python, so that a hung interpreter fails the test.
constexpr int kPythonGuardMs = 30000;

struct CsvVerdict {
  bool ran = false;
  int exitCode = -1;
  QString out;
  QString err;
};

CsvVerdict CheckWithPython(const QString& csv) {
  CsvVerdict verdict;
  const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
  if (python.isEmpty()) {
    return verdict;
  }
  QProcess process;
  process.start(python, {QStringLiteral("-c"), QString::fromUtf8(kCsvCheck)});
  if (!process.waitForStarted(kPythonGuardMs)) {
    return verdict;
  }
  process.write(csv.toUtf8());
  process.closeWriteChannel();
  verdict.ran = process.waitForFinished(kPythonGuardMs);
  verdict.exitCode = process.exitCode();
  verdict.out = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
  verdict.err = QString::fromUtf8(process.readAllStandardError());
  return verdict;
}

TEST(Zt6100ctlRecords, CsvOfAFaultyLineParsesWithPythonsCsvModule) {
  if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty()) {
    GTEST_SKIP() << "python3 is not installed (./dev installs it)";
  }
  SimProcess sim({"--fault-share", "30", "--seed", "3"});
  ASSERT_TRUE(sim.Device());
  const ToolRun run = RunCtl(
      {"--device", *sim.Device(), "--fast", "poll", "--count", "20", "--period", "0", "--csv"});
  ASSERT_TRUE(run.finished);
  const CsvVerdict verdict = CheckWithPython(run.out);
  ASSERT_TRUE(verdict.ran);
  EXPECT_EQ(verdict.exitCode, 0) << verdict.err.toStdString() << run.out.toStdString();
  const QStringList counts = verdict.out.split(' ');
  ASSERT_EQ(counts.size(), 2) << verdict.out.toStdString();
  EXPECT_EQ(counts[0], "20");
  // Some polls failed and some did not: both kinds of row were checked.
  EXPECT_GT(counts[1].toInt(), 0);
  EXPECT_LT(counts[1].toInt(), 20);
  // The totals, with the failures by cause, went beside the CSV.
  EXPECT_TRUE(run.err.contains("totals: polls 20")) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains("exchanges 40")) << run.err.toStdString();
}

TEST(Zt6100ctlRecords, JsonLinesParseAndCarryTheirTimeAndTheCauses) {
  SimProcess sim({"--silent"});
  ASSERT_TRUE(sim.Device());
  const ToolRun run =
      RunCtl({"--device", *sim.Device(), "--fast", "--json", "poll", "--count", "2", "--period",
              "0"});
  ASSERT_TRUE(run.finished);
  const QStringList lines = run.Lines();
  ASSERT_EQ(lines.size(), 3);
  const QRegularExpression iso(
      QStringLiteral(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z$)"));
  for (const QString& line : lines) {
    QJsonParseError error;
    const QJsonObject object = QJsonDocument::fromJson(line.toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
    EXPECT_TRUE(iso.match(object.value("time").toString()).hasMatch()) << line.toStdString();
  }
  const QJsonObject totals = QJsonDocument::fromJson(lines[2].toUtf8()).object();
  EXPECT_EQ(totals.value("failures_by_cause").toObject().value("no_bytes").toInt(), 4);
  EXPECT_TRUE(totals.value("latency_ms").isNull());

  // Every command's JSON lines, a scan's too.
  SimProcess meter;
  ASSERT_TRUE(meter.Device());
  const ToolRun scan = RunCtl(
      {"--device", *meter.Device(), "--json", "scan", "--addresses", "1", "--rates", "9600"});
  ASSERT_TRUE(scan.finished);
  ASSERT_EQ(scan.Lines().size(), 2) << scan.out.toStdString() << scan.err.toStdString();
  for (const QString& line : scan.Lines()) {
    const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
    EXPECT_TRUE(iso.match(object.value("time").toString()).hasMatch()) << line.toStdString();
  }
}

// The trace against the meter's log: one TX line per request the meter
// heard, one RX line per exchange, and each reply the meter sent inside the
// RX line of the exchange it answered when the link took it as the reply.
TEST(Zt6100ctlRecords, TraceShowsTheFramesTheMeterLogged) {
  SimProcess sim({"--fault-share", "25", "--seed", "11", "--verbose"});
  ASSERT_TRUE(sim.Device());
  const ToolRun run = RunCtl({"--device", *sim.Device(), "--fast", "--trace", "poll", "--count",
                              "15", "--period", "0"});
  ASSERT_TRUE(run.finished);
  QStringList meter;
  for (const QString& line : sim.StopAndTakeErrors().split('\n')) {
    if (line.contains("reply: ")) {
      meter << line;
    }
  }
  QStringList sent;
  QStringList received;
  for (const QString& line : run.err.split('\n', Qt::SkipEmptyParts)) {
    const QString direction = line.mid(10, 4).trimmed();
    if (direction == "TX") {
      sent << line;
    } else if (direction == "RX") {
      received << line;
    }
  }
  ASSERT_EQ(sent.size(), 30) << run.err.toStdString();
  ASSERT_EQ(meter.size(), 30) << run.err.toStdString();
  ASSERT_EQ(received.size(), 30);
  int replies = 0;
  for (int i = 0; i < sent.size(); ++i) {
    if (!received[i].endsWith("  reply")) {
      continue;
    }
    ++replies;
    const QString reply = meter[i].section(" -> ", 1);
    EXPECT_TRUE(meter[i].contains("reply: ") && !meter[i].contains("no reply"))
        << meter[i].toStdString();
    EXPECT_TRUE(received[i].contains(reply)) << received[i].toStdString() << " / "
                                             << meter[i].toStdString();
  }
  EXPECT_GT(replies, 0);
}

}  // namespace
}  // namespace zt::cli::test
