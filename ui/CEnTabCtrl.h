#pragma once

#include <QColor>
#include <QTabWidget>

// The tab control of the program's dialogs, drawing its own tabs. One set of style flags is
// shared by every tab control of the program; each control may be given its own colour. With
// only the flat flag and no colour (as the options dialog uses it) every tab is the button
// face, the selected tab's text the window text, the others' text the face darkened to half.
class CEnTabCtrl : public QTabWidget {
    Q_OBJECT

public:
    enum Flag {
        Flat = 0x01,
        CustomColour = 0x02,
        SelectionHighlight = 0x04,
        Gradient = 0x08,
        BackTabs = 0x10,
    };

    explicit CEnTabCtrl(QWidget* parent = nullptr);

    static void setFlags(int flags);
    static int flags();

    // Draw the tabs ourselves; also on as soon as any flag is set.
    void setOwnerDrawn(bool on);
    bool isOwnerDrawn() const;

    void setColour(const QColor& colour); // invalid: no colour given
    QColor colour() const { return m_colour; }

    // The colour rules of the tabs.
    QColor tabBackground(bool selected) const;
    QColor tabTextColour(bool selected) const;
    QColor tabGradientEnd(bool selected) const;
    static QColor darken(const QColor& colour, double factor);  // each channel × factor, factor in 0..1
    static QColor lighten(const QColor& colour, double factor); // each channel × factor (≥ 1), up to 255

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor baseColour(bool useGiven) const;

    bool m_ownerDrawn = false;
    QColor m_colour;
};
