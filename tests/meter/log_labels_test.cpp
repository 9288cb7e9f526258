#include "meter/log_labels.h"

#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#include <gtest/gtest.h>

namespace {

// Every label's bytes against Qt's own GBK codec, where Qt has one.
TEST(LogLabels, MatchAnIndependentGbkEncoder) {
  QStringEncoder encoder("GBK");
  QStringDecoder decoder("GBK");
  if (!encoder.isValid() || !decoder.isValid()) {
    GTEST_SKIP() << "this Qt has no GBK codec";
  }
  for (const zt::LogLabel& label : zt::kLogLabels) {
    const QString text = QString::fromUtf8(label.utf8.data(), static_cast<qsizetype>(label.utf8.size()));
    const QByteArray expected = encoder(text);
    EXPECT_FALSE(encoder.hasError()) << label.utf8;
    EXPECT_EQ(std::string_view(expected.constData(), static_cast<std::size_t>(expected.size())),
              label.gbk)
        << label.utf8;
    EXPECT_EQ(QString(decoder(QByteArray(label.gbk.data(), static_cast<qsizetype>(label.gbk.size())))),
              text)
        << label.utf8;
  }
}

}  // namespace
