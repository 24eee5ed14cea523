#include "widgetfields.h"

#include "textbox.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <cstring>

namespace quorran {

namespace {

constexpr char16_t kParagraphSeparator = 0x2029;
// QTextDocument also turns these frame markers into paragraph breaks.
constexpr char16_t kBeginningOfFrame = 0xFDD0;
constexpr char16_t kEndOfFrame = 0xFDD1;

QString toQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string fromQString(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size())};
}

} // namespace

std::u16string normalizedLog(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n' || c == kParagraphSeparator || c == kBeginningOfFrame || c == kEndOfFrame) {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += u"\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

WidgetFields::WidgetFields(TextBox *dom, TextBox *area, TextBox *port, TextBox *addr, QPlainTextEdit *errorbox)
    : m_lines{dom, area, port, addr}, m_log(errorbox)
{
    m_editWatch = QObject::connect(m_log->document(), &QTextDocument::contentsChanged, m_log, [this] {
        if (!m_writing)
            m_mirrorValid = false;
    });
}

WidgetFields::~WidgetFields() { QObject::disconnect(m_editWatch); }

std::u16string_view WidgetFields::text(Field field) const
{
    if (field == Field::ErrorBox)
        return logText();
    const auto index = static_cast<std::size_t>(field);
    const QString text = m_lines[index]->text();
    m_lineTexts[index].assign(reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size()));
    return m_lineTexts[index];
}

void WidgetFields::setText(Field field, std::u16string_view text)
{
    if (field == Field::ErrorBox)
        setLogText(text);
    else
        m_lines[static_cast<std::size_t>(field)]->setText(toQString(text));
}

std::u16string_view WidgetFields::logText() const
{
    if (!m_mirrorValid) {
        // toRawText keeps no-break spaces that toPlainText would turn into blanks.
        m_logMirror = normalizedLog(fromQString(m_log->document()->toRawText()));
        m_mirrorValid = true;
    }
    return m_logMirror;
}

void WidgetFields::setLogText(std::u16string_view text)
{
    const std::u16string_view current = m_mirrorValid ? std::u16string_view(m_logMirror) : std::u16string_view();
    const bool extends = m_mirrorValid && text.size() >= current.size() &&
                         std::memcmp(text.data(), current.data(), current.size() * sizeof(char16_t)) == 0;
    const std::u16string_view tail = extends ? text.substr(current.size()) : text;

    // The mirror always ends in a complete line break or none, so a tail can
    // never join a CR of the old text to an LF of its own.
    m_writing = true;
    if (extends) {
        if (!tail.empty()) {
            QTextCursor cursor(m_log->document());
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(toQString(tail));
            m_logMirror += normalizedLog(tail);
        }
    } else {
        m_log->setPlainText(toQString(text));
        m_logMirror = normalizedLog(text);
        m_mirrorValid = true;
    }
    m_writing = false;
}

} // namespace quorran
