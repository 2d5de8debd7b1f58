#include "app/ui/TerminationWatcher.h"

#include <QSignalSpy>
#include <QTest>
#include <signal.h>

class TerminationWatcherTest : public QObject
{
    Q_OBJECT

private slots:
    void politeSignalsArriveOnTheGuiThread()
    {
        for (int number : {SIGTERM, SIGINT, SIGHUP}) {
            TerminationWatcher watcher;
            QVERIFY(watcher.active());
            QSignalSpy spy(&watcher, &TerminationWatcher::terminationRequested);
            ::raise(number);
            QVERIFY(spy.wait(5000));
            QCOMPARE(spy.count(), 1);
            QCOMPARE(spy.at(0).at(0).toInt(), number);
        }
    }

    void aSecondWatcherStaysInactive()
    {
        TerminationWatcher first;
        TerminationWatcher second;
        QVERIFY(first.active());
        QVERIFY(!second.active());
    }

    void thePreviousHandlerComesBackWhenTheWatcherGoes()
    {
        struct sigaction before
        {
        };
        ::sigaction(SIGTERM, nullptr, &before);
        {
            TerminationWatcher watcher;
            struct sigaction during
            {
            };
            ::sigaction(SIGTERM, nullptr, &during);
            QVERIFY(during.sa_handler != before.sa_handler);
        }
        struct sigaction after
        {
        };
        ::sigaction(SIGTERM, nullptr, &after);
        QVERIFY(after.sa_handler == before.sa_handler);
    }
};

QTEST_GUILESS_MAIN(TerminationWatcherTest)
#include "TerminationWatcherTest.moc"
