#pragma once

#include <QMenu>
#include <memory>

class QProxyStyle;

// The program's popup menu in the flat look of its windows: 22-pixel items in the menu colour
// with the icon left of the text, each item with an icon for its normal and one for its selected
// look, and a selected item drawn as a black-edged highlight band. track() returns the chosen
// command.
class CXPMenu : public QMenu {
    Q_OBJECT

public:
    static constexpr int itemHeight = 22;
    static constexpr int textLeft = 33;

    explicit CXPMenu(QWidget* parent = nullptr);
    ~CXPMenu() override;

    // Icons by their picture ids (0: none).
    QAction* appendItem(int command, const QString& text, int iconId, int selectedIconId);
    QAction* appendSeparator();

    // Shows the menu at the global position and returns the chosen item's command, or 0.
    int track(const QPoint& globalPosition);

    // The size of an item with this text: 22 high, the text's width in the menu font + 41 less
    // the check-mark width wide.
    static QSize measureItem(const QString& text, const QFont& menuFont, int checkMarkWidth);
    int checkMarkWidth() const;

private:
    std::unique_ptr<QProxyStyle> m_style;
};
