// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "buddy.h"
#include "buddylist.h"
#include "buddylistmenus.h"
#include "buddytreemodel.h"
#include "group.h"
#include "grouplist.h"
#include "kzemvikmainview.h"
#include "messageboxes.h"
#include "settings.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTreeView>

#include <memory>

namespace
{
//! Records boxes instead of blocking in a modal dialog.
class RecordingBoxes : public MessageBoxes
{
public:
    void information(QWidget *, const QString &text, const QString &title) override
    {
        shown.append(title + QLatin1Char('|') + text);
    }
    void error(QWidget *, const QString &text, const QString &title) override
    {
        shown.append(title + QLatin1Char('|') + text);
    }
    bool questionYesNo(QWidget *, const QString &, const QString &) override
    {
        return false;
    }
    QStringList shown;
};

//! Which rows a presence change announced, as "header" or "header/buddy handle" names.
struct ModelRecorder {
    explicit ModelRecorder(QAbstractItemModel *model)
        : changed(model, &QAbstractItemModel::dataChanged)
        , inserted(model, &QAbstractItemModel::rowsInserted)
        , removed(model, &QAbstractItemModel::rowsRemoved)
        , reset(model, &QAbstractItemModel::modelReset)
        , m_pModel(model)
    {
        // Names are taken while the rows still exist.
        QObject::connect(model, &QAbstractItemModel::dataChanged, model, [this](const QModelIndex &a, const QModelIndex &b) {
            for (int r = a.row(); r <= b.row(); ++r) {
                changedRows.append(name(a.sibling(r, 0)));
            }
        });
        QObject::connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, model, [this](const QModelIndex &parent, int first, int last) {
            for (int r = first; r <= last; ++r) {
                removedRows.append(name(m_pModel->index(r, 0, parent)));
            }
        });
        QObject::connect(model, &QAbstractItemModel::rowsInserted, model, [this](const QModelIndex &parent, int first, int last) {
            for (int r = first; r <= last; ++r) {
                insertedRows.append(name(m_pModel->index(r, 0, parent)));
            }
        });
    }
    static QString name(const QModelIndex &index)
    {
        if (BuddyTreeModel::isHeader(index)) {
            return index.data(BuddyTreeModel::NameRole).toString();
        }
        return index.parent().data(BuddyTreeModel::NameRole).toString() + QLatin1Char('/') + index.data(BuddyTreeModel::HandleRole).toString();
    }
    QSignalSpy changed;
    QSignalSpy inserted;
    QSignalSpy removed;
    QSignalSpy reset;
    QStringList changedRows;
    QStringList insertedRows;
    QStringList removedRows;
    QAbstractItemModel *m_pModel;
};
}

class KZemvikMainviewTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_home;
    std::unique_ptr<BuddyList> m_buddies;
    std::unique_ptr<GroupList> m_groups;
    std::unique_ptr<KZemvikMainview> m_view;
    RecordingBoxes m_boxes;

    Buddy *addBuddy(const QString &handle, const QString &name, const QString &nick, const QString &status, const QStringList &groupIds)
    {
        auto *buddy = new Buddy();
        buddy->handle = handle;
        buddy->loginId = handle + QStringLiteral("@zemvik.example");
        buddy->name = name;
        buddy->nick = nick;
        buddy->status = status;
        buddy->onForwardList = true;
        buddy->onAllowList = true;
        buddy->kivraId = QStringLiteral("%00");
        m_buddies->append(buddy);
        for (const QString &id : groupIds) {
            m_groups->findGroupById(id)->addBuddy(handle);
        }
        return buddy;
    }

    //! Groups as the server sends them; 가족 and 기타 share two buddies, Alpha is empty.
    void fill()
    {
        m_groups->appendGroup(QStringLiteral("0"), QStringLiteral("기타"));
        m_groups->appendGroup(QStringLiteral("3"), QStringLiteral("Zeta"));
        m_groups->appendGroup(QStringLiteral("1"), QStringLiteral("가족"));
        m_groups->appendGroup(QStringLiteral("2"), QStringLiteral("Alpha"));
        addBuddy(QStringLiteral("11"), QStringLiteral("홍길동"), QStringLiteral("길동이"), QStringLiteral("O"), {QStringLiteral("1")});
        addBuddy(QStringLiteral("12"), QStringLiteral("김영희"), QStringLiteral("영희"), QStringLiteral("F"), {QStringLiteral("1"), QStringLiteral("0")});
        addBuddy(QStringLiteral("13"), QStringLiteral("이철수"), QStringLiteral("<b>"), QStringLiteral("A"), {QStringLiteral("1"), QStringLiteral("0")});
        addBuddy(QStringLiteral("31"), QStringLiteral("Zed"), QStringLiteral("zz"), QStringLiteral("F"), {QStringLiteral("3")});
        Buddy *gone = addBuddy(QStringLiteral("32"), QStringLiteral("Removed"), QStringLiteral("rr"), QStringLiteral("O"), {QStringLiteral("3")});
        gone->onForwardList = false;
    }

    BuddyTreeModel *model() const
    {
        return m_view->model();
    }

    QStringList headers() const
    {
        QStringList list;
        for (int i = 0; i < model()->rowCount(); ++i) {
            list.append(model()->index(i, 0).data().toString());
        }
        return list;
    }

    QStringList handlesUnder(int header) const
    {
        QStringList list;
        const QModelIndex parent = model()->index(header, 0);
        for (int i = 0; i < model()->rowCount(parent); ++i) {
            list.append(model()->index(i, 0, parent).data(BuddyTreeModel::HandleRole).toString());
        }
        return list;
    }

    QModelIndex headerNamed(const QString &name) const
    {
        for (int i = 0; i < model()->rowCount(); ++i) {
            const QModelIndex idx = model()->index(i, 0);
            if (idx.data(BuddyTreeModel::NameRole).toString() == name) {
                return idx;
            }
        }
        return QModelIndex();
    }

    void presence(const QString &handle, const QString &letter)
    {
        m_view->slotGotINFY({QStringLiteral("INFY"), QStringLiteral("0"), handle + QStringLiteral("@zemvik.example"), letter});
    }

    static QString rendered(const QString &html)
    {
        QTextDocument doc;
        doc.setHtml(html);
        return doc.toPlainText().remove(QChar::ObjectReplacementCharacter).trimmed();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
        MessageBoxes::setInstance(&m_boxes);
        qRegisterMetaType<QList<Buddy *>>();
    }

    void init()
    {
        Settings::reset();
        QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/kzemvikrc"));
        m_boxes.shown.clear();
        m_buddies = std::make_unique<BuddyList>();
        m_groups = std::make_unique<GroupList>();
        fill();
        m_view = std::make_unique<KZemvikMainview>();
        m_view->setLists(m_buddies.get(), m_groups.get());
        m_view->resize(280, 480);
    }

    void cleanup()
    {
        m_view.reset();
        m_buddies->deleteAll();
        m_groups->deleteAll();
    }

    void readsSettingsAtConstruction()
    {
        m_view.reset();
        Settings::setBuddyListType(1);
        Settings::setBuddySortType(2);
        m_view = std::make_unique<KZemvikMainview>();
        QCOMPARE(m_view->namingMode(), 1);
        QCOMPARE(m_view->arrangement(), 2);
        QVERIFY(m_view->action(QStringLiteral("view_nick"))->isChecked());
        QVERIFY(m_view->action(QStringLiteral("view_online_offline"))->isChecked());
        QVERIFY(m_view->action(QStringLiteral("view_emoticons"))->isChecked());
    }

    void arrangements_data()
    {
        QTest::addColumn<int>("arrangement");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QStringList>("firstHeaderRows");
        QTest::addColumn<QStringList>("lastHeaderRows");
        // Caseless names, then cased ones (each descending), "기타" last; rows by name ascending.
        QTest::newRow("all by group") << 0 << QStringList{QStringLiteral("가족(2/3)"), QStringLiteral("Zeta(0/1)"), QStringLiteral("Alpha(0/0)"), QStringLiteral("기타(1/2)")}
                                      << QStringList{QStringLiteral("12"), QStringLiteral("13"), QStringLiteral("11")}
                                      << QStringList{QStringLiteral("12"), QStringLiteral("13")};
        QTest::newRow("online only") << 1 << QStringList{QStringLiteral("가족(2/3)"), QStringLiteral("Zeta(0/1)"), QStringLiteral("Alpha(0/0)"), QStringLiteral("기타(1/2)")}
                                     << QStringList{QStringLiteral("13"), QStringLiteral("11")} << QStringList{QStringLiteral("13")};
        QTest::newRow("online/offline") << 2 << QStringList{QStringLiteral("온라인(2)"), QStringLiteral("오프라인(2)")}
                                        << QStringList{QStringLiteral("13"), QStringLiteral("11")}
                                        << QStringList{QStringLiteral("31"), QStringLiteral("12")};
    }

    void arrangements()
    {
        QFETCH(int, arrangement);
        QFETCH(QStringList, headers);
        QFETCH(QStringList, firstHeaderRows);
        QFETCH(QStringList, lastHeaderRows);
        const QStringList sortSlots{QStringLiteral("view_all"), QStringLiteral("view_online"), QStringLiteral("view_online_offline")};
        m_view->action(sortSlots.at(arrangement))->trigger();
        QCOMPARE(Settings::buddySortType(), arrangement);
        QCOMPARE(this->headers(), headers);
        QCOMPARE(handlesUnder(0), firstHeaderRows);
        QCOMPARE(handlesUnder(model()->rowCount() - 1), lastHeaderRows);
    }

    void groupOrderDoesNotDependOnServerOrder()
    {
        cleanup();
        m_buddies = std::make_unique<BuddyList>();
        m_groups = std::make_unique<GroupList>();
        for (const auto &g : {qMakePair(QStringLiteral("5"), QStringLiteral("가족")), qMakePair(QStringLiteral("6"), QStringLiteral("Zeta")),
                              qMakePair(QStringLiteral("7"), QStringLiteral("Alpha")), qMakePair(QStringLiteral("0"), QStringLiteral("기타"))}) {
            m_groups->appendGroup(g.first, g.second);
        }
        m_view = std::make_unique<KZemvikMainview>();
        m_view->setLists(m_buddies.get(), m_groups.get());
        m_view->slotSortNormal();
        QCOMPARE(headers(), (QStringList{QStringLiteral("가족(0/0)"), QStringLiteral("Zeta(0/0)"), QStringLiteral("Alpha(0/0)"), QStringLiteral("기타(0/0)")}));
    }

    void namingModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("shown");
        QTest::newRow("name") << 0 << QStringLiteral("view_name") << QStringLiteral("<i>A&B");
        QTest::newRow("nickname") << 1 << QStringLiteral("view_nick") << QStringLiteral("<b>");
        QTest::newRow("name and ID") << 2 << QStringLiteral("view_name_id") << QStringLiteral("<i>A&B(<x>@zemvik.example)");
        QTest::newRow("name and nickname") << 3 << QStringLiteral("view_name_nick") << QStringLiteral("<i>A&B(<b>)");
    }

    void namingModes()
    {
        QFETCH(int, mode);
        QFETCH(QString, action);
        QFETCH(QString, shown);
        // Every text of the peer is shown literally: no markup of theirs reaches the renderer.
        Buddy *buddy = m_buddies->findByHandle(QStringLiteral("13"));
        buddy->name = QStringLiteral("<i>A&B");
        buddy->loginId = QStringLiteral("<x>@zemvik.example");
        m_buddies->reindex();
        m_view->action(action)->trigger();
        QCOMPARE(Settings::buddyListType(), mode);
        const QModelIndex row = model()->buddyIndexes(QStringLiteral("13")).first();
        QCOMPARE(row.data().toString(), shown);
        const QString html = row.data(BuddyTreeModel::HtmlRole).toString();
        QVERIFY2(!html.contains(QLatin1String("<i>")) && !html.contains(QLatin1String("<b>(")) && !html.contains(QLatin1String("<x>")), qPrintable(html));
        QCOMPARE(rendered(html), shown);
        QCOMPARE(rendered(row.data(Qt::ToolTipRole).toString()), shown);
    }

    void pageIconOnlyWithAPage_data()
    {
        QTest::addColumn<QString>("kivraId");
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<QString>("icon");
        QTest::newRow("none") << QStringLiteral("%00") << false << QString();
        QTest::newRow("empty") << QString() << false << QString();
        QTest::newRow("page") << QStringLiteral("k1") << false << QStringLiteral("main_list_kivra.png");
        QTest::newRow("new content") << QStringLiteral("k1") << true << QStringLiteral("main_list_kivra_new.png");
    }

    void pageIconOnlyWithAPage()
    {
        QFETCH(QString, kivraId);
        QFETCH(bool, isNew);
        QFETCH(QString, icon);
        Buddy *buddy = m_buddies->findByHandle(QStringLiteral("11"));
        buddy->kivraId = kivraId;
        buddy->kivraNew = isNew;
        buddy->blocked = true;
        const auto path = [](const QString &name) {
            return QStringLiteral("/pics/") + name;
        };
        const QString html = BuddyTreeModel::buddyHtml(*buddy, BuddyTreeModel::NameOnly, {}, path);
        QVERIFY2(html.startsWith(QLatin1String("<img src=\"/pics/main_list_state_cut_online.png\">")), qPrintable(html));
        QCOMPARE(html.contains(QLatin1String("kivra")), !icon.isEmpty());
        if (!icon.isEmpty()) {
            QVERIFY2(html.endsWith(QStringLiteral("<img src=\"/pics/") + icon + QStringLiteral("\" width=18 height=18 />")), qPrintable(html));
        }
    }

    void emoticonHookGetsEscapedText()
    {
        QStringList seen;
        m_view->setEmoticonFilter([&seen](const QString &escaped) {
            seen.append(escaped);
            return QString(escaped).replace(QStringLiteral(":)"), QStringLiteral("<img src=\"smile.png\">"));
        });
        Buddy *buddy = m_buddies->findByHandle(QStringLiteral("11"));
        buddy->nick = QStringLiteral("<s>:)");
        m_view->slotListOnlyNick();
        const QString html = model()->buddyIndexes(QStringLiteral("11")).first().data(BuddyTreeModel::HtmlRole).toString();
        QVERIFY(seen.contains(QStringLiteral("&lt;s&gt;:)")));
        QVERIFY2(html.contains(QLatin1String("&lt;s&gt;<img src=\"smile.png\">")), qPrintable(html));

        // Switched off in the list, the hook is left out; the user's own nickname always uses it.
        m_view->slotEmoticonList(false);
        QVERIFY(!model()->buddyIndexes(QStringLiteral("11")).first().data(BuddyTreeModel::HtmlRole).toString().contains(QLatin1String("smile")));
        m_view->slotChangeNickName(QStringLiteral("<u>me:)"));
        QCOMPARE(m_view->findChild<QLabel *>(QStringLiteral("TL_NickName"))->text(), QStringLiteral("&lt;u&gt;me<img src=\"smile.png\">"));
    }

    void presenceTouchesOnlyItsRows_data()
    {
        QTest::addColumn<int>("arrangement");
        QTest::addColumn<QString>("letter");
        QTest::addColumn<QStringList>("changed");
        QTest::addColumn<QStringList>("inserted");
        QTest::addColumn<QStringList>("removed");
        QTest::addColumn<QStringList>("headers");
        // Buddy 13 (A, in 가족 and 기타).
        const QStringList allHeaders{QStringLiteral("가족(2/3)"), QStringLiteral("Zeta(0/1)"), QStringLiteral("Alpha(0/0)"), QStringLiteral("기타(1/2)")};
        const QStringList offHeaders{QStringLiteral("가족(1/3)"), QStringLiteral("Zeta(0/1)"), QStringLiteral("Alpha(0/0)"), QStringLiteral("기타(0/2)")};
        const QStringList rows{QStringLiteral("가족/13"), QStringLiteral("기타/13")};
        QTest::newRow("all, away to busy") << 0 << QStringLiteral("B") << rows << QStringList() << QStringList() << allHeaders;
        QTest::newRow("all, away to offline") << 0 << QStringLiteral("F") << (QStringList{QStringLiteral("가족"), QStringLiteral("기타")} + rows) << QStringList()
                                              << QStringList() << offHeaders;
        QTest::newRow("online only, away to busy") << 1 << QStringLiteral("B") << rows << QStringList() << QStringList() << allHeaders;
        QTest::newRow("online only, away to offline") << 1 << QStringLiteral("F") << QStringList{QStringLiteral("가족"), QStringLiteral("기타")} << QStringList()
                                                      << rows << offHeaders;
        QTest::newRow("on/off, away to busy") << 2 << QStringLiteral("B") << QStringList{QStringLiteral("온라인/13")} << QStringList() << QStringList()
                                              << QStringList{QStringLiteral("온라인(2)"), QStringLiteral("오프라인(2)")};
        QTest::newRow("on/off, away to offline") << 2 << QStringLiteral("F") << QStringList{QStringLiteral("온라인"), QStringLiteral("오프라인")}
                                                 << QStringList{QStringLiteral("오프라인/13")} << QStringList{QStringLiteral("온라인/13")}
                                                 << QStringList{QStringLiteral("온라인(1)"), QStringLiteral("오프라인(3)")};
    }

    void presenceTouchesOnlyItsRows()
    {
        QFETCH(int, arrangement);
        QFETCH(QString, letter);
        QFETCH(QStringList, changed);
        QFETCH(QStringList, inserted);
        QFETCH(QStringList, removed);
        QFETCH(QStringList, headers);
        m_view->show();
        const QStringList sortSlots{QStringLiteral("view_all"), QStringLiteral("view_online"), QStringLiteral("view_online_offline")};
        m_view->action(sortSlots.at(arrangement))->trigger();

        ModelRecorder rec(model());
        presence(QStringLiteral("13"), letter);
        QCOMPARE(m_buddies->findByHandle(QStringLiteral("13"))->status, letter);
        QCOMPARE(rec.reset.count(), 0);
        std::sort(rec.changedRows.begin(), rec.changedRows.end());
        std::sort(changed.begin(), changed.end());
        QCOMPARE(rec.changedRows, changed);
        QCOMPARE(rec.insertedRows, inserted);
        QCOMPARE(rec.removedRows, removed);
        QCOMPARE(this->headers(), headers);

        // Coming back restores the tree as a fresh build would draw it.
        presence(QStringLiteral("13"), QStringLiteral("A"));
        const QStringList before = this->headers();
        QStringList rowsBefore;
        for (int i = 0; i < model()->rowCount(); ++i) {
            rowsBefore += handlesUnder(i);
        }
        m_view->refreshList();
        QCOMPARE(this->headers(), before);
        QStringList rowsAfter;
        for (int i = 0; i < model()->rowCount(); ++i) {
            rowsAfter += handlesUnder(i);
        }
        QCOMPARE(rowsAfter, rowsBefore);
    }

    void presenceOfUnknownOrShortLine()
    {
        m_view->slotSortNormal();
        ModelRecorder rec(model());
        m_view->slotGotINFY({QStringLiteral("INFY"), QStringLiteral("0"), QStringLiteral("nobody@zemvik.example"), QStringLiteral("O")});
        m_view->slotGotINFY({QStringLiteral("INFY"), QStringLiteral("0"), QStringLiteral("12@zemvik.example")});
        QCOMPARE(rec.changed.count() + rec.inserted.count() + rec.removed.count() + rec.reset.count(), 0);
        QCOMPARE(m_buddies->findByHandle(QStringLiteral("12"))->status, QStringLiteral("F"));
    }

    void openStateStoredAndRestored()
    {
        m_view->slotSortNormal();
        QTreeView *list = m_view->listView();
        const QModelIndex family = headerNamed(QStringLiteral("가족"));
        QVERIFY(list->isExpanded(family));
        m_view->slotViewChat(family); // double click on a header toggles it
        QVERIFY(!list->isExpanded(family));
        QCOMPARE(Settings::groupOpen(QStringLiteral("1")), false);
        QCOMPARE(Settings::groupOpen(QStringLiteral("3")), true);

        m_view->refreshList();
        QVERIFY(!list->isExpanded(headerNamed(QStringLiteral("가족"))));
        QVERIFY(list->isExpanded(headerNamed(QStringLiteral("Zeta"))));
        list->expand(headerNamed(QStringLiteral("가족"))); // the keyboard or the arrow stores it too
        QCOMPARE(Settings::groupOpen(QStringLiteral("1")), true);

        // Sections keep their own keys.
        m_view->slotSortOnOffline();
        list->collapse(headerNamed(QStringLiteral("오프라인")));
        QCOMPARE(Settings::groupOpen(QStringLiteral("offline")), false);
        QCOMPARE(Settings::groupOpen(QStringLiteral("1")), true);

        m_view->slotSortNormal();
        m_view->slotCloseAllGroup();
        for (const QString &id : {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}) {
            QCOMPARE(Settings::groupOpen(id), false);
        }
        QVERIFY(!list->isExpanded(headerNamed(QStringLiteral("기타"))));
        m_view->slotOpenAllGroup();
        QVERIFY(list->isExpanded(headerNamed(QStringLiteral("기타"))));
        QCOMPARE(Settings::groupOpen(QStringLiteral("0")), true);
    }

    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<int>("rows");
        QTest::newRow("name, two groups") << QStringLiteral("이철") << QStringList{QStringLiteral("가족"), QStringLiteral("기타")} << 2;
        QTest::newRow("nickname") << QStringLiteral("길동이") << QStringList{QStringLiteral("가족")} << 1;
        QTest::newRow("offline included") << QStringLiteral("Zed") << QStringList{QStringLiteral("Zeta")} << 1;
        QTest::newRow("case-sensitive") << QStringLiteral("zed") << QStringList() << 0;
        QTest::newRow("not on the list") << QStringLiteral("Removed") << QStringList() << 0;
    }

    void search()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, headers);
        QFETCH(int, rows);
        m_view->slotSortOnlyOnline();
        m_view->slotCloseAllGroup();
        m_view->searchBox()->setText(text);
        QCOMPARE(this->headers(), headers);
        int count = 0;
        for (int i = 0; i < model()->rowCount(); ++i) {
            count += model()->rowCount(model()->index(i, 0));
            QVERIFY(m_view->listView()->isExpanded(model()->index(i, 0)));
        }
        QCOMPARE(count, rows);

        // Clearing the box brings the chosen arrangement back, closed headers and all.
        m_view->searchBox()->clear();
        QCOMPARE(model()->tree(), BuddyTreeModel::OnlineGroupTree);
        QCOMPARE(m_view->arrangement(), 1);
        QVERIFY(!m_view->listView()->isExpanded(model()->index(0, 0)));
    }

    void sectionsAreNotGroups()
    {
        QSignalSpy renamed(m_view.get(), &KZemvikMainview::renameGroup);
        QSignalSpy deleted(m_view.get(), &KZemvikMainview::deleteGroup);
        QSignalSpy blocked(m_view.get(), &KZemvikMainview::blockGroup);
        m_view->slotSortOnOffline();
        // "온라인" carries ID "0" and "오프라인" ID "1", the IDs of real groups.
        for (const QString &section : {QStringLiteral("온라인"), QStringLiteral("오프라인")}) {
            m_view->listView()->setCurrentIndex(headerNamed(section));
            QCOMPARE(m_view->currentGroupId(), QString());
            QCOMPARE(m_view->currentRowGroupId(), QString());
            QVERIFY(!m_view->hasGroupRow(QStringLiteral("0")));
            m_view->action(QStringLiteral("rename_group_rightclick"))->trigger();
            m_view->action(QStringLiteral("delete_group_rightclick"))->trigger();
            m_view->action(QStringLiteral("block_group_rightclick"))->trigger();
        }
        QCOMPARE(renamed.count() + deleted.count() + blocked.count(), 0);

        m_view->slotSortNormal();
        m_view->listView()->setCurrentIndex(headerNamed(QStringLiteral("기타")));
        QCOMPARE(m_view->currentGroupId(), QStringLiteral("0"));
        m_view->action(QStringLiteral("rename_group_rightclick"))->trigger();
        m_view->action(QStringLiteral("delete_group_rightclick"))->trigger();
        m_view->action(QStringLiteral("block_group_rightclick"))->trigger();
        QCOMPARE(renamed.count(), 1);
        QCOMPARE(deleted.count(), 1);
        QCOMPARE(blocked.takeFirst().at(0).toString(), QStringLiteral("0"));
    }

    void doubleClick()
    {
        m_view->slotSortNormal();
        QSignalSpy chat(m_view.get(), qOverload<Buddy *>(&KZemvikMainview::startChat));
        QSignalSpy memo(m_view.get(), &KZemvikMainview::startMemoView);
        m_view->slotViewChat(model()->buddyIndexes(QStringLiteral("13")).first());
        QCOMPARE(chat.count(), 1);
        QCOMPARE(chat.first().at(0).value<Buddy *>(), m_buddies->findByHandle(QStringLiteral("13")));
        m_view->slotViewChat(model()->buddyIndexes(QStringLiteral("12")).first());
        QCOMPARE(chat.count(), 1);
        QCOMPARE(memo.count(), 1);
        QCOMPARE(memo.first().at(0).toString(), QStringLiteral("\"김영희\" <12@zemvik.example>"));
    }

    void selectionNeverMixesBuddiesAndGroups()
    {
        m_view->slotSortNormal();
        QItemSelectionModel *sel = m_view->listView()->selectionModel();
        const QModelIndex buddy = model()->buddyIndexes(QStringLiteral("11")).first();
        const QModelIndex group = headerNamed(QStringLiteral("Zeta"));
        sel->setCurrentIndex(buddy, QItemSelectionModel::ClearAndSelect);
        QVERIFY(!m_view->groupSelected());
        sel->setCurrentIndex(group, QItemSelectionModel::Select);
        QCOMPARE(sel->selectedRows(), QModelIndexList{group});
        QVERIFY(m_view->groupSelected());
        sel->setCurrentIndex(headerNamed(QStringLiteral("기타")), QItemSelectionModel::Select);
        QCOMPARE(sel->selectedRows(), QModelIndexList{headerNamed(QStringLiteral("기타"))});
    }

    void chatWithSelectedOnlineBuddies()
    {
        m_view->slotSortNormal();
        QItemSelectionModel *sel = m_view->listView()->selectionModel();
        for (const QString &h : {QStringLiteral("11"), QStringLiteral("12"), QStringLiteral("13")}) {
            sel->setCurrentIndex(model()->buddyIndexes(h).first(), QItemSelectionModel::Select);
        }
        QCOMPARE(m_view->selectedBuddyCount(), 3);
        QSignalSpy chat(m_view.get(), qOverload<const QList<Buddy *> &>(&KZemvikMainview::startChat));
        QSignalSpy memo(m_view.get(), &KZemvikMainview::startMemoView);
        m_view->slotGoChat();
        QCOMPARE(chat.count(), 1);
        const auto buddies = chat.first().at(0).value<QList<Buddy *>>();
        QCOMPARE(buddies.size(), 2);
        QVERIFY(buddies.at(0)->inChat && buddies.at(1)->inChat);
        QVERIFY(!m_buddies->findByHandle(QStringLiteral("12"))->inChat);

        m_view->slotViewMemo();
        QCOMPARE(memo.first().at(0).toString(),
                 QStringLiteral("\"김영희\" <12@zemvik.example>;\"이철수\" <13@zemvik.example>;\"홍길동\" <11@zemvik.example>"));
    }

    void groupMemo()
    {
        m_view->slotSortNormal();
        QSignalSpy memo(m_view.get(), &KZemvikMainview::startMemoView);
        m_view->listView()->setCurrentIndex(headerNamed(QStringLiteral("Alpha")));
        m_view->slotViewGroupMemo();
        QCOMPARE(memo.count(), 0);
        QCOMPARE(m_boxes.shown, QStringList{QStringLiteral("그룹 쪽지|빈 그룹 입니다.")});
        m_view->listView()->setCurrentIndex(headerNamed(QStringLiteral("기타")));
        m_view->slotViewGroupMemo();
        QCOMPARE(memo.first().at(0).toString(), QStringLiteral("\"김영희\" <12@zemvik.example>;\"이철수\" <13@zemvik.example>"));
    }

    void memoCount_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("shown");
        QTest::newRow("none") << 0 << QStringLiteral("(0)");
        QTest::newRow("negative") << -3 << QStringLiteral("(0)");
        QTest::newRow("seven") << 7 << QStringLiteral("(7)");
    }

    void memoCount()
    {
        QFETCH(int, count);
        QFETCH(QString, shown);
        m_view->setMemoCount(count);
        QCOMPARE(m_view->findChild<QLabel *>(QStringLiteral("memoCountLabel"))->text(), shown);
    }

    void statusMenuAndHeader()
    {
        QSignalSpy status(m_view.get(), &KZemvikMainview::changeStatusNumber);
        const QStringList names{QStringLiteral("online_status"), QStringLiteral("away_status"), QStringLiteral("busy_status"),
                                QStringLiteral("onthephone_status"), QStringLiteral("meeting_status"), QStringLiteral("offline_status")};
        for (const QString &name : names) {
            m_view->action(name)->trigger();
        }
        QCOMPARE(status.count(), 6);
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(status.at(i).at(0).toInt(), i);
        }
        m_view->showStatus(4);
        QCOMPARE(m_view->findChild<QLabel *>(QStringLiteral("TL_Status"))->text(), QStringLiteral("(회의 중)"));
    }

    void confirmedRequestKeepsItsBuddyInEveryArrangement()
    {
        Buddy *pending = addBuddy(QStringLiteral("TID:7"), QStringLiteral("pending"), QStringLiteral("pending"), QStringLiteral("F"), {QStringLiteral("0")});
        m_view->slotSortOnOffline();
        m_view->slotAddFriend({QStringLiteral("ADSB"), QStringLiteral("7"), QStringLiteral("REQST"), QStringLiteral("77"), QStringLiteral("새%20친구")});
        QCOMPARE(pending->handle, QStringLiteral("77"));
        QCOMPARE(pending->name, QStringLiteral("새 친구"));
        QCOMPARE(m_buddies->findByHandle(QStringLiteral("77")), pending);
        QVERIFY(m_groups->findGroupById(QStringLiteral("0"))->hasMember(QStringLiteral("77")));
        QVERIFY(!m_groups->findGroupById(QStringLiteral("0"))->hasMember(QStringLiteral("TID:7")));
        QCOMPARE(model()->buddyIndexes(QStringLiteral("77")).size(), 1);
    }

    void addedRowAndDeletedGroup()
    {
        m_view->slotSortNormal();
        Buddy *buddy = m_buddies->findByHandle(QStringLiteral("11"));
        m_groups->findGroupById(QStringLiteral("2"))->addBuddy(QStringLiteral("11"));
        m_view->slotAddBuddy(QStringLiteral("2"), buddy);
        QCOMPARE(headerNamed(QStringLiteral("Alpha")).data().toString(), QStringLiteral("Alpha(1/1)"));
        const QModelIndex row = model()->buddyIndexes(QStringLiteral("11")).last();
        QCOMPARE(row.data(BuddyTreeModel::GroupIdRole).toString(), QStringLiteral("2"));
        QVERIFY(m_view->removeGroupRow(QStringLiteral("2")));
        QCOMPARE(model()->rowCount(), 3);
        QCOMPARE(model()->buddyIndexes(QStringLiteral("11")).size(), 1);
        presence(QStringLiteral("11"), QStringLiteral("F")); // nothing left points at the removed header
        QCOMPARE(headerNamed(QStringLiteral("가족")).data().toString(), QStringLiteral("가족(1/3)"));
    }

    void buddyMenuFollowsTheRow()
    {
        m_view->slotSortNormal();
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        Buddy *offline = m_buddies->findByHandle(QStringLiteral("12"));
        offline->blocked = true;
        const QModelIndex row = model()->buddyIndexes(QStringLiteral("12")).first();
        m_view->listView()->setCurrentIndex(row);
        m_view->slotRightClickMenu(m_view->listView()->visualRect(row).center());
        BuddyListMenus *menus = m_view->menus();
        QTRY_VERIFY(menus->buddyMenu->isVisible());
        QCOMPARE(menus->buddyTitle->text(), QStringLiteral("12@zemvik.example"));
        QVERIFY(!menus->goChat->isEnabled());
        QVERIFY(!menus->sendFile->isEnabled());
        QVERIFY(!menus->viewMiniKivra->isEnabled());
        QCOMPARE(menus->blockBuddy->text(), QStringLiteral("친구 차단 해제"));
        menus->buddyMenu->hide();

        // Empty space: no menu.
        m_view->slotRightClickMenu(QPoint(5, m_view->listView()->viewport()->height() - 2));
        QVERIFY(!menus->buddyMenu->isVisible() && !menus->groupMenu->isVisible());
    }

    void webPages()
    {
        Buddy *buddy = m_buddies->findByHandle(QStringLiteral("11"));
        buddy->kivraId = QStringLiteral("k11");
        QCOMPARE(KZemvikMainview::profileUrl(*buddy, QStringLiteral("T&1")).query(QUrl::FullyDecoded), QStringLiteral("code=F009&t=T&1&param=11"));
        QCOMPARE(KZemvikMainview::profileUrl(*buddy, QStringLiteral("T&1")).path(), QStringLiteral("/index.php"));
        QVERIFY(KZemvikMainview::miniKivraUrl(*buddy, QStringLiteral("t")).query().startsWith(QLatin1String("code=D024&t=t&param=k11")));
        buddy->mainPageState = true;
        buddy->mainPageParam = QStringLiteral("mp");
        QCOMPARE(KZemvikMainview::miniKivraUrl(*buddy, QStringLiteral("t")).query(), QStringLiteral("code=D012&t=t&param=mp"));
    }

    void looksFinished()
    {
        // KZEMVIK_VIEW_GRAB=/tmp/view.png saves a picture of the view for a look by eye.
        m_view->slotChangeNickName(QStringLiteral("행복한 하루"));
        m_view->showStatus(0);
        m_view->setMemoCount(3);
        Buddy *paged = m_buddies->findByHandle(QStringLiteral("11"));
        paged->kivraId = QStringLiteral("k11");
        paged->kivraNew = true;
        m_buddies->findByHandle(QStringLiteral("31"))->blocked = true;
        addBuddy(QStringLiteral("14"), QStringLiteral("박지민"), QStringLiteral("회의 중이에요"), QStringLiteral("M"), {QStringLiteral("1")});
        addBuddy(QStringLiteral("15"), QStringLiteral("최수아"), QStringLiteral("통화중"), QStringLiteral("P"), {QStringLiteral("0")});
        m_view->slotSortNormal();
        m_view->listView()->collapse(headerNamed(QStringLiteral("Alpha")));
        m_view->listView()->setCurrentIndex(model()->buddyIndexes(QStringLiteral("14")).first());
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        const QPixmap shot = m_view->grab();
        QVERIFY(!shot.isNull());
        const QString target = qEnvironmentVariable("KZEMVIK_VIEW_GRAB");
        if (!target.isEmpty()) {
            QVERIFY(shot.save(target));
        }
    }
};

QTEST_MAIN(KZemvikMainviewTest)
#include "kzemvikmainviewtest.moc"
