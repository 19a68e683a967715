#include "adapters/mindmanager/topic_walk.h"

#include <string>
#include <vector>

#include "automation/bstr.h"
#include "automation/error_info.h"
#include "automation/remoting/remote_results.h"

namespace qmx::mm {

namespace {

class SingleCalls final : public TopicWalk {
public:
    SingleCalls(IMmTopic* central, bool matchColors) : matchColors_(matchColors) { Enter(central, true); }

    HRESULT Next(WalkedTopic* walked) override
    {
        while (!stack_.empty()) {
            Level& level = stack_.back();
            if (level.next >= level.count) {
                stack_.pop_back();
                continue;
            }
            ComPtr<IMmTopic> topic;
            const LONG index = ++level.next;
            if (FAILED(level.topics->Item(index, topic.ReleaseAndGetAddressOf())) || !topic) continue;
            if (IsSpecialTopic(topic.Get())) continue;
            walked->parts = PartsOf(topic.Get());
            const TopicParts& parts = walked->parts;
            map::TopicRecord& record = walked->record;
            record = ReadTopicRecord(topic.Get(), parts, matchColors_);
            record.depth = LONG(stack_.size());
            record.guid = GuidOf(topic.Get());
            record.attributes[kGuidCopyValue] = GetAttribute(parts, kGuidCopy);
            record.attributes[kTaskResourcesValue] = GetAttribute(parts, kTaskResources);
            record.attributes[kPredecessorsValue] = GetAttribute(parts, kPredecessors);
            if (!parts.info || FAILED(parts.info->get_Resources(&record.resources))) record.resources.clear();
            Enter(topic.Get(), false);  // `level` is not used past this point
            return S_OK;
        }
        return S_FALSE;
    }

    void WriteGuidCopy(const WalkedTopic& walked, const BSTR& value) override
    {
        SetAttribute(walked.parts, kGuidCopy, value);
    }

private:
    struct Level {
        ComPtr<IMmTopics> topics;
        LONG count = 0;
        LONG next = 0;
    };
    void Enter(IMmTopic* parent, bool central)
    {
        Level level;
        level.topics = SubTopicsOf(parent, central);
        if (level.topics && FAILED(level.topics->get_Count(&level.count))) level.count = 0;
        if (!level.topics) level.count = 0;
        stack_.push_back(std::move(level));
    }

    bool matchColors_;
    std::vector<Level> stack_;
};

class TreeReader final : public TopicWalk {
public:
    TreeReader(ComPtr<IMmTopicTree> tree, ComPtr<IMmTreeReader> reader, std::function<IMmRange*()> range)
        : tree_(std::move(tree)), reader_(std::move(reader)), range_(std::move(range))
    {
    }
    ~TreeReader() override { WritePending(); }

    HRESULT Next(WalkedTopic* walked) override
    {
        for (;;) {
            if (at_ == chunk_.size()) {
                // What the topics read so far need written goes before the
                // next read.
                WritePending();
                if (done_) return S_FALSE;
                RETURN_IF_FAILED(Fetch());
                continue;
            }
            map::TopicRecord& record = chunk_[at_++];
            // Floating topics and callouts are left out with their sub-trees.
            if (skipBelow_ != 0 && record.depth > skipBelow_) continue;
            skipBelow_ = 0;
            if (record.floating || record.callout) {
                skipBelow_ = record.depth;
                continue;
            }
            walked->record = std::move(record);
            walked->parts = {};
            return S_OK;
        }
    }

    // Gathered and written with the chunk's other writes, in order.
    void WriteGuidCopy(const WalkedTopic& walked, const BSTR& value) override
    {
        pending_.push_back(walked.record.guid);
        pending_.push_back(kGuidCopy);
        pending_.push_back(value);
    }

private:
    void WritePending()
    {
        if (pending_.empty()) return;
        std::vector<BSTR> entries;
        entries.swap(pending_);
        LONG written = 0;
        if (SUCCEEDED(tree_->SetAttributes(kAttributeNamespace, map::EncodeFieldList(entries), &written))) return;
        // A map that does not take them together takes them one by one.
        IMmRange* range = range_();
        for (std::size_t i = 0; range && i + 2 < entries.size(); i += 3) {
            ComPtr<IMmTopic> topic;
            if (SUCCEEDED(range->TopicByGuid(entries[i], topic.ReleaseAndGetAddressOf())) && topic)
                SetAttribute(topic.Get(), kGuidCopy, entries[i + 2]);
        }
    }

    HRESULT Fetch()
    {
        chunk_.clear();
        at_ = 0;
        BSTR text;
        const HRESULT hr = reader_->Next(kTopicsPerChunk, &text);
        RETURN_IF_FAILED(hr);
        std::string why;
        if (hr == S_FALSE && !text.empty()) why = "a chunk after the end of the walk";
        else if (hr == S_OK && text.empty()) why = "an empty chunk";
        else if (!map::DecodeTopicRecords(text, kLoadedAttributeCount, kTopicsPerChunk, &depth_, &chunk_, &why))
            chunk_.clear();
        else why.clear();
        if (!why.empty()) {
            chunk_.clear();
            return ReportError(RPC_E_INVALID_DATA, IMmTreeReader::iid, u"QMXMm5Adapter",
                               u"The map's topics could not be read: the map application sent " +
                                   Utf8ToBstr(why) + u".");
        }
        done_ = hr == S_FALSE;
        return S_OK;
    }

    ComPtr<IMmTopicTree> tree_;
    ComPtr<IMmTreeReader> reader_;
    std::function<IMmRange*()> range_;
    // GUID, name and value of each attribute to write.
    std::vector<BSTR> pending_;
    std::vector<map::TopicRecord> chunk_;
    std::size_t at_ = 0;
    LONG depth_ = 0;
    LONG skipBelow_ = 0;
    bool done_ = false;
};

}  // namespace

std::unique_ptr<TopicWalk> SingleCallWalk(IMmTopic* central, bool matchColors)
{
    return std::make_unique<SingleCalls>(central, matchColors);
}

std::unique_ptr<TopicWalk> TreeReaderWalk(IMmTopic* central, std::function<IMmRange*()> range)
{
    ComPtr<IMmTopicTree> tree;
    if (FAILED(central->QueryInterface(IMmTopicTree::iid, reinterpret_cast<void**>(tree.ReleaseAndGetAddressOf()))) ||
        !tree)
        return nullptr;
    ComPtr<IMmTreeReader> reader;
    if (FAILED(tree->ReadTree(kAttributeNamespace, map::EncodeFieldList(LoadedAttributeNames()),
                              reader.ReleaseAndGetAddressOf())) ||
        !reader)
        return nullptr;
    return std::make_unique<TreeReader>(std::move(tree), std::move(reader), std::move(range));
}

}  // namespace qmx::mm
