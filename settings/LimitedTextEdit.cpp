#include "settings/LimitedTextEdit.h"

#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <utility>

LimitedTextEdit::LimitedTextEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    // The document reports where an edit inserted text before it reports that the text
    // changed; the cut is made then, once the edit is complete.
    connect(document(), &QTextDocument::contentsChange, this, &LimitedTextEdit::noteChange);
    connect(this, &QPlainTextEdit::textChanged, this, &LimitedTextEdit::cutExcess);
}

void LimitedTextEdit::setMaxLength(int length)
{
    m_maxLength = std::max(0, length);
    m_grown = 0;
}

// Only what an edit added beyond what it removed can be cut, so a change that leaves the length
// as it was (a replaced selection of the same size, a change of format) never loses text.
void LimitedTextEdit::noteChange(int position, int removed, int added)
{
    m_insertEnd = position + added;
    m_grown = added - removed;
}

void LimitedTextEdit::cutExcess()
{
    const int grown = std::exchange(m_grown, 0);
    // The document always ends in one paragraph separator that is not part of the text.
    const int length = document()->characterCount() - 1;
    const int excess = length - m_maxLength;
    if (m_maxLength == 0 || excess <= 0 || grown <= 0)
        return;

    const int end = std::min(m_insertEnd, length);
    int start = std::max(0, end - std::min(excess, grown));
    // Never keep half of a character written as a surrogate pair.
    if (start > 0 && document()->characterAt(start).isLowSurrogate())
        --start;

    QTextCursor cut(document());
    cut.joinPreviousEditBlock();
    cut.setPosition(start);
    cut.setPosition(end, QTextCursor::KeepAnchor);
    cut.removeSelectedText();
    cut.endEditBlock();
}
