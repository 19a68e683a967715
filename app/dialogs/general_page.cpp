#include "app/dialogs/general_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>

#include "app/dialogs/dialog_resources.h"
#include "app/user_interface.h"
#include "automation/date_time.h"

namespace qmx {

namespace {

constexpr int kDurationTextLimit = 20;

// The short date format of the locale with the year in four digits, so
// that every year the model takes reads back as itself.
QString DateFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy"))) format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

void SetUpDateEdit(QDateEdit* edit)
{
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(DateFormat());
    edit->setDateRange(QDate(kMinYear, 1, 1), QDate(kMaxYear, 12, 31));
}

}  // namespace

QDate DateToQDate(DATE date)
{
    const CivilDate c = CivilFromDate(date);
    return QDate(c.year, c.month, c.day);
}

DATE QDateToDate(const QDate& date)
{
    return DateFromCivil(date.year(), date.month(), date.day()).value_or(0.0);
}

GeneralPage* GeneralPage::Bind(QWidget* layout, GeneralPageEdits* edits, UserInterface* ui)
{
    if (!layout || !edits || !ui) return nullptr;
    const bool complete = LayoutChild<QLineEdit>(layout, "nameEdit") && LayoutChild<QLineEdit>(layout, "durationEdit") &&
                          LayoutChild<QSpinBox>(layout, "percentSpin") &&
                          LayoutChild<QComboBox>(layout, "priorityCombo") &&
                          LayoutChild<QDateEdit>(layout, "startDateEdit") &&
                          LayoutChild<QDateEdit>(layout, "endDateEdit") &&
                          LayoutChild<QCheckBox>(layout, "milestoneCheck") &&
                          LayoutChild<QCheckBox>(layout, "defaultColorCheck") &&
                          LayoutChild<QPushButton>(layout, "colorButton") &&
                          LayoutChild<QWidget>(layout, "colorSample");
    if (!complete) return nullptr;
    return new GeneralPage(layout, edits, ui);
}

GeneralPage::GeneralPage(QWidget* layout, GeneralPageEdits* edits, UserInterface* ui)
    : QObject(layout),
      layout_(layout),
      edits_(edits),
      ui_(ui),
      name_(LayoutChild<QLineEdit>(layout, "nameEdit")),
      duration_(LayoutChild<QLineEdit>(layout, "durationEdit")),
      percent_(LayoutChild<QSpinBox>(layout, "percentSpin")),
      priority_(LayoutChild<QComboBox>(layout, "priorityCombo")),
      start_(LayoutChild<QDateEdit>(layout, "startDateEdit")),
      end_(LayoutChild<QDateEdit>(layout, "endDateEdit")),
      milestone_(LayoutChild<QCheckBox>(layout, "milestoneCheck")),
      defaultColor_(LayoutChild<QCheckBox>(layout, "defaultColorCheck")),
      colorButton_(LayoutChild<QPushButton>(layout, "colorButton")),
      colorSample_(LayoutChild<QWidget>(layout, "colorSample"))
{
    duration_->setMaxLength(kDurationTextLimit);
    percent_->setRange(0, 100);
    SetUpDateEdit(start_);
    SetUpDateEdit(end_);
    colorSample_->setAutoFillBackground(true);
    const bool datesEditable = edits_->DatesEditable();
    duration_->setEnabled(datesEditable);
    start_->setEnabled(datesEditable);
    end_->setEnabled(datesEditable);
    ShowValues();

    connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) { edits_->SetName(text.toStdU16String()); });
    connect(duration_, &QLineEdit::textEdited, this,
            [this](const QString& text) { edits_->EditDurationText(text.toStdU16String()); });
    duration_->installEventFilter(this);
    connect(percent_, &QSpinBox::valueChanged, this, [this](int value) {
        if (!showing_) edits_->SetPercent(value);
    });
    connect(priority_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!showing_ && index >= prNone && index <= prHigh) edits_->SetPriority(static_cast<QMXPriority>(index));
    });
    connect(start_, &QDateEdit::dateChanged, this, [this](const QDate& date) {
        if (showing_ || !date.isValid()) return;
        edits_->PickStart(QDateToDate(date));
        ShowDurationText();
    });
    connect(end_, &QDateEdit::dateChanged, this, [this](const QDate& date) {
        if (showing_ || !date.isValid()) return;
        edits_->PickEnd(QDateToDate(date));
        ShowDurationText();
    });
    connect(milestone_, &QCheckBox::toggled, this, [this](bool checked) {
        if (!showing_) edits_->SetMilestone(checked);
    });
    connect(defaultColor_, &QCheckBox::toggled, this, [this](bool checked) {
        if (showing_) return;
        edits_->SetDefaultColor(checked);
        ShowColor();
    });
    connect(colorButton_, &QPushButton::clicked, this, [this] { ChooseColor(); });
}

void GeneralPage::ShowValues()
{
    const GeneralValues& v = edits_->Values();
    showing_ = true;
    name_->setText(QString::fromStdU16String(v.name));
    percent_->setValue(static_cast<int>(v.percent));
    priority_->setCurrentIndex(static_cast<int>(v.priority));
    start_->setDate(DateToQDate(v.start));
    end_->setDate(DateToQDate(v.end));
    milestone_->setChecked(v.milestone);
    showing_ = false;
    ShowDurationText();
    ShowColor();
}

void GeneralPage::ShowEnd()
{
    showing_ = true;
    end_->setDate(DateToQDate(edits_->Values().end));
    showing_ = false;
}

void GeneralPage::ShowDurationText()
{
    duration_->setText(QString::fromStdU16String(edits_->DurationText()));
}

void GeneralPage::ShowColor()
{
    showing_ = true;
    defaultColor_->setChecked(edits_->UsesDefaultColor());
    showing_ = false;
    const COLORREF c = edits_->Values().color;
    QPalette palette = colorSample_->palette();
    palette.setColor(QPalette::Window, edits_->UsesDefaultColor()
                                           ? layout_->palette().color(QPalette::Button)
                                           : QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    colorSample_->setPalette(palette);
    colorSample_->update();
}

void GeneralPage::ChooseColor()
{
    const auto chosen = ui_->ChooseColor(edits_->ColorDialogPreset());
    if (chosen && edits_->TakeColor(*chosen)) ShowColor();
}

void GeneralPage::LeaveDuration()
{
    if (edits_->LeaveDurationText()) ShowEnd();
}

void GeneralPage::FocusOn(GeneralPageEdits::Check check)
{
    switch (check) {
    case GeneralPageEdits::Check::PercentOutOfRange: percent_->setFocus(); break;
    case GeneralPageEdits::Check::BadDuration:
        duration_->setFocus();
        duration_->selectAll();
        break;
    case GeneralPageEdits::Check::EndBeforeStart: end_->setFocus(); break;
    case GeneralPageEdits::Check::Ok: break;
    }
}

bool GeneralPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == duration_ && event->type() == QEvent::FocusOut) LeaveDuration();
    return QObject::eventFilter(watched, event);
}

}  // namespace qmx
