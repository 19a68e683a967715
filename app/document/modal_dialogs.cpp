#include "app/document/modal_dialogs.h"

#include <vector>

#include <QApplication>
#include <QDialog>
#include <QPointer>

namespace qmx {

namespace {

QDialog* OpenDialogOver(QWidget* window)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        if (dialog && dialog->parentWidget() == window && dialog->isVisible()) return dialog;
    }
    return nullptr;
}

}  // namespace

bool CancelModalDialog(QWidget* window)
{
    if (!window) return false;
    // The chain from the outer dialog inwards; a loop, so any depth is fine
    // and a dialog that is its own ancestor cannot trap it.
    std::vector<QPointer<QDialog>> chain;
    for (QDialog* dialog = OpenDialogOver(window); dialog; dialog = OpenDialogOver(dialog)) {
        bool seen = false;
        for (const QPointer<QDialog>& known : chain) seen = seen || known == dialog;
        if (seen) break;
        chain.emplace_back(dialog);
    }
    if (chain.empty()) return false;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        if (*it) (*it)->reject();
    return true;
}

}  // namespace qmx
