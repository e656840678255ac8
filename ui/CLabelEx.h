#pragma once

#include <QColor>
#include <QLabel>
#include <QPixmap>

// A label of the program's windows: coloured text with an optional picture on its left (its
// own bitmap or a status icon from the program's strip of 16 by 16 icons), optional border
// and underline, and link-like reactions to the pointer (hand cursor, blue text, underline).
// Every left-button press flips its pressed look; clicked() is emitted on release. Word wrap
// is QLabel's.
class CLabelEx : public QLabel {
    Q_OBJECT

public:
    // The picture strip the image-list index refers to and its transparent colour.
    static constexpr int statusIconStrip = 1010;
    static QColor statusIconKey() { return QColor(217, 221, 224); }
    static QColor disabledTextColour() { return QColor(189, 189, 189); }
    static QColor hoverTextColour() { return QColor(0, 0, 255); }
    static constexpr int dialogFontHeight = 15; // the font height that keeps the window's font

    explicit CLabelEx(QWidget* parent = nullptr);
    explicit CLabelEx(const QString& text, QWidget* parent = nullptr);

    void setTextColour(const QColor& colour);
    QColor textColour() const { return m_textColour; }

    void setBorder(bool on, const QColor& pen = Qt::black, const QColor& fill = QColor(255, 255, 255));
    void setUnderline(bool on, const QColor& colour = QColor(0, 0, 255));
    bool hasUnderline() const { return m_underline; }

    // Whether the label reacts to the pointer at all, and how: underline and/or blue text
    // while the pointer is over it.
    void setPointerReaction(bool on);
    bool pointerReaction() const { return m_pointerReaction; }
    void setUnderlineOnHover(bool on);
    void setColourOnHover(bool on);

    // Arial of the given pixel height and weight; the height 15 keeps the window's font.
    void setFontHeight(int height, bool bold = false);

    // Backgrounds copied at the top-left corner: normal, pointer over, pressed (null: none).
    void setStateBitmaps(const QPixmap& normal, const QPixmap& over = {}, const QPixmap& pressed = {});

    // Pictures on the left. The normal one is drawn at its own size (give it transparency with
    // SkinPictures::keyed); the pointer-over and pressed ones are scaled to the label's height.
    void setLeftImage(const QPixmap& normal, const QPixmap& over = {}, const QPixmap& pressed = {});
    // An icon of the status strip instead of a picture; -1 for none.
    void setLeftImageIndex(int index);
    int leftImageIndex() const { return m_imageIndex; }

    bool isPointerOver() const { return m_pointerOver; }
    bool isPressed() const { return m_pressed; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void pointerEntered();
    void pointerLeft();
    int paintLeftImage(QPainter& p, const QRect& area) const;
    QFont textFont() const;

    QColor m_textColour{0, 0, 0};
    QColor m_savedTextColour;
    bool m_border = false;
    QColor m_borderPen{0, 0, 0};
    QColor m_borderFill{255, 255, 255};
    bool m_underline = false;
    QColor m_underlineColour{0, 0, 255};
    bool m_pointerReaction = true;
    bool m_underlineOnHover = false;
    bool m_colourOnHover = false;
    bool m_colourSwitched = false;
    bool m_underlineSwitched = false;
    int m_fontHeight = dialogFontHeight;
    bool m_bold = false;
    bool m_pointerOver = false;
    bool m_pressed = false;
    QPixmap m_backgrounds[3];
    QPixmap m_leftImages[3];
    int m_imageIndex = -1;
};
