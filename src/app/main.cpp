// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "instancelock.h"
#include "kzemvik.h"
#include "startup.h"

#include <KAboutData>
#include <KLocalizedString>

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

int main(int argc, char **argv)
{
    // Nothing here draws with OpenGL; loading a GL driver at start would only cost memory.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION")) {
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    }
    QApplication app(argc, argv);
    KLocalizedString::setApplicationDomain("kzemvik");

    KAboutData about(QStringLiteral("kzemvik"),
                     i18n("Zemvik 메신저"),
                     QStringLiteral("0.9"),
                     i18n("이것은 KDE3용 Zemvik 메신저 입니다."),
                     KAboutLicense::Custom,
                     QString(),
                     QString(),
                     QStringLiteral("https://www.zemvik.example/"),
                     QStringLiteral("bugs@zemvik.example"));
    about.setLicenseText(i18n("KZemvik is free software; you can redistribute it and/or modify it under the terms of the GNU General Public License, version 2 or later."));
    KAboutData::setApplicationData(about);

    QCommandLineParser parser;
    about.setupCommandLine(&parser);
    const QCommandLineOption networkLog(QStringLiteral("network-log"), i18n("Show the server message log window"));
    parser.addOption(networkLog);
    parser.process(app);
    about.processCommandLine(&parser);

    InstanceLock lock;
    if (!lock.acquire()) {
        std::fputs("kzemvik is already running!\n", stderr);
        return 0;
    }

    return Startup::runMainWindow(new KZemvik, parser.isSet(networkLog));
}
