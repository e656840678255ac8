#include "skype/CallPartnerMap.h"
#include "skype/CallTable.h"
#include "skype/ContactDirectory.h"
#include "skype/StatusCodes.h"
#include "support/FakeClock.h"

#include <QTest>

#include <thread>

namespace {
constexpr qint64 Start = 1'700'000'000;

// One slot to fill: call id, status, seconds after Start when it was first seen.
struct SlotSetUp {
    QString callId;
    int status;
    qint64 seenAfter;
};
} // namespace
Q_DECLARE_METATYPE(QList<SlotSetUp>)

// The three stores the link keeps from Skype's notifications: the call table, the call partners
// and the contact directory.
class TestCallTable : public QObject {
    Q_OBJECT

    QStringList m_queued;
    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<CallTable> m_table;

    void fill(const QList<SlotSetUp>& calls)
    {
        for (const SlotSetUp& slot : calls) {
            m_clock->set(Start + slot.seenAfter);
            QVERIFY(m_table->UpdateCallStatus(slot.callId, CallRinging) >= 0);
            m_table->UpdateCallStatus(slot.callId, slot.status);
        }
        m_clock->set(Start + 100);
    }

private slots:
    void init()
    {
        m_queued.clear();
        m_clock = std::make_unique<FakeClock>(Start);
        m_table = std::make_unique<CallTable>([this](const QString& command) {
            m_queued.append(command);
            return true;
        });
    }

    void cleanup()
    {
        m_table.reset();
        m_clock.reset();
    }

    void newCallEntersWithAStartingStatusOnly_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("tracked");
        for (int status = 0; status <= 13; ++status) {
            const bool tracked = status == CallRouting || status == CallEarlyMedia || status == CallRinging ||
                                 status == CallInProgress || status == CallOnHold;
            QTest::addRow("status %d", status) << status << tracked;
        }
    }

    void newCallEntersWithAStartingStatusOnly()
    {
        QFETCH(int, status);
        QFETCH(bool, tracked);
        const int slot = m_table->UpdateCallStatus(QStringLiteral("12"), status);
        if (tracked) {
            QCOMPARE(slot, 0);
            QCOMPARE(m_table->CallIdAt(0), QStringLiteral("12"));
            QCOMPARE(m_table->StatusAt(0), status);
            QCOMPARE(m_table->FirstSeenAt(0), Start);
            QCOMPARE(m_queued, QStringList{"get call 12 partner_handle"});
        } else {
            QCOMPARE(slot, -1);
            QCOMPARE(m_table->CallIdAt(0), QString());
            QCOMPARE(m_queued, QStringList{});
        }
    }

    void knownCallTakesEveryStatus()
    {
        QCOMPARE(m_table->UpdateCallStatus("12", CallRinging), 0);
        QCOMPARE(m_table->UpdateCallStatus("13", CallRouting), 1);
        for (int status : {int(CallFinished), 0, 42, int(CallInProgress)}) {
            QCOMPARE(m_table->UpdateCallStatus("13", status), 1);
            QCOMPARE(m_table->StatusAt(1), status);
        }
        QCOMPARE(m_queued, (QStringList{"get call 12 partner_handle", "get call 13 partner_handle"}));
    }

    void twentyFirstCallIsNotTracked()
    {
        for (int call = 0; call < CallTable::SlotCount; ++call)
            QCOMPARE(m_table->UpdateCallStatus(QString::number(100 + call), CallRinging), call);
        m_queued.clear();

        QCOMPARE(m_table->UpdateCallStatus("200", CallRinging), -1);
        QCOMPARE(m_table->FindOrAddCall("200"), -1);
        QCOMPARE(m_table->SetCallPartner("200", "mallory"), -1);
        QCOMPARE(m_table->FindCall("200"), -1);
        QCOMPARE(m_queued, QStringList{});
        QVERIFY(!m_table->IsCallPartner("mallory"));
        QCOMPARE(m_table->KnownCallCount(), CallTable::SlotCount);

        // A call already in the table is still served.
        QCOMPARE(m_table->UpdateCallStatus("119", CallInProgress), 19);
        QCOMPARE(m_table->SetCallPartner("119", "bob"), 19);
    }

    void callIdsAreTrimmedWhenLookedUpButNotForThePartner()
    {
        QCOMPARE(m_table->FindOrAddCall(" 12\t"), 0);
        QCOMPARE(m_table->CallIdAt(0), QStringLiteral("12"));
        QCOMPARE(m_queued, QStringList{"get call 12 partner_handle"});
        QCOMPARE(m_table->SetCallPartner("12", "bob"), 0);

        QCOMPARE(m_table->FindCall("  12  "), 0);
        QCOMPARE(m_table->PartnerOf("  12  "), QString());
        QCOMPARE(m_table->PartnerOf("12"), QStringLiteral("bob"));
        QCOMPARE(m_table->FindCall("12a"), -1);

        for (const QString& blank : {QString(), QStringLiteral("   "), QStringLiteral("\t")}) {
            QCOMPARE(m_table->FindCall(blank), -1);
            QCOMPARE(m_table->FindOrAddCall(blank), -1);
            QCOMPARE(m_table->UpdateCallStatus(blank, CallRinging), -1);
        }
        QCOMPARE(m_queued.size(), 1);
    }

    void partnerMayComeFirst()
    {
        QCOMPARE(m_table->SetCallPartner("12", "Bob"), 0);
        QCOMPARE(m_table->StatusAt(0), 0);
        QCOMPARE(m_table->KnownCallCount(), 0); // a slot without a status is not a known call
        QVERIFY(m_table->IsCallPartner("bob"));
        QVERIFY(m_table->IsCallPartner("BOB"));
        QVERIFY(!m_table->IsCallPartner("bo"));
        QVERIFY(!m_table->IsCallPartner(QString())); // free slots have no partner

        QCOMPARE(m_table->UpdateCallStatus("12", CallInProgress), 0);
        QCOMPARE(m_table->KnownCallCount(), 1);
        QCOMPARE(m_queued, QStringList{"get call 12 partner_handle"});
    }

    void activityQuestions_data()
    {
        QTest::addColumn<QList<int>>("statuses");
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("inProgress");
        QTest::newRow("ringing") << QList<int>{CallRinging} << false << false;
        QTest::newRow("in progress") << QList<int>{CallInProgress} << true << true;
        QTest::newRow("held") << QList<int>{CallOnHold} << true << false;
        QTest::newRow("finished and held") << QList<int>{CallFinished, CallOnHold} << true << false;
        QTest::newRow("ended calls") << QList<int>{CallFinished, CallMissed, CallFailed} << false << false;
    }

    void activityQuestions()
    {
        QFETCH(QList<int>, statuses);
        QFETCH(bool, active);
        QFETCH(bool, inProgress);
        for (int i = 0; i < statuses.size(); ++i) {
            m_table->UpdateCallStatus(QString::number(i + 1), CallRinging);
            m_table->UpdateCallStatus(QString::number(i + 1), statuses[i]);
        }
        QCOMPARE(m_table->AnyCallActive(), active);
        QCOMPARE(m_table->AnyCallInProgress(), inProgress);
        QCOMPARE(m_table->KnownCallCount(), statuses.size());

        m_table->ClearCalls();
        QVERIFY(!m_table->AnyCallActive());
        QVERIFY(!m_table->AnyCallInProgress());
        QCOMPARE(m_table->KnownCallCount(), 0);
        for (int slot = 0; slot < CallTable::SlotCount; ++slot) {
            QCOMPARE(m_table->CallIdAt(slot), QString());
            QCOMPARE(m_table->StatusAt(slot), 0);
            QCOMPARE(m_table->FirstSeenAt(slot), 0);
        }
        QCOMPARE(m_table->UpdateCallStatus("99", CallRinging), 0); // slots are free again
    }

    void indexesOutsideTheTable()
    {
        m_table->UpdateCallStatus("12", CallRinging);
        for (int index : {-1, CallTable::SlotCount, 1000}) {
            QCOMPARE(m_table->CallIdAt(index), QString());
            QCOMPARE(m_table->StatusAt(index), 0);
        }
    }

    void earliestActiveCall_data()
    {
        QTest::addColumn<QList<SlotSetUp>>("calls");
        QTest::addColumn<QString>("expected");

        QTest::newRow("none") << QList<SlotSetUp>{} << QString();
        QTest::newRow("only ringing") << QList<SlotSetUp>{{"1", CallRinging, 0}} << QString();
        QTest::newRow("seen first wins") << QList<SlotSetUp>{{"1", CallInProgress, 5}, {"2", CallInProgress, 3}} << "2";
        QTest::newRow("same second: higher slot")
            << QList<SlotSetUp>{{"1", CallInProgress, 3}, {"2", CallInProgress, 3}, {"3", CallInProgress, 4}} << "2";
        QTest::newRow("held counts") << QList<SlotSetUp>{{"1", CallOnHold, 1}, {"2", CallInProgress, 2}} << "1";
        QTest::newRow("ended ones do not") << QList<SlotSetUp>{{"1", CallFinished, 1}, {"2", CallInProgress, 2}} << "2";
        QTest::newRow("seen after now is skipped")
            << QList<SlotSetUp>{{"1", CallInProgress, 500}, {"2", CallInProgress, 50}} << "2";
    }

    void earliestActiveCall()
    {
        QFETCH(QList<SlotSetUp>, calls);
        QFETCH(QString, expected);
        fill(calls);
        for (const SlotSetUp& slot : calls)
            m_table->SetCallPartner(slot.callId, "partner-" + slot.callId);

        const CallTable::ActiveCall call = m_table->EarliestActiveCall();
        QCOMPARE(call.callId, expected);
        QCOMPARE(call.partner, expected.isEmpty() ? QString() : "partner-" + expected);
    }

    void partnersForCalls_data()
    {
        QTest::addColumn<QString>("calls");
        QTest::addColumn<QString>("partners");
        QTest::newRow("one without partner") << "12,13"
                                             << "bob,13";
        QTest::newRow("empty pieces skipped") << ",,12"
                                              << "bob";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("case ignored") << "ABC,12"
                                      << "carol,bob";
        QTest::newRow("pieces kept as they are") << "12, 12"
                                                 << "bob, 12";
    }

    void partnersForCalls()
    {
        QFETCH(QString, calls);
        QFETCH(QString, partners);
        CallPartnerMap map;
        map.RememberPartner("12", "bob");
        map.RememberPartner("abc", "alice");
        map.RememberPartner("ABC", "carol"); // the same call: its partner is replaced
        QCOMPARE(map.size(), 2);
        QCOMPARE(map.PartnersForCalls(calls), partners);
    }

    void displayNamesFor_data()
    {
        QTest::addColumn<QString>("handles");
        QTest::addColumn<QString>("names");
        QTest::newRow("name or handle") << "bob,alice"
                                        << "Bob B | alice";
        QTest::newRow("empty pieces skipped") << ",bob,,carol,"
                                              << "Bob B | carol";
        QTest::newRow("case matters") << "Bob"
                                      << "Bob";
        QTest::newRow("empty") << ""
                               << "";
    }

    void displayNamesFor()
    {
        QFETCH(QString, handles);
        QFETCH(QString, names);
        ContactDirectory directory;
        directory.AddContact("alice");
        QCOMPARE(directory.SetFullName("bob", "Bob B"), -1);
        directory.AddContact("carol");
        QCOMPARE(directory.DisplayNamesFor(handles), names);
    }

    void directoryEntries()
    {
        ContactDirectory directory;
        directory.AddContact("alice");
        directory.AddContact("bob");
        directory.AddContact("alice");
        directory.AddContact("Alice"); // handles compare exactly
        QCOMPARE(directory.size(), 3);

        QCOMPARE(directory.SetFullName("bob", "Bob Baker"), 1);
        QCOMPARE(directory.SetFullName("dave", "Dave Dent"), -1);
        QCOMPARE(directory.SetFullName("dave", "David Dent"), 3);
        QCOMPARE(directory.FullNameOf("dave"), QStringLiteral("David Dent"));
        QCOMPARE(directory.FullNameOf("alice"), QString());
        QCOMPARE(directory.FullNameOf("nobody"), QString());

        QVERIFY(directory.RemoveContact("bob"));
        QVERIFY(!directory.RemoveContact("bob"));
        QCOMPARE(directory.FullNameOf("bob"), QString());
        QCOMPARE(directory.SetFullName("dave", "D"), 2); // positions follow the removal
    }

    // The history window reads names while the parser writes them; every operation holds the
    // lock and hands out its own copy.
    void directoryIsSharedSafely()
    {
        ContactDirectory directory;
        std::atomic<bool> stop{false};
        std::atomic<bool> wellFormed{true};
        std::thread reader([&] {
            while (!stop.load()) {
                const QString names = directory.DisplayNamesFor(QStringLiteral("h1,h2,h3"));
                const QString name = directory.FullNameOf(QStringLiteral("h2"));
                if (names.count(QLatin1Char('|')) != 2 || !(name.isEmpty() || name.startsWith(QLatin1String("Name "))))
                    wellFormed.store(false);
            }
        });
        for (int round = 0; round < 2000; ++round) {
            const QString handle = QStringLiteral("h") + QString::number(round % 4);
            directory.SetFullName(handle, QStringLiteral("Name ") + QString::number(round));
            if (round % 7 == 0)
                directory.RemoveContact(handle);
        }
        stop.store(true);
        reader.join();
        QVERIFY(wellFormed.load());
    }
};

QTEST_GUILESS_MAIN(TestCallTable)
#include "tst_calltable.moc"
