#include "app/dialogs/task_properties_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTabWidget>
#include <QVBoxLayout>

#include "adapters/contract/gantt_adapter.h"
#include "app/dialogs/dialog_resources.h"
#include "app/dialogs/general_page.h"
#include "app/dialogs/map_grid_page.h"
#include "app/user_interface.h"

namespace qmx {

namespace {

int MessageFor(GeneralPageEdits::Check check)
{
    switch (check) {
    case GeneralPageEdits::Check::BadDuration: return kBadDurationMessage;
    case GeneralPageEdits::Check::EndBeforeStart: return kEndBeforeStartMessage;
    case GeneralPageEdits::Check::PercentOutOfRange:
    case GeneralPageEdits::Check::Ok: break;
    }
    return 0;
}

}  // namespace

TaskPropertiesDialog::TaskPropertiesDialog(TaskDialogEdits* edits, ITask* task, IResources* pool, UserInterface* ui,
                                           QWidget* parent)
    : QDialog(parent), edits_(edits), ui_(ui), tabs_(new QTabWidget(this))
{
    setWindowTitle(QString::fromStdU16String(ResourceString(kTaskSheetCaption)));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* box = new QVBoxLayout(this);
    box->addWidget(tabs_);
    box->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    const auto addPage = [this](std::unique_ptr<QWidget> page) {
        QWidget* widget = page.release();
        tabs_->addTab(widget, widget->windowTitle());
        return widget;
    };

    LONG taskId = -1;
    task->get_ID(&taskId);
    ComPtr<ITaskTree> tree;
    task->get_TaskTree(tree.ReleaseAndGetAddressOf());

    if (auto page = LoadLayout(kGeneralPageLayout, nullptr)) {
        if ((general_ = GeneralPage::Bind(page.get(), &edits_->general, ui_))) addPage(std::move(page));
    }
    if (auto page = LoadLayout(kPredecessorsPageLayout, nullptr)) {
        if ((predecessors_ = MapGridPage::BindPredecessors(page.get(), &edits_->predecessors, tree.Get(), taskId)))
            addPage(std::move(page));
    }
    if (auto page = LoadLayout(kResourcesPageLayout, nullptr)) {
        if ((resources_ = MapGridPage::BindResources(page.get(), &edits_->assignments, pool))) addPage(std::move(page));
    }
    if (edits_->notesSupported) {
        if (auto page = LoadLayout(kNotesPageLayout, nullptr)) {
            if ((notes_ = LayoutChild<QPlainTextEdit>(page.get(), "notesEdit"))) {
                notes_->setPlainText(QString::fromStdU16String(edits_->notes.text));
                connect(notes_, &QPlainTextEdit::textChanged, this,
                        [this] { edits_->notes.Set(notes_->toPlainText().toStdU16String()); });
                addPage(std::move(page));
            }
        }
    }
    connect(tabs_, &QTabWidget::currentChanged, this, &TaskPropertiesDialog::OnPageChanged);
    current_ = tabs_->currentIndex();
}

bool TaskPropertiesDialog::CheckGeneral()
{
    if (!general_) return true;
    general_->LeaveDuration();
    const GeneralPageEdits::Check check = edits_->general.Validate();
    if (check == GeneralPageEdits::Check::Ok) return true;
    checking_ = true;
    tabs_->setCurrentWidget(general_->Layout());
    current_ = tabs_->currentIndex();
    checking_ = false;
    if (const int message = MessageFor(check))
        ui_->ShowMessage(ResourceString(message), MessageButtons::Ok, MessageIcon::Exclamation, MessageAnswer::Ok);
    general_->FocusOn(check);
    return false;
}

void TaskPropertiesDialog::OnPageChanged(int index)
{
    if (checking_) return;
    const bool leavingGeneral = general_ && tabs_->widget(current_) == general_->Layout() &&
                                tabs_->widget(index) != general_->Layout();
    current_ = index;
    if (leavingGeneral) CheckGeneral();
}

void TaskPropertiesDialog::accept()
{
    if (predecessors_) predecessors_->CommitEditor();
    if (resources_) resources_->CommitEditor();
    if (!CheckGeneral()) return;
    QDialog::accept();
}

bool RunTaskPropertiesDialog(QWidget* parent, UserInterface& ui, ITask* task, IResources* pool,
                             IGanttAdapter* adapter)
{
    if (!task) return false;
    VARIANT_BOOL notes = VARIANT_FALSE;
    if (adapter && FAILED(adapter->get_SupportsTaskNotes(&notes))) notes = VARIANT_FALSE;
    auto edits = LoadTaskDialogEdits(task, notes == VARIANT_TRUE, UnitNames());
    if (!edits) return false;

    const QPointer<QWidget> focus = QApplication::focusWidget();
    bool confirmed = false;
    {
        TaskPropertiesDialog dialog(&*edits, task, pool, &ui, parent);
        confirmed = dialog.exec() == QDialog::Accepted;
    }
    if (confirmed && edits->IsModified()) {
        ui.SetWaitCursor(true);
        WriteBackTaskEdits(*edits, task, pool, adapter);
        ui.SetWaitCursor(false);
    }
    if (focus) focus->setFocus();
    return confirmed;
}

}  // namespace qmx
