// The text forms of the language resources that translators edit: entry
// lists ("ID = text") and the indented menu and tool-bar outlines. Reading
// never fails as a whole: a line that makes no sense is skipped and
// reported in `problems` as "line N: reason".
#pragma once

#include <map>
#include <utility>
#include <vector>

#include <QString>
#include <QStringList>

#include "app/language_resources.h"

namespace qmx {

struct Entry {
    int id = 0;
    QString text;
};

// "ID = text" lines; "#" starts a note line. In the text, "\n", "\t" and
// "\\" are a line break, a tab and a backslash. IDs are 0 to 65535.
std::vector<Entry> ParseEntries(const QString& text, QStringList* problems);

// Outlines: "menu ID" (or "toolbar ID") at the left margin, then indented
// entries; see menus.txt for the grammar.
std::map<int, std::vector<MenuItemSpec>> ParseMenus(const QString& text, QStringList* problems);
std::map<int, std::vector<ToolBarButtonSpec>> ParseToolBars(const QString& text, QStringList* problems);

// "prompt | tool-tip" of a command entry.
std::pair<QString, QString> SplitCommandText(const QString& text);

}  // namespace qmx
