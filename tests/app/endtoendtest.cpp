// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "account.h"
#include "buddy.h"
#include "buddylist.h"
#include "kzemvik.h"
#include "kzemvikmainview.h"
#include "localserviceprocess.h"
#include "loginview.h"
#include "mypasswordedit.h"
#include "recordingboxes.h"
#include "settings.h"

#include <KAboutData>
#include <KConfigGroup>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QSet>
#include <QStandardPaths>
#include <QTest>

#include <sqlite3.h>

#include <memory>

namespace
{
//! Every row of tb_user as "ID|NAME|NICK|EMAIL", read straight from the file.
QStringList userRows(const QString &file)
{
    QStringList rows;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return rows;
    }
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT ID, NAME, NICK, EMAIL FROM tb_user", -1, &stmt, nullptr) == SQLITE_OK) {
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList columns;
            for (int i = 0; i < 4; ++i) {
                columns << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, i)));
            }
            rows << columns.join(QLatin1Char('|'));
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}
}

class EndToEndTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationName(QStringLiteral("kzemvik"));
        KAboutData::setApplicationData(KAboutData(QStringLiteral("kzemvik"), QStringLiteral("Zemvik 메신저"), QStringLiteral("0.9")));
        QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/kzemvikrc"));
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
        Settings::reset();
    }

    void signInToLocalService()
    {
        LocalServiceProcess service;
        service.setBots(true);
        QVERIFY2(service.start(), qPrintable(service.errorOutput()));
        {
            KConfigGroup g = Settings::config()->group("Config_Service");
            g.writeEntry("Dispatch_Host", service.host(QStringLiteral("dispatch")).toString());
            g.writeEntry("Dispatch_Port", int(service.port(QStringLiteral("dispatch"))));
            g.sync();
        }
        RecordingBoxes boxes;
        KZemvik window;
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        QVERIFY(window.initialize());
        window.loginView()->idEdit()->setText(QStringLiteral("demo"));
        window.loginView()->domainCombo()->setCurrentIndex(0);
        QCOMPARE(window.loginView()->domainCombo()->currentText(), QStringLiteral("zemvik.example"));
        window.loginView()->passwordEdit()->setText(QStringLiteral("demo1234"));
        QTest::keyClick(window.loginView()->passwordEdit(), Qt::Key_Return);
        QTRY_VERIFY2_WITH_TIMEOUT(window.isConnected(), qPrintable(boxes.texts.join(QLatin1Char('\n')) + service.errorOutput()), 15000);
        QVERIFY(boxes.texts.isEmpty());

        CurrentAccount *account = CurrentAccount::instance();
        QCOMPARE(account->name, QStringLiteral("김데모"));
        BuddyList *buddies = account->buddyList;
        QVERIFY(buddies->count() >= 5);
        Buddy *mom = buddies->findByLoginId(QStringLiteral("haeun@zemvik.example"));
        QVERIFY(mom);
        QCOMPARE(mom->name, QStringLiteral("박하은"));
        // The scripted buddies are signed in; presence arrives with the list or right after it.
        QTRY_VERIFY_WITH_TIMEOUT(mom->isOnline(), 10000);
        Buddy *minjun = buddies->findByLoginId(QStringLiteral("minjun@zemvik.example"));
        if (minjun) {
            QVERIFY(!minjun->isOnline());
        }

        const QString userDb = window.userPath() + QStringLiteral("local_user.db");
        const QStringList rows = userRows(userDb);
        QCOMPARE(rows.size(), buddies->count() + 1);
        QSet<QString> ids;
        for (const QString &row : rows) {
            ids.insert(row.section(QLatin1Char('|'), 0, 0));
        }
        QVERIFY(ids.contains(account->ownId()));
        for (const Buddy *buddy : *buddies) {
            QVERIFY2(ids.contains(buddy->loginId), qPrintable(buddy->loginId));
        }
        QVERIFY(rows.contains(QStringLiteral("haeun@zemvik.example|박하은|엄마|박하은 <haeun@zemvik.example>")));
    }
};

QTEST_MAIN(EndToEndTest)

#include "endtoendtest.moc"
