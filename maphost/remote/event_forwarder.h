// The source's side of map events across processes: a sink advised on a
// local connection point for one subscribing process, turning each event
// into a signal to that process (map_event_signals.h). Topic events its
// subscriber's own calls caused are not sent (that process has the results
// already); document events are, as a sink in the host's process hears
// them. When the subscriber leaves the bus its sinks are unadvised.
#pragma once

#include "automation/remoting/interface_face.h"

namespace qmx::map {

// The connection point's wire method AdviseEvents: no arguments, answers
// the result and the cookie of the emitter advised for the caller.
remoting::MethodInfo AdviseEventsMethod();

// Sinks advised for other processes that are still connected (for tests).
std::size_t ForwardedEventSinkCount();

}  // namespace qmx::map
