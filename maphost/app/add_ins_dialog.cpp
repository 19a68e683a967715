#include "maphost/app/add_ins_dialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

#include "maphost/app/add_in_manager.h"
#include "maphost/app/host_prompts.h"

namespace qmx::map {

AddInsDialog::AddInsDialog(AddInManager* addIns, HostPrompts* prompts, QWidget* parent)
    : QDialog(parent), addIns_(addIns), prompts_(prompts), list_(new QListWidget)
{
    setWindowTitle(QStringLiteral("Add-ins"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (filling_) return;
        const std::string progId = item->data(Qt::UserRole).toString().toStdString();
        if (item->checkState() == Qt::Checked) {
            std::string why;
            if (FAILED(addIns_->Load(progId, kConnectAfterStartup, &why)))
                prompts_->ShowError(this, QString::fromStdString(why));
        } else {
            addIns_->Unload(progId, kDisconnectUserClosed);
        }
        Fill();
    });
    Fill();
}

void AddInsDialog::Fill()
{
    filling_ = true;
    list_->clear();
    for (const AddInEntry& entry : addIns_->List()) {
        auto* item = new QListWidgetItem(QString::fromStdString(entry.friendlyName), list_);
        item->setToolTip(QString::fromStdString(entry.progId));
        item->setData(Qt::UserRole, QString::fromStdString(entry.progId));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(entry.loaded ? Qt::Checked : Qt::Unchecked);
    }
    filling_ = false;
}

}  // namespace qmx::map
