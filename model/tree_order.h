// A walk over every task of a tree in depth-first tree order (each task
// before its subtasks, siblings in order) on an explicit stack, for the
// model's own code (plans may nest deeper than the machine stack allows).
#pragma once

#include <cstddef>
#include <vector>

#include "model/task.h"
#include "model/tasks.h"

namespace qmx {

template <class Visit>
void VisitInTreeOrder(CTasks& roots, Visit&& visit)
{
    struct Item {
        CTasks* list;
        std::size_t next;
    };
    std::vector<Item> stack{{&roots, 0}};
    while (!stack.empty()) {
        Item& item = stack.back();
        if (item.next == item.list->Size()) {
            stack.pop_back();
            continue;
        }
        CTask* task = item.list->At(item.next++);
        visit(task);
        if (task->HasChildren()) stack.push_back({&task->Subtasks(), 0});
    }
}

}  // namespace qmx
