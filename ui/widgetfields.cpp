#include "widgetfields.h"

#include "logbox.h"
#include "textbox.h"

#include <cstring>

namespace quorran {

namespace {

QString toQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// Adds the box's text to a field text: each LF becomes CR LF.
void appendWithCrLf(std::u16string &out, QStringView boxText)
{
    if (out.empty())
        out.reserve(static_cast<std::size_t>(boxText.size()));
    for (const QChar c : boxText) {
        if (c == u'\n')
            out += u'\r';
        out += c.unicode();
    }
}

} // namespace

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
        m_logMirror.clear();
        appendWithCrLf(m_logMirror, m_log->text());
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
    // never join a CR of the old text to an LF of its own. The box decides
    // what makes a line break; the mirror takes its text from the box.
    if (extends) {
        const qsizetype before = m_log->text().size();
        m_log->append(toQString(text.substr(current.size())));
        appendWithCrLf(m_logMirror, QStringView(m_log->text()).mid(before));
    } else {
        m_log->setText(toQString(text));
        m_logMirror.clear();
        appendWithCrLf(m_logMirror, m_log->text());
        m_mirrorValid = true;
    }
}

} // namespace quorran
