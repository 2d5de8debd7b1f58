#include "app/ui/SingleInstance.h"

#include "tests/support/TempDir.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using velmora::test::TempDir;

class SingleInstanceTest : public QObject
{
    Q_OBJECT

    QProcessEnvironment environment(const TempDir& runtime)
    {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.path()));
        return env;
    }

private slots:
    void secondProcessBringsTheFirstForwardAndEnds()
    {
        TempDir runtime;
        QProcess first;
        first.setProcessEnvironment(environment(runtime));
        first.start(PROBE_PATH, {"brinmoor-gatewise"});
        QVERIFY(first.waitForReadyRead(10000));
        QCOMPARE(first.readLine().trimmed(), QByteArray("first"));

        QProcess second;
        second.setProcessEnvironment(environment(runtime));
        second.start(PROBE_PATH, {"brinmoor-gatewise"});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(second.readAllStandardOutput().trimmed(), QByteArray("second"));

        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(first.readAllStandardOutput().trimmed(), QByteArray("activated"));
    }

    void staleSocketOfACrashedInstanceIsTakenOver()
    {
        TempDir runtime;
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.path()));
        QFile stale(QString::fromStdString(runtime.path() + "brinmoor-gatewise"));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();

        velmora::SingleInstance instance("brinmoor-gatewise");
        QVERIFY(instance.claim());
        QSignalSpy activations(&instance, &velmora::SingleInstance::activationRequested);

        QProcess second;
        second.setProcessEnvironment(environment(runtime));
        second.start(PROBE_PATH, {"brinmoor-gatewise"});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.readAllStandardOutput().trimmed(), QByteArray("second"));
        QVERIFY(activations.count() == 1 || activations.wait(5000));
        qunsetenv("XDG_RUNTIME_DIR");
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
