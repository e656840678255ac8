#pragma once

#include <QPlainTextEdit>

// A plain text editor that keeps what the user enters within a number of characters (UTF-16
// units, as the reply is counted). An edit that would make the text longer than the limit
// keeps only as much of the inserted text as fits, so typing at the limit does nothing and a
// long paste is cut, with the cursor after what was kept; the cut belongs to the same undo
// step as the edit. A text that was longer before the limit was set is left whole.
class LimitedTextEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit LimitedTextEdit(QWidget* parent = nullptr);

    // 0: no limit. Applies to the edits made after it is set.
    void setMaxLength(int length);
    int maxLength() const { return m_maxLength; }

private:
    void noteChange(int position, int removed, int added);
    void cutExcess();

    int m_maxLength = 0;
    int m_insertEnd = 0;
    int m_grown = 0;
};
