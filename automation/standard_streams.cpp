#include "automation/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace qmx {

namespace {

int firstOutputError = 0;

}  // namespace

void EnsureStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // open() takes the lowest free number, which is this one.
        const int opened = ::open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
        if (opened != fd && opened >= 0) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
}

bool WriteStandardOutput(std::string_view text)
{
    if (text.empty()) return true;
    if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size()) return true;
    if (!firstOutputError) firstOutputError = errno ? errno : EIO;
    return false;
}

bool CloseStandardOutput(const char* program)
{
    int error = firstOutputError;
    if (std::ferror(stdout) && !error) error = EIO;
    errno = 0;
    if (std::fflush(stdout) != 0 && !error) error = errno ? errno : EIO;
    errno = 0;
    if (std::fclose(stdout) != 0 && !error) error = errno ? errno : EIO;
    if (!error) return true;
    std::fprintf(stderr, "%s: cannot write the output: %s\n", program, std::strerror(error));
    return false;
}

}  // namespace qmx
