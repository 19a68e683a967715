// The edited copy of one of the task dialog's two map pages: predecessor
// task ID to link type, or resource ID to units. The page's grid shows one
// row per entry and an empty last row for adding; the rows hold the IDs in
// the order the user made them, the map is what gets written back.
#pragma once

#include <cstddef>
#include <map>
#include <vector>

#include "automation/types.h"

namespace qmx {

using IdValueMap = std::map<LONG, LONG>;

// Chosen in a row's drop-down list when the user picks no item.
inline constexpr LONG kNoItem = -1;

class MapPageEdits {
public:
    enum class Choice { Nothing, Added, Replaced, Removed };

    explicit MapPageEdits(IdValueMap loaded);

    const IdValueMap& Loaded() const { return loaded_; }
    const IdValueMap& Edited() const { return edited_; }
    // Row index to ID; the row after the last is the empty row.
    const std::vector<LONG>& Rows() const { return rows_; }
    bool IsEmptyRow(std::size_t row) const { return row >= rows_.size(); }
    bool Contains(LONG id) const { return edited_.count(id) != 0; }
    // The value of a filled row.
    LONG ValueAt(std::size_t row) const;
    bool IsModified() const { return modified_; }

    // An item chosen in the first column of a row: in the empty row it adds
    // (id, valueForNew); in a filled row it replaces the row's ID and keeps
    // its value; kNoItem removes the row's entry and the row. An ID that
    // another row holds already changes nothing.
    Choice Choose(std::size_t row, LONG id, LONG valueForNew);
    // The value of a filled row; false when nothing changed.
    bool SetValue(std::size_t row, LONG value);

private:
    IdValueMap loaded_;
    IdValueMap edited_;
    std::vector<LONG> rows_;
    bool modified_ = false;
};

// One step of writing a map page back, in the order the steps are made:
// first for each loaded ID in ascending order its removal or its value
// change, then each new ID in ascending order.
struct MapStep {
    enum class Kind { Remove, Change, Add };
    Kind kind;
    LONG id;
    LONG value;  // the edited value (Change, Add)
    friend bool operator==(const MapStep&, const MapStep&) = default;
};

std::vector<MapStep> PlanMapWriteBack(const IdValueMap& loaded, const IdValueMap& edited);

}  // namespace qmx
