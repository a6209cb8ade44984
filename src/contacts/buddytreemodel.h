// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

class Buddy;
class BuddyList;
class GroupList;

//! The buddy tree: group headers (or the online/offline sections) with one row per buddy.
//! Rows keep strings only (handle, login ID, group ID) and look their buddy up when drawn, so a
//! buddy deleted from the model never leaves a dangling row. A presence change touches only the
//! rows of that buddy and the headers that count it.
class BuddyTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Kind { GroupKind = 0, BuddyKind = 1 };
    enum Roles {
        KindRole = Qt::UserRole + 1,
        GroupIdRole, //!< header: its group ID; buddy row: the group it sits under
        HandleRole,
        LoginIdRole,
        NameRole, //!< buddy row: the name it was sorted by; header: the plain group name
        HtmlRole, //!< buddy row: the rich-text cell
        OpenRole,
        OnlineCountRole,
        TotalRole,
        SectionRole, //!< header of the online/offline arrangement, not a real group
    };
    enum Tree { NoTree, GroupTree, OnlineGroupTree, OnOffTree, SearchTree };
    enum NamingMode { NameOnly = 0, NickOnly = 1, NameAndId = 2, NameAndNick = 3 };

    //! Turns HTML-escaped text into HTML with emoticon pictures.
    using EmoticonFilter = std::function<QString(const QString &escaped)>;

    explicit BuddyTreeModel(QObject *parent = nullptr);
    ~BuddyTreeModel() override;

    void setLists(BuddyList *buddies, GroupList *groups);
    BuddyList *buddyList() const;
    GroupList *groupList() const;

    //! Takes effect on the next build (or at once through refreshHtml()).
    void setNamingMode(int mode);
    int namingMode() const;
    void setEmoticons(bool on);
    bool emoticons() const;
    void setEmoticonFilter(const EmoticonFilter &filter);
    //! Redraws every buddy row with the current naming mode and emoticon setting.
    void refreshHtml();

    void clear();
    void buildGroupTree(bool onlineOnly);
    void buildOnOffTree();
    //! Groups with at least one buddy whose name or nickname holds the text; headers always open.
    void buildSearchTree(const QString &text);
    Tree tree() const;

    //! The buddy's status already holds the new letter; oldLetter is what it was.
    void updatePresence(const Buddy *buddy, const QString &oldLetter);
    //! Redraws the rows of a buddy (after a nickname or flag change).
    void refreshBuddyRows(const Buddy *buddy);
    //! Adds one row under the header of a group ("0" when groupId is empty); false without that header.
    bool addBuddyRow(const QString &groupId, const Buddy *buddy);
    //! Takes a group's header and its rows out; false when there is none.
    bool removeGroupHeader(const QString &groupId);

    //! Header of a real group (never a section of the online/offline arrangement).
    QModelIndex groupIndex(const QString &groupId) const;
    //! The indexes of the rows showing a buddy.
    QModelIndexList buddyIndexes(const QString &handle) const;
    Buddy *buddyAt(const QModelIndex &index) const;
    static bool isBuddyRow(const QModelIndex &index);
    static bool isHeader(const QModelIndex &index);
    //! A header that stands for a group of the group list (not a section).
    static bool isGroupHeader(const QModelIndex &index);

    //! Opens or closes a header; the state is stored under its key (unless in the search tree or
    //! store is false, when the caller writes many keys at once).
    void setOpen(const QModelIndex &header, bool open, bool store = true);
    //! The "BuddyListTree" key of a header: the group ID, or "online"/"offline" for a section.
    QString openStateKey(const QModelIndex &header) const;

    //! The rich-text cell of a buddy; every peer-supplied text is escaped before markup is added.
    //! picturePath turns a picture name into a file path (empty when there is none).
    static QString buddyHtml(const Buddy &buddy, int namingMode, const EmoticonFilter &filter,
                             const std::function<QString(const QString &)> &picturePath);
    //! Plain-text equivalent of buddyHtml's name part (tooltips, accessibility, tests).
    static QString buddyLabel(const Buddy &buddy, int namingMode);

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    struct Header;
    struct Row {
        Header *header = nullptr;
        QString handle;
        QString loginId;
        QString name; //!< sort key, fixed when the row is made
        QString groupId;
        mutable QString html; //!< empty until drawn, emptied when stale
    };
    struct Header {
        Header() = default;
        Header(const Header &) = delete;
        Header &operator=(const Header &) = delete;
        ~Header()
        {
            qDeleteAll(rows);
        }
        QString id;
        QString name;
        bool section = false;
        bool open = true;
        int pos = 0;
        int total = 0;
        int online = 0;
        //! Owned. Raw pointers: inserting into thousands of rows is one memmove.
        QVector<Row *> rows;
    };

    void beginBuild(Tree tree);
    Header *makeHeader(const QString &id, const QString &name, const QString &key);
    //! Appends the buddies (already in display order) as rows; no model signals.
    void fillRows(Header *header, QVector<const Buddy *> &buddies, const QString &rowGroupId);
    QVector<const Buddy *> keptMembers(const QString &groupId, const char *missingPrefix, int *online) const;
    //! Group list in display order.
    QVector<QPair<QString, QString>> orderedGroups() const;
    int rowPosition(const Header *header, const Row *row) const;
    int insertPosition(const Header *header, const QString &name, const QString &handle) const;
    void insertRow(Header *header, const Buddy *buddy, const QString &rowGroupId);
    void removeRowsOf(Header *header, const QString &handle);
    void headerChanged(Header *header);
    QModelIndex headerIndex(const Header *header) const;
    QModelIndex rowIndex(const Row *row) const;
    Header *headerOf(const QModelIndex &index) const;
    Row *rowOf(const QModelIndex &index) const;
    QString headerText(const Header *header) const;
    QString rowHtml(const Row *row) const;

    QPointer<BuddyList> m_pBuddies;
    QPointer<GroupList> m_pGroups;
    int m_namingMode = NameAndNick;
    bool m_emoticons = true;
    EmoticonFilter m_emoticonFilter;
    //! Picture paths are looked up once; rows are redrawn thousands of times.
    QString picturePath(const QString &name) const;
    mutable QHash<QString, QString> m_picturePaths;
    QPixmap m_folderOpen;
    QPixmap m_folderClosed;

    Tree m_tree = NoTree;
    std::vector<std::unique_ptr<Header>> m_headers;
    QHash<QString, Header *> m_headerById; //!< real groups only
    QHash<QString, QVector<Row *>> m_rowsByHandle;
    //! Group headers that count a handle (also where an offline buddy has no row).
    QHash<QString, QVector<Header *>> m_countedIn;
};
