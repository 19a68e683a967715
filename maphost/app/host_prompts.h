// Every question the host's window asks the user goes through this seam, so
// that tests answer them.
#pragma once

#include <QColor>
#include <QString>

#include <optional>

class QWidget;

namespace qmx::map {

class HostPrompts {
public:
    virtual ~HostPrompts() = default;
    enum class SaveAnswer { Save, Discard, Cancel };

    // Empty when the user cancelled.
    virtual QString OpenFileName(QWidget* parent) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& suggested) = 0;
    virtual SaveAnswer AskToSave(QWidget* parent, const QString& mapName) = 0;
    virtual std::optional<QColor> Colour(QWidget* parent, const QColor& current) = 0;
    virtual void ShowError(QWidget* parent, const QString& message) = 0;
};

// The dialogs of Qt.
class DialogPrompts final : public HostPrompts {
public:
    QString OpenFileName(QWidget* parent) override;
    QString SaveFileName(QWidget* parent, const QString& suggested) override;
    SaveAnswer AskToSave(QWidget* parent, const QString& mapName) override;
    std::optional<QColor> Colour(QWidget* parent, const QColor& current) override;
    void ShowError(QWidget* parent, const QString& message) override;
};

}  // namespace qmx::map
