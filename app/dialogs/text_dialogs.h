// The two small text dialogs: the resource name dialog (layout 114: a
// "nameEdit" line) and the document properties dialog (layout 115: a
// "nameEdit" line and a "descriptionEdit" text), each with a "buttonBox".
// Both run modally on copies and answer true on OK.
#pragma once

#include <string>

class QWidget;
struct IDocumentProperties;
struct IGanttAdapter;
struct IResource;

namespace qmx {

class UserInterface;

bool RunResourceNameDialog(QWidget* parent, std::u16string& name);
bool RunDocumentPropertiesDialog(QWidget* parent, std::u16string& name, std::u16string& description);

// The edits behind the commands, through the seam's dialogs: a changed
// resource name is set and forwarded as ResourceUpdate; the document's
// name and description are set unless the dialog was cancelled, then
// FilePropertiesUpdate. The adapter may be null (nothing is forwarded).
// True when the model changed.
bool EditResourceName(UserInterface& ui, IResource* resource, IGanttAdapter* adapter);
bool EditDocumentProperties(UserInterface& ui, IDocumentProperties* properties, IGanttAdapter* adapter);

}  // namespace qmx
