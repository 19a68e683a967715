#include "app/dialogs/map_page_edits.h"

#include <utility>

namespace qmx {

MapPageEdits::MapPageEdits(IdValueMap loaded) : loaded_(std::move(loaded)), edited_(loaded_)
{
    rows_.reserve(loaded_.size());
    for (const auto& entry : loaded_) rows_.push_back(entry.first);
}

LONG MapPageEdits::ValueAt(std::size_t row) const
{
    if (IsEmptyRow(row)) return 0;
    return edited_.at(rows_[row]);
}

MapPageEdits::Choice MapPageEdits::Choose(std::size_t row, LONG id, LONG valueForNew)
{
    if (IsEmptyRow(row)) {
        if (id == kNoItem || Contains(id)) return Choice::Nothing;
        edited_.emplace(id, valueForNew);
        rows_.push_back(id);
        modified_ = true;
        return Choice::Added;
    }
    const LONG old = rows_[row];
    if (id == kNoItem) {
        edited_.erase(old);
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
        modified_ = true;
        return Choice::Removed;
    }
    if (id == old || Contains(id)) return Choice::Nothing;
    const LONG value = edited_.at(old);
    edited_.erase(old);
    edited_.emplace(id, value);
    rows_[row] = id;
    modified_ = true;
    return Choice::Replaced;
}

bool MapPageEdits::SetValue(std::size_t row, LONG value)
{
    if (IsEmptyRow(row)) return false;
    LONG& stored = edited_.at(rows_[row]);
    if (stored == value) return false;
    stored = value;
    modified_ = true;
    return true;
}

std::vector<MapStep> PlanMapWriteBack(const IdValueMap& loaded, const IdValueMap& edited)
{
    std::vector<MapStep> steps;
    for (const auto& [id, value] : loaded) {
        const auto found = edited.find(id);
        if (found == edited.end())
            steps.push_back({MapStep::Kind::Remove, id, value});
        else if (found->second != value)
            steps.push_back({MapStep::Kind::Change, id, found->second});
    }
    for (const auto& [id, value] : edited)
        if (!loaded.count(id)) steps.push_back({MapStep::Kind::Add, id, value});
    return steps;
}

}  // namespace qmx
