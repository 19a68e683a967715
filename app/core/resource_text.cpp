#include "app/core/resource_text.h"

#include <optional>

#include <QRegularExpression>

namespace qmx {
namespace {

constexpr int kLargestId = 65535;

struct Line {
    int number;
    int indent;  // columns; a tab counts as far as the next multiple of 4
    QString content;
};

// The lines that carry something: no blank lines and no notes.
std::vector<Line> MeaningfulLines(const QString& text)
{
    std::vector<Line> lines;
    const QStringList raw = text.split(u'\n');
    for (qsizetype i = 0; i < raw.size(); ++i) {
        QString line = raw[i];
        if (line.endsWith(u'\r')) line.chop(1);
        int indent = 0;
        qsizetype start = 0;
        while (start < line.size() && (line[start] == u' ' || line[start] == u'\t')) {
            indent = line[start] == u'\t' ? (indent / 4 + 1) * 4 : indent + 1;
            ++start;
        }
        QString content = line.mid(start).trimmed();
        if (content.isEmpty() || content.startsWith(u'#')) continue;
        lines.push_back({static_cast<int>(i + 1), indent, std::move(content)});
    }
    return lines;
}

void Report(QStringList* problems, int line, const QString& reason)
{
    if (problems) problems->append(QStringLiteral("line %1: %2").arg(line).arg(reason));
}

std::optional<int> ParseId(const QString& text)
{
    bool ok = false;
    const int id = text.toInt(&ok, 10);
    if (!ok || id < 0 || id > kLargestId) return std::nullopt;
    return id;
}

QString Unescape(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            result.append(text[i]);
            continue;
        }
        const QChar next = text[++i];
        if (next == u'n')
            result.append(u'\n');
        else if (next == u't')
            result.append(u'\t');
        else if (next == u'\\')
            result.append(u'\\');
        else
            result.append(u'\\').append(next);
    }
    return result;
}

// "word rest": the first word and the trimmed rest.
std::pair<QString, QString> SplitFirstWord(const QString& content)
{
    const qsizetype space = content.indexOf(QRegularExpression(QStringLiteral("\\s")));
    if (space < 0) return {content, QString()};
    return {content.left(space), content.mid(space).trimmed()};
}

// The outline of one "menu"/"toolbar" block: its entries with their depths.
template <class Spec, class ReadEntry>
std::map<int, std::vector<Spec>> ParseOutlines(const QString& text, const QString& keyword, QStringList* problems,
                                               ReadEntry readEntry)
{
    std::map<int, std::vector<Spec>> outlines;
    std::vector<Spec>* current = nullptr;
    bool blockStart = false;
    for (const Line& line : MeaningfulLines(text)) {
        const auto [word, rest] = SplitFirstWord(line.content);
        if (line.indent == 0) {
            const auto id = word == keyword ? ParseId(rest) : std::nullopt;
            if (!id) {
                Report(problems, line.number, QStringLiteral("expected \"%1 ID\"").arg(keyword));
                current = nullptr;
                continue;
            }
            if (outlines.count(*id)) Report(problems, line.number, QStringLiteral("%1 %2 again").arg(keyword).arg(*id));
            current = &outlines[*id];
            current->clear();
            blockStart = true;
            continue;
        }
        if (!current) {
            Report(problems, line.number, QStringLiteral("entry outside a %1").arg(keyword));
            continue;
        }
        readEntry(*current, line, word, rest, blockStart);
        blockStart = false;
    }
    return outlines;
}

}  // namespace

std::vector<Entry> ParseEntries(const QString& text, QStringList* problems)
{
    std::vector<Entry> entries;
    for (const Line& line : MeaningfulLines(text)) {
        const qsizetype equals = line.content.indexOf(u'=');
        const auto id = equals < 0 ? std::nullopt : ParseId(line.content.left(equals).trimmed());
        if (!id) {
            Report(problems, line.number, QStringLiteral("expected \"ID = text\""));
            continue;
        }
        entries.push_back({*id, Unescape(line.content.mid(equals + 1).trimmed())});
    }
    return entries;
}

std::map<int, std::vector<MenuItemSpec>> ParseMenus(const QString& text, QStringList* problems)
{
    // The open sub-menus of the current menu with the indentation of their
    // entries; the stack never holds more levels than the text has lines.
    struct Level {
        std::vector<MenuItemSpec>* items;
        int indent;
    };
    std::vector<Level> stack;
    return ParseOutlines<MenuItemSpec>(
        text, QStringLiteral("menu"), problems,
        [&](std::vector<MenuItemSpec>& items, const Line& line, const QString& word, const QString& rest,
            bool blockStart) {
            if (blockStart) stack.assign(1, Level{&items, line.indent});
            while (stack.size() > 1 && line.indent < stack.back().indent) stack.pop_back();
            if (line.indent > stack.back().indent) {
                if (stack.back().items->empty() || stack.back().items->back().commandId != 0 ||
                    stack.back().items->back().text.isEmpty() || !stack.back().items->back().children.empty()) {
                    Report(problems, line.number, QStringLiteral("indented without a popup above"));
                    return;
                }
                stack.push_back({&stack.back().items->back().children, line.indent});
            } else if (line.indent != stack.back().indent) {
                Report(problems, line.number, QStringLiteral("indentation matches no open popup"));
                return;
            }
            std::vector<MenuItemSpec>& target = *stack.back().items;
            if (word == QLatin1String("separator") && rest.isEmpty()) {
                target.push_back({});
            } else if (word == QLatin1String("popup")) {
                if (rest.isEmpty()) {
                    Report(problems, line.number, QStringLiteral("popup without a text"));
                    return;
                }
                // Its entries follow on deeper lines. Only the innermost open
                // level ever grows, so the pointers of the levels around it
                // stay valid.
                target.push_back({rest, 0, {}});
            } else if (const auto id = ParseId(word); id && *id != 0 && !rest.isEmpty()) {
                target.push_back({rest, *id, {}});
            } else {
                Report(problems, line.number, QStringLiteral("expected \"popup TEXT\", \"ID TEXT\" or \"separator\""));
            }
        });
}

std::map<int, std::vector<ToolBarButtonSpec>> ParseToolBars(const QString& text, QStringList* problems)
{
    return ParseOutlines<ToolBarButtonSpec>(
        text, QStringLiteral("toolbar"), problems,
        [&](std::vector<ToolBarButtonSpec>& buttons, const Line& line, const QString& word, const QString& rest,
            bool) {
            if (word == QLatin1String("separator") && rest.isEmpty()) {
                buttons.push_back({});
                return;
            }
            const auto id = ParseId(word);
            static const QRegularExpression iconName(QStringLiteral("^[A-Za-z0-9_-]+$"));
            if (!id || *id == 0 || !iconName.match(rest).hasMatch()) {
                Report(problems, line.number, QStringLiteral("expected \"ID ICON\" or \"separator\""));
                return;
            }
            buttons.push_back({*id, rest});
        });
}

std::pair<QString, QString> SplitCommandText(const QString& text)
{
    const qsizetype bar = text.indexOf(u'|');
    if (bar < 0) return {text.trimmed(), QString()};
    return {text.left(bar).trimmed(), text.mid(bar + 1).trimmed()};
}

}  // namespace qmx
