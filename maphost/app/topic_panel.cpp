#include "maphost/app/topic_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <cmath>

#include "automation/bstr.h"
#include "maphost/app/qt_text.h"
#include "automation/date_time.h"
#include "automation/error_info.h"
#include "maphost/app/host_prompts.h"

namespace qmx::map {

TopicPanel::TopicPanel(HostPrompts* prompts, QWidget* parent) : QWidget(parent), prompts_(prompts)
{
    auto* form = new QFormLayout(this);
    text_ = new QLineEdit;
    priority_ = new QSpinBox;
    priority_->setRange(0, kMaxPriority);
    priority_->setSpecialValueText(QStringLiteral("None"));
    start_ = new QLineEdit;
    start_->setPlaceholderText(QStringLiteral("yyyy-mm-dd"));
    due_ = new QLineEdit;
    due_->setPlaceholderText(QStringLiteral("yyyy-mm-dd"));
    hours_ = new QDoubleSpinBox;
    hours_->setRange(0, 1e9);
    hours_->setDecimals(2);
    unit_ = new QComboBox;
    unit_->addItems({QStringLiteral("Hours"), QStringLiteral("Days"), QStringLiteral("Weeks")});
    percent_ = new QSpinBox;
    percent_->setRange(0, 100);
    percent_->setSuffix(QStringLiteral(" %"));
    resources_ = new QLineEdit;
    resources_->setPlaceholderText(QStringLiteral("names separated by ;"));
    fill_ = new QPushButton(QStringLiteral("Fi&ll Colour..."));
    noFill_ = new QPushButton(QStringLiteral("&No Fill"));
    auto* fillRow = new QHBoxLayout;
    fillRow->addWidget(fill_);
    fillRow->addWidget(noFill_);
    collapsed_ = new QCheckBox(QStringLiteral("C&ollapsed"));
    floating_ = new QCheckBox(QStringLiteral("Floatin&g"));
    callout_ = new QCheckBox(QStringLiteral("&Callout"));
    form->addRow(QStringLiteral("&Text:"), text_);
    form->addRow(QStringLiteral("&Priority:"), priority_);
    form->addRow(QStringLiteral("&Start:"), start_);
    form->addRow(QStringLiteral("&Due:"), due_);
    form->addRow(QStringLiteral("D&uration (hours):"), hours_);
    form->addRow(QStringLiteral("Shown &in:"), unit_);
    form->addRow(QStringLiteral("Percent co&mplete:"), percent_);
    form->addRow(QStringLiteral("&Resources:"), resources_);
    form->addRow(QStringLiteral("Fill:"), fillRow);
    form->addRow(collapsed_);
    form->addRow(floating_);
    form->addRow(callout_);

    const auto task = [this]() -> IMmTaskInfo* {
        IMmTaskInfo* info = nullptr;
        topic_->get_TaskInfo(&info);
        info->Release();  // embedded: lives as long as the topic we hold
        return info;
    };
    const auto editing = [this] { return showing_ == 0 && topic_; };
    connect(text_, &QLineEdit::editingFinished, this, [=, this] {
        if (editing()) Apply(topic_->put_Text(ToBstr(text_->text())));
    });
    connect(priority_, &QSpinBox::valueChanged, this, [=, this](int value) {
        if (editing()) Apply(task()->put_Priority(value));
    });
    connect(start_, &QLineEdit::editingFinished, this, [this] { EditDate(start_, true); });
    connect(due_, &QLineEdit::editingFinished, this, [this] { EditDate(due_, false); });
    connect(hours_, &QDoubleSpinBox::valueChanged, this, [=, this](double value) {
        if (editing()) Apply(task()->put_DurationHours(value));
    });
    connect(unit_, &QComboBox::currentIndexChanged, this, [=, this](int index) {
        if (editing() && index >= 0) Apply(task()->put_DurationUnit(index + 1));
    });
    connect(percent_, &QSpinBox::valueChanged, this, [=, this](int value) {
        if (editing()) Apply(task()->put_PercentComplete(value));
    });
    connect(resources_, &QLineEdit::editingFinished, this, [=, this] {
        if (editing()) Apply(task()->put_Resources(ToBstr(resources_->text())));
    });
    connect(fill_, &QPushButton::clicked, this, [=, this] {
        if (!editing()) return;
        const QColor current = topic_->Values().fill ? QColor::fromRgba(*topic_->Values().fill) : QColor(Qt::white);
        if (const auto chosen = prompts_->Colour(this, current)) Apply(topic_->put_FillColor(chosen->rgba()));
    });
    connect(noFill_, &QPushButton::clicked, this, [=, this] {
        if (editing()) Apply(topic_->ClearFillColor());
    });
    connect(collapsed_, &QCheckBox::toggled, this, [=, this](bool on) {
        if (editing()) Apply(topic_->put_Collapsed(ToVariantBool(on)));
    });
    connect(floating_, &QCheckBox::toggled, this, [=, this](bool on) {
        if (editing()) Apply(topic_->put_IsFloating(ToVariantBool(on)));
    });
    connect(callout_, &QCheckBox::toggled, this, [=, this](bool on) {
        if (editing()) Apply(topic_->put_IsCallout(ToVariantBool(on)));
    });
    SetTopic(nullptr);
}

QString TopicPanel::DateText(DATE date)
{
    if (date == 0) return QString();
    const DateTimeParts parts = PartsFromDate(date);
    const QDateTime when(QDate(parts.date.year, parts.date.month, parts.date.day), QTime(parts.hour, parts.minute));
    return when.toString(parts.hour == 0 && parts.minute == 0 ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("yyyy-MM-dd hh:mm"));
}

std::optional<DATE> TopicPanel::ParseDateText(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return DATE(0);
    QDateTime when = QDateTime::fromString(trimmed, QStringLiteral("yyyy-MM-dd hh:mm"));
    if (!when.isValid()) when = QDateTime(QDate::fromString(trimmed, QStringLiteral("yyyy-MM-dd")), QTime(0, 0));
    if (!when.isValid()) return std::nullopt;
    DateTimeParts parts;
    parts.date = {when.date().year(), when.date().month(), when.date().day()};
    parts.hour = when.time().hour();
    parts.minute = when.time().minute();
    return DateFromParts(parts);
}

void TopicPanel::EditDate(QLineEdit* edit, bool start)
{
    if (showing_ != 0 || !topic_) return;
    const std::optional<DATE> date = ParseDateText(edit->text());
    if (!date) {
        prompts_->ShowError(this, QStringLiteral("\"%1\" is not a date: write it as yyyy-mm-dd.").arg(edit->text()));
        Refresh();
        return;
    }
    IMmTaskInfo* info = nullptr;
    topic_->get_TaskInfo(&info);
    ComPtr<IMmTaskInfo> held = Adopt(info);
    Apply(start ? info->put_StartDate(*date) : info->put_DueDate(*date));
}

void TopicPanel::Apply(HRESULT hr)
{
    if (FAILED(hr)) {
        const auto error = GetErrorInfo();
        prompts_->ShowError(this, error ? ToQString(error->description) : QStringLiteral("The topic could not be changed."));
    }
    Refresh();
}

void TopicPanel::SetTopic(MapTopic* topic)
{
    topic_ = topic;
    Refresh();
}

void TopicPanel::Refresh()
{
    ++showing_;
    const bool alive = topic_ && topic_->IsAlive();
    setEnabled(alive);
    const TopicValues none;
    const TopicValues& values = alive ? topic_->Values() : none;
    text_->setText(ToQString(values.text));
    priority_->setValue(values.task.priority);
    start_->setText(DateText(values.task.start));
    due_->setText(DateText(values.task.due));
    hours_->setValue(values.task.durationHours);
    unit_->setCurrentIndex(values.task.durationUnit - 1);
    percent_->setValue(values.task.percentComplete);
    resources_->setText(ToQString(values.task.resources));
    noFill_->setEnabled(values.fill.has_value());
    collapsed_->setChecked(values.collapsed);
    floating_->setChecked(values.floating);
    callout_->setChecked(values.callout);
    --showing_;
}

}  // namespace qmx::map
