// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "buddytreemodel.h"

#include "buddy.h"
#include "buddylist.h"
#include "contacts_debug.h"
#include "group.h"
#include "grouplist.h"
#include "pics.h"
#include "settings.h"
#include "status.h"

#include <algorithm>

namespace
{
const QString s_etcGroup = QStringLiteral("기타");
const QString s_onlineSection = QStringLiteral("온라인");
const QString s_offlineSection = QStringLiteral("오프라인");

//! Row order inside a header: ascending by name, ties by handle, so every build is the same.
bool rowBefore(const QString &nameA, const QString &handleA, const QString &nameB, const QString &handleB)
{
    const int c = QString::compare(nameA, nameB);
    return c != 0 ? c < 0 : QString::compare(handleA, handleB) < 0;
}

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

bool hasCase(const QString &name)
{
    return name.toUpper() != name.toLower();
}
}

BuddyTreeModel::BuddyTreeModel(QObject *parent)
    : QAbstractItemModel(parent)
    , m_folderOpen(Pics::pixmap(QStringLiteral("main_list_folder_open.png")))
    , m_folderClosed(Pics::pixmap(QStringLiteral("main_list_folder_close.png")))
{
}

QString BuddyTreeModel::picturePath(const QString &name) const
{
    auto it = m_picturePaths.find(name);
    if (it == m_picturePaths.end()) {
        it = m_picturePaths.insert(name, Pics::path(name));
    }
    return *it;
}

BuddyTreeModel::~BuddyTreeModel() = default;

void BuddyTreeModel::setLists(BuddyList *buddies, GroupList *groups)
{
    m_pBuddies = buddies;
    m_pGroups = groups;
}

BuddyList *BuddyTreeModel::buddyList() const
{
    return m_pBuddies;
}

GroupList *BuddyTreeModel::groupList() const
{
    return m_pGroups;
}

void BuddyTreeModel::setNamingMode(int mode)
{
    m_namingMode = mode;
}

int BuddyTreeModel::namingMode() const
{
    return m_namingMode;
}

void BuddyTreeModel::setEmoticons(bool on)
{
    m_emoticons = on;
}

bool BuddyTreeModel::emoticons() const
{
    return m_emoticons;
}

void BuddyTreeModel::setEmoticonFilter(const EmoticonFilter &filter)
{
    m_emoticonFilter = filter;
}

void BuddyTreeModel::refreshHtml()
{
    for (const auto &header : m_headers) {
        for (Row *row : header->rows) {
            row->html.clear();
        }
        if (!header->rows.empty()) {
            const QModelIndex parent = headerIndex(header.get());
            Q_EMIT dataChanged(index(0, 0, parent), index(header->rows.size() - 1, 0, parent));
        }
    }
}

BuddyTreeModel::Tree BuddyTreeModel::tree() const
{
    return m_tree;
}

void BuddyTreeModel::clear()
{
    beginResetModel();
    m_headers.clear();
    m_headerById.clear();
    m_rowsByHandle.clear();
    m_countedIn.clear();
    m_tree = NoTree;
    endResetModel();
}

void BuddyTreeModel::beginBuild(Tree tree)
{
    beginResetModel();
    m_headers.clear();
    m_headerById.clear();
    m_rowsByHandle.clear();
    m_countedIn.clear();
    m_tree = tree;
}

BuddyTreeModel::Header *BuddyTreeModel::makeHeader(const QString &id, const QString &name, const QString &key)
{
    auto header = std::make_unique<Header>();
    header->id = id;
    header->name = name;
    header->section = m_tree == OnOffTree;
    header->open = m_tree == SearchTree || key.isEmpty() ? true : Settings::groupOpen(key);
    header->pos = int(m_headers.size());
    Header *raw = header.get();
    m_headers.push_back(std::move(header));
    if (!raw->section && !m_headerById.contains(id)) {
        m_headerById.insert(id, raw);
    }
    return raw;
}

QVector<QPair<QString, QString>> BuddyTreeModel::orderedGroups() const
{
    // Groups without case in their names (Korean, digits) first, then groups with cased names,
    // each by name descending; "기타" (the catch-all group) always last.
    QVector<QPair<QString, QString>> caseless;
    QVector<QPair<QString, QString>> cased;
    QVector<QPair<QString, QString>> etc;
    if (!m_pGroups) {
        return {};
    }
    for (const Group *group : *m_pGroups) {
        const QPair<QString, QString> entry(group->itemId(), group->itemName());
        if (entry.second == s_etcGroup) {
            etc.append(entry);
        } else if (hasCase(entry.second)) {
            cased.append(entry);
        } else {
            caseless.append(entry);
        }
    }
    const auto descending = [](const QPair<QString, QString> &a, const QPair<QString, QString> &b) {
        return QString::compare(a.second, b.second) > 0;
    };
    std::stable_sort(caseless.begin(), caseless.end(), descending);
    std::stable_sort(cased.begin(), cased.end(), descending);
    return caseless + cased + etc;
}

QVector<const Buddy *> BuddyTreeModel::keptMembers(const QString &groupId, const char *missingPrefix, int *online) const
{
    QVector<const Buddy *> kept;
    const Group *group = m_pGroups ? m_pGroups->findGroupById(groupId) : nullptr;
    if (!group || !m_pBuddies) {
        return kept;
    }
    kept.reserve(group->members().size());
    for (const QString &handle : group->members()) {
        const Buddy *buddy = m_pBuddies->findByHandle(handle);
        if (!buddy) {
            qCDebug(KZEMVIK_CONTACTS) << missingPrefix << handle;
            continue;
        }
        if (!buddy->onForwardList) {
            continue;
        }
        kept.append(buddy);
        if (online && Status::isOnline(buddy->status)) {
            ++*online;
        }
    }
    std::sort(kept.begin(), kept.end(), [](const Buddy *a, const Buddy *b) {
        return rowBefore(a->name, a->handle, b->name, b->handle);
    });
    return kept;
}

void BuddyTreeModel::fillRows(Header *header, QVector<const Buddy *> &buddies, const QString &rowGroupId)
{
    header->rows.reserve(buddies.size());
    for (const Buddy *buddy : buddies) {
        auto *row = new Row;
        row->header = header;
        row->handle = buddy->handle;
        row->loginId = buddy->loginId;
        row->name = buddy->name;
        row->groupId = rowGroupId.isNull() ? buddy->itemId() : rowGroupId;
        m_rowsByHandle[row->handle].append(row);
        header->rows.append(row);
    }
}

void BuddyTreeModel::buildGroupTree(bool onlineOnly)
{
    beginBuild(onlineOnly ? OnlineGroupTree : GroupTree);
    for (const auto &entry : orderedGroups()) {
        const char *prefix = entry.second == s_etcGroup ? "111> Nothing handle value : "
            : hasCase(entry.second)                     ? "222> Nothing handle value : "
                                                        : "333> Nothing handle value : ";
        Header *header = makeHeader(entry.first, entry.second, entry.first);
        QVector<const Buddy *> members = keptMembers(entry.first, prefix, &header->online);
        header->total = members.size();
        for (const Buddy *buddy : members) {
            m_countedIn[buddy->handle].append(header);
        }
        if (onlineOnly) {
            members.erase(std::remove_if(members.begin(), members.end(),
                                         [](const Buddy *b) {
                                             return !Status::isOnline(b->status);
                                         }),
                          members.end());
        }
        fillRows(header, members, header->id);
        qCDebug(KZEMVIK_CONTACTS) << "Online Count : [" << header->online << "]";
    }
    endResetModel();
}

void BuddyTreeModel::buildOnOffTree()
{
    beginBuild(OnOffTree);
    Header *online = makeHeader(QStringLiteral("0"), s_onlineSection, Settings::onlineTreeKey());
    Header *offline = makeHeader(QStringLiteral("1"), s_offlineSection, Settings::offlineTreeKey());
    QVector<const Buddy *> on;
    QVector<const Buddy *> off;
    if (m_pBuddies) {
        for (const Buddy *buddy : *m_pBuddies) {
            if (buddy->onForwardList) {
                (Status::isOnline(buddy->status) ? on : off).append(buddy);
            }
        }
    }
    const auto order = [](const Buddy *a, const Buddy *b) {
        return rowBefore(a->name, a->handle, b->name, b->handle);
    };
    std::sort(on.begin(), on.end(), order);
    std::sort(off.begin(), off.end(), order);
    fillRows(online, on, QString());
    fillRows(offline, off, QString());
    online->total = online->online = on.size();
    offline->total = off.size();
    endResetModel();
}

void BuddyTreeModel::buildSearchTree(const QString &text)
{
    beginBuild(SearchTree);
    for (const auto &entry : orderedGroups()) {
        const char *prefix = entry.second == s_etcGroup ? "777> Nothing handle value : "
            : hasCase(entry.second)                     ? "555> Nothing handle value : "
                                                        : "666> Nothing handle value : ";
        QVector<const Buddy *> members = keptMembers(entry.first, prefix, nullptr);
        members.erase(std::remove_if(members.begin(), members.end(),
                                     [&text](const Buddy *b) {
                                         return !b->name.contains(text) && !b->nick.contains(text);
                                     }),
                      members.end());
        if (members.isEmpty()) {
            continue;
        }
        Header *header = makeHeader(entry.first, entry.second, QString());
        header->total = members.size();
        fillRows(header, members, header->id);
    }
    endResetModel();
}

int BuddyTreeModel::rowPosition(const Header *header, const Row *row) const
{
    const auto it = std::lower_bound(header->rows.cbegin(), header->rows.cend(), row, [](const Row *a, const Row *b) {
        return rowBefore(a->name, a->handle, b->name, b->handle);
    });
    if (it != header->rows.cend() && *it == row) {
        return int(it - header->rows.cbegin());
    }
    return header->rows.indexOf(const_cast<Row *>(row));
}

int BuddyTreeModel::insertPosition(const Header *header, const QString &name, const QString &handle) const
{
    const auto it = std::lower_bound(header->rows.cbegin(), header->rows.cend(), 0, [&](const Row *a, int) {
        return rowBefore(a->name, a->handle, name, handle);
    });
    return int(it - header->rows.cbegin());
}

void BuddyTreeModel::insertRow(Header *header, const Buddy *buddy, const QString &rowGroupId)
{
    const int pos = insertPosition(header, buddy->name, buddy->handle);
    beginInsertRows(headerIndex(header), pos, pos);
    auto *row = new Row;
    row->header = header;
    row->handle = buddy->handle;
    row->loginId = buddy->loginId;
    row->name = buddy->name;
    row->groupId = rowGroupId;
    m_rowsByHandle[row->handle].append(row);
    header->rows.insert(pos, row);
    endInsertRows();
}

void BuddyTreeModel::removeRowsOf(Header *header, const QString &handle)
{
    auto found = m_rowsByHandle.find(handle);
    if (found == m_rowsByHandle.end()) {
        return;
    }
    QVector<Row *> &rows = *found;
    for (int i = rows.size() - 1; i >= 0; --i) {
        Row *row = rows.at(i);
        if (row->header != header) {
            continue;
        }
        const int pos = rowPosition(header, row);
        if (pos < 0) {
            continue;
        }
        rows.remove(i);
        beginRemoveRows(headerIndex(header), pos, pos);
        delete header->rows.takeAt(pos);
        endRemoveRows();
    }
    if (rows.isEmpty()) {
        m_rowsByHandle.erase(found);
    }
}

void BuddyTreeModel::headerChanged(Header *header)
{
    const QModelIndex idx = headerIndex(header);
    Q_EMIT dataChanged(idx, idx);
}

void BuddyTreeModel::updatePresence(const Buddy *buddy, const QString &oldLetter)
{
    if (!buddy || m_tree == NoTree) {
        return;
    }
    const bool wasOnline = Status::isOnline(oldLetter);
    const bool isOnline = Status::isOnline(buddy->status);
    const bool crossed = wasOnline != isOnline && buddy->onForwardList;

    if (m_tree == OnOffTree && crossed && m_headers.size() == 2) {
        Header *from = m_headers[wasOnline ? 0 : 1].get();
        Header *to = m_headers[isOnline ? 0 : 1].get();
        const QVector<Row *> rows = m_rowsByHandle.value(buddy->handle);
        if (!rows.isEmpty()) {
            const QString groupId = rows.first()->groupId;
            removeRowsOf(from, buddy->handle);
            insertRow(to, buddy, groupId);
            --from->total;
            ++to->total;
            from->online = from == m_headers[0].get() ? from->total : 0;
            to->online = to == m_headers[0].get() ? to->total : 0;
            headerChanged(from);
            headerChanged(to);
            return;
        }
    }
    if ((m_tree == GroupTree || m_tree == OnlineGroupTree) && crossed) {
        const QVector<Header *> headers = m_countedIn.value(buddy->handle);
        for (Header *header : headers) {
            header->online += isOnline ? 1 : -1;
            if (m_tree == OnlineGroupTree) {
                if (isOnline) {
                    insertRow(header, buddy, header->id);
                } else {
                    removeRowsOf(header, buddy->handle);
                }
            }
            headerChanged(header);
        }
        if (m_tree == OnlineGroupTree) {
            return; // its rows were just made or taken out
        }
    }
    refreshBuddyRows(buddy);
}

void BuddyTreeModel::refreshBuddyRows(const Buddy *buddy)
{
    if (!buddy) {
        return;
    }
    const QVector<Row *> rows = m_rowsByHandle.value(buddy->handle);
    for (Row *row : rows) {
        row->html.clear();
        row->loginId = buddy->loginId;
        const QModelIndex idx = rowIndex(row);
        if (idx.isValid()) {
            Q_EMIT dataChanged(idx, idx);
        }
    }
}

bool BuddyTreeModel::addBuddyRow(const QString &groupId, const Buddy *buddy)
{
    if (!buddy || m_tree == OnOffTree || m_tree == NoTree) {
        return false;
    }
    Header *header = m_headerById.value(groupId.isEmpty() ? QStringLiteral("0") : groupId);
    if (!header) {
        return false;
    }
    const auto rows = m_rowsByHandle.value(buddy->handle);
    for (const Row *row : rows) {
        if (row->header == header) {
            return true;
        }
    }
    if (m_tree != SearchTree) {
        ++header->total;
        m_countedIn[buddy->handle].append(header);
        if (Status::isOnline(buddy->status)) {
            ++header->online;
        }
    }
    if (m_tree != OnlineGroupTree || Status::isOnline(buddy->status)) {
        // The row carries the group it was added to, so later moves and deletes act on that group.
        insertRow(header, buddy, header->id);
    }
    headerChanged(header);
    return true;
}

bool BuddyTreeModel::removeGroupHeader(const QString &groupId)
{
    Header *header = m_headerById.value(groupId);
    if (!header) {
        return false;
    }
    const int pos = header->pos;
    beginRemoveRows(QModelIndex(), pos, pos);
    for (Row *row : header->rows) {
        auto found = m_rowsByHandle.find(row->handle);
        if (found != m_rowsByHandle.end()) {
            found->removeAll(row);
            if (found->isEmpty()) {
                m_rowsByHandle.erase(found);
            }
        }
    }
    for (auto it = m_countedIn.begin(); it != m_countedIn.end();) {
        it->removeAll(header);
        it = it->isEmpty() ? m_countedIn.erase(it) : std::next(it);
    }
    m_headerById.remove(groupId);
    m_headers.erase(m_headers.begin() + pos);
    for (size_t i = pos; i < m_headers.size(); ++i) {
        m_headers[i]->pos = int(i);
    }
    endRemoveRows();
    return true;
}

QModelIndex BuddyTreeModel::groupIndex(const QString &groupId) const
{
    const Header *header = m_headerById.value(groupId);
    return header ? headerIndex(header) : QModelIndex();
}

QModelIndexList BuddyTreeModel::buddyIndexes(const QString &handle) const
{
    QModelIndexList list;
    const auto rows = m_rowsByHandle.value(handle);
    for (const Row *row : rows) {
        list.append(rowIndex(row));
    }
    return list;
}

Buddy *BuddyTreeModel::buddyAt(const QModelIndex &index) const
{
    const Row *row = rowOf(index);
    return row && m_pBuddies ? m_pBuddies->findByHandle(row->handle) : nullptr;
}

bool BuddyTreeModel::isBuddyRow(const QModelIndex &index)
{
    return index.isValid() && index.internalPointer() != nullptr;
}

bool BuddyTreeModel::isHeader(const QModelIndex &index)
{
    return index.isValid() && index.internalPointer() == nullptr;
}

bool BuddyTreeModel::isGroupHeader(const QModelIndex &index)
{
    return isHeader(index) && !index.data(SectionRole).toBool();
}

void BuddyTreeModel::setOpen(const QModelIndex &header, bool open, bool store)
{
    Header *h = headerOf(header);
    if (!h || h->open == open) {
        return;
    }
    h->open = open;
    if (store && m_tree != SearchTree) {
        Settings::setGroupOpen(openStateKey(header), open);
    }
    headerChanged(h);
}

QString BuddyTreeModel::openStateKey(const QModelIndex &header) const
{
    const Header *h = headerOf(header);
    if (!h) {
        return QString();
    }
    if (h->section) {
        return h->id == QLatin1String("0") ? Settings::onlineTreeKey() : Settings::offlineTreeKey();
    }
    return h->id;
}

QString BuddyTreeModel::buddyLabel(const Buddy &buddy, int namingMode)
{
    switch (namingMode) {
    case NameOnly:
        return buddy.name;
    case NickOnly:
        return buddy.nick;
    case NameAndId:
        return buddy.name + QLatin1Char('(') + buddy.loginId + QLatin1Char(')');
    default:
        return buddy.name + QLatin1Char('(') + buddy.nick + QLatin1Char(')');
    }
}

QString BuddyTreeModel::buddyHtml(const Buddy &buddy, int namingMode, const EmoticonFilter &filter,
                                  const std::function<QString(const QString &)> &picturePath)
{
    QString html;
    const QString statusPicture = picturePath(Status::listIcon(buddy.status, buddy.blocked));
    if (!statusPicture.isEmpty()) {
        html = QStringLiteral("<img src=\"") + escaped(statusPicture) + QStringLiteral("\"> ");
    }

    // Names, nicknames and IDs come from other users: escape before any markup or picture goes in.
    QString name = escaped(buddy.name);
    QString nick = escaped(buddy.nick);
    if (filter) {
        name = filter(name);
        nick = filter(nick);
    }
    const QString open = QStringLiteral("<font color=\"#424242\"><b>");
    switch (namingMode) {
    case NameOnly:
        html += open + name + QStringLiteral("</b></font>");
        break;
    case NickOnly:
        html += open + nick + QStringLiteral("</b></font>");
        break;
    case NameAndId:
        html += open + name + QStringLiteral("</b>(") + escaped(buddy.loginId) + QStringLiteral(")</font>");
        break;
    default:
        html += open + name + QStringLiteral("</b>(") + nick + QStringLiteral(")</font>");
        break;
    }
    if (!buddy.kivraId.isEmpty() && !buddy.kivraId.startsWith(QLatin1Char('%'))) {
        const QString page = picturePath(buddy.kivraNew ? QStringLiteral("main_list_kivra_new.png") : QStringLiteral("main_list_kivra.png"));
        if (!page.isEmpty()) {
            html += QStringLiteral(" <img src=\"") + escaped(page) + QStringLiteral("\" width=18 height=18 />");
        }
    }
    return html;
}

QString BuddyTreeModel::rowHtml(const Row *row) const
{
    if (row->html.isEmpty()) {
        const Buddy *buddy = m_pBuddies ? m_pBuddies->findByHandle(row->handle) : nullptr;
        if (!buddy) {
            return QString();
        }
        row->html = buddyHtml(*buddy, m_namingMode, m_emoticons ? m_emoticonFilter : EmoticonFilter(), [this](const QString &name) {
            return picturePath(name);
        });
    }
    return row->html;
}

QString BuddyTreeModel::headerText(const Header *header) const
{
    if (m_tree == SearchTree) {
        return header->name;
    }
    if (header->section) {
        return header->name + QLatin1Char('(') + QString::number(header->total) + QLatin1Char(')');
    }
    return header->name + QLatin1Char('(') + QString::number(header->online) + QLatin1Char('/') + QString::number(header->total) + QLatin1Char(')');
}

QModelIndex BuddyTreeModel::headerIndex(const Header *header) const
{
    return createIndex(header->pos, 0, nullptr);
}

QModelIndex BuddyTreeModel::rowIndex(const Row *row) const
{
    const int pos = rowPosition(row->header, row);
    return pos < 0 ? QModelIndex() : createIndex(pos, 0, row->header);
}

BuddyTreeModel::Header *BuddyTreeModel::headerOf(const QModelIndex &index) const
{
    if (!isHeader(index) || index.model() != this || index.row() >= int(m_headers.size())) {
        return nullptr;
    }
    return m_headers[index.row()].get();
}

BuddyTreeModel::Row *BuddyTreeModel::rowOf(const QModelIndex &index) const
{
    if (!isBuddyRow(index) || index.model() != this) {
        return nullptr;
    }
    auto *header = static_cast<Header *>(index.internalPointer());
    return index.row() < header->rows.size() ? header->rows.at(index.row()) : nullptr;
}

QModelIndex BuddyTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column != 0) {
        return QModelIndex();
    }
    if (!parent.isValid()) {
        return row < int(m_headers.size()) ? createIndex(row, 0, nullptr) : QModelIndex();
    }
    Header *header = headerOf(parent);
    if (!header || row >= header->rows.size()) {
        return QModelIndex();
    }
    return createIndex(row, 0, header);
}

QModelIndex BuddyTreeModel::parent(const QModelIndex &child) const
{
    if (!isBuddyRow(child)) {
        return QModelIndex();
    }
    return headerIndex(static_cast<const Header *>(child.internalPointer()));
}

int BuddyTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid()) {
        return int(m_headers.size());
    }
    const Header *header = headerOf(parent);
    return header ? header->rows.size() : 0;
}

int BuddyTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant BuddyTreeModel::data(const QModelIndex &index, int role) const
{
    if (const Header *header = headerOf(index)) {
        switch (role) {
        case Qt::DisplayRole:
            return headerText(header);
        case Qt::DecorationRole:
            return header->open ? m_folderOpen : m_folderClosed;
        case KindRole:
            return int(GroupKind);
        case GroupIdRole:
            return header->id;
        case NameRole:
            return header->name;
        case OpenRole:
            return header->open;
        case OnlineCountRole:
            return header->online;
        case TotalRole:
            return header->total;
        case SectionRole:
            return header->section;
        default:
            return QVariant();
        }
    }
    const Row *row = rowOf(index);
    if (!row) {
        return QVariant();
    }
    switch (role) {
    case Qt::DisplayRole: {
        const Buddy *buddy = m_pBuddies ? m_pBuddies->findByHandle(row->handle) : nullptr;
        return buddy ? buddyLabel(*buddy, m_namingMode) : row->name;
    }
    case Qt::ToolTipRole: {
        // Tool tips guess rich text from tags: the peer's text goes in escaped, as rich text.
        const Buddy *buddy = m_pBuddies ? m_pBuddies->findByHandle(row->handle) : nullptr;
        return QString(QStringLiteral("<nobr>") + (buddy ? buddyLabel(*buddy, m_namingMode) : row->name).toHtmlEscaped() + QStringLiteral("</nobr>"));
    }
    case HtmlRole:
        return rowHtml(row);
    case KindRole:
        return int(BuddyKind);
    case GroupIdRole:
        return row->groupId;
    case HandleRole:
        return row->handle;
    case LoginIdRole:
        return row->loginId;
    case NameRole:
        return row->name;
    case SectionRole:
        return false;
    default:
        return QVariant();
    }
}

Qt::ItemFlags BuddyTreeModel::flags(const QModelIndex &index) const
{
    if (isBuddyRow(index)) {
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
    }
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
