#include "app/dialogs/text_dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QApplication>

#include "adapters/contract/gantt_adapter.h"
#include "app/dialogs/dialog_resources.h"
#include "app/user_interface.h"

namespace qmx {

namespace {

// Runs a dialog layout modally; false on Cancel or when the layout is
// missing or lacks its buttons. The window that had the focus gets it back.
bool RunLayout(QWidget* dialog)
{
    auto* buttons = LayoutChild<QDialogButtonBox>(dialog, "buttonBox");
    auto* asDialog = qobject_cast<QDialog*>(dialog);
    if (!buttons || !asDialog) return false;
    QObject::connect(buttons, &QDialogButtonBox::accepted, asDialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, asDialog, &QDialog::reject);
    const QPointer<QWidget> focus = QApplication::focusWidget();
    const bool confirmed = asDialog->exec() == QDialog::Accepted;
    if (focus) focus->setFocus();
    return confirmed;
}

}  // namespace

bool RunResourceNameDialog(QWidget* parent, std::u16string& name)
{
    const auto dialog = LoadLayout(kResourceNameLayout, parent);
    auto* edit = LayoutChild<QLineEdit>(dialog.get(), "nameEdit");
    if (!edit) return false;
    edit->setText(QString::fromStdU16String(name));
    edit->selectAll();
    if (!RunLayout(dialog.get())) return false;
    name = edit->text().toStdU16String();
    return true;
}

bool RunDocumentPropertiesDialog(QWidget* parent, std::u16string& name, std::u16string& description)
{
    const auto dialog = LoadLayout(kDocumentPropertiesLayout, parent);
    auto* nameEdit = LayoutChild<QLineEdit>(dialog.get(), "nameEdit");
    auto* descriptionEdit = LayoutChild<QPlainTextEdit>(dialog.get(), "descriptionEdit");
    if (!nameEdit || !descriptionEdit) return false;
    nameEdit->setText(QString::fromStdU16String(name));
    descriptionEdit->setPlainText(QString::fromStdU16String(description));
    if (!RunLayout(dialog.get())) return false;
    name = nameEdit->text().toStdU16String();
    description = descriptionEdit->toPlainText().toStdU16String();
    return true;
}

bool EditResourceName(UserInterface& ui, IResource* resource, IGanttAdapter* adapter)
{
    if (!resource) return false;
    BSTR old;
    LONG id = -1;
    if (FAILED(resource->get_Name(&old)) || FAILED(resource->get_ID(&id)) || id == -1) return false;
    std::u16string name = old;
    if (!ui.EditResourceName(name) || name == old) return false;
    if (FAILED(resource->put_Name(name))) return false;
    if (adapter) adapter->ResourceUpdate(id);
    return true;
}

bool EditDocumentProperties(UserInterface& ui, IDocumentProperties* properties, IGanttAdapter* adapter)
{
    if (!properties) return false;
    BSTR name;
    BSTR description;
    properties->get_Name(&name);
    properties->get_Description(&description);
    if (!ui.EditDocumentProperties(name, description)) return false;
    properties->put_Name(name);
    properties->put_Description(description);
    if (adapter) adapter->FilePropertiesUpdate();
    return true;
}

}  // namespace qmx
