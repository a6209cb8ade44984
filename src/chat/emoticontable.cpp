// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "emoticontable.h"
#include "chat_debug.h"
#include "chattext.h"

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>

namespace
{
const QString s_definitionFile = QStringLiteral("Emoticons_u.sm");

QString withSlash(const QString &dir)
{
    if (dir.isEmpty() || dir.endsWith(QLatin1Char('/'))) {
        return dir;
    }
    return dir + QLatin1Char('/');
}
}

EmoticonTable::EmoticonTable()
    : EmoticonTable(QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("kzemvik/emoticons"), QStandardPaths::LocateDirectory))
{
}

EmoticonTable::EmoticonTable(const QString &directory)
    : m_directory(withSlash(directory))
{
    load();
}

QString EmoticonTable::directory() const
{
    return m_directory;
}

QString EmoticonTable::picture(const QString &name) const
{
    return m_pictures.value(name);
}

int EmoticonTable::count() const
{
    return m_pictures.size();
}

void EmoticonTable::load()
{
    m_pictures.clear();
    const QString path = m_directory + s_definitionFile;
    QFile file(path);
    if (m_directory.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        qCDebug(KZEMVIK_CHAT) << "File Open Error [" << path << "]";
        return;
    }
    QXmlStreamReader xml(&file);
    if (xml.readNextStartElement()) {
        while (xml.readNextStartElement()) {
            if (xml.name() != QLatin1String("tab")) {
                xml.skipCurrentElement();
                continue;
            }
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("item")) {
                    const QXmlStreamAttributes attributes = xml.attributes();
                    m_pictures.insert(attributes.value(QLatin1String("name")).toString(), attributes.value(QLatin1String("url")).toString());
                }
                xml.skipCurrentElement();
            }
        }
    }
    if (xml.hasError()) {
        qCDebug(KZEMVIK_CHAT) << " XML Error [" << path << "]" << xml.errorString();
    }
}

QString EmoticonTable::decodeEscapes(const QString &text)
{
    QString out = text;
    out.replace(QStringLiteral("%20"), QStringLiteral(" "));
    out.remove(QStringLiteral("%0D"));
    out.replace(QStringLiteral("%0A"), QStringLiteral("<br>"));
    return out;
}

QString EmoticonTable::convert(const QString &text) const
{
    // A slash that closes one code cannot open the next: the scan resumes after each match.
    static const QRegularExpression code(QStringLiteral("/[^/\\r\\n]*/"));
    QString out;
    int copied = 0;
    int from = 0;
    while (from < text.size()) {
        const QRegularExpressionMatch match = code.match(text, from);
        if (!match.hasMatch()) {
            break;
        }
        const QString name = match.captured().mid(1, match.capturedLength() - 2);
        const auto it = m_pictures.constFind(name);
        if (it != m_pictures.constEnd()) {
            // The picture path is ours; the display escapes apply only to the text around it.
            out += decodeEscapes(text.mid(copied, match.capturedStart() - copied));
            out += QStringLiteral("<IMG src=\"") + ChatText::escapeHtml(m_directory + it.value()) + QStringLiteral("\" width=16 height=16 /> ");
            copied = match.capturedEnd();
        }
        from = match.capturedEnd();
    }
    out += decodeEscapes(text.mid(copied));
    return out;
}

const QVector<EmoticonPage> &EmoticonTable::pickerPages()
{
    static const QVector<EmoticonPage> pages{
        {QStringLiteral("감정"),
         {
            QStringLiteral("/윙크/"), QStringLiteral("/취함/"), QStringLiteral("/안녕/"), QStringLiteral("/으으/"),
            QStringLiteral("/허걱/"), QStringLiteral("/기도/"), QStringLiteral("/에헴/"), QStringLiteral("/만족/"),
            QStringLiteral("/잠/"), QStringLiteral("/슬픔/"), QStringLiteral("/한숨/"), QStringLiteral("/쉿/"),
            QStringLiteral("/똥침/"), QStringLiteral("/추워/"), QStringLiteral("/냉랭/"), QStringLiteral("/우우/"),
            QStringLiteral("/짱/"), QStringLiteral("/버럭/"), QStringLiteral("/우씨/"), QStringLiteral("/땀찍/"),
            QStringLiteral("/똘똘/"), QStringLiteral("/웩/"), QStringLiteral("/파안/"), QStringLiteral("/열/"),
            QStringLiteral("/폐인/"), QStringLiteral("/박수/"), QStringLiteral("/메롱/"), QStringLiteral("/딴청/"),
            QStringLiteral("/험악/"), QStringLiteral("/통곡/"), QStringLiteral("/흐흐/"), QStringLiteral("/부끄/"),
            QStringLiteral("/쳇/"), QStringLiteral("/방긋/"), QStringLiteral("/당황/"), QStringLiteral("/실망/"),
            QStringLiteral("/음흉/"), QStringLiteral("/놀람/"), QStringLiteral("/찌릿/"), QStringLiteral("/퉤/"),
            QStringLiteral("/더워/"), QStringLiteral("/거부/")
         }},
        {QStringLiteral("음식"),
         {
            QStringLiteral("/김밥/"), QStringLiteral("/버거/"), QStringLiteral("/밥/"), QStringLiteral("/소주/"),
            QStringLiteral("/케익/"), QStringLiteral("/당근/"), QStringLiteral("/식빵/"), QStringLiteral("/커피/"),
            QStringLiteral("/라면/"), QStringLiteral("/도넛/"), QStringLiteral("/빵/"), QStringLiteral("/크림/"),
            QStringLiteral("/피자/"), QStringLiteral("/사과/"), QStringLiteral("/사탕/"), QStringLiteral("/맥주/")
         }},
        {QStringLiteral("사물"),
         {
            QStringLiteral("/폭탄/"), QStringLiteral("/티비/"), QStringLiteral("/사진/"), QStringLiteral("/차/"),
            QStringLiteral("/촛불/"), QStringLiteral("/담배/"), QStringLiteral("/편지/"), QStringLiteral("/약/"),
            QStringLiteral("/선물/"), QStringLiteral("/폰/"), QStringLiteral("/총/"), QStringLiteral("/레카/"),
            QStringLiteral("/태극/"), QStringLiteral("/전철/"), QStringLiteral("/컴/"), QStringLiteral("/버스/"),
            QStringLiteral("/택시/"), QStringLiteral("/돌/"), QStringLiteral("/옐카/"), QStringLiteral("/벽돌/"),
            QStringLiteral("/반지/"), QStringLiteral("/꽃/"), QStringLiteral("/전화/"), QStringLiteral("/시계/"),
            QStringLiteral("/오락/")
         }},
        {QStringLiteral("기타"),
         {
            QStringLiteral("/농구/"), QStringLiteral("/축구/"), QStringLiteral("/번개/"), QStringLiteral("/카네이션/"),
            QStringLiteral("/시들/"), QStringLiteral("/야구/"), QStringLiteral("/붉은티/"), QStringLiteral("/새/"),
            QStringLiteral("/독도/"), QStringLiteral("/무지개/"), QStringLiteral("/장미/"), QStringLiteral("/바퀴/"),
            QStringLiteral("/노래/"), QStringLiteral("/우산/"), QStringLiteral("/사랑/"), QStringLiteral("/야옹/"),
            QStringLiteral("/나비/"), QStringLiteral("/휴지/"), QStringLiteral("/눈/"), QStringLiteral("/영화/"),
            QStringLiteral("/태극이웃/"), QStringLiteral("/돈/"), QStringLiteral("/별/"), QStringLiteral("/여포/"),
            QStringLiteral("/아령/"), QStringLiteral("/온/"), QStringLiteral("/여/"), QStringLiteral("/버그/"),
            QStringLiteral("/19/"), QStringLiteral("/뽀/"), QStringLiteral("/돼지/"), QStringLiteral("/응가/"),
            QStringLiteral("/원숭/"), QStringLiteral("/스키/"), QStringLiteral("/붕어/"), QStringLiteral("/달/"),
            QStringLiteral("/반짝/"), QStringLiteral("/거북/"), QStringLiteral("/남포/"), QStringLiteral("/폭죽/"),
            QStringLiteral("/천사/"), QStringLiteral("/해/"), QStringLiteral("/남/"), QStringLiteral("/실연/"),
            QStringLiteral("/개/"), QStringLiteral("/악마/"), QStringLiteral("/테디/"), QStringLiteral("/변기/")
         }},
        {QStringLiteral("시즌"),
         {
            QStringLiteral("/복주머니/"), QStringLiteral("/까치/"), QStringLiteral("/복/"), QStringLiteral("/산타/"),
            QStringLiteral("/아기돼지/"), QStringLiteral("/눈사람/"), QStringLiteral("/황금돼지/"), QStringLiteral("/보름달/"),
            QStringLiteral("/성탄리스/"), QStringLiteral("/루돌푸/"), QStringLiteral("/성탄종/"), QStringLiteral("/트리/"),
            QStringLiteral("/빨간양말/")
         }},
    };
    return pages;
}
