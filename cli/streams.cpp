// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#include "streams.h"

#include "console.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quorran::cli {

namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;

void write(int stream, std::string &data)
{
    const WriteStatus status = writeStream(stream, data.data(), data.size());
    data.clear();
    if (status == WriteStatus::Closed)
        throw OutputClosed{};
    if (status == WriteStatus::Failed)
        throw StreamFailed{std::string("write error: ") + std::strerror(errno)};
}

} // namespace

Output::Output()
{
    m_out.reserve(kBlock + 4096);
    m_err.reserve(4096);
}

void Output::flushIfFull()
{
    if (m_out.size() >= kBlock || m_err.size() >= kBlock)
        flush();
}

void Output::flush()
{
    if (!m_out.empty())
        write(1, m_out);
    if (!m_err.empty())
        write(2, m_err);
}

LineReader::LineReader(Output &output) : m_output(output), m_buffer(kBlock) {}

bool LineReader::next(std::string_view &line, bool &overlong)
{
    for (;;) {
        const char *data = m_buffer.data();
        const void *found = std::memchr(data + m_scanned, '\n', m_end - m_scanned);
        if (found != nullptr || (m_atEnd && (m_start < m_end || m_skipping))) {
            const std::size_t stop =
                found != nullptr ? static_cast<std::size_t>(static_cast<const char *>(found) - data) : m_end;
            line = {data + m_start, stop - m_start};
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            overlong = m_skipping;
            if (m_skipping)
                line = {};
            m_skipping = false;
            m_start = m_scanned = found != nullptr ? stop + 1 : m_end;
            return true;
        }
        if (m_atEnd)
            return false;
        if (!fill())
            throw StreamFailed{std::string("read error: ") + std::strerror(errno)};
    }
}

// Makes room behind the unfinished line and reads into it.
bool LineReader::fill()
{
    std::size_t length = m_end - m_start;
    if (m_skipping || length > kMaxLine) {
        // Only the line's end is still of interest.
        m_skipping = true;
        length = 0;
    } else if (length == m_buffer.size()) {
        const std::size_t size = std::min(m_buffer.size() * 2, kMaxLine + 1);
        m_buffer.reserve(size);
        m_buffer.resize(size);
    }
    if (m_start > 0 || m_skipping)
        std::memmove(m_buffer.data(), m_buffer.data() + m_start, length);
    m_start = 0;
    m_end = m_scanned = length;
    m_output.flush();
    const std::ptrdiff_t count = readInput(m_buffer.data() + m_end, m_buffer.size() - m_end);
    if (count < 0)
        return false;
    m_atEnd = count == 0;
    m_end += static_cast<std::size_t>(count);
    return true;
}

} // namespace quorran::cli
