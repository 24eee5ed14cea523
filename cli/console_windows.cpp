// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The standard streams on Windows. The program is built as a windowed one,
// which gets no console of its own: started from a console, it attaches to
// that one for every stream that was not redirected. All streams are binary,
// so line ends are written as LF and CR LF input is handled by the reader.

// CMake builds this file for Windows only; elsewhere it is empty, so that
// tools that go through every file of the tree (clang-tidy) pass it by.
#ifdef _WIN32

#include "console.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <initializer_list>
#include <io.h>

namespace quorran::cli {

namespace {

bool missing(DWORD which)
{
    const HANDLE handle = GetStdHandle(which);
    return handle == nullptr || handle == INVALID_HANDLE_VALUE;
}

unsigned int chunk(std::size_t size) { return size > INT_MAX ? INT_MAX : static_cast<unsigned int>(size); }

} // namespace

void prepareConsole()
{
    const bool noInput = missing(STD_INPUT_HANDLE);
    const bool noOutput = missing(STD_OUTPUT_HANDLE);
    const bool noError = missing(STD_ERROR_HANDLE);
    if ((noInput || noOutput || noError) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (noInput)
            std::freopen("CONIN$", "r", stdin);
        if (noOutput)
            std::freopen("CONOUT$", "w", stdout);
        if (noError)
            std::freopen("CONOUT$", "w", stderr);
        SetConsoleOutputCP(CP_UTF8);
        SetConsoleCP(CP_UTF8);
    }
    for (FILE *stream : {stdin, stdout, stderr})
        if (_fileno(stream) >= 0)
            _setmode(_fileno(stream), _O_BINARY);
}

bool inputIsTerminal() { return missing(STD_INPUT_HANDLE) || _isatty(_fileno(stdin)) != 0; }

std::ptrdiff_t readInput(char *buffer, std::size_t size) { return _read(_fileno(stdin), buffer, chunk(size)); }

WriteStatus writeStream(int stream, const char *data, std::size_t size)
{
    const int descriptor = _fileno(stream == 1 ? stdout : stderr);
    while (size > 0) {
        const int count = _write(descriptor, data, chunk(size));
        if (count < 0)
            return errno == EPIPE || errno == EINVAL ? WriteStatus::Closed : WriteStatus::Failed;
        data += count;
        size -= static_cast<std::size_t>(count);
    }
    return WriteStatus::Written;
}

} // namespace quorran::cli

#endif
