// Writing the project model as an XML project file: a stream of serializer
// events (libxml2's text writer), UTF-16 with a byte-order mark and the
// XML 1.0 declaration, one element per line indented by its depth.
#pragma once

#include <cstddef>
#include <functional>

#include "adapters/contract/document_data.h"

namespace qmx::xml {

// Takes the next bytes of the file; false when they could not be written.
using WriteFunction = std::function<bool(const char* data, std::size_t size)>;

// The deepest task nesting the reader accepts: libxml2 refuses elements
// nested deeper than 256 below the root, and a task at nesting n has
// project, tasks and n - 1 ancestors above it and notes below it.
inline constexpr int kMaxTaskNesting = 254;

// Writes the document's project. Returns the first failing result of a
// model call, E_FAIL when the serializer or the output fails, or when tasks
// are nested deeper than the reader could read back.
HRESULT WriteProject(IDocumentData* data, const WriteFunction& write);

}  // namespace qmx::xml
