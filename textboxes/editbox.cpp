// Every change of the text goes through edit (the user's edits, remembered
// for undo as the characters removed and inserted, within a bound on the
// characters kept), resetText or appendText, and each tells the box's layout
// which characters changed. Keys that move by lines move over the whole text
// here; the multi-line box takes those keys before they get here. A selection
// made by keys or mouse also becomes the X11 primary selection.

#include "editbox.h"

#include "editboxaccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <limits>
#include <utility>

namespace quorran {

namespace {

// The reach of a grapheme step, which never needs more.
constexpr int kGraphemeReach = 32;
// Undo keeps the newest edits while they remove and insert no more in all.
constexpr qsizetype kUndoCharacters = qsizetype{32} * 1024 * 1024;
// Positions are ints; an edit that would make the text longer is refused.
constexpr qsizetype kMaxLength = std::numeric_limits<int>::max();

// Whether a text of `size` characters less `removed` plus `added` can be held.
bool fits(qsizetype size, qsizetype removed, qsizetype added)
{
    if (size - removed + added <= kMaxLength)
        return true;
    QApplication::beep();
    return false;
}

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

EditBox::EditBox(QWidget *parent) : QWidget(parent)
{
    static const bool accessibleInstalled = (EditBoxAccessible::install(), true);
    Q_UNUSED(accessibleInstalled);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_KeyCompression);
    setCursor(Qt::IBeamCursor);
    setBackgroundRole(QPalette::Base);
    setAcceptDrops(true);
}

void EditBox::resetText(const QString &text, int cursor)
{
    if (!fits(0, 0, text.size()))
        return;
    const int removed = static_cast<int>(m_text.size());
    const QString old = std::exchange(m_text, text);
    textSet(0, removed, cursor);
    EditBoxAccessible::announceReplacement(this, old);
    EditBoxAccessible::announceCaret(this);
}

void EditBox::appendText(const QString &text, int cursor)
{
    if (!fits(m_text.size(), 0, text.size()))
        return;
    const int start = static_cast<int>(m_text.size());
    m_text += text;
    textSet(start, 0, cursor);
    EditBoxAccessible::announceEdit(this, start, QString(), static_cast<int>(text.size()));
    EditBoxAccessible::announceCaret(this);
}

void EditBox::textSet(int start, int removed, int cursor)
{
    m_cursor = m_anchor = std::clamp(cursor, 0, static_cast<int>(m_text.size()));
    m_undo.clear();
    m_redo.clear();
    m_undoCharacters = 0;
    m_mergeable = false;
    m_undoneToSeparation = false;
    textChanged(start, removed, static_cast<int>(m_text.size()) - start);
    ensureCursorVisible();
    updateMicroFocus();
    update();
}

void EditBox::setCursorPosition(int position) { moveCursor(position, false); }

QString EditBox::selectedText() const
{
    const int start = std::min(m_anchor, m_cursor);
    return m_text.mid(start, std::abs(m_cursor - m_anchor));
}

void EditBox::selectAll()
{
    // Selecting all of nothing is no caret move: typing after it still joins
    // the last edit.
    if (!m_text.isEmpty() && !isMultiLine())
        m_mergeable = false;
    m_anchor = 0;
    m_cursor = static_cast<int>(m_text.size());
    ensureCursorVisible();
    updateMicroFocus();
    update();
    EditBoxAccessible::announceCaret(this);
    copyToSelectionClipboard();
}

// Replaces `removed` characters at `position`, for undo and redo.
void EditBox::apply(int position, int removed, const QString &inserted)
{
    const QString removedText = QAccessible::isActive() ? m_text.mid(position, removed) : QString();
    m_text.replace(position, removed, inserted);
    textChanged(position, removed, static_cast<int>(inserted.size()));
    EditBoxAccessible::announceEdit(this, position, removedText, static_cast<int>(inserted.size()));
}

void EditBox::undo()
{
    if (m_undo.empty())
        return;
    bool more = true;
    while (more && !m_undo.empty()) {
        Edit edit = std::move(m_undo.back());
        m_undo.pop_back();
        m_undoneToSeparation = !isMultiLine() && edit.separated;
        m_undoCharacters -= edit.removed.size() + edit.inserted.size();
        apply(edit.position, static_cast<int>(edit.inserted.size()), edit.removed);
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

// Undo and redo leave the caret where the step put it, in view. Typing right
// after them may join the edit now last: in a line edit unless a caret move
// or a paste came between, in a plain text edit always.
void EditBox::afterHistoryStep()
{
    if (isMultiLine())
        m_mergeable = true;
    ensureCursorVisible();
    restartBlinking();
    updateMicroFocus();
    EditBoxAccessible::announceCaret(this);
    emit textEdited();
}

void EditBox::redo()
{
    if (m_redo.empty())
        return;
    do {
        Edit edit = std::move(m_redo.back());
        m_redo.pop_back();
        apply(edit.position, static_cast<int>(edit.removed.size()), edit.inserted);
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

void EditBox::cut()
{
    if (!hasSelectedText())
        return;
    copy();
    removeSelection();
}

void EditBox::copy() const
{
    if (hasSelectedText())
        QGuiApplication::clipboard()->setText(selectedText());
}

void EditBox::copyToSelectionClipboard() const
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (hasSelectedText() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

// An empty clipboard leaves a selection in a multi-line box, as in a plain
// text edit, and replaces it in a single-line one, as in a line edit.
void EditBox::paste()
{
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty() && (isMultiLine() || !hasSelectedText()))
        return;
    edit(std::min(m_anchor, m_cursor), std::max(m_anchor, m_cursor), prepared(text), EditKind::Paste);
}

void EditBox::insert(const QString &text)
{
    if (text.isEmpty() && !hasSelectedText())
        return;
    replaceSelection(prepared(text));
}

void EditBox::initFrameOption(QStyleOptionFrame *option) const
{
    option->initFrom(this);
    option->rect = contentsRect();
    option->lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, option, this);
    option->midLineWidth = 0;
    option->state |= QStyle::State_Sunken;
    option->features = QStyleOptionFrame::None;
}

QRect EditBox::textRect() const
{
    QStyleOptionFrame option;
    initFrameOption(&option);
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &option, this)
        .adjusted(kHorizontalMargin, kVerticalMargin, -kHorizontalMargin, -kVerticalMargin);
}

QPalette::ColorGroup EditBox::colorGroup() const
{
    if (!isEnabled())
        return QPalette::Disabled;
    return hasFocus() ? QPalette::Active : QPalette::Inactive;
}

void EditBox::layoutPiece(QTextLayout &layout, int from, int length, Qt::LayoutDirection direction, qreal wrapWidth,
                          int rowHeight) const
{
    QString piece = m_text.mid(from, length);
    // Control characters show as blanks, as in a line edit; a line separator
    // would also end the layout's only line early.
    for (QChar &c : piece) {
        if ((c.unicode() < 0x20 && c != QLatin1Char('\t')) || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator || c == QChar::ObjectReplacementCharacter)
            c = QLatin1Char(' ');
    }
    layout.setText(piece);
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(wrapWidth > 0 ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    option.setTabStopDistance(kTabStop);
    option.setTextDirection(direction);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    if (!m_preedit.isEmpty() && m_cursor >= from && m_cursor <= from + length) {
        // The composition is underlined unless the input method formats it.
        const int at = m_cursor - from;
        layout.setPreeditArea(at, m_preedit);
        QList<QTextLayout::FormatRange> formats;
        QTextLayout::FormatRange underline;
        underline.start = at;
        underline.length = static_cast<int>(m_preedit.size());
        underline.format.setFontUnderline(true);
        formats.append(underline);
        for (QTextLayout::FormatRange range : m_preeditFormats) {
            range.start += at;
            formats.append(range);
        }
        layout.setFormats(formats);
    }
    layout.setCacheEnabled(true);
    layout.beginLayout();
    if (wrapWidth > 0) {
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(wrapWidth);
            line.setPosition(QPointF(0, (layout.lineCount() - 1) * rowHeight));
        }
    } else {
        QTextLine line = layout.createLine();
        line.setLineWidth(1e6);
    }
    layout.endLayout();
}

void EditBox::drawPiece(QPainter &painter, const QTextLayout &layout, const QPointF &origin, int from,
                        bool caretHere) const
{
    const int length = static_cast<int>(layout.text().size());
    const QPalette::ColorGroup group = colorGroup();
    QList<QTextLayout::FormatRange> selections;
    const int selectionStart = std::max(std::min(m_anchor, m_cursor) - from, 0);
    const int selectionEnd = std::min(std::max(m_anchor, m_cursor) - from, length);
    if (selectionEnd > selectionStart) {
        QTextLayout::FormatRange range;
        range.start = selectionStart;
        range.length = selectionEnd - selectionStart;
        range.format.setBackground(palette().brush(group, QPalette::Highlight));
        range.format.setForeground(palette().brush(group, QPalette::HighlightedText));
        selections.append(range);
    }
    layout.draw(&painter, origin, selections);
    if (caretHere && hasFocus() && m_caretShown && m_preeditCaretShown)
        layout.drawCursor(&painter, origin, m_cursor - from + (m_preedit.isEmpty() ? 0 : m_preeditCursor), 1);
    if (m_dropPosition >= from && m_dropPosition <= from + length)
        layout.drawCursor(&painter, origin, m_dropPosition - from, 1);
}

void EditBox::moveCursor(int position, bool select)
{
    const int cursor = m_cursor;
    const int anchor = m_anchor;
    m_cursor = std::clamp(position, 0, static_cast<int>(m_text.size()));
    if (!select)
        m_anchor = m_cursor;
    // A caret move ends a typed run in a line edit; in a plain text edit
    // only typing elsewhere does.
    if ((m_cursor != cursor || m_anchor != anchor) && !isMultiLine())
        m_mergeable = false;
    ensureCursorVisible();
    restartBlinking();
    EditBoxAccessible::announceCaret(this);
    updateMicroFocus();
}

// The text a grapheme step looks at. A single-line box shows a line break
// or another control character as a blank, and a combining mark after it
// sits on that blank.
QString EditBox::graphemePiece(int from, int length) const
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

int EditBox::nextPosition(int position) const
{
    const int size = static_cast<int>(m_text.size());
    if (position >= size)
        return size;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, graphemePiece(position, kGraphemeReach));
    const qsizetype step = finder.toNextBoundary();
    return position + (step > 0 ? static_cast<int>(step) : 1);
}

int EditBox::previousPosition(int position) const
{
    if (position <= 0)
        return 0;
    const int start = std::max(0, position - kGraphemeReach);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, graphemePiece(start, position - start));
    finder.toEnd();
    const qsizetype boundary = finder.toPreviousBoundary();
    return boundary >= 0 ? start + static_cast<int>(boundary) : position - 1;
}

// Right and Left step forward and back through the text, the other way
// round in a right-to-left line, as a line edit steps by default.
int EditBox::rightPosition(int position) const
{
    return textDirection() == Qt::RightToLeft ? previousPosition(position) : nextPosition(position);
}

int EditBox::leftPosition(int position) const
{
    return textDirection() == Qt::RightToLeft ? nextPosition(position) : previousPosition(position);
}

// Ctrl+Right: over a word or a run of punctuation, then over the blanks
// after it. In a multi-line box a line break is a stop of its own.
int EditBox::wordEnd(int position) const
{
    const int size = static_cast<int>(m_text.size());
    const bool lines = isMultiLine();
    if (position >= size)
        return size;
    if (lines && m_text.at(position) == u'\n')
        return position + 1;
    if (isWordSeparator(m_text.at(position))) {
        while (position < size && isWordSeparator(m_text.at(position)))
            ++position;
    } else {
        while (position < size && !m_text.at(position).isSpace() && !isWordSeparator(m_text.at(position)))
            ++position;
    }
    while (position < size && m_text.at(position).isSpace() && !(lines && m_text.at(position) == u'\n'))
        ++position;
    return position;
}

int EditBox::wordStart(int position) const
{
    const bool lines = isMultiLine();
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

// The word, run of punctuation or run of blanks a double click at
// `position` selects, without the blanks after a word.
std::pair<int, int> EditBox::wordAround(int position) const
{
    const int start = wordStart(std::min(position + 1, static_cast<int>(m_text.size())));
    int end = wordEnd(start);
    while (end > position && end > start && m_text.at(end - 1).isSpace())
        --end;
    return {start, std::max(end, start)};
}

// The line, without its line break, that holds `position`; in a single-line
// box the whole text.
std::pair<int, int> EditBox::lineAround(int position) const
{
    const int size = static_cast<int>(m_text.size());
    if (!isMultiLine())
        return {0, size};
    const int start = position > 0 ? static_cast<int>(m_text.lastIndexOf(u'\n', position - 1)) + 1 : 0;
    const qsizetype end = m_text.indexOf(u'\n', position);
    return {start, end < 0 ? size : static_cast<int>(end)};
}

// A drag after a double click selects whole words from the one clicked.
void EditBox::extendByWords(int position)
{
    const auto [start, end] = m_clickedWord;
    if (position < start) {
        m_anchor = end;
        moveCursor(std::min(start, wordAround(position).first), true);
    } else if (position > end) {
        m_anchor = start;
        moveCursor(std::max(end, wordAround(position - 1).second), true);
    } else {
        m_anchor = start;
        moveCursor(end, true);
    }
}

// Whether an edit of `kind` at `start` continues the last one as a single
// undo step: it follows on where the last ended, with no caret move between.
bool EditBox::joinsLastEdit(const Edit &last, EditKind kind, int start, const QString &removed,
                            const QString &text) const
{
    const bool afterRemoval = !isMultiLine() && last.kind == EditKind::Removal && last.inserted.isEmpty();
    switch (kind) {
    case EditKind::Typing:
        return removed.isEmpty() && start == last.position + last.inserted.size() &&
               (!isMultiLine() || last.insertedUpTo == m_insertedCharacters) &&
               (last.kind == EditKind::Typing || afterRemoval ||
                (isMultiLine() && last.kind == EditKind::Paste && !last.inserted.endsWith(u'\n')));
    case EditKind::Backspace:
        return text.isEmpty() && start + removed.size() == last.position &&
               (last.kind == EditKind::Backspace || afterRemoval);
    case EditKind::Delete:
        return text.isEmpty() && start == last.position && (last.kind == EditKind::Delete || afterRemoval);
    default:
        return false;
    }
}

// Replaces the characters from `start` to `end` with `text` as the user's
// edit, joining it to the last one where joinsLastEdit says so.
void EditBox::edit(int start, int end, const QString &text, EditKind kind, bool withPrevious)
{
    if (!fits(m_text.size(), end - start, text.size()))
        return;
    const QString removed = m_text.mid(start, end - start);
    Edit *last = m_undo.empty() ? nullptr : &m_undo.back();
    if (m_mergeable && !m_undoneToSeparation && !withPrevious && last != nullptr &&
        joinsLastEdit(*last, kind, start, removed, text)) {
        if (kind == EditKind::Typing) {
            last->inserted += text;
        } else if (kind == EditKind::Backspace) {
            last->removed.prepend(removed);
            last->position = start;
        } else {
            last->removed += removed;
        }
        last->kind = kind;
        last->insertedUpTo = m_insertedCharacters + text.size();
    } else {
        const bool separated =
            last != nullptr && (!m_mergeable || m_undoneToSeparation || kind == EditKind::Paste ||
                                kind == EditKind::Removal || (kind == EditKind::Typing && end > start));
        m_undo.push_back({start, removed, text, m_anchor, m_cursor, kind, withPrevious, separated});
        m_undo.back().insertedUpTo = m_insertedCharacters + text.size();
    }
    m_undoneToSeparation = false;
    m_insertedCharacters += text.size();
    m_undoCharacters += removed.size() + text.size();
    m_redo.clear();
    forgetOldEdits();
    m_text.replace(start, end - start, text);
    m_cursor = m_anchor = start + static_cast<int>(text.size());
    textChanged(start, end - start, static_cast<int>(text.size()));
    // A line edit ends a step after a paste.
    m_mergeable = kind != EditKind::Other && (kind != EditKind::Paste || isMultiLine());
    ensureCursorVisible();
    restartBlinking();
    updateMicroFocus();
    EditBoxAccessible::announceEdit(this, start, removed, static_cast<int>(text.size()));
    EditBoxAccessible::announceCaret(this);
    emit textEdited();
}

void EditBox::forgetOldEdits()
{
    while (m_undo.size() > 1 && m_undoCharacters > kUndoCharacters) {
        m_undoCharacters -= m_undo.front().removed.size() + m_undo.front().inserted.size();
        m_undo.pop_front();
        // What was undone with it can no longer be undone alone.
        while (!m_undo.empty() && m_undo.front().withPrevious) {
            m_undoCharacters -= m_undo.front().removed.size() + m_undo.front().inserted.size();
            m_undo.pop_front();
        }
    }
}

void EditBox::replaceSelection(const QString &text)
{
    edit(std::min(m_anchor, m_cursor), std::max(m_anchor, m_cursor), text, EditKind::Other);
}

void EditBox::removeSelection()
{
    if (hasSelectedText())
        edit(std::min(m_anchor, m_cursor), std::max(m_anchor, m_cursor), QString(), EditKind::Removal);
}

QRect EditBox::characterRectangle(int position)
{
    const QRect text = textRect();
    const int size = static_cast<int>(m_text.size());
    if (position < 0 || position >= size || position < positionAt(text.topLeft()) ||
        position > positionAt(text.bottomRight()))
        return {};
    // The caret's place before and after the character, found with the
    // caret standing there for a moment.
    const int cursor = std::exchange(m_cursor, position);
    const QRect before = cursorRectangle();
    m_cursor = nextPosition(position);
    const QRect after = cursorRectangle();
    m_cursor = cursor;
    const int width = after.top() == before.top() && after.left() > before.left()
                          ? after.left() - before.left()
                          : QFontMetrics(font()).averageCharWidth();
    return {before.left(), before.top(), width, before.height()};
}

// Deletes from `anchor` to `cursor` as if that were selected first, so that
// undo selects it again. Ctrl+K and Ctrl+U in a line edit put what they
// delete on the clipboard.
void EditBox::deleteRange(int anchor, int cursor, bool toClipboard)
{
    if (anchor == cursor)
        return;
    const int start = std::min(anchor, cursor);
    const int end = std::max(anchor, cursor);
    if (toClipboard)
        QGuiApplication::clipboard()->setText(m_text.mid(start, end - start));
    m_anchor = anchor;
    m_cursor = cursor;
    edit(start, end, QString(), EditKind::Removal);
}

void EditBox::restartBlinking()
{
    m_caretShown = true;
    const int flashTime = QApplication::cursorFlashTime();
    if (hasFocus() && flashTime > 0)
        m_blink.start(flashTime / 2, this);
    else
        m_blink.stop();
    update();
}

void EditBox::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    QStyleOptionFrame option;
    initFrameOption(&option);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
    painter.setClipRect(textRect());
    painter.setPen(palette().color(colorGroup(), QPalette::Text));
    drawText(painter);
}

// Alt with a letter or digit is a shortcut, not typing, unless AltGr made
// the text; Ctrl with a letter likewise.
bool EditBox::typesText(const QKeyEvent *event) const
{
    const QString typed = event->text();
    if (typed.isEmpty())
        return false;
    const QChar first = typed.at(0);
    // Joiners and direction marks, which some layouts type with Ctrl+Shift.
    if (first.category() == QChar::Other_Format)
        return true;
    if (first.category() == QChar::Other_Control)
        return false;
    Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers & Qt::GroupSwitchModifier)
        return true;
#if defined(Q_OS_WIN)
    if ((modifiers & (Qt::ControlModifier | Qt::AltModifier)) == (Qt::ControlModifier | Qt::AltModifier))
        return true;
#elif defined(Q_OS_MACOS)
    // Option types characters there.
    modifiers &= ~Qt::AltModifier;
#endif
    return !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

void EditBox::keyPressEvent(QKeyEvent *event)
{
    // Backspace and Delete select what they remove; that selection is not news.
    const EditBoxAccessible::KeyHold hold(this);
    const int size = static_cast<int>(m_text.size());
    const int selectionStart = std::min(m_anchor, m_cursor);
    const int selectionEnd = std::max(m_anchor, m_cursor);
    if (event == QKeySequence::Undo) {
        undo();
    } else if (event == QKeySequence::Redo) {
        redo();
    } else if (event == QKeySequence::SelectAll) {
        selectAll();
    } else if (event == QKeySequence::Copy) {
        copy();
    } else if (event == QKeySequence::Cut) {
        cut();
    } else if (event == QKeySequence::Paste) {
        paste();
    } else if (event == QKeySequence::MoveToNextChar) {
        // A selection collapses to its end, in a multi-line box to the side
        // the arrow points at, as the stock boxes do.
        const bool back = isMultiLine() && textDirection() == Qt::RightToLeft;
        moveCursor(hasSelectedText() ? (back ? selectionStart : selectionEnd) : rightPosition(m_cursor), false);
    } else if (event == QKeySequence::MoveToPreviousChar) {
        const bool back = isMultiLine() && textDirection() == Qt::RightToLeft;
        moveCursor(hasSelectedText() ? (back ? selectionEnd : selectionStart) : leftPosition(m_cursor), false);
    } else if (event == QKeySequence::SelectNextChar) {
        moveCursor(rightPosition(m_cursor), true);
    } else if (event == QKeySequence::SelectPreviousChar) {
        moveCursor(leftPosition(m_cursor), true);
    } else if (event == QKeySequence::MoveToNextWord || event == QKeySequence::SelectNextWord) {
        const bool back = textDirection() == Qt::RightToLeft;
        moveCursor(back ? wordStart(m_cursor) : wordEnd(m_cursor), event == QKeySequence::SelectNextWord);
    } else if (event == QKeySequence::MoveToPreviousWord || event == QKeySequence::SelectPreviousWord) {
        const bool forward = textDirection() == Qt::RightToLeft;
        moveCursor(forward ? wordEnd(m_cursor) : wordStart(m_cursor), event == QKeySequence::SelectPreviousWord);
    } else if (event == QKeySequence::MoveToStartOfLine || event == QKeySequence::MoveToStartOfBlock ||
               event == QKeySequence::MoveToStartOfDocument) {
        moveCursor(0, false);
    } else if (event == QKeySequence::MoveToEndOfLine || event == QKeySequence::MoveToEndOfBlock ||
               event == QKeySequence::MoveToEndOfDocument) {
        moveCursor(size, false);
    } else if (event == QKeySequence::SelectStartOfLine || event == QKeySequence::SelectStartOfBlock ||
               event == QKeySequence::SelectStartOfDocument) {
        moveCursor(0, true);
    } else if (event == QKeySequence::SelectEndOfLine || event == QKeySequence::SelectEndOfBlock ||
               event == QKeySequence::SelectEndOfDocument) {
        moveCursor(size, true);
    } else if (event == QKeySequence::DeleteEndOfWord) {
        if (hasSelectedText())
            removeSelection();
        else
            deleteRange(m_cursor, wordEnd(m_cursor), false);
    } else if (event == QKeySequence::DeleteStartOfWord) {
        if (hasSelectedText())
            removeSelection();
        else
            deleteRange(m_cursor, wordStart(m_cursor), false);
    } else if (event == QKeySequence::DeleteEndOfLine) {
        if (isMultiLine()) {
            // From the anchor to the end of the caret's line, as in a plain
            // text edit.
            const qsizetype lineBreak = m_text.indexOf(u'\n', m_cursor);
            const int lineEnd = lineBreak < 0 ? size : static_cast<int>(lineBreak);
            if (m_anchor == lineEnd)
                moveCursor(lineEnd, false);
            else
                deleteRange(m_anchor, lineEnd, false);
        } else if (m_cursor == size) {
            // A line edit drops the selection then, and deletes nothing.
            moveCursor(m_cursor, false);
        } else {
            deleteRange(m_cursor, size, true);
        }
    } else if (event == QKeySequence::DeleteCompleteLine) {
        if (isMultiLine()) {
            const auto [start, end] = lineAround(m_cursor);
            deleteRange(start, end, false);
        } else {
            deleteRange(0, size, true);
        }
    } else if (event == QKeySequence::Delete) {
        if (hasSelectedText())
            removeSelection();
        else if (m_cursor < size)
            edit(m_cursor, nextPosition(m_cursor), QString(), EditKind::Delete);
    } else if (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier)) {
        if (hasSelectedText()) {
            removeSelection();
        } else if (m_cursor > 0) {
            // Back over one character; a surrogate pair is one character.
            int previous = m_cursor - 1;
            if (previous > 0 && m_text.at(previous).isLowSurrogate() && m_text.at(previous - 1).isHighSurrogate())
                --previous;
            edit(previous, m_cursor, QString(), EditKind::Backspace);
        }
    } else if (typesText(event)) {
        edit(selectionStart, selectionEnd, prepared(event->text()), EditKind::Typing);
    } else {
        // Enter, Esc, shortcuts and the like belong to someone else.
        event->ignore();
        return;
    }
    event->accept();
}

bool EditBox::event(QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::event(event);
    // Whoever handles the key, a selection it makes is the primary selection.
    const std::pair<int, int> before{m_anchor, m_cursor};
    const bool handled = QWidget::event(event);
    if (before != std::pair{m_anchor, m_cursor})
        copyToSelectionClipboard();
    return handled;
}

void EditBox::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (!m_preedit.isEmpty())
        QGuiApplication::inputMethod()->commit();
    if (event->button() == Qt::LeftButton) {
        const int position = positionAt(point);
        const bool tripleClick = m_sinceDoubleClick.isValid() &&
                                 !m_sinceDoubleClick.hasExpired(QApplication::doubleClickInterval()) &&
                                 (point - m_doubleClickPoint).manhattanLength() < QApplication::startDragDistance();
        m_sinceDoubleClick.invalidate();
        m_clickedWord = {-1, -1};
        m_dragPending = false;
        const bool extend = event->modifiers() & Qt::ShiftModifier;
        if (tripleClick) {
            // As in QPlainTextEdit, a line is selected with its line break.
            const auto [start, end] = lineAround(position);
            m_anchor = start;
            moveCursor(end < m_text.size() ? end + 1 : end, true);
        } else if (!extend && hasSelectedText() && position >= std::min(m_anchor, m_cursor) &&
                   position <= std::max(m_anchor, m_cursor)) {
            m_dragPending = true;
            m_pressPoint = point;
        } else {
            m_selecting = true;
            moveCursor(position, extend);
        }
    } else if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        moveCursor(positionAt(point), false);
        insert(QGuiApplication::clipboard()->text(QClipboard::Selection));
    }
    event->accept();
}

void EditBox::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint point = event->position().toPoint();
    if (m_dragPending) {
        if ((point - m_pressPoint).manhattanLength() > QApplication::startDragDistance()) {
            m_dragPending = false;
            startDrag();
        }
    } else if (m_selecting) {
        const int position = positionAt(point);
        if (m_clickedWord.first >= 0)
            extendByWords(position);
        else
            moveCursor(position, true);
    }
}

void EditBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    if (m_dragPending) {
        // A click in the selection that did not drag it places the caret.
        m_dragPending = false;
        moveCursor(positionAt(point), false);
    }
    m_selecting = false;
    copyToSelectionClipboard();
    if (rect().contains(point))
        emit clicked();
}

void EditBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    m_dragPending = false;
    m_clickedWord = wordAround(positionAt(point));
    m_anchor = m_clickedWord.first;
    moveCursor(m_clickedWord.second, true);
    m_selecting = true;
    m_sinceDoubleClick.start();
    m_doubleClickPoint = point;
    copyToSelectionClipboard();
}

void EditBox::startDrag()
{
    auto *data = new QMimeData;
    data->setText(selectedText());
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    const QPointer<EditBox> alive(this);
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    // A move into this box itself was done by the drop.
    if (alive && action == Qt::MoveAction && drag->target() != this)
        removeSelection();
}

void EditBox::setDropPosition(int position)
{
    if (position != m_dropPosition) {
        m_dropPosition = position;
        update();
    }
}

// Entering is the first move over the box.
void EditBox::dragEnterEvent(QDragEnterEvent *event) { dragMoveEvent(event); }

void EditBox::dragMoveEvent(QDragMoveEvent *event)
{
    if (!event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    setDropPosition(positionAt(event->position().toPoint()));
}

void EditBox::dragLeaveEvent(QDragLeaveEvent * /*event*/) { setDropPosition(-1); }

// Dropped text goes in where it was dropped and is selected. Moved within
// the box, it leaves its old place in the same undo step.
void EditBox::dropEvent(QDropEvent *event)
{
    setDropPosition(-1);
    if (!event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    int position = positionAt(event->position().toPoint());
    const int start = std::min(m_anchor, m_cursor);
    const int end = std::max(m_anchor, m_cursor);
    const bool fromHere = event->source() == this;
    if (fromHere && position >= start && position <= end) {
        event->ignore();
        return;
    }
    const QString text = prepared(event->mimeData()->text());
    event->acceptProposedAction();
    const bool moved = fromHere && event->dropAction() == Qt::MoveAction;
    if (moved) {
        edit(start, end, QString(), EditKind::Other);
        if (position > end)
            position -= end - start;
    }
    edit(position, position, text, EditKind::Other, moved);
    if (fromHere) {
        m_anchor = position;
        moveCursor(position + static_cast<int>(text.size()), true);
    }
    activateWindow();
    setFocus(Qt::MouseFocusReason);
}

void EditBox::focusInEvent(QFocusEvent *event)
{
    EditBoxAccessible::announceFocus(this);
    if ((event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason ||
         event->reason() == Qt::ShortcutFocusReason) &&
        selectsAllOnTab())
        selectAll();
    restartBlinking();
    QWidget::focusInEvent(event);
}

void EditBox::focusOutEvent(QFocusEvent *event)
{
    m_blink.stop();
    m_caretShown = false;
    m_selecting = false;
    m_dragPending = false;
    // A line edit drops its selection when the focus moves to another
    // control; the log keeps it, drawn as inactive.
    if (!isMultiLine() && event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        m_anchor = m_cursor;
    update();
    QWidget::focusOutEvent(event);
}

void EditBox::inputMethodEvent(QInputMethodEvent *event)
{
    const int size = static_cast<int>(m_text.size());
    const int origin = surroundingStart();
    int start = std::min(m_anchor, m_cursor);
    int end = std::max(m_anchor, m_cursor);
    const QString commit = event->commitString();
    const bool input = !commit.isEmpty() || event->preeditString() != m_preedit || event->replacementLength() > 0;
    if (event->replacementStart() != 0 || event->replacementLength() > 0) {
        start = std::clamp(m_cursor + event->replacementStart(), 0, size);
        end = std::clamp(start + event->replacementLength(), start, size);
    } else if (!input) {
        start = end = m_cursor;
    }
    m_preedit = event->preeditString();
    m_preeditCursor = static_cast<int>(m_preedit.size());
    m_preeditCaretShown = true;
    m_preeditFormats.clear();
    if (start != end || !commit.isEmpty())
        edit(start, end, prepared(commit), EditKind::Typing);
    for (const QInputMethodEvent::Attribute &attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor) {
            m_preeditCursor = std::clamp(attribute.start, 0, static_cast<int>(m_preedit.size()));
            m_preeditCaretShown = attribute.length != 0;
        } else if (attribute.type == QInputMethodEvent::TextFormat) {
            const QTextCharFormat format = qvariant_cast<QTextFormat>(attribute.value).toCharFormat();
            if (format.isValid())
                m_preeditFormats.append({attribute.start, attribute.length, format});
        } else if (attribute.type == QInputMethodEvent::Selection) {
            // Positions in the text the input method was shown.
            const int length = static_cast<int>(m_text.size());
            m_anchor = std::clamp(origin + attribute.start, 0, length);
            m_cursor = std::clamp(origin + attribute.start + attribute.length, 0, length);
            m_mergeable = false;
        }
    }
    compositionChanged();
    ensureCursorVisible();
    updateMicroFocus();
    update();
    EditBoxAccessible::announceCaret(this);
    event->accept();
}

// An input method is shown the text within a reach of the caret, never
// splitting a surrogate pair, so that a text of megabytes costs it nothing.
int EditBox::surroundingStart() const
{
    int start = std::max(0, m_cursor - kSurroundingReach);
    if (start > 0 && m_text.at(start).isLowSurrogate())
        --start;
    return start;
}

int EditBox::surroundingEnd() const
{
    // In qsizetype: the caret may stand within the reach of the longest text.
    const qsizetype size = m_text.size();
    qsizetype end = std::min(size, qsizetype{m_cursor} + kSurroundingReach);
    if (end < size && m_text.at(end - 1).isHighSurrogate())
        ++end;
    return static_cast<int>(end);
}

QRect EditBox::anchorRectangle() const
{
    if (m_anchor == m_cursor)
        return cursorRectangle();
    // The boxes measure where the caret is; measure with it at the anchor.
    auto *self = const_cast<EditBox *>(this);
    const int cursor = std::exchange(self->m_cursor, m_anchor);
    const QRect rectangle = cursorRectangle();
    self->m_cursor = cursor;
    return rectangle;
}

QVariant EditBox::inputMethodQuery(Qt::InputMethodQuery query) const { return inputMethodQuery(query, QVariant()); }

QVariant EditBox::inputMethodQuery(Qt::InputMethodQuery query, const QVariant &argument) const
{
    const int start = surroundingStart();
    const int end = surroundingEnd();
    switch (query) {
    case Qt::ImEnabled:
        return isEnabled();
    case Qt::ImCursorRectangle:
        return cursorRectangle();
    case Qt::ImAnchorRectangle:
        return anchorRectangle();
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
        if (argument.canConvert<QPointF>() && !argument.toPointF().isNull())
            return std::clamp(positionAt(argument.toPointF().toPoint()) - start, 0, end - start);
        return m_cursor - start;
    case Qt::ImAbsolutePosition:
        return m_cursor;
    case Qt::ImAnchorPosition:
        return std::clamp(m_anchor - start, 0, end - start);
    case Qt::ImSurroundingText:
        return m_text.mid(start, end - start);
    case Qt::ImTextBeforeCursor:
        return m_text.mid(start, m_cursor - start);
    case Qt::ImTextAfterCursor:
        return m_text.mid(m_cursor, end - m_cursor);
    case Qt::ImCurrentSelection:
        return selectedText();
    case Qt::ImMaximumTextLength:
        return std::numeric_limits<int>::max();
    case Qt::ImHints:
        return static_cast<int>(inputMethodHints() | (isMultiLine() ? Qt::ImhMultiLine : Qt::ImhNone));
    case Qt::ImReadOnly:
        return false;
    case Qt::ImEnterKeyType:
        return isMultiLine() ? Qt::EnterKeyReturn : Qt::EnterKeyDefault;
    default:
        return QWidget::inputMethodQuery(query);
    }
}

QMenu *EditBox::createContextMenu()
{
    auto *menu = new QMenu(this);
    const auto add = [menu](const QString &text, const QKeySequence &keys, const char *name, bool enabled, auto slot) {
        QAction *action = menu->addAction(text, keys);
        action->setObjectName(QLatin1String(name));
        action->setEnabled(enabled);
        QObject::connect(action, &QAction::triggered, menu, slot);
    };
    const bool selected = hasSelectedText();
    const bool allSelected = selected && std::abs(m_cursor - m_anchor) == m_text.size();
    add(tr("&Undo"), QKeySequence::Undo, "edit-undo", isUndoAvailable(), [this] { undo(); });
    add(tr("&Redo"), QKeySequence::Redo, "edit-redo", isRedoAvailable(), [this] { redo(); });
    menu->addSeparator();
    add(tr("Cu&t"), QKeySequence::Cut, "edit-cut", selected, [this] { cut(); });
    add(tr("&Copy"), QKeySequence::Copy, "edit-copy", selected, [this] { copy(); });
    add(tr("&Paste"), QKeySequence::Paste, "edit-paste", !QGuiApplication::clipboard()->text().isEmpty(),
        [this] { paste(); });
    add(tr("Delete"), QKeySequence(), "edit-delete", selected, [this] { removeSelection(); });
    menu->addSeparator();
    add(tr("Select All"), QKeySequence::SelectAll, "select-all", !m_text.isEmpty() && !allSelected,
        [this] { selectAll(); });
    return menu;
}

void EditBox::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void EditBox::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_blink.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_caretShown = !m_caretShown;
    update(cursorRectangle().adjusted(-1, 0, 1, 0));
}

void EditBox::resizeEvent(QResizeEvent *event)
{
    ensureCursorVisible();
    QWidget::resizeEvent(event);
}

} // namespace quorran
