#include "widgetfields.h"

#include "logbox.h"
#include "textbox.h"

#include <cstring>

namespace quorran {

namespace {

constexpr char16_t kParagraphSeparator = 0x2029;

QString toQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

std::u16string normalizedLog(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' || c == u'\n' || c == kParagraphSeparator) {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += u"\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

WidgetFields::WidgetFields(TextBox *dom, TextBox *area, TextBox *port, TextBox *addr, LogBox *errorbox)
    : m_lines{dom, area, port, addr}, m_log(errorbox)
{
    m_editWatch = QObject::connect(m_log, &LogBox::textEdited, m_log, [this] { m_mirrorValid = false; });
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
        const QString text = m_log->text();
        m_logMirror.clear();
        m_logMirror.reserve(static_cast<std::size_t>(text.size()));
        for (const QChar c : text) {
            if (c == u'\n')
                m_logMirror += u'\r';
            m_logMirror += c.unicode();
        }
        m_mirrorValid = true;
    }
    return m_logMirror;
}

void WidgetFields::setLogText(std::u16string_view text)
{
    const std::u16string_view current = m_mirrorValid ? std::u16string_view(m_logMirror) : std::u16string_view();
    const bool extends = m_mirrorValid && text.size() >= current.size() &&
                         std::memcmp(text.data(), current.data(), current.size() * sizeof(char16_t)) == 0;
    // The mirror always ends in a complete line break or none, so a tail can
    // never join a CR of the old text to an LF of its own.
    if (extends) {
        const std::u16string_view tail = text.substr(current.size());
        m_log->append(toQString(tail));
        m_logMirror += normalizedLog(tail);
    } else {
        m_log->setText(toQString(text));
        m_logMirror = normalizedLog(text);
        m_mirrorValid = true;
    }
}

} // namespace quorran
