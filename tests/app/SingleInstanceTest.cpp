#include "app/ui/SingleInstance.h"

#include "tests/support/TempDir.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

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

    void anotherUsersConnectionBringsNothingForward()
    {
        if (geteuid() != 0)
            QSKIP("connecting as another user needs root");
        TempDir runtime;
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.path()));
        velmora::SingleInstance instance("brinmoor-gatewise");
        QVERIFY(instance.claim());
        QSignalSpy activations(&instance, &velmora::SingleInstance::activationRequested);
        // A socket another user can reach, as a folder handed down through sudo might leave it.
        const QByteArray path = instance.socketPath().toLocal8Bit();
        chmod(runtime.path().c_str(), 0711), chmod(path.constData(), 0777);
        const pid_t child = fork();
        if (child == 0) { // as nobody: connect, and exit 0 when hung up on within 5 s
            sockaddr_un to{AF_UNIX, {}};
            std::snprintf(to.sun_path, sizeof to.sun_path, "%s", path.constData());
            const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
            pollfd wait{fd, POLLIN, 0};
            char byte;
            _exit(setgid(65534) || setuid(65534) ||
                  ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) ||
                  poll(&wait, 1, 5000) != 1 || read(fd, &byte, 1) != 0);
        }
        int status = -1;
        for (int i = 0; i < 1000 && waitpid(child, &status, WNOHANG) == 0; ++i)
            QTest::qWait(10); // the guard answers from this event loop
        QCOMPARE(status, 0);  // reached, then hung up on
        QCOMPARE(activations.count(), 0);
        qunsetenv("XDG_RUNTIME_DIR");
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
