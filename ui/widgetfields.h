#pragma once
// The field model over the window's text boxes. The message log's box keeps
// LF line ends; its text is read and written with CR LF between lines, and a
// new text that only extends the old one is appended as a tail, so that a
// long log is neither converted nor wrapped anew.

#include "fields.h"

#include <QMetaObject>

#include <array>
#include <string>

namespace quorran {

class LogBox;
class TextBox;

class WidgetFields final : public FieldModel {
public:
    WidgetFields(TextBox *dom, TextBox *area, TextBox *port, TextBox *addr, LogBox *errorbox);
    ~WidgetFields() override;
    WidgetFields(const WidgetFields &) = delete;
    WidgetFields &operator=(const WidgetFields &) = delete;

    std::u16string_view text(Field field) const override;
    void setText(Field field, std::u16string_view text) override;

private:
    std::u16string_view logText() const;
    void setLogText(std::u16string_view text);

    std::array<TextBox *, 4> m_lines;
    // The last text read from each line, so that text() can hand out a view.
    mutable std::array<std::u16string, 4> m_lineTexts;
    LogBox *m_log;
    // The log's text as last read or written, valid until the user edits it.
    mutable std::u16string m_logMirror;
    mutable bool m_mirrorValid = false;
    QMetaObject::Connection m_editWatch;
};

} // namespace quorran
