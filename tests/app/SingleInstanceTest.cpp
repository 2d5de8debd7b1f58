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

namespace {
// In a child running as `uid`: connects to the socket at `path` and waits up
// to 5 s for the other end to hang up. 0 when it does, 1 when it does not.
[[noreturn]] void ConnectAsAndAwaitHangUp(uid_t uid, const char* path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (setgid(uid) != 0 || setuid(uid) != 0 ||
        connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        _exit(2);
    pollfd wait{fd, POLLIN, 0};
    char byte;
    _exit(poll(&wait, 1, 5000) == 1 && read(fd, &byte, 1) == 0 ? 0 : 1);
}
} // namespace

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
        // A socket another user can reach, as a runtime folder handed down
        // through sudo might leave it.
        const QByteArray path = instance.socketPath().toLocal8Bit();
        chmod(runtime.path().c_str(), 0711);
        chmod(path.constData(), 0777);
        const pid_t child = fork();
        if (child == 0)
            ConnectAsAndAwaitHangUp(65534, path.constData());
        int status = 0;
        for (int i = 0; i < 1000 && waitpid(child, &status, WNOHANG) == 0; ++i)
            QTest::qWait(10); // the guard answers from this event loop
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0); // reached, then hung up on
        QCOMPARE(activations.count(), 0);
        qunsetenv("XDG_RUNTIME_DIR");
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
