#include "maphost/app/map_outline.h"

#include <QHeaderView>

#include <vector>

#include "automation/bstr.h"
#include "maphost/app/qt_text.h"
#include "maphost/api/map_codes.h"

namespace qmx::map {

namespace {

class SyncGuard {
public:
    explicit SyncGuard(int& depth) : depth_(depth) { ++depth_; }
    ~SyncGuard() { --depth_; }

private:
    int& depth_;
};

}  // namespace

MapOutline::MapOutline(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked);
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
        if (syncing_ != 0) return;
        MapTopic* topic = TopicOf(item);
        if (!topic) return;
        topic->put_Text(ToBstr(item->text(0)));
        SyncGuard guard(syncing_);
        ShowValues(item, topic);  // a refused rename shows the text the topic kept
    });
    const auto fold = [this](QTreeWidgetItem* item, bool collapsed) {
        if (syncing_ != 0) return;
        if (MapTopic* topic = TopicOf(item)) topic->put_Collapsed(ToVariantBool(collapsed));
    };
    connect(this, &QTreeWidget::itemExpanded, this, [fold](QTreeWidgetItem* item) { fold(item, false); });
    connect(this, &QTreeWidget::itemCollapsed, this, [fold](QTreeWidgetItem* item) { fold(item, true); });
}

MapTopic* MapOutline::TopicOf(const QTreeWidgetItem* item)
{
    return item ? reinterpret_cast<MapTopic*>(item->data(0, Qt::UserRole).value<quintptr>()) : nullptr;
}

void MapOutline::SetDocument(MapDocument* document)
{
    SyncGuard guard(syncing_);
    clear();
    items_.clear();
    document_ = document;
    if (!document || document->IsClosed()) return;
    revision_ = document->Revision();
    // A walk with an explicit stack: maps may be deeper than the call stack.
    QTreeWidgetItem* top = MakeItem(document->Central());
    addTopLevelItem(top);
    std::vector<std::pair<MapTopic*, QTreeWidgetItem*>> pending{{document->Central(), top}};
    std::vector<std::pair<QTreeWidgetItem*, bool>> folds;
    while (!pending.empty()) {
        auto [topic, item] = pending.back();
        pending.pop_back();
        QList<QTreeWidgetItem*> children;
        children.reserve(static_cast<qsizetype>(topic->Children().size()));
        for (MapTopic* child : topic->Children()) {
            QTreeWidgetItem* childItem = MakeItem(child);
            children.append(childItem);
            pending.emplace_back(child, childItem);
        }
        item->addChildren(children);
        folds.emplace_back(item, !topic->Values().collapsed);
    }
    for (auto [item, expanded] : folds) item->setExpanded(expanded);
    setCurrentItem(top);
}

QTreeWidgetItem* MapOutline::MakeItem(MapTopic* topic)
{
    auto* item = new QTreeWidgetItem;
    item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(topic)));
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    ShowValues(item, topic);
    items_.insert(topic, item);
    return item;
}

void MapOutline::ShowValues(QTreeWidgetItem* item, MapTopic* topic)
{
    const TopicValues& values = topic->Values();
    item->setText(0, ToQString(values.text));
    item->setToolTip(0, ToQString(values.text));
    if (values.fill) {
        const DWORD argb = *values.fill;
        item->setBackground(0, QColor::fromRgba(argb));
    } else {
        item->setBackground(0, QBrush());
    }
    QFont font = item->font(0);
    font.setItalic(values.floating || values.callout);
    font.setBold(topic->IsCentral());
    item->setFont(0, font);
}

void MapOutline::PlaceItem(MapTopic* topic)
{
    QTreeWidgetItem* item = items_.value(topic);
    QTreeWidgetItem* parentItem = items_.value(topic->Parent());
    if (!item || !parentItem) return;
    const auto& siblings = topic->Parent()->Children();
    // Most topics are added at the end.
    const auto index = siblings.back() == topic
                           ? static_cast<int>(siblings.size()) - 1
                           : static_cast<int>(std::find(siblings.begin(), siblings.end(), topic) - siblings.begin());
    if (item->parent() == parentItem && parentItem->indexOfChild(item) == index) return;
    const bool wasCurrent = currentItem() == item;
    if (QTreeWidgetItem* oldParent = item->parent()) oldParent->removeChild(item);
    parentItem->insertChild(index, item);
    if (wasCurrent) setCurrentItem(item);
}

void MapOutline::Forget(QTreeWidgetItem* item)
{
    std::vector<QTreeWidgetItem*> pending{item};
    while (!pending.empty()) {
        QTreeWidgetItem* next = pending.back();
        pending.pop_back();
        items_.remove(TopicOf(next));
        for (int i = 0; i < next->childCount(); ++i) pending.push_back(next->child(i));
    }
}

void MapOutline::OnTopicEvent(LONG kind, LONG phase, MapTopic* topic)
{
    if (phase != kPhaseAfter || !document_) return;
    SyncGuard guard(syncing_);
    if (kind == kEventTopicAdded) {
        if (topic->Document() != document_.Get() || items_.contains(topic) || !items_.contains(topic->Parent())) return;
        MakeItem(topic);
        PlaceItem(topic);
        items_.value(topic)->setExpanded(!topic->Values().collapsed);
        if (!topic->Parent()->Values().collapsed) items_.value(topic->Parent())->setExpanded(true);
    } else if (kind == kEventTopicDeleted) {
        QTreeWidgetItem* item = items_.value(topic);
        if (!item) return;
        Forget(item);
        delete item;
    } else if (kind == kEventTopicChanged) {
        QTreeWidgetItem* item = items_.value(topic);
        if (!item || topic->Document() != document_.Get()) return;
        ShowValues(item, topic);
        // Only a change of the tree's shape can have moved it: a change of
        // values must not cost a search among the siblings.
        if (document_->Revision() != revision_) PlaceItem(topic);
        item->setExpanded(!topic->Values().collapsed);
    }
    revision_ = document_->Revision();
}

MapTopic* MapOutline::SelectedTopic() const
{
    MapTopic* topic = TopicOf(currentItem());
    return topic && topic->IsAlive() ? topic : nullptr;
}

void MapOutline::Select(MapTopic* topic)
{
    if (QTreeWidgetItem* item = items_.value(topic)) setCurrentItem(item);
}

}  // namespace qmx::map
