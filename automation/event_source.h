// A connection point: the sinks advised to one outgoing interface.
#pragma once

#include <cstddef>
#include <vector>

#include "automation/com_ptr.h"

namespace qmx {

// Sinks are held with a reference and called synchronously in the order they
// were advised. While an event is being fired a sink may unadvise itself or
// others, advise new sinks (they hear the next event, not this one) or fire
// again; no connected sink is skipped and no unadvised sink is called.
template <class Sink>
class EventSource {
public:
    HRESULT Advise(Sink* sink, DWORD* pdwCookie)
    {
        if (!sink || !pdwCookie) return E_POINTER;
        *pdwCookie = ++lastCookie_;
        connections_.push_back({*pdwCookie, ComPtr<Sink>(sink)});
        return S_OK;
    }

    HRESULT Unadvise(DWORD dwCookie)
    {
        for (auto& c : connections_) {
            if (c.cookie == dwCookie && c.sink) {
                // Dropping the sink may run its destructor, which may call
                // back into this source: take it out of the list first.
                ComPtr<Sink> dropped = std::move(c.sink);
                Compact();
                return S_OK;
            }
        }
        return CONNECT_E_NOCONNECTION;
    }

    // During a firing the entries are only cleared, like Unadvise does: the
    // running Fire keeps its indexes, and sinks advised afterwards stay past
    // its end, so they hear the next event, not this one.
    void UnadviseAll()
    {
        std::vector<ComPtr<Sink>> dropped;  // released after the list is consistent
        for (auto& c : connections_) {
            if (c.sink) dropped.push_back(std::move(c.sink));
        }
        Compact();
    }

    std::size_t Count() const
    {
        std::size_t n = 0;
        for (const auto& c : connections_) n += c.sink ? 1 : 0;
        return n;
    }

    // Calls f(Sink*) for every connected sink.
    template <class F>
    void Fire(F&& f)
    {
        ++firing_;
        const std::size_t end = connections_.size();
        for (std::size_t i = 0; i < end && i < connections_.size(); ++i) {
            ComPtr<Sink> sink = connections_[i].sink;  // alive for the call
            if (sink) f(sink.Get());
        }
        --firing_;
        Compact();
    }

private:
    struct Connection {
        DWORD cookie;
        ComPtr<Sink> sink;  // null once unadvised during a firing
    };

    // Removes unadvised entries, but never under a running Fire, whose
    // indexes must stay valid.
    void Compact()
    {
        if (firing_ != 0) return;
        std::erase_if(connections_, [](const Connection& c) { return !c.sink; });
    }

    std::vector<Connection> connections_;
    DWORD lastCookie_ = 0;
    int firing_ = 0;
};

}  // namespace qmx
