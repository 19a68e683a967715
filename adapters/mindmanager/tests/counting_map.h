// A counting stand-in for the road across processes: wraps a map
// application so that every call made through it, and through every object
// reached from it, is counted by interface and method. Each counted call is
// what a proxy would send as one round trip; a wrapper's last release is
// counted apart (a proxy sends it without waiting for a reply).
//
// Objects keep one identity per wrapped object (the same topic reached
// twice is the same wrapper), a wrapper handed back into the map is
// unwrapped, and events reach the advised sinks with wrapped event objects,
// as proxies would deliver them, except those caused by calls made through
// the wrappers (a subscription across processes leaves out the events of
// its own process's calls).
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "automation/com_ptr.h"
#include "maphost/api/map_interfaces.h"

namespace qmx::mm::testing {

class CallCounter {
public:
    // Round trips since the last Reset, in all and of one "Interface.Method".
    long Total() const;
    long Of(const std::string& method) const;
    // Calls whose name starts with the prefix ("IMmTaskInfo.").
    long Starting(const std::string& prefix) const;
    long Released() const { return released_; }
    void Reset();
    // "name count" per line, most frequent first: for failure messages.
    std::string Report() const;

    void Count(const char* face, const char* method) { ++calls_[std::string(face) + "." + method]; }
    void CountRelease() { ++released_; }

    // From now on every call fails as a call to a process that is gone.
    void Disconnect() { disconnected_ = true; }
    bool Disconnected() const { return disconnected_; }

    // From now on the topics answer no tree reader (IMmTopicTree), as a map
    // that offers only the single calls.
    void HideTreeReader() { treeReaderHidden_ = true; }
    bool TreeReaderHidden() const { return treeReaderHidden_; }
    // Changes what each tree reader's Next answers, as a faulty peer would.
    std::function<void(HRESULT* result, BSTR* chunk)> chunkFilter;
    // The topics refuse IMmTopicTree::SetAttributes (E_NOTIMPL), as a map
    // that reads in bulk but writes one by one.
    bool refuseBulkWrites = false;

private:
    std::map<std::string, long> calls_;
    long released_ = 0;
    bool disconnected_ = false;
    bool treeReaderHidden_ = false;
};

// The wrapped application; the counter is shared by every wrapper made.
ComPtr<IMmApplication> CountingApplication(IMmApplication* inner, std::shared_ptr<CallCounter> counter);

}  // namespace qmx::mm::testing
