// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "kzemvikdcop.h"

#include "app_debug.h"
#include "kzemvikdcopadaptor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDomDocument>

KZemvikDCOP::KZemvikDCOP(QObject *parent)
    : QObject(parent)
{
    new KZemvikDCOPAdaptor(this);
}

KZemvikDCOP::~KZemvikDCOP()
{
    if (m_bRegistered) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(objectPath());
        bus.unregisterService(serviceName());
    }
}

QString KZemvikDCOP::serviceName()
{
    return QStringLiteral("org.kde.kzemvik");
}

QString KZemvikDCOP::objectPath()
{
    return QStringLiteral("/kzemvikdcop");
}

QString KZemvikDCOP::viewerService()
{
    return QStringLiteral("org.kde.messageviewer");
}

QString KZemvikDCOP::viewerInterface()
{
    return QStringLiteral("org.kde.messageviewer.MessageBox");
}

bool KZemvikDCOP::registerOnBus()
{
    if (m_bRegistered) {
        return true;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qCDebug(KZEMVIK_APP) << "no session bus; the message viewer cannot reach us";
        return false;
    }
    if (!bus.registerObject(objectPath(), this, QDBusConnection::ExportAdaptors)) {
        qCDebug(KZEMVIK_APP) << "could not register" << objectPath();
        return false;
    }
    if (!bus.registerService(serviceName())) {
        qCDebug(KZEMVIK_APP) << "could not own" << serviceName() << bus.lastError().message();
        bus.unregisterObject(objectPath());
        return false;
    }
    m_bRegistered = true;
    return true;
}

bool KZemvikDCOP::isRegistered() const
{
    return m_bRegistered;
}

void KZemvikDCOP::dcopCommand(const QString &s)
{
    Q_EMIT commandReceived(s);
}

bool KZemvikDCOP::sendToViewer(const QString &method, const QString &argument, bool wait)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(viewerService()).value()) {
        qCDebug(KZEMVIK_APP) << "Error with DCOP";
        return false;
    }
    QDBusMessage introspect = QDBusMessage::createMethodCall(viewerService(),
                                                             QStringLiteral("/"),
                                                             QStringLiteral("org.freedesktop.DBus.Introspectable"),
                                                             QStringLiteral("Introspect"));
    introspect.setAutoStartService(false);
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(introspect, 2000), this);
    if (wait) {
        watcher->waitForFinished();
        deliver(watcher, method, argument);
        return true;
    }
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, method, argument](QDBusPendingCallWatcher *w) {
        deliver(w, method, argument);
    });
    return true;
}

void KZemvikDCOP::deliver(QDBusPendingCallWatcher *watcher, const QString &method, const QString &argument)
{
    watcher->deleteLater();
    const QDBusPendingReply<QString> reply = *watcher;
    if (reply.isError()) {
        qCDebug(KZEMVIK_APP) << "Error with DCOP" << reply.error().message();
        return;
    }
    QDomDocument doc;
    if (!doc.setContent(reply.value())) {
        qCDebug(KZEMVIK_APP) << "Error with DCOP: unreadable introspection";
        return;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    int sent = 0;
    for (QDomElement node = doc.documentElement().firstChildElement(QStringLiteral("node")); !node.isNull();
         node = node.nextSiblingElement(QStringLiteral("node"))) {
        const QString name = node.attribute(QStringLiteral("name"));
        if (!name.startsWith(QLatin1String("MessageBox"))) {
            continue;
        }
        QDBusMessage call = QDBusMessage::createMethodCall(viewerService(), QLatin1Char('/') + name, viewerInterface(), method);
        call << argument;
        call.setAutoStartService(false);
        if (bus.send(call)) {
            ++sent;
        }
    }
    if (sent == 0) {
        qCDebug(KZEMVIK_APP) << "Error with DCOP: no message viewer object";
    }
    Q_EMIT viewerCallSent(method, argument, sent);
}
