// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#include "widgetfields.h"

#include "logbox.h"
#include "textbox.h"

#include <algorithm>

namespace quorran {

namespace {

QString toQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string_view viewOf(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// How much of `text` the box's text covers when its LFs are read as CR LF;
// `text.size()` + 1 when the box's text is not a prefix of `text`.
std::size_t coveredBy(QStringView boxText, std::u16string_view text)
{
    const std::size_t mismatch = text.size() + 1;
    std::size_t at = 0;
    for (const QChar c : boxText) {
        if (c == u'\n') {
            if (at >= text.size() || text[at] != u'\r')
                return mismatch;
            ++at;
        }
        if (at >= text.size() || text[at] != c.unicode())
            return mismatch;
        ++at;
    }
    return at;
}

} // namespace

WidgetFields::WidgetFields(TextBox *dom, TextBox *area, TextBox *port, TextBox *addr, LogBox *errorbox)
    : m_lines{dom, area, port, addr}, m_log(errorbox)
{
}

void WidgetFields::release() const
{
    m_lineText = QString();
    std::u16string().swap(m_logText);
}

std::u16string_view WidgetFields::text(Field field) const
{
    release();
    if (field != Field::ErrorBox) {
        m_lineText = m_lines[static_cast<std::size_t>(field)]->text();
        return viewOf(m_lineText);
    }
    const QString boxText = m_log->text();
    m_logText.reserve(static_cast<std::size_t>(boxText.size() + boxText.count(u'\n')));
    for (const QChar c : boxText) {
        if (c == u'\n')
            m_logText += u'\r';
        m_logText += c.unicode();
    }
    return m_logText;
}

void WidgetFields::setText(Field field, std::u16string_view text)
{
    // The text may be a view of what the last read handed out.
    if (field == Field::ErrorBox) {
        setLogText(text);
    } else {
        const QString copy = toQString(text);
        release();
        m_lines[static_cast<std::size_t>(field)]->setText(copy);
    }
    release();
}

void WidgetFields::appendText(Field field, std::u16string_view tail)
{
    QString copy = toQString(tail);
    release();
    if (field == Field::ErrorBox) {
        appendToLog(copy);
    } else {
        TextBox *box = m_lines[static_cast<std::size_t>(field)];
        box->setText(box->text() + copy);
    }
}

void WidgetFields::setLogText(std::u16string_view text)
{
    // A tail can never join a CR of the old text to an LF of its own: the
    // box's text read back ends in a whole CR LF or in neither.
    // Either way this is a new text, shown from its start.
    const std::size_t covered = coveredBy(m_log->text(), text);
    if (covered <= text.size()) {
        if (covered < text.size())
            appendToLog(toQString(text.substr(covered)));
        else
            m_logWrite = LogWrite::Kind::Replaced;
        m_log->setCursorPosition(0);
    } else {
        m_log->setText(toQString(text));
        m_logWrite = LogWrite::Kind::Replaced;
    }
}

void WidgetFields::appendToLog(const QString &tail)
{
    if (tail.isEmpty())
        return;
    if (m_logWrite == LogWrite::Kind::None) {
        m_logWrite = LogWrite::Kind::Appended;
        m_logWriteFrom = m_log->text().size();
    }
    m_log->append(tail);
}

WidgetFields::LogWrite WidgetFields::takeLogWrite()
{
    LogWrite write{m_logWrite, m_logWrite == LogWrite::Kind::Appended ? m_logWriteFrom : 0, {}};
    if (write.kind != LogWrite::Kind::None)
        write.text = m_log->text().mid(write.from);
    m_logWrite = LogWrite::Kind::None;
    return write;
}

} // namespace quorran
