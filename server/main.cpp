// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "localservice.h"
#include "servicestore.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

namespace
{
int fail(const QString &message)
{
    std::fprintf(stderr, "zemvik-localservice: %s\n", message.toUtf8().constData());
    return 1;
}

bool parsePort(const QCommandLineParser &parser, const QString &name, quint16 *port)
{
    if (!parser.isSet(name)) {
        return true;
    }
    bool ok = false;
    const uint value = parser.value(name).toUInt(&ok);
    if (!ok || value > 65535) {
        return false;
    }
    *port = quint16(value);
    return true;
}

int runCommand(const QString &dataDirectory, const QStringList &args)
{
    ServiceStore store;
    QString error;
    if (!LocalService::openStore(store, dataDirectory, &error)) {
        return fail(error);
    }
    const QString &command = args.first();
    if (command == QLatin1String("add-account")) {
        if (args.size() < 4 || args.size() > 5) {
            return fail(QStringLiteral("usage: add-account ID PASSWORD NAME [NICK]"));
        }
        if (!store.addAccount(args.at(1), args.at(2), args.at(3), args.value(4))) {
            return fail(store.errorString());
        }
        return 0;
    }
    if (command == QLatin1String("add-buddy")) {
        if (args.size() < 3 || args.size() > 4) {
            return fail(QStringLiteral("usage: add-buddy ID BUDDY_ID [GROUP_NAME]"));
        }
        if (!store.linkBuddies(args.at(1), args.at(2), args.value(3))) {
            return fail(store.errorString());
        }
        return 0;
    }
    return fail(QStringLiteral("unknown command \"%1\" (add-account, add-buddy)").arg(command));
}
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zemvik-localservice"));
    QCoreApplication::setOrganizationName(QStringLiteral("kzemvik"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The bundled local Zemvik service."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("data"), QStringLiteral("Directory of the service's database."), QStringLiteral("DIR")},
        {QStringLiteral("listen"), QStringLiteral("Address to listen on (default 127.0.0.1)."), QStringLiteral("ADDRESS")},
        {QStringLiteral("dispatch-port"), QStringLiteral("Port of the dispatch server (default 5004, 0 picks a free one)."), QStringLiteral("N")},
        {QStringLiteral("web-port"), QStringLiteral("Port of the web pages (default 5080, 0 picks a free one)."), QStringLiteral("N")},
        {QStringLiteral("no-bots"), QStringLiteral("Do not keep the scripted demo buddies signed in.")},
        {QStringLiteral("watch-stdin"), QStringLiteral("Exit when standard input is closed (for a parent that may die first).")},
    });
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("add-account ID PASSWORD NAME [NICK] | add-buddy ID BUDDY_ID [GROUP_NAME]; none: run the service."));
    parser.process(app);

    LocalService::Options options;
    if (parser.isSet(QStringLiteral("data"))) {
        options.dataDirectory = parser.value(QStringLiteral("data"));
    } else {
        options.dataDirectory = LocalService::defaultDataDirectory();
    }
    if (parser.isSet(QStringLiteral("listen"))) {
        options.address = QHostAddress(parser.value(QStringLiteral("listen")));
        if (options.address.isNull()) {
            return fail(QStringLiteral("\"%1\" is not an IP address").arg(parser.value(QStringLiteral("listen"))));
        }
    }
    if (!parsePort(parser, QStringLiteral("dispatch-port"), &options.dispatchPort) || !parsePort(parser, QStringLiteral("web-port"), &options.webPort)) {
        return fail(QStringLiteral("a port is a number from 0 to 65535"));
    }
    options.bots = !parser.isSet(QStringLiteral("no-bots"));

    const QStringList args = parser.positionalArguments();
    if (!args.isEmpty()) {
        return runCommand(options.dataDirectory, args);
    }

    LocalService service;
    QObject::connect(&service, &LocalService::listening, &service, [](const QString &role, const QString &hostPort) {
        std::printf("%s %s\n", qPrintable(role), qPrintable(hostPort));
        std::fflush(stdout);
    });
    if (!service.start(options)) {
        return fail(service.errorString());
    }
    if (parser.isSet(QStringLiteral("watch-stdin"))) {
        auto *notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &service);
        QObject::connect(notifier, &QSocketNotifier::activated, &service, [notifier] {
            char buffer[256];
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof(buffer));
            if (n <= 0) {
                notifier->setEnabled(false);
                QCoreApplication::quit();
            }
        });
    }
    return app.exec();
}
