// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// Where the lines of a text start when it wraps at a width, as far as
// anything has looked. Lines break after blanks where they can, at the
// Unicode line break opportunities where a line holds more than ASCII letters
// and digits, and anywhere where they cannot; a line feed always ends one.
// Widths add up the advances of single characters, measured once per
// character and font, so megabytes wrap in milliseconds, and the last
// character's glyph must end within the line as well; tabs do not hang past
// the edge as blanks do. A line with a tab, a combining mark, a surrogate
// pair or a letter that may join breaks where a text layout of its paragraph
// breaks it, which is given the line before too. An edit wraps again from a
// few lines before it, or from the start of a paragraph whose direction it
// turned, until two lines in a row start where old ones did past that
// paragraph, and then takes the old starts after them, shifted.

#include <QFont>
#include <QFontMetricsF>
#include <QString>

#include <functional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quorran {

class WrapIndex {
public:
    // `text` is read again on every question, so the text it returns may
    // move between them; every change to it is told with textChanged().
    WrapIndex(std::function<const QString &()> text, const QFont &font, qreal tabStop);

    void setFont(const QFont &font);
    // False, and nothing wrapped anew, where the width stays.
    bool setWidth(qreal width);
    qreal width() const { return m_width; }
    // Forgets every line: the text changed throughout.
    void reset();
    // From `start` on, `removed` went and `added` characters came.
    void textChanged(int start, QStringView removed, int added);

    // Wraps the whole text.
    int lineCount() const;
    // Wraps on as far as the line; false where the text has fewer lines.
    bool hasLine(int line) const;
    int lineStart(int line) const;
    int lineAt(int position) const;

    // The starts of up to `lines` lines from `from`, a line start, on,
    // `from` first, wrapped without the index; `before` is the start of the
    // line before it, -1 where there is none.
    std::vector<int> wrapFrom(int before, int from, int lines) const;

private:
    // The paragraph a wrap is in, which lays its lines out in its own
    // direction, that of its first letter that has one; found only where a
    // line is laid out.
    struct Paragraph {
        int start = -1; // not looked for yet
        Qt::LayoutDirection found = Qt::LayoutDirectionAuto;
        Qt::LayoutDirection direction(const QString &text, int lineStart);
    };

    struct Glyph {
        float advance = -1; // negative until measured
        float overhang = 0; // how far it is drawn past its advance
    };
    const Glyph &glyphOf(char16_t code) const;
    bool wordFitsNearly(int i, qreal x) const;
    // Where a tab that starts at `x` ends.
    qreal tabStopAfter(qreal x) const;
    // Of a character beyond the first plane.
    qreal advanceOf(char32_t code) const;
    template <typename Sink> void wrapLines(int before, int from, Sink &&sink) const;
    // Where a text layout breaks the line from `lineStart`, after the one
    // from `lineBefore`, which single letters fill up to near the edge at
    // `reached`, or -1 where all of it up to `end`, the end of its paragraph
    // or of the longest line, fits.
    int layoutBreak(const QString &text, Paragraph &paragraph, int lineBefore, int lineStart, int reached,
                    int &end) const;
    // From the start of the paragraph an edit starts in to the end of the one
    // it ends in, where the edit turned the direction of either; -1 and -1
    // where it turned none.
    std::pair<int, int> turnedParagraphs(int start, QStringView removed, int added) const;
    // Wraps on until `line` is known and a line starts after `position`.
    void wrapUntil(int line, int position) const;

    std::function<const QString &()> m_text;
    qreal m_width = 0;
    qreal m_tabStop;
    QFont m_font;
    QFontMetricsF m_metrics;
    // How far short of the edge a line that needs shaping is laid out.
    qreal m_shapingSlack;
    mutable std::vector<Glyph> m_glyphs; // by UTF-16 code, empty until the first is measured
    mutable std::unordered_map<char32_t, qreal> m_wideAdvances;
    // Where each line starts, ascending, as far as the text is wrapped; the
    // first is 0.
    mutable std::vector<int> m_lineStarts{0};
    mutable bool m_wrappedAll = true;
    // Starts of lines further on from an earlier wrap, still true of the text
    // after them: where a new line starts at one of them, the rest hold.
    mutable std::vector<int> m_laterStarts;
    mutable std::size_t m_laterFrom = 0;
};

} // namespace quorran
