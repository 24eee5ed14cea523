// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// The standard streams as the command line uses them, one implementation per
// operating system: raw reads and writes of large blocks, so that neither the
// C library's nor the C++ library's stream buffers stand in between.

#include <cstddef>

namespace quorran::cli {

// Makes the standard streams usable: on Windows a windowed program first has
// to attach to the console it was started from.
void prepareConsole();

bool inputIsTerminal();

// Reads what standard input has, up to `size` bytes, waiting only while it has
// nothing. Returns the count, 0 at its end and -1 on an error.
std::ptrdiff_t readInput(char *buffer, std::size_t size);

enum class WriteStatus { Written, Closed, Failed };

// Writes all of `data` to standard output (stream 1) or standard error (2).
// Closed means that nobody reads the stream any more.
WriteStatus writeStream(int stream, const char *data, std::size_t size);

} // namespace quorran::cli
