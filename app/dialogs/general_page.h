// The General page of the task dialog: binds the controls of layout 109 to
// the page's edits. Controls (object names, with the identifiers the
// layouts were first drawn with): nameEdit 1003, durationEdit 1004,
// percentSpin 1005/1006, priorityCombo 1008, startDateEdit 1010,
// endDateEdit 1011, milestoneCheck 1012, defaultColorCheck 1024,
// colorButton 1022, colorSample 1021.
#pragma once

#include <QObject>

#include "app/dialogs/general_page_edits.h"

class QCheckBox;
class QComboBox;
class QDate;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QWidget;

namespace qmx {

class UserInterface;

QDate DateToQDate(DATE date);
DATE QDateToDate(const QDate& date);

class GeneralPage final : public QObject {
public:
    // Null when the layout lacks one of the controls.
    static GeneralPage* Bind(QWidget* layout, GeneralPageEdits* edits, UserInterface* ui);

    QWidget* Layout() const { return layout_; }
    // The duration field left (also done when the page is left).
    void LeaveDuration();
    // Puts the focus on the control that a failed check is about.
    void FocusOn(GeneralPageEdits::Check check);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    GeneralPage(QWidget* layout, GeneralPageEdits* edits, UserInterface* ui);
    void ShowValues();
    void ShowEnd();
    void ShowDurationText();
    void ShowColor();
    void ChooseColor();

    QWidget* layout_;
    GeneralPageEdits* edits_;
    UserInterface* ui_;
    QLineEdit* name_;
    QLineEdit* duration_;
    QSpinBox* percent_;
    QComboBox* priority_;
    QDateEdit* start_;
    QDateEdit* end_;
    QCheckBox* milestone_;
    QCheckBox* defaultColor_;
    QPushButton* colorButton_;
    QWidget* colorSample_;
    // Set while the page itself writes into its controls.
    bool showing_ = false;
};

}  // namespace qmx
