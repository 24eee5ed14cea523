// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The standard streams on Linux and other POSIX systems.

#include "console.h"

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace quorran::cli {

void prepareConsole()
{
    // A reader that goes away, as `head` does, ends the program quietly, as
    // it ends cat or seq, even where the parent left SIGPIPE ignored.
    std::signal(SIGPIPE, SIG_DFL);
}

bool inputIsTerminal() { return isatty(STDIN_FILENO) != 0; }

std::ptrdiff_t readInput(char *buffer, std::size_t size)
{
    for (;;) {
        const ssize_t count = read(STDIN_FILENO, buffer, size);
        if (count >= 0 || errno != EINTR)
            return count;
    }
}

WriteStatus writeStream(int stream, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t count = write(stream, data, size);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return errno == EPIPE ? WriteStatus::Closed : WriteStatus::Failed;
        }
        data += count;
        size -= static_cast<std::size_t>(count);
    }
    return WriteStatus::Written;
}

} // namespace quorran::cli
