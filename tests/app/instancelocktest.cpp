// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "instancelock.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class InstanceLockTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writesPid()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral(".kzemvik.lock"));
        {
            QFile stale(path);
            QVERIFY(stale.open(QIODevice::WriteOnly));
            stale.write("999999999\nleft over by an old instance\n");
        }
        InstanceLock lock(path);
        QVERIFY(lock.acquire());
        QVERIFY(lock.isHeld());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray::number(static_cast<qint64>(::getpid())) + '\n');
    }

    void newFileIsNotWorldReadable()
    {
        QTemporaryDir dir;
        InstanceLock lock(dir.filePath(QStringLiteral(".kzemvik.lock")));
        QVERIFY(lock.acquire());
        QCOMPARE(QFileInfo(lock.path()).permissions() & (QFile::ReadOther | QFile::WriteOther), QFile::Permissions());
    }

    void defaultPathInHome()
    {
        QCOMPARE(InstanceLock::defaultPath(), QDir::homePath() + QStringLiteral("/.kzemvik.lock"));
    }

    void unopenableFileFails()
    {
        QTemporaryDir dir;
        InstanceLock lock(dir.filePath(QStringLiteral("missing/dir/.kzemvik.lock")));
        QVERIFY(!lock.acquire());
        QVERIFY(!lock.isHeld());
    }

    void secondStartEndsQuietly()
    {
        QTemporaryDir home;
        InstanceLock lock(home.filePath(QStringLiteral(".kzemvik.lock")));
        QVERIFY(lock.acquire());

        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(KZEMVIK_BINARY), {});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        const QByteArray err = second.readAllStandardError();
        QVERIFY2(err.contains("Failed to get lock on " + QFile::encodeName(home.path()) + "/.kzemvik.lock : "), err.constData());
        QVERIFY2(err.endsWith("kzemvik is already running!\n"), err.constData());
        // The running instance keeps its lock and its pid in the file.
        QVERIFY(lock.isHeld());
        QFile file(lock.path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray::number(static_cast<qint64>(::getpid())) + '\n');
    }
};

QTEST_GUILESS_MAIN(InstanceLockTest)

#include "instancelocktest.moc"
