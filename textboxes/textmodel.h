// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// The text a box edits, without the box: the text, the caret and the anchor
// of the selection, undo and redo with the rules by which typing runs are
// merged into one step, caret steps by grapheme and by word, the length
// limit and the text an input method is shown around the caret. Every change
// ends in one place that tells the observers what changed; a box lays out
// and paints from that, assistive tools are told from that.

#include <QObject>
#include <QString>

#include <deque>
#include <limits>
#include <utility>
#include <vector>

namespace quorran {

// One change of a model. The text changed where `removed` is not empty or
// `added` is not 0: from `start`, `removed` went and `added` characters came.
struct TextChange {
    int start = 0;
    QString removed;
    int added = 0;
    // The user's edit (typing, pasting, cutting, undo, redo), not the
    // program's; in a settling notice, somewhere in the batch.
    bool edited = false;
    // The program replaced the whole text.
    bool replaced = false;
    // The caret and selection are where the change leaves them: false for
    // each change within a batch, which ends with a settling notice.
    bool settled = true;

    bool changesText() const { return !removed.isEmpty() || added > 0; }
};

class TextModel : public QObject {
    Q_OBJECT
public:
    // A multi-line text stops word moves at line breaks, takes a line to be
    // what lies between line feeds, keeps its line breaks as LF, puts the
    // caret after undone text and merges undo steps as a plain text edit
    // does; a single-line one as a line edit does.
    enum class Lines { Single, Multi };
    // Typing, Backspace and Delete runs are merged into one undo step. In a
    // single-line text so is a removed selection (also a word or line that
    // was deleted) with the typing, Backspace or Delete right after it, as
    // a line edit merges them; in a multi-line text a paste with the typing
    // right after it, and never a line break that Backspace or Delete removed.
    enum class EditKind { Other, Typing, Backspace, Delete, Removal, Paste };

    explicit TextModel(Lines lines, QObject *parent = nullptr);

    const QString &text() const { return m_text; }
    int size() const { return static_cast<int>(m_text.size()); }
    int cursor() const { return m_cursor; }
    int anchor() const { return m_anchor; }
    int selectionStart() const { return std::min(m_anchor, m_cursor); }
    int selectionEnd() const { return std::max(m_anchor, m_cursor); }
    bool hasSelection() const { return m_anchor != m_cursor; }
    QString selectedText() const;
    bool isMultiLine() const { return m_lines == Lines::Multi; }
    bool isUndoAvailable() const { return !m_undo.empty(); }
    bool isRedoAvailable() const { return !m_redo.empty(); }

    // The longest text held, and how many characters undo keeps in all
    // (removed and inserted) while there is more than one step.
    qsizetype maximumLength() const { return m_maximumLength; }
    void setLimits(qsizetype maximumLength, qsizetype undoCharacters);

    // The program's writes: the undo history is forgotten and the caret
    // goes to `cursor`.
    void setText(const QString &text, int cursor);
    void append(const QString &text, int cursor);

    void moveCursor(int position, bool select);
    void select(int anchor, int cursor);
    void selectAll();
    // Typing after this starts an undo step of its own.
    void endTypingRun() { m_mergeable = false; }

    // The user's edits. Each replaces the characters from `start` to `end`,
    // joining the last undo step where the merge rules say so, and leaves
    // the caret after what it inserted.
    void edit(int start, int end, const QString &text, EditKind kind, bool withPrevious = false);
    void type(const QString &text);
    void insert(const QString &text);
    // An empty clipboard leaves a selection in a multi-line text, as in a
    // plain text edit, and replaces it in a single-line one, as in a line edit.
    void paste(const QString &text);
    void backspace();
    void deleteForward();
    void removeSelection();
    // Deletes from `anchor` to `cursor` as if that were selected first, so
    // that undo selects it again.
    void deleteRange(int anchor, int cursor);
    void undo();
    void redo();

    // Typed or pasted text as it is held: a multi-line text takes a CR LF, a
    // lone CR or a paragraph separator as one LF.
    QString prepared(const QString &text) const;
    static QString withLineFeeds(const QString &text);

    // Caret steps over one grapheme, which a single-line text shows a line
    // break or another control character in as a blank.
    int nextPosition(int position) const;
    int previousPosition(int position) const;
    // Ctrl+Right and Ctrl+Left: over a word or a run of punctuation, then
    // over the blanks after it; in a multi-line text a line break is a stop
    // of its own.
    int wordEnd(int position) const;
    int wordStart(int position) const;
    // The word, run of punctuation or run of blanks a double click at
    // `position` selects, without the blanks after a word.
    std::pair<int, int> wordAround(int position) const;
    // The line, without its line break, that holds `position`; in a
    // single-line text the whole text.
    std::pair<int, int> lineAround(int position) const;

    // The text within a reach of the caret an input method is shown, never
    // splitting a surrogate pair, so that a text of megabytes costs it nothing.
    int surroundingStart() const;
    int surroundingEnd() const;

    // Within a batch the changes go out as they happen, unsettled, and the
    // batch ends with one settling notice: a key that edits and moves the
    // caret several times is announced once, where it ends up.
    class Batch {
    public:
        explicit Batch(TextModel &model) : m_model(model) { ++m_model.m_batchDepth; }
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        TextModel &m_model;
    };

signals:
    void changed(const quorran::TextChange &change);
    // An edit would have made the text longer than the limit; nothing changed.
    void refused();

private:
    // A stretch of the text whose characters were inserted one right after
    // the other, from `from` on in the count of all characters ever inserted.
    // A plain text edit merges a Backspace and a Delete into one undo step
    // only where what they removed was inserted so.
    struct Run {
        int length;
        qsizetype from;
    };
    using Runs = std::vector<Run>;

    struct Edit {
        int position;
        QString removed;
        QString inserted;
        int anchorBefore;
        int cursorBefore;
        EditKind kind;
        // Undone and redone together with the edit before it.
        bool withPrevious = false;
        // A caret move, a paste or a removed selection came between this
        // edit and the one before it.
        bool separated = false;
        // How many characters all edits had inserted when this one was made.
        qsizetype insertedUpTo = 0;
        // In a multi-line text, the runs of what it removed and inserted.
        Runs removedRuns;
        Runs insertedRuns;
    };

    bool fits(qsizetype removed, qsizetype added);
    void forgetHistory();
    void apply(int position, int removed, const QString &inserted, const Runs &runs);
    static void addRuns(Runs &runs, const Runs &more);
    std::size_t splitRunsAt(int position);
    Runs takeRuns(int start, int end);
    void putRuns(int position, const Runs &runs);
    void afterHistoryStep();
    bool joinsLastEdit(const Edit &last, EditKind kind, int start, const QString &removed, const QString &text,
                       const Runs &removedRuns) const;
    void forgetOldEdits();
    QString graphemePiece(int from, int length) const;
    void finish(TextChange change);

    Lines m_lines;
    QString m_text;
    int m_cursor = 0;
    int m_anchor = 0;
    qsizetype m_maximumLength = std::numeric_limits<int>::max();
    qsizetype m_undoLimit = qsizetype{32} * 1024 * 1024;
    std::deque<Edit> m_undo;
    std::vector<Edit> m_redo;
    qsizetype m_undoCharacters = 0;
    // Characters inserted by edits so far. A plain text edit keeps them in a
    // buffer that only grows, and typing joins the last edit only where it
    // goes on in that buffer: not after typing that was undone since.
    qsizetype m_insertedCharacters = 0;
    Runs m_runs;
    // Whether the next typed character, Backspace or Delete joins the last edit.
    bool m_mergeable = false;
    // In a single-line text, undo went back to an edit that followed a caret
    // move: typing then starts a step of its own, as in a line edit.
    bool m_undoneToSeparation = false;
    int m_batchDepth = 0;
    bool m_batchChanged = false;
    bool m_batchEdited = false;
};

} // namespace quorran
