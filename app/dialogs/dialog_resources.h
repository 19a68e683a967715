// The language resources the dialogs use: dialog layouts and string IDs,
// and the small helpers that read them.
#pragma once

#include <memory>

#include <QString>
#include <QWidget>

#include "app/dialogs/duration_text.h"
#include "automation/types.h"

namespace qmx {

// Dialog layouts (<id>.ui).
inline constexpr int kGeneralPageLayout = 109;
inline constexpr int kPredecessorsPageLayout = 112;
inline constexpr int kNotesPageLayout = 113;
inline constexpr int kResourcesPageLayout = 139;
inline constexpr int kResourceNameLayout = 114;
inline constexpr int kDocumentPropertiesLayout = 115;

// Strings.
inline constexpr int kTaskSheetCaption = 144;
inline constexpr int kEndBeforeStartMessage = 151;
inline constexpr int kFirstLinkTypeName = 152;  // 152 to 155: the QMXDependencyType values 0 to 3
inline constexpr int kFirstUnitName = 161;      // 161 to 163: hours, days, weeks
inline constexpr int kBadDurationMessage = 164;

BSTR ResourceString(int id);
DurationUnitNames UnitNames();
BSTR LinkTypeName(LONG type);

// A dialog layout of the language resources; null when it is missing.
std::unique_ptr<QWidget> LoadLayout(int id, QWidget* parent);

// The child of a layout by its object name, null when the layout lacks it.
template <class W>
W* LayoutChild(QWidget* layout, const char* name)
{
    return layout ? layout->findChild<W*>(QString::fromLatin1(name)) : nullptr;
}

}  // namespace qmx
