// Adapters of a test library (libQMXTestAdapters.so) that the application
// object creates by ProgID from a temporary registry store. Every call of
// interest is written to one journal shared by all of them, as
// "<adapter> <call> <arguments>"; what they answer is set in their profiles.
#pragma once

#include <string>
#include <vector>

#include "automation/hresult.h"
#include "automation/types.h"

namespace qmx {
class RegistryStore;
}

namespace qmx::testing {

// How one adapter class behaves.
struct AdapterProfile {
    HRESULT connectResult = S_OK;
    bool modifiedAfterChange = true;  // a notification marks the document modified
    HRESULT fileOpenResult = S_OK;
    std::string failureDescription;  // set as the error object's text of a failure; empty: none
    HRESULT fileSaveResult = S_OK;
    HRESULT fileNewResult = S_OK;
    bool hosted = false;              // answers IHostedAdapter
    std::string servedHost;           // SupportsHostApp answers true for this id
    HRESULT connectHostResult = S_OK;
    bool supportsMatchColors = false;
};

// The ProgIDs, sorted as the registry lists them: A, B, C. A keeps plans
// ("pln") and texts ("txt"); B plans too ("pln") and maps ("map") and can
// be hosted; C has one type ("ccc").
inline constexpr const char* kAdapterA = "QMXTest.AdapterA";
inline constexpr const char* kAdapterB = "QMXTest.AdapterB";
inline constexpr const char* kAdapterC = "QMXTest.AdapterC";

AdapterProfile& Profile(const std::string& progId);
void ResetProfiles();
std::vector<std::string>& Journal();
// The journal's lines that start with `prefix`, e.g. "A Task".
std::vector<std::string> JournalOf(const std::string& prefix);

// Registers the three classes in `store` and lists `listed` (ProgIDs, any
// of them may be unregistered) under the Adapters key.
void RegisterTestAdapters(RegistryStore& store, const std::vector<std::string>& listed);

}  // namespace qmx::testing
