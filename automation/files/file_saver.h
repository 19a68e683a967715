// Saving a file so that it stays the file it was. Every program of this
// system writes its documents through this class.
//
// The new content is always complete (in a temporary file beside the
// target) before the target is touched. Then:
// - a new file, or an existing file whose owner, group, permission bits and
//   extended attributes (POSIX ACLs among them) the temporary file can be
//   given, with only one name (link): the temporary file takes the target's
//   name in one step (rename), so the target holds either all of the old or
//   all of the new content;
// - otherwise (another user's file that this user may write but not give
//   away, a group this user is not in, a file with several hard links): the
//   target is written in place, which keeps its inode and with it every
//   attribute and link. First a backup copy of the old content is made
//   beside it; a failing write puts the old content back from it, and the
//   backup goes away once the file holds the one or the other completely.
//   If even that fails, the backup stays and the failure names it.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "automation/hresult.h"

namespace qmx::files {

// Takes the next bytes of the file; false when they could not be written.
using ByteSink = std::function<bool(const char* data, std::size_t size)>;

class CFileSaver {
public:
    // `path` names the file itself (symbolic links resolved): the file
    // system's bytes.
    explicit CFileSaver(std::string path) : path_(std::move(path)) {}

    enum class Outcome { Saved, CannotCreate, Failed, OutOfMemory };
    struct Result {
        Outcome outcome = Outcome::Failed;
        HRESULT produced = S_OK;  // what the producer answered
        bool inPlace = false;     // written in place rather than replaced
        std::string why;          // for the user, on failure
    };

    // CannotCreate: no temporary file could be made beside the target;
    // Failed: the producer or the output failed. In both cases the target
    // keeps its previous content (or stays absent), no temporary file is
    // left, and a backup only where `why` says so.
    Result Save(const std::function<HRESULT(const ByteSink&)>& produce) const;

private:
    std::string path_;
};

}  // namespace qmx::files
