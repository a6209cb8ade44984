// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later

// Sign-in of a user with 5,000 buddies in 50 groups against the local service: the real session
// connection from "LSIN" written to connected(), beside a bare socket loop that sends the same
// commands and only cuts the same answer into lines. Also the contact model's heap per buddy.

#include "account.h"
#include "buddylist.h"
#include "grouplist.h"
#include "servicestore.h"
#include "settings.h"
#include "signindigest.h"
#include "zemvikdpconnection.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <malloc.h>
#include <memory>
#include <vector>

namespace
{
constexpr int BuddyCount = 5000;
constexpr int GroupCount = 50;
constexpr int TimeoutMs = 30000;

const QString s_ownerId = QStringLiteral("bench@zemvik.example");
const QString s_password = QStringLiteral("bench1234");

size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd; // small chunks in use plus mmapped blocks
}

double median(std::vector<double> values)
{
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

//! The service as a child process on a populated temporary data directory.
class BenchService
{
public:
    ~BenchService()
    {
        stop();
    }

    bool start()
    {
        // The accounts go in one commit each; a memory-backed directory keeps that quick.
        if (QDir(QStringLiteral("/dev/shm")).exists()) {
            m_pDir = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/signinbench-XXXXXX"));
        }
        if (!m_pDir || !m_pDir->isValid()) {
            m_pDir = std::make_unique<QTemporaryDir>();
        }
        if (!m_pDir->isValid() || !populate()) {
            return false;
        }
        m_process.start(QStringLiteral(ZEMVIK_LOCALSERVICE_PATH),
                        {QStringLiteral("--data"),
                         m_pDir->path(),
                         QStringLiteral("--listen"),
                         QStringLiteral("127.0.0.1"),
                         QStringLiteral("--dispatch-port"),
                         QStringLiteral("0"),
                         QStringLiteral("--web-port"),
                         QStringLiteral("0"),
                         QStringLiteral("--no-bots"),
                         QStringLiteral("--watch-stdin")});
        if (!m_process.waitForStarted(TimeoutMs)) {
            return fail("the local service did not start");
        }
        QByteArray pending;
        QElapsedTimer clock;
        clock.start();
        while (m_port == 0 && clock.elapsed() < TimeoutMs) {
            if (!m_process.waitForReadyRead(1000) && m_process.state() != QProcess::Running) {
                break;
            }
            pending += m_process.readAllStandardOutput();
            int nl;
            while ((nl = pending.indexOf('\n')) >= 0) {
                const QByteArray line = pending.left(nl).trimmed();
                pending.remove(0, nl + 1);
                if (line.startsWith("session ")) {
                    const QByteArray hostPort = line.mid(8);
                    const int colon = hostPort.lastIndexOf(':');
                    m_host = QString::fromLatin1(hostPort.left(colon));
                    m_port = quint16(hostPort.mid(colon + 1).toUInt());
                }
            }
        }
        if (m_port == 0) {
            return fail("the local service announced no session listener");
        }
        return true;
    }

    void stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.closeWriteChannel();
            if (!m_process.waitForFinished(5000)) {
                m_process.kill();
                m_process.waitForFinished(5000);
            }
        }
    }

    QString host() const
    {
        return m_host;
    }

    quint16 port() const
    {
        return m_port;
    }

private:
    bool fail(const char *what)
    {
        std::fprintf(stderr, "signinbench: %s\n%s", what, m_process.readAllStandardError().constData());
        return false;
    }

    //! One owner with BuddyCount buddies, spread evenly over GroupCount groups.
    bool populate()
    {
        ServiceStore store;
        if (!store.open(m_pDir->path()) || !store.addAccount(s_ownerId, s_password, QStringLiteral("벤치 사용자"), QString())) {
            return fail(store.errorString().toUtf8().constData());
        }
        for (int i = 0; i < BuddyCount; ++i) {
            const QString nick = i % 3 == 0 ? QStringLiteral("별명 %1 :)").arg(i) : QString();
            if (!store.addAccount(QStringLiteral("buddy%1@zemvik.example").arg(i, 4, 10, QLatin1Char('0')), s_password, QStringLiteral("친구 %1").arg(i), nick)) {
                return fail(store.errorString().toUtf8().constData());
            }
        }
        const int owner = store.account(s_ownerId).cmn;
        std::vector<int> groupIds;
        for (int g = 0; g < GroupCount; ++g) {
            int id = -1;
            if (store.addGroup(owner, QStringLiteral("그룹 %1").arg(g + 1), &id) < 0) {
                return fail(store.errorString().toUtf8().constData());
            }
            groupIds.push_back(id);
        }
        if (!store.beginTransaction()) {
            return fail(store.errorString().toUtf8().constData());
        }
        for (int i = 0; i < BuddyCount; ++i) {
            const int buddy = store.account(QStringLiteral("buddy%1@zemvik.example").arg(i, 4, 10, QLatin1Char('0'))).cmn;
            StoredEntry mine;
            mine.buddyCmn = buddy;
            mine.fl = mine.al = mine.rl = true;
            StoredEntry theirs;
            theirs.buddyCmn = owner;
            theirs.fl = theirs.al = theirs.rl = true;
            if (!store.setEntry(owner, mine) || !store.setEntry(buddy, theirs) || !store.addMembership(owner, buddy, groupIds[size_t(i % GroupCount)])) {
                store.rollback();
                return fail("cannot store a list entry");
            }
        }
        if (!store.commit()) {
            return fail(store.errorString().toUtf8().constData());
        }
        return true;
    }

    std::unique_ptr<QTemporaryDir> m_pDir;
    QProcess m_process;
    QString m_host;
    quint16 m_port = 0;
};

BenchService *s_service = nullptr;

BenchService *service()
{
    if (!s_service) {
        s_service = new BenchService;
        if (!s_service->start()) {
            std::fprintf(stderr, "signinbench: setting up the service failed\n");
            std::exit(1);
        }
    }
    return s_service;
}

struct Sample {
    double ms = -1;
    double bytesPerBuddy = 0;
    int buddies = 0;
    int groups = 0;
};

//! The real client: a fresh session connection signs in and downloads both lists.
Sample clientSignIn()
{
    Sample sample;
    CurrentAccount::destroyInstance();
    CurrentAccount::instance()->setLoginInfo(s_ownerId, s_password);
    CurrentAccount::instance()->setServer(service()->host(), service()->port());
    auto connection = std::make_unique<ZemvikDPConnection>();
    if (!connection->initialize()) {
        return sample;
    }
    QEventLoop loop;
    QElapsedTimer clock;
    size_t heapBefore = 0;
    size_t heapAfter = 0;
    QObject::connect(connection.get(), &ZemvikConnection::messageSent, &loop, [&](const QString &text) {
        if (text.startsWith(QLatin1String("LSIN "))) {
            heapBefore = heapInUse();
            clock.start();
        }
    });
    QObject::connect(connection.get(), &ZemvikDPConnection::connected, &loop, [&] {
        sample.ms = double(clock.nsecsElapsed()) / 1e6;
        heapAfter = heapInUse();
        loop.quit();
    });
    QObject::connect(connection.get(), &ZemvikConnection::disconnected, &loop, &QEventLoop::quit);
    QTimer::singleShot(TimeoutMs, &loop, &QEventLoop::quit);
    if (!connection->connectToServer()) {
        return sample;
    }
    loop.exec();
    sample.buddies = connection->buddyList()->count();
    sample.groups = connection->groupList()->count();
    if (sample.ms >= 0 && sample.buddies > 0) {
        sample.bytesPerBuddy = double(qint64(heapAfter) - qint64(heapBefore)) / sample.buddies;
    }
    connection->disconnectFromServer();
    connection->buddyList()->deleteAll();
    connection->groupList()->deleteAll();
    connection.reset();
    CurrentAccount::destroyInstance();
    return sample;
}

//! Field index of a line ("CMD TID INDEX COUNT ...") as a number; -1 when missing.
int numberField(const char *line, int length, int index)
{
    int field = 0;
    int pos = 0;
    while (pos < length && field < index) {
        if (line[pos++] == ' ') {
            ++field;
        }
    }
    if (field != index || pos >= length) {
        return -1;
    }
    int value = 0;
    bool any = false;
    while (pos < length && line[pos] >= '0' && line[pos] <= '9') {
        value = value * 10 + (line[pos++] - '0');
        any = true;
    }
    return any ? value : -1;
}

//! Index and count say it was the last line of a list.
bool isLastLine(const char *line, int length)
{
    const int index = numberField(line, length, 2);
    const int count = numberField(line, length, 3);
    return index >= 0 && index + 1 == count;
}

//! The baseline: the same commands on a bare socket, the answer only cut into lines.
Sample plainSignIn()
{
    Sample sample;
    QTcpSocket socket;
    QEventLoop loop;
    QElapsedTimer clock;
    enum Stage { SignIn, Configuration, Groups, Buddies, Done } stage = SignIn;
    QByteArray buffer;
    int start = 0;
    int skip = 0; // payload bytes still to pass over
    QObject::connect(&socket, &QTcpSocket::connected, &loop, [&] {
        const QString digest = SignInDigest::digest(s_password, s_ownerId, Settings::serviceDomain());
        socket.write(QStringLiteral("LSIN 0 %1 %2 MD5 3.871 UTF8\r\n").arg(s_ownerId, digest).toUtf8());
    });
    QObject::connect(&socket, &QTcpSocket::bytesWritten, &loop, [&] {
        if (stage == SignIn && !clock.isValid()) {
            clock.start();
        }
    });
    QObject::connect(&socket, &QTcpSocket::readyRead, &loop, [&] {
        buffer.append(socket.readAll());
        for (;;) {
            if (skip > 0) {
                const int n = std::min(skip, int(buffer.size()) - start);
                start += n;
                skip -= n;
                if (skip > 0) {
                    break;
                }
                socket.write("GLST 2 0\r\n");
                stage = Groups;
            }
            const char *base = buffer.constData() + start;
            const void *nl = std::memchr(base, '\n', size_t(buffer.size() - start));
            if (!nl) {
                break;
            }
            const int length = int(static_cast<const char *>(nl) - base) - 1; // without CR LF
            start += length + 2;
            if (stage == SignIn && std::strncmp(base, "LSIN ", 5) == 0) {
                socket.write("CONF 1 0 0\r\n");
                stage = Configuration;
            } else if (stage == Configuration && std::strncmp(base, "CONF ", 5) == 0) {
                skip = std::max(0, numberField(base, length, 2));
                if (skip == 0) {
                    socket.write("GLST 2 0\r\n");
                    stage = Groups;
                }
            } else if (stage == Groups && std::strncmp(base, "GLST ", 5) == 0 && isLastLine(base, length)) {
                socket.write("LIST 3 \r\n");
                stage = Buddies;
            } else if (stage == Buddies && std::strncmp(base, "LIST ", 5) == 0) {
                ++sample.buddies;
                if (isLastLine(base, length)) {
                    sample.ms = double(clock.nsecsElapsed()) / 1e6;
                    stage = Done;
                    loop.quit();
                    return;
                }
            }
        }
        if (start > buffer.size() / 2) {
            buffer.remove(0, start);
            start = 0;
        }
    });
    QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
    QTimer::singleShot(TimeoutMs, &loop, &QEventLoop::quit);
    socket.connectToHost(service()->host(), service()->port());
    loop.exec();
    if (socket.state() == QAbstractSocket::ConnectedState) {
        socket.write("LOUT\r\n");
        socket.flush();
    }
    socket.abort();
    return sample;
}

std::vector<double> s_clientMs;
std::vector<double> s_plainMs;
std::vector<double> s_bytesPerBuddy;

void BM_SignIn5000(benchmark::State &state)
{
    service();
    // Warm the service's page cache and our own code paths once.
    (void)plainSignIn();
    (void)clientSignIn();
    std::vector<double> client;
    std::vector<double> plain;
    std::vector<double> bytes;
    bool odd = false;
    for (auto _ : state) {
        // Alternate the order so that neither side always finds the service just warmed up.
        Sample p;
        Sample c;
        if (odd) {
            c = clientSignIn();
            p = plainSignIn();
        } else {
            p = plainSignIn();
            c = clientSignIn();
        }
        odd = !odd;
        if (c.ms < 0 || p.ms < 0 || c.buddies != BuddyCount || p.buddies != BuddyCount
            || c.groups != GroupCount + 1) { // and the default group
            state.SkipWithError("a sign-in did not complete with every buddy");
            break;
        }
        state.SetIterationTime(c.ms / 1000);
        client.push_back(c.ms);
        plain.push_back(p.ms);
        bytes.push_back(c.bytesPerBuddy);
    }
    s_clientMs.insert(s_clientMs.end(), client.begin(), client.end());
    s_plainMs.insert(s_plainMs.end(), plain.begin(), plain.end());
    s_bytesPerBuddy.insert(s_bytesPerBuddy.end(), bytes.begin(), bytes.end());
    const double plainMedian = median(plain);
    state.counters["client_ms"] = median(client);
    state.counters["plain_ms"] = plainMedian;
    state.counters["ratio"] = plainMedian > 0 ? median(client) / plainMedian : 0;
    state.counters["bytes_per_buddy"] = median(bytes);
}
BENCHMARK(BM_SignIn5000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
}

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    Settings::setUseProxy(false);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!s_clientMs.empty()) {
        const double client = median(s_clientMs);
        const double plain = median(s_plainMs);
        std::printf("signinbench: %d buddies in %d groups: client %.1f ms, plain socket %.1f ms, ratio %.2f (target 3), %.0f bytes per buddy\n",
                    BuddyCount,
                    GroupCount,
                    client,
                    plain,
                    plain > 0 ? client / plain : 0.0,
                    median(s_bytesPerBuddy));
    }
    delete s_service;
    s_service = nullptr;
    return 0;
}
