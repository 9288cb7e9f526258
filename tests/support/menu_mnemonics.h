#pragma once

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStringList>

#include <set>

namespace zt::test {

// What keeps a menu bar from being worked by its mnemonics: a menu or item
// without exactly one Latin letter mnemonic, one letter twice among the
// menus or among the items of one menu, or (`bracketed`, for Chinese) a
// mnemonic not written "(&X)" at the end of the text. Empty when all is well.
inline QStringList MnemonicProblems(const QMenuBar& bar, bool bracketed) {
  QStringList problems;
  static const QRegularExpression latinMnemonic(QStringLiteral("^[^&]*&[A-Za-z][^&]*$"));
  static const QRegularExpression atTheEnd(QStringLiteral("\\(&[A-Z]\\)$"));
  const auto check = [&](const QList<QAction*>& actions) {
    std::set<QKeySequence> seen;
    for (const QAction* action : actions) {
      if (action->isSeparator()) continue;
      const QString text = action->text();
      if (!latinMnemonic.match(text).hasMatch()) {
        problems << QStringLiteral("no single Latin mnemonic: ") + text;
      } else if (bracketed && !atTheEnd.match(text).hasMatch()) {
        problems << QStringLiteral("mnemonic not \"(&X)\" at the end: ") + text;
      } else if (!seen.insert(QKeySequence::mnemonic(text)).second) {
        problems << QStringLiteral("mnemonic used twice: ") + text;
      }
    }
  };
  check(bar.actions());
  for (const QAction* menu : bar.actions()) {
    if (menu->menu() != nullptr) check(menu->menu()->actions());
  }
  return problems;
}

}  // namespace zt::test
