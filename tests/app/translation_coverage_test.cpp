// Every window text the sources mark has a finished English translation:
// lupdate, run as the build runs it, lists the marked texts afresh, and each
// must be in the shipped .ts file, translated, with the same %1..%9
// arguments. A text marked and not translated, or translated and no longer
// marked, fails here; so does a Chinese string in those sources that is not
// marked, which no translation could reach.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <algorithm>
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

// The texts the sources mark, as lupdate finds them run as the build runs it.
std::map<MessageKey, Message> MarkedTexts() {
  QTemporaryDir dir;
  EXPECT_TRUE(dir.isValid());
  const QString fresh = dir.filePath(QStringLiteral("fresh_en.ts"));
  QStringList arguments = ReadLines(QStringLiteral(ZT_LUPDATE_ARGUMENTS));
  arguments << QStringLiteral("-ts") << fresh;
  QProcess lupdate;
  lupdate.start(QStringLiteral(ZT_LUPDATE), arguments);
  EXPECT_TRUE(lupdate.waitForFinished(120000)) << lupdate.errorString().toStdString();
  EXPECT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
  return ReadTs(fresh);
}

bool IsChinese(QChar c) {
  return (c.unicode() >= 0x2E80 && c.unicode() <= 0x9FFF) ||
         (c.unicode() >= 0xFF00 && c.unicode() <= 0xFFEF);
}

// The string literals of a C++ source, their escapes resolved; comments and
// character literals are skipped.
QStringList StringLiterals(const QString& source) {
  QStringList literals;
  qsizetype i = 0;
  const qsizetype n = source.size();
  while (i < n) {
    if (source.mid(i, 2) == QLatin1String("//")) {
      while (i < n && source[i] != QLatin1Char('\n')) ++i;
    } else if (source.mid(i, 2) == QLatin1String("/*")) {
      const qsizetype end = source.indexOf(QLatin1String("*/"), i + 2);
      i = end < 0 ? n : end + 2;
    } else if (source[i] == QLatin1Char('\'')) {
      for (++i; i < n && source[i] != QLatin1Char('\''); ++i) {
        if (source[i] == QLatin1Char('\\')) ++i;
      }
      ++i;
    } else if (source[i] == QLatin1Char('"')) {
      // Adjacent literals are one string.
      QString literal;
      qsizetype next = i;
      while (next < n && source[next] == QLatin1Char('"')) {
        for (i = next + 1; i < n && source[i] != QLatin1Char('"'); ++i) {
          if (source[i] == QLatin1Char('\\') && i + 1 < n) {
            ++i;
            const QChar escaped = source[i];
            literal += escaped == QLatin1Char('r')   ? QChar('\r')
                       : escaped == QLatin1Char('n') ? QChar('\n')
                       : escaped == QLatin1Char('t') ? QChar('\t')
                                                     : escaped;
          } else {
            literal += source[i];
          }
        }
        next = ++i;
        while (next < n && source[next].isSpace()) ++next;
      }
      literals << literal;
    } else {
      ++i;
    }
  }
  return literals;
}

TEST(TranslationCoverage, EveryMarkedTextHasAFinishedEnglishTranslation) {
  const std::map<MessageKey, Message> marked = MarkedTexts();
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

TEST(TranslationCoverage, NoChineseStringIsLeftUnmarked) {
  QSet<QString> markedSources;
  for (const auto& [key, message] : MarkedTexts()) {
    markedSources.insert(key.first);
  }
  ASSERT_FALSE(markedSources.isEmpty());
  std::size_t files = 0;
  for (const QString& path : ReadLines(QStringLiteral(ZT_LUPDATE_ARGUMENTS))) {
    if (path.startsWith(QLatin1Char('-')) || !QFile::exists(path)) continue;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    ++files;
    for (const QString& literal : StringLiterals(QString::fromUtf8(file.readAll()))) {
      if (std::any_of(literal.begin(), literal.end(), IsChinese)) {
        EXPECT_TRUE(markedSources.contains(literal))
            << path.toStdString() << ": \"" << literal.toStdString()
            << "\" is not marked; put it in res/ with ZT_TEXT (README.md)";
      }
    }
  }
  EXPECT_GT(files, 10U);
}

}  // namespace
