#include "maphost/app/host_prompts.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace qmx::map {

namespace {
const QString kFilter = QStringLiteral("Maps (*.mmap);;FreeMind maps (*.mm);;All files (*)");
const QString kCaption = QStringLiteral("QMX Map Host");
}  // namespace

QString DialogPrompts::OpenFileName(QWidget* parent)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Open Map"), QString(), kFilter);
}

QString DialogPrompts::SaveFileName(QWidget* parent, const QString& suggested)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Save Map As"), suggested, kFilter);
}

HostPrompts::SaveAnswer DialogPrompts::AskToSave(QWidget* parent, const QString& mapName)
{
    const auto answer = QMessageBox::question(parent, kCaption, QStringLiteral("Save the changes to %1?").arg(mapName),
                                              QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Save) return SaveAnswer::Save;
    if (answer == QMessageBox::Discard) return SaveAnswer::Discard;
    return SaveAnswer::Cancel;
}

std::optional<QColor> DialogPrompts::Colour(QWidget* parent, const QColor& current)
{
    const QColor chosen = QColorDialog::getColor(current, parent, QStringLiteral("Fill Colour"),
                                                 QColorDialog::ShowAlphaChannel);
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
}

void DialogPrompts::ShowError(QWidget* parent, const QString& message)
{
    QMessageBox::warning(parent, kCaption, message);
}

}  // namespace qmx::map
