#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QPushButton>
#include <QString>
#include <utility>

// The program's picture button. It shows one of up to three images (pointer over, pointer
// away, pressed), each with its own transparent colour, tracks the pointer while flat, greys
// its picture when disabled, and can act as a check box or carry a web address it opens when
// clicked. Owners connect to clicked() as for any button; setToolTip() and setCursor() serve
// for the tooltip and the cursor over the button, setDefault() for the default-button flag.
class CMyButtonST : public QPushButton {
    Q_OBJECT

public:
    enum Slot { SlotOver = 0, SlotAway = 1, SlotPressed = 2 };
    enum SetBitmapsResult { BitmapsSet = 0, BitmapSizeUnreadable = 1, BitmapMaskFailed = 2 };

    // The six colours of the button; used for the background (unless it is transparent) and
    // for the caption when custom colours are on.
    struct Colours {
        QColor backgroundIn, textIn;       // pointer over the button
        QColor backgroundOut, textOut;     // pointer away
        QColor backgroundFocus, textFocus; // focused, pointer away
    };

    explicit CMyButtonST(QWidget* parent = nullptr);

    // The images in slot order, each with its transparent colour; an id of 0 leaves that slot
    // (and the later ones) empty. Returns a SetBitmapsResult; on failure no slot keeps an image.
    int setBitmaps(int overId, const QColor& overKey, int awayId = 0, const QColor& awayKey = {}, int pressedId = 0,
                   const QColor& pressedKey = {});
    int setBitmaps(const QList<std::pair<QImage, QColor>>& images);
    void clearBitmaps();
    bool hasSlot(int slot) const;
    QSize slotSize(int slot) const;

    void setColours(const Colours& colours, bool useCustomColours = true);
    Colours colours() const { return m_colours; }

    // Opens the address through the desktop shell when the button is clicked; empty: none.
    void setUrl(const QString& url);
    QString url() const { return m_url; }

    void setFlat(bool flat); // hides QPushButton::setFlat so the hover look follows at once

    // Check-box mode: the button keeps a check state; the pressed look follows it.
    void setCheckBoxMode(bool on);
    bool isCheckBoxMode() const { return isCheckable(); }
    void setCheck(int value); // 1 or 2: checked; anything else: unchecked
    int check() const { return isChecked() ? 1 : 0; }

    // Draws over whatever the parent shows under the button instead of a background colour.
    void setTransparentBackground(bool on);
    bool hasTransparentBackground() const { return m_transparent; }

    void setGreyWhenDisabled(bool on);
    bool greyWhenDisabled() const { return m_greyWhenDisabled; }

    // The caption left-aligned after the picture in bold Arial, as on the program's own
    // buttons; indent moves it another 26 pixels to the right.
    void setLeftAlignedCaption(bool on, bool indent = false);

    bool isHovered() const { return m_hovered; }
    // The slot shown in the current state, or -1 when the button has no images.
    int currentSlot() const;
    // The slot rule: which slot a button with the given images shows in a given state.
    static int chooseSlot(bool pressed, bool hovered, bool checkBox, bool checked, bool hasAway, bool hasPressed);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Image {
        QPixmap picture; // transparent where the bitmap had its transparent colour
        QSize size;
    };

    void setHovered(bool hovered);
    void trackPointer(const QPoint& position);
    bool isPressedLook() const;
    void paintFrameAndBackground(QPainter& p, QRect& area) const;
    QRect paintPicture(QPainter& p, const QRect& area) const;
    void paintCaption(QPainter& p, const QRect& area, int pictureWidth) const;
    void greyOut(QImage& canvas) const;
    QColor stateBackground() const;
    QColor stateText() const;

    QList<Image> m_slots;
    Colours m_colours;
    bool m_customColours = false;
    QString m_url;
    bool m_hovered = false;
    bool m_transparent = true;
    bool m_greyWhenDisabled = true;
    bool m_leftAligned = false;
    bool m_indent = false;
};
