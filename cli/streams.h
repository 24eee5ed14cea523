// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// Buffered standard streams: input split into lines in large blocks, output
// collected and written in large blocks. Whatever was collected is written
// before the reader waits for more input, so that a conversion typed or piped
// in line by line is answered at once.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorran::cli {

// Thrown when standard output is closed: the program ends quietly.
struct OutputClosed {};
// Thrown when a stream cannot be written or read; the message says why.
struct StreamFailed {
    std::string message;
};

class Output {
public:
    Output();
    std::string &out() { return m_out; }
    std::string &err() { return m_err; }
    // Writes both streams when they have collected enough.
    void flushIfFull();
    void flush();

private:
    std::string m_out;
    std::string m_err;
};

class LineReader {
public:
    // Lines longer than this are not kept, so that memory stays bounded.
    static constexpr std::size_t kMaxLine = std::size_t{8} << 20;

    explicit LineReader(Output &output);
    // The next line without its LF or CR LF; false at the end of the input. A
    // line longer than kMaxLine is read to its end, comes back empty and sets
    // `overlong`.
    bool next(std::string_view &line, bool &overlong);

private:
    bool fill();

    Output &m_output;
    std::vector<char> m_buffer;
    std::size_t m_start = 0;
    std::size_t m_end = 0;
    std::size_t m_scanned = 0;
    bool m_atEnd = false;
    bool m_skipping = false;
};

} // namespace quorran::cli
