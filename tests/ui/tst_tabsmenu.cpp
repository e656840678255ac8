#include "PixelProbe.h"
#include "ui/CEnTabCtrl.h"
#include "ui/CXPMenu.h"

#include <QApplication>
#include <QTabBar>
#include <QTest>
#include <QTimer>

namespace {
struct Tabs {
    CEnTabCtrl control;

    explicit Tabs(int flags)
    {
        CEnTabCtrl::setFlags(flags);
        control.setOwnerDrawn(true);
        control.resize(300, 120);
        for (const char* label : {"General", "Call Recording", "MP3 Quality"})
            control.addTab(new QWidget, QString::fromLatin1(label));
        control.show();
    }
    ~Tabs() { CEnTabCtrl::setFlags(0); }
    Tabs(const Tabs&) = delete;
    Tabs& operator=(const Tabs&) = delete;

    QColor face() const { return control.palette().color(QPalette::Button); }
    QImage shot() { return control.tabBar()->grab().toImage(); }

    bool tabShows(int index, const QColor& colour)
    {
        return probe::contains(shot(), colour, control.tabBar()->tabRect(index).adjusted(2, 2, -2, -2));
    }
};
} // namespace

class TestTabsAndMenu : public QObject {
    Q_OBJECT

private slots:
    // As the options dialog sets it up: flat, no colour.
    void flatTabsAreTheButtonFaceWithHalfDarkText()
    {
        Tabs tabs(CEnTabCtrl::Flat);
        const QColor face = tabs.face();
        QCOMPARE(tabs.control.tabBackground(false), face);
        QCOMPARE(tabs.control.tabBackground(true), face);
        QCOMPARE(tabs.control.tabTextColour(true), tabs.control.palette().color(QPalette::WindowText));
        const QColor halfFace(face.red() / 2, face.green() / 2, face.blue() / 2);
        QCOMPARE(tabs.control.tabTextColour(false), halfFace);

        const QImage image = tabs.shot();
        const QRect unselected = tabs.control.tabBar()->tabRect(1);
        QCOMPARE(image.pixelColor(unselected.left() + 2, unselected.top() + 2), face);
        QVERIFY(tabs.tabShows(1, halfFace));
        QVERIFY(!tabs.tabShows(0, halfFace));
    }

    void colourRules_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QColor>("given");
        QTest::addColumn<QColor>("unselected");
        QTest::addColumn<QColor>("selected");
        QTest::addColumn<QColor>("unselectedText");
        const QColor g(200, 100, 50);
        QTest::newRow("no flags, face darkened") << 0 << QColor() << QColor(-1, -1, -1) << QColor() << QColor();
        QTest::newRow("custom colour") << int(CEnTabCtrl::CustomColour) << g << QColor(180, 90, 45) << QColor()
                                       << QColor(100, 50, 25);
        QTest::newRow("flat with a colour") << int(CEnTabCtrl::Flat) << g << g << QColor() << QColor(100, 50, 25);
        QTest::newRow("flat back-tabs with highlight")
            << int(CEnTabCtrl::Flat | CEnTabCtrl::BackTabs | CEnTabCtrl::SelectionHighlight | CEnTabCtrl::CustomColour)
            << g << QColor(180, 90, 45) << QColor(255, 140, 70) << QColor(100, 50, 25);
    }

    // An invalid colour in the table stands for "the rule's button-face answer".
    void colourRules()
    {
        QFETCH(int, flags);
        QFETCH(QColor, given);
        QFETCH(QColor, unselected);
        QFETCH(QColor, selected);
        QFETCH(QColor, unselectedText);
        Tabs tabs(flags);
        tabs.control.setColour(given);
        const QColor face = tabs.face();
        const QColor expectedUnselected = unselected.isValid() ? unselected : CEnTabCtrl::darken(face, 0.9);
        QCOMPARE(tabs.control.tabBackground(false), expectedUnselected);
        QCOMPARE(tabs.control.tabBackground(true), selected.isValid() ? selected : face);
        QCOMPARE(tabs.control.tabTextColour(false),
                 unselectedText.isValid() ? unselectedText : CEnTabCtrl::darken(face, 0.5));
        const QImage image = tabs.shot();
        const QRect r = tabs.control.tabBar()->tabRect(2);
        QCOMPARE(image.pixelColor(r.left() + 2, r.top() + 2), expectedUnselected);
    }

    void darkenAndLightenClamp()
    {
        QCOMPARE(CEnTabCtrl::darken(QColor(200, 100, 10), 0.5), QColor(100, 50, 5));
        QCOMPARE(CEnTabCtrl::darken(QColor(200, 100, 10), 1.7), QColor(200, 100, 10));
        QCOMPARE(CEnTabCtrl::darken(QColor(200, 100, 10), -1), QColor(0, 0, 0));
        QCOMPARE(CEnTabCtrl::lighten(QColor(200, 100, 10), 1.5), QColor(255, 150, 15));
        QCOMPARE(CEnTabCtrl::lighten(QColor(200, 100, 10), 0.5), QColor(200, 100, 10));
    }

    void menuItemMeasure()
    {
        CXPMenu menu;
        const QFont font = menu.font();
        const int check = menu.checkMarkWidth();
        const QString text = QStringLiteral("Send IM");
        const int textWidth = QFontMetrics(font).horizontalAdvance(text);
        QCOMPARE(CXPMenu::measureItem(text, font, check), QSize(textWidth + 41 - check, 22));

        // A text 100 pixels wide: 22 high, 141 less the check mark wide.
        QFont wide = font;
        for (int size = 4; size < 60; ++size) {
            wide.setPixelSize(size);
            if (QFontMetrics(wide).horizontalAdvance(QStringLiteral("Open")) >= 100)
                break;
        }
        QString hundred;
        while (QFontMetrics(wide).horizontalAdvance(hundred + QLatin1Char('i')) <= 100)
            hundred += QLatin1Char('i');
        const int width = QFontMetrics(wide).horizontalAdvance(hundred);
        QCOMPARE(CXPMenu::measureItem(hundred, wide, 13), QSize(width + 41 - 13, 22));

        menu.appendItem(0x2002, text, 2002, 2002);
        menu.appendItem(0x2003, QStringLiteral("Delete"), 2004, 2004);
        menu.ensurePolished();
        const QRect geometry = menu.actionGeometry(menu.actions().first());
        QCOMPARE(geometry.height(), 22);
        const int widest = qMax(textWidth, QFontMetrics(font).horizontalAdvance(QStringLiteral("Delete")));
        QCOMPARE(geometry.width(), widest + 41 - check);
    }

    void selectedItemIsAHighlightBandEdgedInBlackOthersTheMenuColour()
    {
        CXPMenu menu;
        QAction* play = menu.appendItem(0x2000, QStringLiteral("Play"), 2000, 2000);
        QAction* separator = menu.appendSeparator();
        QAction* open = menu.appendItem(0x2005, QStringLiteral("Open"), 2005, 2005);
        menu.popup(QPoint(100, 100));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        menu.setActiveAction(open);
        const QImage image = menu.grab().toImage();
        const QRect selected = menu.actionGeometry(open);
        const QRect normal = menu.actionGeometry(play);
        const QColor highlight = menu.palette().color(QPalette::Highlight);
        QCOMPARE(image.pixelColor(selected.topLeft()), QColor(Qt::black));
        QCOMPARE(image.pixelColor(selected.left() + 28, selected.top() + 2), highlight);
        const QColor menuColour = menu.palette().color(QPalette::Window);
        QCOMPARE(image.pixelColor(normal.left() + 28, normal.top() + 2), menuColour);
        // Beside the icon, and left of the separator's line, is the menu colour too.
        QCOMPARE(image.pixelColor(normal.left() + 1, normal.top() + 1), menuColour);
        QCOMPARE(image.pixelColor(normal.left() + 22, normal.center().y()), menuColour);
        const QRect line = menu.actionGeometry(separator);
        QCOMPARE(image.pixelColor(line.left() + 5, line.center().y()), menuColour);
        // The icon sits 3 pixels in from the item's corner.
        const QImage icon = QIcon(QStringLiteral(":/icons/2000")).pixmap(16, 16).toImage();
        QCOMPARE(image.pixelColor(normal.left() + 3 + 8, normal.top() + 3 + 8), icon.pixelColor(8, 8));
        menu.hide();
    }

    void trackReturnsTheChosenCommand()
    {
        CXPMenu menu;
        menu.appendItem(0x2002, QStringLiteral("Call"), 2002, 2002);
        menu.appendItem(0x2003, QStringLiteral("Send IM"), 2003, 2003);
        QTimer::singleShot(50, &menu, [&menu] {
            QTest::keyClick(&menu, Qt::Key_Down);
            QTest::keyClick(&menu, Qt::Key_Down);
            QTest::keyClick(&menu, Qt::Key_Return);
        });
        QCOMPARE(menu.track(QPoint(50, 50)), 0x2003);
        QTimer::singleShot(50, &menu, [&menu] { QTest::keyClick(&menu, Qt::Key_Escape); });
        QCOMPARE(menu.track(QPoint(50, 50)), 0);
    }
};

QTEST_MAIN(TestTabsAndMenu)
#include "tst_tabsmenu.moc"
