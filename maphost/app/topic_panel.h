// The values of the selected topic, editable: text, task information, fill
// colour and the flags. Every edit goes through the store.
#pragma once

#include <QWidget>

#include "automation/com_ptr.h"
#include "maphost/store/map_topic.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace qmx::map {

class HostPrompts;

class TopicPanel final : public QWidget {
public:
    TopicPanel(HostPrompts* prompts, QWidget* parent = nullptr);

    // Shows the topic's values (or an empty, disabled panel).
    void SetTopic(MapTopic* topic);
    MapTopic* Topic() const { return topic_.Get(); }
    // Shows the values again (the topic changed).
    void Refresh();

    // The date texts: "yyyy-MM-dd" or "yyyy-MM-dd hh:mm"; empty is no date.
    static QString DateText(DATE date);
    static std::optional<DATE> ParseDateText(const QString& text);

    QLineEdit* textEdit() const { return text_; }
    QSpinBox* priorityBox() const { return priority_; }
    QLineEdit* startEdit() const { return start_; }
    QLineEdit* dueEdit() const { return due_; }
    QDoubleSpinBox* hoursBox() const { return hours_; }
    QComboBox* unitBox() const { return unit_; }
    QSpinBox* percentBox() const { return percent_; }
    QLineEdit* resourcesEdit() const { return resources_; }
    QPushButton* fillButton() const { return fill_; }
    QPushButton* noFillButton() const { return noFill_; }
    QCheckBox* collapsedBox() const { return collapsed_; }
    QCheckBox* floatingBox() const { return floating_; }
    QCheckBox* calloutBox() const { return callout_; }

private:
    void Apply(HRESULT hr);
    void EditDate(QLineEdit* edit, bool start);

    HostPrompts* prompts_;
    ComPtr<MapTopic> topic_;
    int showing_ = 0;
    QLineEdit* text_;
    QSpinBox* priority_;
    QLineEdit* start_;
    QLineEdit* due_;
    QDoubleSpinBox* hours_;
    QComboBox* unit_;
    QSpinBox* percent_;
    QLineEdit* resources_;
    QPushButton* fill_;
    QPushButton* noFill_;
    QCheckBox* collapsed_;
    QCheckBox* floating_;
    QCheckBox* callout_;
};

}  // namespace qmx::map
