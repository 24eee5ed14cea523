// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// The field model over the window's text boxes. It keeps no texts of its own
// beyond the call that reads them: a field's text is handed out as a view into
// the box's own string, and the message log, whose box keeps LF line ends, as
// a copy with CR LF between lines; either is let go at the next call. A log
// text that only extends the old one, and every append, goes into the box as
// a tail, so that a long log is neither read, converted nor wrapped anew.
// The adapter also keeps what its writes did to the log, so that the window
// can tell a screen reader what a conversion wrote without comparing texts.

#include "fields.h"

#include <QString>

#include <array>
#include <string>

namespace quorran {

class LogBox;
class TextBox;

class WidgetFields final : public FieldModel {
public:
    WidgetFields(TextBox *dom, TextBox *area, TextBox *port, TextBox *addr, LogBox *errorbox);

    std::u16string_view text(Field field) const override;
    void setText(Field field, std::u16string_view text) override;
    void appendText(Field field, std::u16string_view tail) override;

    // What the writes into the log since the last call did: nothing; a new
    // text, shown from its start (`from` 0), even one that equals the old;
    // or text added from `from` on. `text` is what they wrote, with the
    // box's LF line ends: the whole log, or the text from `from` on.
    struct LogWrite {
        enum class Kind { None, Replaced, Appended };
        Kind kind = Kind::None;
        qsizetype from = 0;
        QString text;
    };
    LogWrite takeLogWrite();

private:
    void release() const;
    void setLogText(std::u16string_view text);
    void appendToLog(const QString &tail);

    std::array<TextBox *, 4> m_lines;
    LogBox *m_log;
    // What the last text() handed out: a share of a box's string, or the
    // log's text with CR LF.
    mutable QString m_lineText;
    mutable std::u16string m_logText;
    // The writes into the log since the last takeLogWrite().
    LogWrite::Kind m_logWrite = LogWrite::Kind::None;
    qsizetype m_logWriteFrom = 0;
};

} // namespace quorran
