#pragma once
// The single-line text box of the input fields. It edits like a line edit
// (caret, selection, clipboard, undo, context menu, input methods) and reports
// a mouse click. Unlike QLineEdit it lays out only the characters in view, so
// a text of many megabytes costs nothing when it is painted, which the caret
// makes happen twice a second.

#include <QBasicTimer>
#include <QString>
#include <QWidget>

#include <vector>

class QMenu;
class QStyleOptionFrame;
class QTextLayout;

namespace quorran {

class TextBox : public QWidget {
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    int cursorPosition() const { return m_cursor; }
    void setCursorPosition(int position);
    bool hasSelectedText() const { return m_anchor != m_cursor; }
    QString selectedText() const;
    void selectAll();

    void undo();
    void redo();
    void cut();
    void copy() const;
    void paste();
    void insert(const QString &text);

    QSize sizeHint() const override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Snapshot {
        QString text;
        int cursor;
    };

    void initFrameOption(QStyleOptionFrame *option) const;
    QRect textRect() const;
    int sliceLength(int from) const;
    void layoutSlice(QTextLayout &layout, int from, int length) const;
    int positionAt(const QPoint &point) const;
    QRect cursorRectangle() const;
    void moveCursor(int position, bool select);
    void ensureCursorVisible();
    int nextPosition(int position) const;
    int previousPosition(int position) const;
    int wordEnd(int position) const;
    int wordStart(int position) const;
    void replaceSelection(const QString &text);
    void removeSelection();
    void remember();
    void restore(std::vector<Snapshot> &from, std::vector<Snapshot> &to);
    void restartBlinking();
    QMenu *createContextMenu();

    QString m_text;
    int m_cursor = 0;
    int m_anchor = 0;
    int m_scroll = 0; // first character in view
    bool m_caretShown = false;
    bool m_selecting = false;
    QBasicTimer m_blink;
    std::vector<Snapshot> m_undo;
    std::vector<Snapshot> m_redo;
};

} // namespace quorran
