#include "app/core/qt_user_interface.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>

#include "app/dialogs/task_properties_dialog.h"
#include "app/dialogs/text_dialogs.h"
#include "app/language_resources.h"
#include "automation/file_name.h"

namespace qmx {
namespace {

constexpr int kAppTitleString = 128;

QMessageBox::StandardButton ToQt(MessageAnswer answer)
{
    switch (answer) {
    case MessageAnswer::Ok: return QMessageBox::Ok;
    case MessageAnswer::Yes: return QMessageBox::Yes;
    case MessageAnswer::No: return QMessageBox::No;
    case MessageAnswer::Cancel: return QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon ToQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Information: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// File names are bytes: what the dialog chose goes through the lossless
// conversion of file_name.h.
std::u16string ToFileName(const QString& path) { return FileNameToBstr(QFile::encodeName(path).toStdString()); }

QString FromFileName(const std::u16string& name)
{
    const auto bytes = BstrToFileName(name);
    return bytes ? QFile::decodeName(QByteArray::fromStdString(*bytes)) : QString();
}

void AddMenuItems(QMenu& menu, const std::vector<MenuItemSpec>& items,
                  const std::function<std::pair<bool, int>(int)>& state)
{
    for (const MenuItemSpec& item : items) {
        if (item.text.isEmpty()) {
            menu.addSeparator();
        } else if (item.commandId == 0) {
            AddMenuItems(*menu.addMenu(item.text), item.children, state);
        } else {
            QAction* action = menu.addAction(item.text);
            action->setData(item.commandId);
            if (state) {
                const auto [enabled, checked] = state(item.commandId);
                action->setEnabled(enabled);
                if (checked) {
                    action->setCheckable(true);
                    action->setChecked(true);
                }
            }
        }
    }
}

}  // namespace

QString QtFileFilter(const std::u16string& filter)
{
    const QStringList parts = QString::fromStdU16String(filter).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString name = parts[i].trimmed();
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        patterns = patterns.simplified();
        if (patterns.isEmpty()) continue;
        const QString suffix = QStringLiteral("(%1)").arg(patterns);
        filters.append(name.endsWith(suffix) ? name : QStringLiteral("%1 %2").arg(name, suffix).trimmed());
    }
    return filters.join(QStringLiteral(";;"));
}

QWidget* QtUserInterface::Parent() const { return hooks_.parent ? hooks_.parent() : nullptr; }

MessageAnswer QtUserInterface::ShowMessage(const std::u16string& text, MessageButtons buttons, MessageIcon icon,
                                           MessageAnswer defaultAnswer)
{
    QMessageBox::StandardButtons qtButtons = QMessageBox::Ok;
    if (buttons == MessageButtons::YesNo) qtButtons = QMessageBox::Yes | QMessageBox::No;
    if (buttons == MessageButtons::YesNoCancel) qtButtons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QString title = LanguageResources::String(kAppTitleString);
    QMessageBox box(ToQt(icon), title, QString::fromStdU16String(text), qtButtons, Parent());
    if (qtButtons.testFlag(ToQt(defaultAnswer))) box.setDefaultButton(ToQt(defaultAnswer));
    switch (box.exec()) {
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    case QMessageBox::Cancel: return MessageAnswer::Cancel;
    default:
        // Escape or a cancelled box: the safe answer.
        if (buttons == MessageButtons::YesNo) return MessageAnswer::No;
        if (buttons == MessageButtons::YesNoCancel) return MessageAnswer::Cancel;
        return MessageAnswer::Ok;
    }
}

std::optional<std::u16string> QtUserInterface::GetOpenFileName(const std::u16string& filter)
{
    const QString path = QFileDialog::getOpenFileName(Parent(), QString(), QString(), QtFileFilter(filter));
    if (path.isEmpty()) return std::nullopt;
    return ToFileName(path);
}

std::optional<std::u16string> QtUserInterface::GetSaveFileName(const std::u16string& filter,
                                                               const std::u16string& defaultExtension,
                                                               const std::u16string& initialName)
{
    QFileDialog dialog(Parent(), QString(), QString(), QtFileFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromStdU16String(defaultExtension));
    if (!initialName.empty()) dialog.selectFile(FromFileName(initialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return ToFileName(dialog.selectedFiles().front());
}

std::optional<std::uint32_t> QtUserInterface::ChooseColor(std::uint32_t initial)
{
    const QColor start(int(initial & 0xFF), int((initial >> 8) & 0xFF), int((initial >> 16) & 0xFF));
    const QColor chosen = QColorDialog::getColor(start, Parent());
    if (!chosen.isValid()) return std::nullopt;
    return std::uint32_t(chosen.red()) | std::uint32_t(chosen.green()) << 8 | std::uint32_t(chosen.blue()) << 16;
}

std::optional<int> QtUserInterface::ChooseDocumentType(const std::vector<std::u16string>& names, bool forExport)
{
    const QString caption = LanguageResources::String(forExport ? kExportDocumentCaption : kNewDocumentCaption);
    QStringList items;
    for (const std::u16string& name : names) items.append(QString::fromStdU16String(name));

    std::unique_ptr<QWidget> layout = LanguageResources::LoadDialog(kDocumentTypeLayout, Parent());
    auto* dialog = qobject_cast<QDialog*>(layout.get());
    auto* list = dialog ? dialog->findChild<QListWidget*>(QStringLiteral("typeList")) : nullptr;
    if (!list) {
        bool ok = false;
        const QString chosen = QInputDialog::getItem(Parent(), caption, QString(), items, 0, false, &ok);
        if (!ok) return std::nullopt;
        const qsizetype index = items.indexOf(chosen);
        return index < 0 ? std::nullopt : std::optional<int>(static_cast<int>(index));
    }
    if (!caption.isEmpty()) dialog->setWindowTitle(caption);
    list->addItems(items);
    if (!items.isEmpty()) list->setCurrentRow(0);
    QObject::connect(list, &QListWidget::itemDoubleClicked, dialog, [list, dialog](QListWidgetItem* item) {
        list->setCurrentItem(item);
        dialog->accept();
    });
    if (auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))) {
        QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    }
    if (dialog->exec() != QDialog::Accepted || list->currentRow() < 0) return std::nullopt;
    return list->currentRow();
}

void QtUserInterface::ShowContextMenu(int subMenu, int xPos, int yPos)
{
    if (hooks_.contextMenu && hooks_.contextMenu(subMenu, xPos, yPos)) return;
    const std::vector<MenuItemSpec> menus = LanguageResources::Menu(kContextMenus);
    if (subMenu < 0 || static_cast<std::size_t>(subMenu) >= menus.size()) return;
    QMenu menu(Parent());
    AddMenuItems(menu, menus[static_cast<std::size_t>(subMenu)].children, hooks_.commandState);
    const QAction* chosen = menu.exec(QPoint(xPos, yPos));
    if (chosen && hooks_.routeCommand) hooks_.routeCommand(chosen->data().toInt());
}

void QtUserInterface::SetWaitCursor(bool wait)
{
    if (wait) {
        if (waitDepth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (waitDepth_ > 0 && --waitDepth_ == 0) {
        QApplication::restoreOverrideCursor();
    }
}

bool QtUserInterface::EditTaskProperties(ITask* pTask, IResources* pPool, IGanttAdapter* pAdapter)
{
    return RunTaskPropertiesDialog(Parent(), *this, pTask, pPool, pAdapter);
}

bool QtUserInterface::EditResourceName(std::u16string& name) { return RunResourceNameDialog(Parent(), name); }

bool QtUserInterface::EditDocumentProperties(std::u16string& name, std::u16string& description)
{
    return RunDocumentPropertiesDialog(Parent(), name, description);
}

}  // namespace qmx
