// The view commands: the two views, the three panes, zoom, the tree-wide
// settings of the document, Refresh and the document properties.
#pragma once

#include "automation/hresult.h"
#include "chart/chart_control_interfaces.h"

struct IDocumentProperties;

namespace qmx {

struct DocumentState;

class ViewCommands {
public:
    explicit ViewCommands(DocumentState& state) : state_(state) {}

    HRESULT ShowView(QMXGanttChartView view);
    HRESULT ToggleTreePane();
    HRESULT ToggleTimelinePane();
    HRESULT ToggleChartPane();
    HRESULT ZoomIn();
    HRESULT ZoomOut();
    HRESULT ToggleAutocorrect();
    HRESULT ToggleMatchColors();
    HRESULT Refresh();
    HRESULT DocumentProperties(IDocumentProperties* properties);

    // The panes' visibility, false when it cannot be read.
    bool TreePaneVisible() const;
    bool TimelinePaneVisible() const;
    bool ChartPaneVisible() const;
    bool AutocorrectOn() const;
    bool MatchColorsOn() const;

private:
    // The adapter is told after the model or view changed.
    template <class Change, class Tell>
    HRESULT ThenTell(Change change, Tell tell);

    DocumentState& state_;
};

}  // namespace qmx
