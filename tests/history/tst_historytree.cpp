#include "HistoryFixtures.h"
#include "history/CTreeCtrlBT.h"
#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"
#include "support/FakeClock.h"
#include "support/WindowMessageRecorder.h"
#include "ui/PixelProbe.h"
#include "ui/SkinPictures.h"

#include <QTest>

using namespace HistoryFixtures;

namespace {

const QColor white(255, 255, 255);
const QColor band(51, 150, 253);
const QColor badge(252, 140, 5);
const QColor summaryFill(238, 238, 238);
const QColor rowLine(235, 235, 235);

HistoryItemData day(qint64 time)
{
    return HistoryItemData::day(QString::number(time));
}

QList<QPixmap> strip(int id, int width, const QColor& key)
{
    return SkinPictures::imageList(SkinPictures::image(id), width, key);
}

qintptr address(const void* p)
{
    return reinterpret_cast<qintptr>(p);
}

} // namespace

class TestHistoryTree : public QObject {
    Q_OBJECT

private:
    // A tree as the history window builds it: the Summary; a Day of today with an incoming
    // new recording, an outgoing heard one and one without direction; a collapsed Day with a
    // recording; a Day without recordings.
    struct Fixture {
        FakeClock clock{localSeconds(2013, 3, 12, 18)};
        HistoryCounts counts{3, 1};
        CTreeCtrlBT tree;
        WindowMessageRecorder owner;
        QTreeWidgetItem* summary = nullptr;
        QTreeWidgetItem* today = nullptr;
        QTreeWidgetItem* incomingNew = nullptr;
        QTreeWidgetItem* outgoingHeard = nullptr;
        QTreeWidgetItem* undirected = nullptr;
        QTreeWidgetItem* collapsedDay = nullptr;
        QTreeWidgetItem* emptyDay = nullptr;

        Fixture()
        {
            summary = tree.addItem(nullptr, HistoryItemData::summary(&counts));
            today = tree.addItem(summary, day(localSeconds(2013, 3, 12, 8)));
            incomingNew = tree.addItem(
                today, HistoryItemData::record(entry("alice", localSeconds(2013, 3, 12, 16), {}, 1, 95, true)));
            outgoingHeard = tree.addItem(
                today, HistoryItemData::record(entry("bob", localSeconds(2013, 3, 12, 9), {}, 2, 30, false)));
            undirected = tree.addItem(
                today, HistoryItemData::record(entry("carol", localSeconds(2013, 3, 12, 7), {}, 3, 5, true)));
            collapsedDay = tree.addItem(summary, day(localSeconds(2013, 3, 10)));
            tree.addItem(collapsedDay,
                         HistoryItemData::record(entry("dave", localSeconds(2013, 3, 10), {}, 1, 5, false)));
            emptyDay = tree.addItem(summary, day(localSeconds(2013, 3, 11)));
            summary->setExpanded(true);
            today->setExpanded(true);
            tree.setOwner(&owner);
            tree.resize(500, 240);
            tree.show();
        }

        QImage picture() { return tree.viewport()->grab().toImage(); }
        QRect row(QTreeWidgetItem* item) const { return tree.rowRect(item); }
    };

private slots:
    void dayLabels_data()
    {
        QTest::addColumn<qint64>("day");
        QTest::addColumn<qint64>("now");
        QTest::addColumn<QString>("label");

        QTest::newRow("same day, earlier hour")
            << localSeconds(2013, 3, 12, 0, 0, 1) << localSeconds(2013, 3, 12, 23) << "Today";
        QTest::newRow("day before") << localSeconds(2013, 3, 11, 23, 59, 59) << localSeconds(2013, 3, 12, 0, 0, 1)
                                    << "Yesterday";
        QTest::newRow("two days before") << localSeconds(2013, 3, 10) << localSeconds(2013, 3, 12) << "2013-03-10";
        QTest::newRow("28 Feb seen on 1 Mar") << localSeconds(2013, 2, 28) << localSeconds(2013, 3, 1) << "Yesterday";
        QTest::newRow("27 Feb seen on 1 Mar") << localSeconds(2013, 2, 27) << localSeconds(2013, 3, 1) << "2013-02-27";
        QTest::newRow("29 Feb of a leap year") << localSeconds(2012, 2, 29) << localSeconds(2012, 3, 1) << "Yesterday";
        QTest::newRow("31 Dec seen on 1 Jan")
            << localSeconds(2012, 12, 31, 22) << localSeconds(2013, 1, 1, 1) << "Yesterday";
        QTest::newRow("same date a year before")
            << localSeconds(2012, 3, 12) << localSeconds(2013, 3, 12) << "2012-03-12";
        // The day summer time begins has 23 hours: the label follows the calendar, not 24 hours.
        QTest::newRow("short day of summer time")
            << localSeconds(2013, 3, 31, 0, 30) << localSeconds(2013, 4, 1, 0, 10) << "Yesterday";
        QTest::newRow("a day after today") << localSeconds(2013, 3, 13) << localSeconds(2013, 3, 12) << "2013-03-13";
    }

    void dayLabels()
    {
        QFETCH(qint64, day);
        QFETCH(qint64, now);
        QFETCH(QString, label);
        QCOMPARE(CTreeCtrlBT::dayLabel(day, now), label);
    }

    void dayLabelFollowsTheClock()
    {
        Fixture f;
        f.clock.set(localSeconds(2013, 3, 10, 23, 59, 59));
        QCOMPARE(f.tree.rowTexts(f.collapsedDay).label, QStringLiteral("Today"));
        f.clock.set(localSeconds(2013, 3, 11, 0, 0, 1));
        QCOMPARE(f.tree.rowTexts(f.collapsedDay).label, QStringLiteral("Yesterday"));
        f.clock.set(localSeconds(2013, 3, 12));
        QCOMPARE(f.tree.rowTexts(f.collapsedDay).label, QStringLiteral("2013-03-10"));
    }

    void timesOfDay_data()
    {
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<int>("second");
        QTest::addColumn<QString>("text");

        QTest::newRow("just after midnight") << 0 << 5 << 9 << "AM 12:05:09";
        QTest::newRow("morning") << 9 << 30 << 0 << "AM 09:30:00";
        QTest::newRow("before noon") << 11 << 59 << 59 << "AM 11:59:59";
        QTest::newRow("noon") << 12 << 0 << 0 << "PM 12:00:00";
        QTest::newRow("afternoon") << 15 << 30 << 12 << "PM 03:30:12";
        QTest::newRow("last second") << 23 << 59 << 59 << "PM 11:59:59";
    }

    void timesOfDay()
    {
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(int, second);
        QFETCH(QString, text);
        QCOMPARE(CTreeCtrlBT::timeOfDay(localSeconds(2013, 7, 1, hour, minute, second)), text);
    }

    void durations_data()
    {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");

        QTest::newRow("nothing") << qint64(0) << "   00:00:00";
        QTest::newRow("95 s") << qint64(95) << "   00:01:35";
        QTest::newRow("a day less a second") << qint64(86399) << "   23:59:59";
        QTest::newRow("25 h shows its last day") << qint64(25 * 3600) << "   01:00:00";
        QTest::newRow("negative from a hand-edited file") << qint64(-30) << "   00:00:00";
    }

    void durations()
    {
        QFETCH(qint64, seconds);
        QFETCH(QString, text);
        QCOMPARE(CTreeCtrlBT::durationText(seconds), text);
    }

    void partnerNames_data()
    {
        QTest::addColumn<QString>("handles");
        QTest::addColumn<bool>("withDirectory");
        QTest::addColumn<QString>("names");

        QTest::newRow("no partner") << "" << false << "Null";
        QTest::newRow("no partner, with a directory") << "" << true << "Null";
        QTest::newRow("one handle") << "alice" << false << "alice";
        QTest::newRow("two handles") << "bob,alice" << false << "bob | alice";
        QTest::newRow("empty pieces skipped") << ",bob,,alice," << false << "bob | alice";
        QTest::newRow("only commas") << "," << false << "Null";
        QTest::newRow("directory knows one") << "bob,alice" << true << "Bob B | alice";
    }

    void partnerNames()
    {
        QFETCH(QString, handles);
        QFETCH(bool, withDirectory);
        QFETCH(QString, names);

        Fixture f;
        CTreeCtrlBT::itemData(f.incomingNew)->entry.name = handles;
        if (withDirectory)
            f.tree.setDisplayNameResolver([](const QString& list) {
                QStringList shown;
                for (const QString& handle : list.split(',', Qt::SkipEmptyParts))
                    shown.append(handle == "bob" ? QStringLiteral("Bob B") : handle);
                return shown.join(" | ");
            });
        QCOMPARE(f.tree.rowTexts(f.incomingNew).names, names);
    }

    void recordRowTexts()
    {
        Fixture f;
        const HistoryRowTexts texts = f.tree.rowTexts(f.incomingNew);
        QCOMPARE(texts.names, QStringLiteral("alice"));
        QCOMPARE(texts.time, QStringLiteral("PM 04:00:00"));
        QCOMPARE(texts.duration, QStringLiteral("   00:01:35"));
        QVERIFY(texts.label.isEmpty());
    }

    void summaryRowShowsTheCountsAndTheBadge()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.tree));
        HistoryRowTexts texts = f.tree.rowTexts(f.summary);
        QCOMPARE(texts.label, QStringLiteral("Total 3 records"));
        QCOMPARE(texts.badge, QStringLiteral("1 new"));

        QImage image = f.picture();
        const QRect row = f.row(f.summary);
        QCOMPARE(image.pixelColor(250, row.top() + 2), summaryFill);
        QCOMPARE(image.pixelColor(250, row.bottom()), rowLine);
        QVERIFY(showsPicture(image, QPoint(row.left(), row.top() + 1),
                             SkinPictures::keyed(SkinPictures::image(1035), white)));
        QVERIFY(probe::contains(image, badge, QRect(row.right() - 80, row.top(), 80, row.height())));

        f.counts = {3, 0};
        f.tree.viewport()->update();
        texts = f.tree.rowTexts(f.summary);
        QVERIFY(texts.badge.isEmpty());
        QVERIFY(!probe::contains(f.picture(), badge, row));
    }

    void dayRowsShowTheirGlyph()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.tree));
        const QList<QPixmap> glyphs = {SkinPictures::keyed(SkinPictures::image(1016), white),
                                       SkinPictures::keyed(SkinPictures::image(1017), white)};
        const QImage image = f.picture();
        auto glyphAt = [&](QTreeWidgetItem* item) { return QPoint(2, f.row(item).top() + 2); };
        QVERIFY(showsPicture(image, glyphAt(f.today), glyphs[1]));
        QVERIFY(showsPicture(image, glyphAt(f.collapsedDay), glyphs[0]));
        QVERIFY(!showsPicture(image, glyphAt(f.collapsedDay), glyphs[1]));
        // A day without recordings cannot be opened: it shows as open.
        QVERIFY(!f.emptyDay->isExpanded());
        QVERIFY(showsPicture(image, glyphAt(f.emptyDay), glyphs[1]));
    }

    void clickingTheGlyphOpensAndClosesADay()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.tree));
        const QPoint glyph(10, f.row(f.collapsedDay).center().y());
        QTest::mouseClick(f.tree.viewport(), Qt::LeftButton, {}, glyph);
        QVERIFY(f.collapsedDay->isExpanded());
        QTest::mouseClick(f.tree.viewport(), Qt::LeftButton, {}, glyph);
        QVERIFY(!f.collapsedDay->isExpanded());
    }

    void recordRowsShowDirectionSelectionAndButtons()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.tree));
        f.tree.setCurrentItem(f.outgoingHeard);
        const QImage image = f.picture();
        const QList<QPixmap> directions = strip(1033, 16, white);
        const QList<QPixmap> buttons = strip(1034, 14, band);
        const int x0 =
            f.tree.visualItemRect(f.incomingNew).left() / 2 + f.tree.visualItemRect(f.incomingNew).left() % 2;

        const QRect fresh = f.row(f.incomingNew);
        QVERIFY(showsPicture(image, QPoint(x0, fresh.top() + 1), directions[3]));
        const QRect heard = f.row(f.outgoingHeard);
        QVERIFY(showsPicture(image, QPoint(x0, heard.top() + 1), directions[0]));
        const QRect none = f.row(f.undirected);
        for (const QPixmap& icon : directions)
            QVERIFY(!showsPicture(image, QPoint(x0, none.top() + 1), icon));

        // The selected row: the band from 16 pixels in, the two buttons at the right end.
        QCOMPARE(image.pixelColor(440, heard.center().y()), band);
        QCOMPARE(image.pixelColor(10, heard.center().y()), white);
        QVERIFY(showsPicture(image, QPoint(heard.right() + 1 - 19, heard.top() + 2), buttons[0]));
        QVERIFY(showsPicture(image, QPoint(heard.right() + 1 - 39, heard.top() + 2), buttons[2]));
        QVERIFY(probe::contains(image, white, QRect(x0 + 20, heard.top(), 100, heard.height())));

        // Other rows: white, no buttons, and the row line only from 16 pixels in.
        QCOMPARE(image.pixelColor(440, fresh.center().y()), white);
        QVERIFY(!showsPicture(image, QPoint(fresh.right() + 1 - 19, fresh.top() + 2), buttons[1]));
        QCOMPARE(image.pixelColor(20, fresh.bottom()), rowLine);
        QCOMPARE(image.pixelColor(10, fresh.bottom()), white);
    }

    void rowButtonsShowUnderThePointerAndPost()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.tree));
        f.tree.setCurrentItem(f.outgoingHeard);
        const QList<QPixmap> buttons = strip(1034, 14, band);
        const QRect deleteArea = f.tree.rowButtonRect(f.incomingNew, CTreeCtrlBT::RowButton::Delete);
        QCOMPARE(deleteArea.left(), f.row(f.incomingNew).right() + 1 - 19);

        QTest::mouseMove(f.tree.viewport(), deleteArea.center());
        QTRY_COMPARE(f.tree.hoveredButton(), CTreeCtrlBT::RowButton::Delete);
        QCOMPARE(f.tree.buttonRow(), f.incomingNew);
        QVERIFY(showsPicture(f.picture(), QPoint(deleteArea.left(), deleteArea.top() + 2), buttons[1]));

        QTest::mouseClick(f.tree.viewport(), Qt::LeftButton, {}, deleteArea.center());
        QTRY_COMPARE(f.owner.messages().size(), 1);
        QCOMPARE(std::get<0>(f.owner.messages()[0]), WM_DELETE_RECORD);
        QCOMPARE(std::get<1>(f.owner.messages()[0]), address(f.incomingNew));
        QCOMPARE(std::get<2>(f.owner.messages()[0]), address(CTreeCtrlBT::itemData(f.incomingNew)));

        const QRect folderArea = f.tree.rowButtonRect(f.undirected, CTreeCtrlBT::RowButton::OpenFolder);
        QTest::mouseMove(f.tree.viewport(), folderArea.center());
        QTRY_COMPARE(f.tree.hoveredButton(), CTreeCtrlBT::RowButton::OpenFolder);
        QVERIFY(showsPicture(f.picture(), QPoint(folderArea.left(), folderArea.top() + 2), buttons[3]));
        QTest::mouseClick(f.tree.viewport(), Qt::LeftButton, {}, folderArea.center());
        QTRY_COMPARE(f.owner.messages().size(), 2);
        QCOMPARE(std::get<0>(f.owner.messages()[1]), WM_OPEN_RECORD_FOLDER);
        QCOMPARE(std::get<1>(f.owner.messages()[1]), address(f.undirected));

        // Leaving the tree takes the pointer look away again.
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(f.tree.viewport(), &leave);
        QCOMPARE(f.tree.hoveredButton(), CTreeCtrlBT::RowButton::None);
        QVERIFY(!showsPicture(f.picture(), QPoint(folderArea.left(), folderArea.top() + 2), buttons[3]));
    }

    void clicksBesideTheButtonsPostNothing()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.tree));
        const QRect deleteArea = f.tree.rowButtonRect(f.incomingNew, CTreeCtrlBT::RowButton::Delete);
        const QPoint between(deleteArea.left() - 3, deleteArea.center().y());
        QTest::mouseMove(f.tree.viewport(), between);
        QTest::mouseClick(f.tree.viewport(), Qt::LeftButton, {}, between);
        // The same spot on a Day row is no button at all.
        const QPoint onDay(deleteArea.center().x(), f.row(f.today).center().y());
        QTest::mouseMove(f.tree.viewport(), onDay);
        QTest::mouseClick(f.tree.viewport(), Qt::LeftButton, {}, onDay);
        QCoreApplication::processEvents();
        QVERIFY(f.owner.messages().isEmpty());
    }

    void rightClickOnARecordSelectsItAndAsksForTheMenu()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.tree));
        QTest::mouseClick(f.tree.viewport(), Qt::RightButton, {}, f.row(f.today).center());
        QCoreApplication::processEvents();
        QVERIFY(f.owner.messages().isEmpty());

        QTest::mouseClick(f.tree.viewport(), Qt::RightButton, {}, f.row(f.undirected).center());
        QTRY_COMPARE(f.owner.messages().size(), 1);
        QCOMPARE(std::get<0>(f.owner.messages()[0]), WM_RECORD_MENU);
        QCOMPARE(std::get<1>(f.owner.messages()[0]), address(f.undirected));
        QCOMPARE(f.tree.selectedItems(), QList<QTreeWidgetItem*>{f.undirected});
    }

    void aMessageForAGoneRowFindsNothing()
    {
        Fixture f;
        const qintptr item = address(f.undirected);
        const qintptr data = address(CTreeCtrlBT::itemData(f.undirected));
        QCOMPARE(f.tree.itemFromMessage(item, data), f.undirected);
        QVERIFY(!f.tree.itemFromMessage(item, address(CTreeCtrlBT::itemData(f.incomingNew))));
        QVERIFY(!f.tree.itemFromMessage(0, 0));
        delete f.undirected;
        QVERIFY(!f.tree.itemFromMessage(item, data));
    }
};

HISTORY_TEST_MAIN(TestHistoryTree)
#include "tst_historytree.moc"
