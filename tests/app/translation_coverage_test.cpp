// Every window text the sources mark has a finished English translation:
// lupdate, run as the build runs it, lists the marked texts afresh, and each
// must be in the shipped .ts file, translated, with the same %1..%9
// arguments. A text marked and not translated, or translated and no longer
// marked, fails here.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <map>
#include <utility>

#include "res/translatable.h"

namespace {

struct Message {
  QString context;
  QString translation;
  QString type;  // "unfinished", "vanished", "obsolete"; empty when finished
};

// Source text and disambiguation.
using MessageKey = std::pair<QString, QString>;

// The text of the current element up to its end, with lupdate's <byte/>
// escapes for control characters (the link information's carriage returns).
QString ElementText(QXmlStreamReader& xml) {
  QString text;
  const QString element = xml.name().toString();
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isCharacters()) {
      text += xml.text();
    } else if (xml.isStartElement() && xml.name() == QLatin1String("byte")) {
      QString value = xml.attributes().value("value").toString();
      value.remove(0, 1);  // "xd"
      text += QChar(value.toUShort(nullptr, 16));
    } else if (xml.isEndElement() && xml.name() == element) {
      break;
    }
  }
  return text;
}

std::map<MessageKey, Message> ReadTs(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  std::map<MessageKey, Message> messages;
  QXmlStreamReader xml(&file);
  QString context;
  QString source;
  QString comment;
  Message message;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement() && !(xml.isEndElement() && xml.name() == QLatin1String("message"))) {
      continue;
    }
    if (xml.isEndElement()) {
      message.context = context;
      messages[{source, comment}] = message;
      continue;
    }
    if (xml.name() == QLatin1String("name")) {
      context = xml.readElementText();
    } else if (xml.name() == QLatin1String("message")) {
      source.clear();
      comment.clear();
      message = {};
    } else if (xml.name() == QLatin1String("source")) {
      source = ElementText(xml);
    } else if (xml.name() == QLatin1String("comment")) {
      comment = xml.readElementText();
    } else if (xml.name() == QLatin1String("translation")) {
      message.type = xml.attributes().value("type").toString();
      message.translation = ElementText(xml);
    }
  }
  EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
  return messages;
}

QStringList ReadLines(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << path.toStdString();
  return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

QSet<QString> Arguments(const QString& text) {
  QSet<QString> arguments;
  static const QRegularExpression argument(QStringLiteral("%[1-9]"));
  for (const QRegularExpressionMatch& match : argument.globalMatch(text)) {
    arguments.insert(match.captured());
  }
  return arguments;
}

TEST(TranslationCoverage, EveryMarkedTextHasAFinishedEnglishTranslation) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString fresh = dir.filePath(QStringLiteral("fresh_en.ts"));
  QStringList arguments = ReadLines(QStringLiteral(ZT_LUPDATE_ARGUMENTS));
  arguments << QStringLiteral("-ts") << fresh;
  QProcess lupdate;
  lupdate.start(QStringLiteral(ZT_LUPDATE), arguments);
  ASSERT_TRUE(lupdate.waitForFinished(120000)) << lupdate.errorString().toStdString();
  ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();

  const std::map<MessageKey, Message> marked = ReadTs(fresh);
  const std::map<MessageKey, Message> shipped = ReadTs(QStringLiteral(ZT_ENGLISH_TS));
  // The console's window, its menus and dialogs hold more than a hundred.
  ASSERT_GT(marked.size(), 100U);

  for (const auto& [key, message] : marked) {
    const std::string name = key.first.toStdString() + (key.second.isEmpty() ? "" : " (" + key.second.toStdString() + ")");
    EXPECT_EQ(message.context, QLatin1String(zt::res::kTextContext))
        << name << ": the console looks every text up in one context";
    const auto found = shipped.find(key);
    if (found == shipped.end()) {
      ADD_FAILURE() << name << ": not in the English translation; update it (README.md)";
      continue;
    }
    const Message& english = found->second;
    EXPECT_EQ(english.type, QString()) << name << ": the translation is not finished";
    EXPECT_FALSE(english.translation.trimmed().isEmpty()) << name << ": no English text";
    EXPECT_EQ(Arguments(english.translation), Arguments(key.first))
        << name << ": the English text takes other arguments: "
        << english.translation.toStdString();
  }
  for (const auto& [key, message] : shipped) {
    EXPECT_TRUE(marked.contains(key))
        << key.first.toStdString() << ": translated but no longer marked in the sources";
  }
}

}  // namespace
