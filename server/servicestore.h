// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct sqlite3;

//! A member account. Only the sign-in digest is kept, never the password.
struct StoredAccount {
    int cmn = 0;
    QString loginId;
    QString name;
    QString nick; //!< empty: the name is shown
    QString digest; //!< SignInDigest::digest(password, loginId, service domain)
    QString linkDigest; //!< SignInDigest::linkDigest(password, loginId), checked when another account links this one
    bool bot = false;

    bool isValid() const
    {
        return cmn > 0;
    }
};

struct StoredGroup {
    int id = 0;
    QString name;
};

struct StoredMembership {
    int buddyCmn = 0;
    int groupId = 0;
};

//! One row of an owner's buddy list: the owner's flags for that member.
struct StoredEntry {
    int buddyCmn = 0;
    QString loginId;
    QString name;
    QString nick;
    bool fl = false; //!< on the owner's buddy list
    bool al = false; //!< allowed
    bool bl = false; //!< blocked
    bool rl = false; //!< the member has the owner on their list
    QString message; //!< text of a pending buddy request

    bool isEmpty() const
    {
        return !fl && !al && !bl && !rl;
    }
    //! The four-character flag text of LIST lines: FL, AL, BL, RL.
    QString flagText() const;
};

//! Somebody who has a member on their buddy list and so may see the member's presence.
struct StoredWatcher {
    int cmn = 0;
    bool blocked = false; //!< the watched member blocks this watcher
};

struct StoredMemo {
    QString senderId;
    QByteArray payload;
};

//! All state of the local service, in one SQLite database under the data directory.
//! Every statement is prepared and bound; edits that touch several rows run in one transaction.
class ServiceStore
{
public:
    static constexpr int DefaultGroupId = 0;
    static constexpr int MaxGroups = 1000;
    static constexpr int MaxPendingMemos = 1000;
    static constexpr int MaxProfileKeys = 100;

    ServiceStore();
    ~ServiceStore();
    ServiceStore(const ServiceStore &) = delete;
    ServiceStore &operator=(const ServiceStore &) = delete;

    //! Opens (and creates) "service.db" in directory.
    bool open(const QString &directory);
    void close();
    QString errorString() const;
    static QString defaultGroupName();

    bool hasAccounts() const;
    //! Loads accounts, groups and lists from a JSON file (the shipped demo data).
    bool importFile(const QString &path);

    //! Creates an account with its default group; false (and errorString()) when the ID is taken or malformed.
    bool addAccount(const QString &loginId, const QString &password, const QString &name, const QString &nick, bool bot = false);
    //! Lookup is case-insensitive; the stored spelling is the canonical one.
    StoredAccount account(const QString &loginId) const;
    StoredAccount account(int cmn) const;
    QList<StoredAccount> botAccounts() const;
    bool setNick(int cmn, const QString &nick);

    int groupVersion(int owner) const;
    QList<StoredGroup> groups(int owner) const;
    bool hasGroup(int owner, int groupId) const;
    int groupIdByName(int owner, const QString &name) const;
    //! Each returns the new group list version, or -1 on failure.
    int addGroup(int owner, const QString &name, int *groupId);
    int removeGroup(int owner, int groupId);
    int renameGroup(int owner, int groupId, const QString &name);

    QList<StoredMembership> memberships(int owner) const;
    bool addMembership(int owner, int buddy, int groupId);
    bool removeMembership(int owner, int buddy, int groupId);
    bool isInAnyGroup(int owner, int buddy) const;

    QList<StoredEntry> entries(int owner) const;
    //! The owner's row for buddy; all flags clear when there is none.
    StoredEntry entry(int owner, int buddy) const;
    //! Writes the flags and message; a row with every flag clear is deleted with its memberships.
    bool setEntry(int owner, const StoredEntry &entry);
    QList<StoredWatcher> watchers(int cmn) const;
    //! Puts two members on each other's lists (allowed), each in the named group (created when
    //! missing; the default group when the name is empty).
    bool linkBuddies(const QString &loginId, const QString &buddyId, const QString &groupName);

    QString profileValue(int owner, const QString &key) const;
    bool setProfileValue(int owner, const QString &key, const QString &value);

    bool storeMemo(int recipient, const QString &senderId, const QByteArray &payload);
    //! Returns and deletes the memos kept for recipient, oldest first.
    QList<StoredMemo> takeMemos(int recipient);

    //! Runs several edits as one transaction; rolled back when any of them fails.
    bool beginTransaction();
    bool commit();
    void rollback();

private:
    bool exec(const char *sql);
    int bumpGroupVersion(int owner);
    void setError(const QString &text) const;

    sqlite3 *m_pDb = nullptr;
    mutable QString m_error;
};
