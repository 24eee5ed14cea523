// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
#pragma once
// Text by character, word, sentence, line or paragraph around an offset, as
// assistive tools ask for it: the piece at the offset, the one before it or
// the one after it. Every answer costs a bounded amount of work whatever the
// text and the offset: words and sentences are looked for within a few
// thousand characters of the offset, lines with a plain search for line feeds.

#include <QAccessible>
#include <QString>

namespace quorran {

enum class TextSide { Before, At, After };

// The piece of `text` on `side` of `offset`, its bounds stored in `start` and
// `end` (both -1 and an empty string where there is none). An offset of -1
// means the end of the text.
QString textAround(const QString &text, TextSide side, int offset, QAccessible::TextBoundaryType type, int *start,
                   int *end);

} // namespace quorran
