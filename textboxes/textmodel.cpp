// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Every change of the text goes through edit (the user's edits, remembered
// for undo as the characters removed and inserted, within a bound on the
// characters kept), setText or append, and every change of the text, the
// caret or the selection ends in finish, which tells the observers.

#include "textmodel.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace quorran {

namespace {

// The reach of a grapheme step, which never needs more.
constexpr int kGraphemeReach = 32;
// How much text around the caret an input method is shown.
constexpr int kSurroundingReach = 256;

// Punctuation is a word stop of its own, as in QTextLayout's word moves.
bool isWordSeparator(QChar c)
{
    switch (c.unicode()) {
    case u'.':
    case u',':
    case u'?':
    case u'!':
    case u'@':
    case u'#':
    case u'$':
    case u':':
    case u';':
    case u'-':
    case u'<':
    case u'>':
    case u'[':
    case u']':
    case u'(':
    case u')':
    case u'{':
    case u'}':
    case u'=':
    case u'/':
    case u'+':
    case u'%':
    case u'&':
    case u'^':
    case u'*':
    case u'\'':
    case u'"':
    case u'`':
    case u'~':
    case u'|':
    case u'\\':
        return true;
    default:
        return false;
    }
}

} // namespace

TextModel::TextModel(Lines lines, QObject *parent) : QObject(parent), m_lines(lines) {}

TextModel::Batch::~Batch()
{
    if (--m_model.m_batchDepth > 0 || !m_model.m_batchChanged)
        return;
    TextChange settling;
    settling.edited = std::exchange(m_model.m_batchEdited, false);
    m_model.m_batchChanged = false;
    m_model.finish(std::move(settling));
}

void TextModel::finish(TextChange change)
{
    if (m_batchDepth > 0) {
        change.settled = false;
        m_batchChanged = true;
        m_batchEdited = m_batchEdited || change.edited;
    }
    emit changed(change);
}

QString TextModel::selectedText() const { return m_text.mid(selectionStart(), selectionEnd() - selectionStart()); }

void TextModel::setLimits(qsizetype maximumLength, qsizetype undoCharacters)
{
    m_maximumLength = std::clamp<qsizetype>(maximumLength, 0, std::numeric_limits<int>::max());
    m_undoLimit = undoCharacters;
    forgetOldEdits();
}

// Whether the text less `removed` plus `added` characters can be held.
bool TextModel::fits(qsizetype removed, qsizetype added)
{
    if (m_text.size() - removed + added <= m_maximumLength)
        return true;
    emit refused();
    return false;
}

void TextModel::forgetHistory()
{
    m_undo.clear();
    m_redo.clear();
    m_undoCharacters = 0;
    m_mergeable = false;
    m_undoneToSeparation = false;
}

void TextModel::setText(const QString &text, int cursor)
{
    if (text.size() > m_maximumLength) {
        emit refused();
        return;
    }
    TextChange change;
    change.removed = std::exchange(m_text, text);
    change.added = size();
    change.replaced = true;
    m_runs.clear();
    putRuns(0, {{size(), m_insertedCharacters}});
    m_insertedCharacters += text.size();
    m_cursor = m_anchor = std::clamp(cursor, 0, size());
    forgetHistory();
    finish(std::move(change));
}

void TextModel::append(const QString &text, int cursor)
{
    if (!fits(0, text.size()))
        return;
    TextChange change;
    change.start = size();
    change.added = static_cast<int>(text.size());
    putRuns(size(), {{change.added, m_insertedCharacters}});
    m_insertedCharacters += text.size();
    m_text += text;
    m_cursor = m_anchor = std::clamp(cursor, 0, size());
    forgetHistory();
    finish(std::move(change));
}

void TextModel::moveCursor(int position, bool select)
{
    const int cursor = m_cursor;
    m_cursor = std::clamp(position, 0, size());
    if (!select)
        m_anchor = m_cursor;
    // A caret move ends a typed run in a line edit, but not a selection
    // dropped where the caret stays; in a plain text edit only typing
    // elsewhere ends it.
    if (m_cursor != cursor && !isMultiLine())
        m_mergeable = false;
    finish({});
}

void TextModel::select(int anchor, int cursor)
{
    Batch batch(*this);
    moveCursor(anchor, false);
    moveCursor(cursor, true);
}

void TextModel::selectAll()
{
    // Selecting all of nothing is no caret move: typing after it still joins
    // the last edit.
    if (!m_text.isEmpty() && !isMultiLine())
        m_mergeable = false;
    m_anchor = 0;
    m_cursor = size();
    finish({});
}

// Replaces `removed` characters at `position`, for undo and redo, with what
// was there before and its runs.
void TextModel::apply(int position, int removed, const QString &inserted, const Runs &runs)
{
    takeRuns(position, position + removed);
    putRuns(position, runs);
    TextChange change;
    change.start = position;
    change.removed = m_text.mid(position, removed);
    change.added = static_cast<int>(inserted.size());
    change.edited = true;
    m_text.replace(position, removed, inserted);
    m_cursor = m_anchor = std::min(m_cursor, size());
    finish(std::move(change));
}

void TextModel::undo()
{
    if (m_undo.empty())
        return;
    const Batch batch(*this);
    bool more = true;
    while (more && !m_undo.empty()) {
        Edit edit = std::move(m_undo.back());
        m_undo.pop_back();
        m_undoneToSeparation = !isMultiLine() && edit.separated;
        m_undoCharacters -= edit.removed.size() + edit.inserted.size();
        apply(edit.position, static_cast<int>(edit.inserted.size()), edit.removed, edit.removedRuns);
        if (isMultiLine()) {
            m_cursor = m_anchor = edit.position + static_cast<int>(edit.removed.size());
        } else {
            // A line edit selects again what undo brought back.
            m_anchor = edit.anchorBefore;
            m_cursor = edit.cursorBefore;
        }
        more = edit.withPrevious;
        m_redo.push_back(std::move(edit));
    }
    afterHistoryStep();
}

void TextModel::redo()
{
    if (m_redo.empty())
        return;
    const Batch batch(*this);
    do {
        Edit edit = std::move(m_redo.back());
        m_redo.pop_back();
        apply(edit.position, static_cast<int>(edit.removed.size()), edit.inserted, edit.insertedRuns);
        m_cursor = m_anchor = edit.position + static_cast<int>(edit.inserted.size());
        m_undoCharacters += edit.removed.size() + edit.inserted.size();
        m_undo.push_back(std::move(edit));
    } while (!m_redo.empty() && m_redo.back().withPrevious);
    m_undoneToSeparation = false;
    // A line edit leaves the caret and selection as they were before the
    // next edit, where a caret move came between.
    if (!isMultiLine() && !m_redo.empty() && m_redo.back().separated) {
        m_anchor = m_redo.back().anchorBefore;
        m_cursor = m_redo.back().cursorBefore;
    }
    afterHistoryStep();
}

// Typing right after undo or redo may join the edit now last: in a line edit
// unless a caret move or a paste came between, in a plain text edit always.
void TextModel::afterHistoryStep()
{
    if (isMultiLine())
        m_mergeable = true;
    TextChange change;
    change.edited = true;
    finish(std::move(change));
}

// Whether an edit of `kind` at `start` continues the last one as a single
// undo step: it follows on where the last ended, with no caret move between.
bool TextModel::joinsLastEdit(const Edit &last, EditKind kind, int start, const QString &removed, const QString &text,
                              const Runs &removedRuns) const
{
    const bool afterRemoval = !isMultiLine() && last.kind == EditKind::Removal && last.inserted.isEmpty();
    // In a plain text edit a Backspace or a Delete joins the last one where
    // what the later removed had been inserted right after or right before
    // what the earlier removed; a line break it removes is a step of its own,
    // which nothing joins.
    const bool lastRemoved = (last.kind == EditKind::Backspace || last.kind == EditKind::Delete) &&
                             !removed.contains(u'\n') && !last.removed.contains(u'\n');
    const auto follows = [](const Runs &before, const Runs &after) {
        return !before.empty() && !after.empty() && before.back().from + before.back().length == after.front().from;
    };
    switch (kind) {
    case EditKind::Typing:
        return removed.isEmpty() && start == last.position + last.inserted.size() &&
               (!isMultiLine() || last.insertedUpTo == m_insertedCharacters) &&
               (last.kind == EditKind::Typing || afterRemoval ||
                (isMultiLine() && last.kind == EditKind::Paste && !last.inserted.endsWith(u'\n')));
    case EditKind::Backspace:
    case EditKind::Delete:
        // In a multi-line text it goes by where the removals lie, not by the
        // key: a Delete just before what a Backspace removed joins it too.
        if (isMultiLine())
            return text.isEmpty() && lastRemoved &&
                   ((start + removed.size() == last.position && follows(removedRuns, last.removedRuns)) ||
                    (start == last.position && follows(last.removedRuns, removedRuns)));
        if (kind == EditKind::Backspace)
            return text.isEmpty() && start + removed.size() == last.position &&
                   (last.kind == EditKind::Backspace || afterRemoval);
        return text.isEmpty() && start == last.position && (last.kind == EditKind::Delete || afterRemoval);
    default:
        return false;
    }
}

void TextModel::edit(int start, int end, const QString &text, EditKind kind, bool withPrevious)
{
    start = std::clamp(start, 0, size());
    end = std::clamp(end, start, size());
    if (!fits(end - start, text.size()))
        return;
    const QString removed = m_text.mid(start, end - start);
    Runs removedRuns = takeRuns(start, end);
    Runs insertedRuns;
    if (isMultiLine() && !text.isEmpty())
        insertedRuns.push_back({static_cast<int>(text.size()), m_insertedCharacters});
    putRuns(start, insertedRuns);
    Edit *last = m_undo.empty() ? nullptr : &m_undo.back();
    if (m_mergeable && !m_undoneToSeparation && !withPrevious && last != nullptr &&
        joinsLastEdit(*last, kind, start, removed, text, removedRuns)) {
        if (kind == EditKind::Typing) {
            last->inserted += text;
            addRuns(last->insertedRuns, insertedRuns);
        } else if (start < last->position) {
            last->removed.prepend(removed);
            last->position = start;
            addRuns(removedRuns, last->removedRuns);
            last->removedRuns = std::move(removedRuns);
        } else {
            last->removed += removed;
            addRuns(last->removedRuns, removedRuns);
        }
        last->kind = kind;
        last->insertedUpTo = m_insertedCharacters + text.size();
    } else {
        const bool separated =
            last != nullptr && (!m_mergeable || m_undoneToSeparation || kind == EditKind::Paste ||
                                kind == EditKind::Removal || (kind == EditKind::Typing && end > start));
        m_undo.push_back({start, removed, text, m_anchor, m_cursor, kind, withPrevious, separated,
                          m_insertedCharacters + text.size(), std::move(removedRuns), std::move(insertedRuns)});
    }
    m_undoneToSeparation = false;
    m_insertedCharacters += text.size();
    m_undoCharacters += removed.size() + text.size();
    m_redo.clear();
    forgetOldEdits();
    m_text.replace(start, end - start, text);
    m_cursor = m_anchor = start + static_cast<int>(text.size());
    // A line edit ends a step after a paste.
    m_mergeable = kind != EditKind::Other && (kind != EditKind::Paste || isMultiLine());
    TextChange change;
    change.start = start;
    change.removed = removed;
    change.added = static_cast<int>(text.size());
    change.edited = true;
    finish(std::move(change));
}

void TextModel::addRuns(Runs &runs, const Runs &more)
{
    for (const Run &run : more) {
        if (!runs.empty() && runs.back().from + runs.back().length == run.from)
            runs.back().length += run.length;
        else
            runs.push_back(run);
    }
}

// Makes a run start at `position` and returns its index.
std::size_t TextModel::splitRunsAt(int position)
{
    int offset = 0;
    for (std::size_t i = 0; i < m_runs.size(); ++i) {
        if (offset == position)
            return i;
        const Run run = m_runs[i];
        if (position < offset + run.length) {
            const int head = position - offset;
            m_runs[i].length = head;
            m_runs.insert(m_runs.begin() + static_cast<std::ptrdiff_t>(i) + 1, Run{run.length - head, run.from + head});
            return i + 1;
        }
        offset += run.length;
    }
    return m_runs.size();
}

TextModel::Runs TextModel::takeRuns(int start, int end)
{
    if (!isMultiLine() || start >= end)
        return {};
    const auto first = static_cast<std::ptrdiff_t>(splitRunsAt(start));
    const auto last = static_cast<std::ptrdiff_t>(splitRunsAt(end));
    Runs taken(m_runs.begin() + first, m_runs.begin() + last);
    m_runs.erase(m_runs.begin() + first, m_runs.begin() + last);
    return taken;
}

void TextModel::putRuns(int position, const Runs &runs)
{
    if (!isMultiLine() || runs.empty() || runs.front().length == 0)
        return;
    std::size_t at = splitRunsAt(position);
    std::size_t from = 0;
    // Joined to the run before where they go on from it, and so on.
    if (at > 0 && m_runs[at - 1].from + m_runs[at - 1].length == runs.front().from) {
        m_runs[at - 1].length += runs.front().length;
        from = 1;
    }
    m_runs.insert(m_runs.begin() + static_cast<std::ptrdiff_t>(at), runs.begin() + static_cast<std::ptrdiff_t>(from),
                  runs.end());
    at += runs.size() - from;
    if (at > 0 && at < m_runs.size() && m_runs[at - 1].from + m_runs[at - 1].length == m_runs[at].from) {
        m_runs[at - 1].length += m_runs[at].length;
        m_runs.erase(m_runs.begin() + static_cast<std::ptrdiff_t>(at));
    }
}

// The newest edits are kept while they remove and insert no more than the
// bound in all; the newest is kept whatever its size.
void TextModel::forgetOldEdits()
{
    while (m_undo.size() > 1 && m_undoCharacters > m_undoLimit) {
        m_undoCharacters -= m_undo.front().removed.size() + m_undo.front().inserted.size();
        m_undo.pop_front();
        // What was undone with it can no longer be undone alone.
        while (!m_undo.empty() && m_undo.front().withPrevious) {
            m_undoCharacters -= m_undo.front().removed.size() + m_undo.front().inserted.size();
            m_undo.pop_front();
        }
    }
}

void TextModel::type(const QString &text) { edit(selectionStart(), selectionEnd(), prepared(text), EditKind::Typing); }

void TextModel::insert(const QString &text)
{
    if (!text.isEmpty() || hasSelection())
        edit(selectionStart(), selectionEnd(), prepared(text), EditKind::Other);
}

void TextModel::paste(const QString &text)
{
    if (text.isEmpty() && (isMultiLine() || !hasSelection()))
        return;
    edit(selectionStart(), selectionEnd(), prepared(text), EditKind::Paste);
}

void TextModel::backspace()
{
    if (hasSelection()) {
        removeSelection();
    } else if (m_cursor > 0) {
        // Back over one character; a surrogate pair is one character.
        int previous = m_cursor - 1;
        if (previous > 0 && m_text.at(previous).isLowSurrogate() && m_text.at(previous - 1).isHighSurrogate())
            --previous;
        edit(previous, m_cursor, QString(), EditKind::Backspace);
    }
}

void TextModel::deleteForward()
{
    if (hasSelection())
        removeSelection();
    else if (m_cursor < size())
        edit(m_cursor, nextPosition(m_cursor), QString(), EditKind::Delete);
}

void TextModel::removeSelection()
{
    if (hasSelection())
        edit(selectionStart(), selectionEnd(), QString(), EditKind::Removal);
}

void TextModel::deleteRange(int anchor, int cursor)
{
    if (anchor == cursor)
        return;
    m_anchor = std::clamp(anchor, 0, size());
    m_cursor = std::clamp(cursor, 0, size());
    edit(selectionStart(), selectionEnd(), QString(), EditKind::Removal);
}

QString TextModel::prepared(const QString &text) const { return isMultiLine() ? withLineFeeds(text) : text; }

QString TextModel::withLineFeeds(const QString &text)
{
    if (!text.contains(u'\r') && !text.contains(QChar::ParagraphSeparator))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == QChar::ParagraphSeparator) {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            out += u'\n';
        } else {
            out += c;
        }
    }
    return out;
}

// The text a grapheme step looks at. A single-line box shows a line break
// or another control character as a blank, and a combining mark after it
// sits on that blank.
QString TextModel::graphemePiece(int from, int length) const
{
    QString piece = m_text.mid(from, length);
    if (!isMultiLine()) {
        for (QChar &c : piece) {
            if (c.unicode() < 0x20 && c != QLatin1Char('\t'))
                c = QLatin1Char(' ');
        }
    }
    return piece;
}

int TextModel::nextPosition(int position) const
{
    if (position >= size())
        return size();
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, graphemePiece(position, kGraphemeReach));
    const qsizetype step = finder.toNextBoundary();
    return position + (step > 0 ? static_cast<int>(step) : 1);
}

int TextModel::previousPosition(int position) const
{
    if (position <= 0)
        return 0;
    const int start = std::max(0, position - kGraphemeReach);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, graphemePiece(start, position - start));
    finder.toEnd();
    const qsizetype boundary = finder.toPreviousBoundary();
    return boundary >= 0 ? start + static_cast<int>(boundary) : position - 1;
}

int TextModel::wordEnd(int position) const
{
    const int count = size();
    const bool lines = isMultiLine();
    if (position >= count)
        return count;
    if (lines && m_text.at(position) == u'\n')
        return position + 1;
    if (isWordSeparator(m_text.at(position))) {
        while (position < count && isWordSeparator(m_text.at(position)))
            ++position;
    } else {
        while (position < count && !m_text.at(position).isSpace() && !isWordSeparator(m_text.at(position)))
            ++position;
    }
    while (position < count && m_text.at(position).isSpace() && !(lines && m_text.at(position) == u'\n'))
        ++position;
    return position;
}

int TextModel::wordStart(int position) const
{
    const bool lines = isMultiLine();
    position = std::min(position, size());
    if (position <= 0)
        return 0;
    if (lines && m_text.at(position - 1) == u'\n')
        return position - 1;
    while (position > 0 && m_text.at(position - 1).isSpace() && !(lines && m_text.at(position - 1) == u'\n'))
        --position;
    if (position > 0 && isWordSeparator(m_text.at(position - 1))) {
        while (position > 0 && isWordSeparator(m_text.at(position - 1)))
            --position;
    } else {
        while (position > 0 && !m_text.at(position - 1).isSpace() && !isWordSeparator(m_text.at(position - 1)))
            --position;
    }
    return position;
}

std::pair<int, int> TextModel::wordAround(int position) const
{
    const int start = wordStart(std::min(position + 1, size()));
    int end = wordEnd(start);
    while (end > position && end > start && m_text.at(end - 1).isSpace())
        --end;
    return {start, std::max(end, start)};
}

std::pair<int, int> TextModel::lineAround(int position) const
{
    if (!isMultiLine())
        return {0, size()};
    position = std::clamp(position, 0, size());
    const int start = position > 0 ? static_cast<int>(m_text.lastIndexOf(u'\n', position - 1)) + 1 : 0;
    const qsizetype end = m_text.indexOf(u'\n', position);
    return {start, end < 0 ? size() : static_cast<int>(end)};
}

int TextModel::surroundingStart() const
{
    int start = std::max(0, m_cursor - kSurroundingReach);
    if (start > 0 && m_text.at(start).isLowSurrogate())
        --start;
    return start;
}

int TextModel::surroundingEnd() const
{
    // In qsizetype: the caret may stand within the reach of the longest text.
    const qsizetype count = m_text.size();
    qsizetype end = std::min(count, qsizetype{m_cursor} + kSurroundingReach);
    if (end < count && end > 0 && m_text.at(end - 1).isHighSurrogate())
        ++end;
    return static_cast<int>(end);
}

} // namespace quorran
