// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <memory>

class AddBuddySelector;
class Buddy;
class ChatSession;
class EmoticonSelector;
class KHelpMenu;
class MyEdit;
class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QTimer;
class SendFileInfo;
namespace Ui
{
class ChatQW;
}

//! One chat window: shows what its switchboard session reports and hands the controller
//! everything that needs the session server, the store or another window.
class ChatView : public QWidget
{
    Q_OBJECT
public:
    explicit ChatView(int chatID, QWidget *parent = nullptr);
    ~ChatView() override;

    //! The transaction number of the switchboard request this window waits for.
    int chatID() const;
    void setChatID(int chatID);
    ChatSession *session() const;
    MyEdit *inputField() const;

    //! Points the session at a switchboard and connects; false when the connect could not start.
    bool connectToSwitchboard(const QString &host, quint16 port, const QString &key, const QString &ownId);
    Buddy *addParticipant(const QString &loginId, bool absent);
    QList<Buddy *> participants() const;
    QString plainText() const;

    //! The participants as the caption shows them; the base of the blinking.
    QString rememberedCaption() const;
    bool isBlinking() const;
    bool askBeforeClosing() const;
    bool isChattingEnabled() const;
    QString statusText() const;

    //! The buddy picker for invitations; the old one is deleted, the new one reports to slotAddBuddies.
    void setBuddySelector(AddBuddySelector *selector);
    AddBuddySelector *buddySelector() const;
    EmoticonSelector *emoticonSelector() const;

    //! The controller's answer to saveChatLog: whether the store took the conversation.
    void reportChatLogSaved(bool ok);

    //! How the save question on closing was answered.
    enum class SaveAnswer { Save, DontSave, Cancel };

public Q_SLOTS:
    void sendMSG();
    void slotSendTyping();
    //! The user's own status changed (0 online … 5 offline).
    void slotChangeStatus(int statusNumber);
    void slotBuddyChangeNick();
    //! Buddies picked for invitation: the IDs written inside "<…>".
    void slotAddBuddies(const QString &text);
    //! A participant's presence changed.
    void slotParticipantStatus(const QString &loginId, const QString &status);
    void notifyTransferCancelled();
    void notifyTransferFinished(const SendFileInfo *info);
    void refreshParticipants();
    void refreshStatusNotice();
    void slotPutEmoticon(const QString &code);

    void slotSave();
    void slotFileFolder();
    void slotShowChatLog();
    void slotClose();
    void slotInvite();
    void slotInviteDialog();
    void slotSendMemo();
    void slotSendFile();
    void slotShowProfile();
    void slotAddBuddy();
    void slotLock();
    void slotChangeNick();
    void slotEditMyProfile();
    void slotAlwaysTop();
    void slotSetup();
    void slotGoZemvikHome();
    void slotGoMavreloHome();
    void slotGoTirnDotComHome();
    void slotGoHelp();
    void slotGoZemvikMiniKivra();
    void slotGoHotTip();
    void slotGoFaq();
    void slotInfo();
    void slotStatus(QAction *action);
    void slotFontDialog();
    void slotFontColorDialog();
    void slotEmoticonDialog();
    void startBlinking();

Q_SIGNALS:
    void OutgoingMessage(const QString &text);
    void IncomingMessage(const QString &text);
    void BuddyAdded(Buddy *buddy);
    void disconnectedSS();
    void putINVT(ChatView *view);
    void newConnectSS(ChatView *view);
    void sendFile(SendFileInfo *info);
    void sendRECQNEW(ChatView *view, SendFileInfo *info);
    //! The window is closing; save says whether the conversation is to be stored.
    void hideChat(ChatView *view, bool save);
    void saveChatLog(ChatView *view, bool save);
    void updateInviteData(ChatView *view);
    void putINVT_Invite(ChatView *view, const QStringList &ids);
    void cancelReceive(const QStringList &fields);
    void cancelReceiveAll(const QStringList &fields);
    //! A message arrived while the window was hidden.
    void gotChatMessage(const QStringList &fields);
    void showDownDir();
    void showChatLog(const ChatView *view);
    void sendMemo(const QString &loginId);
    void addBuddy();
    void lockToggle(const QString &loginId);
    void changeNick();
    void showSetup();
    void cancelFileTransfer(const QString &fileSpec);
    void changeStatus(int statusNumber);

protected:
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    //! The save question of the close sequence; tests answer it themselves.
    virtual SaveAnswer askSaveOnClose();

private:
    void buildMenus();
    void setUpButtons();
    void wireSession();
    void appendHtml(const QString &html);
    void appendNotice(const QString &text);
    void blinkCaption();
    void stopBlinking();
    void updateStatusLine();
    void enableChatting();
    void disableChatting();
    void setChatting(bool on);
    void updateSendButton();
    void updateLockEntry();
    void placeEmoticonSelector();
    void showStatusNotice(const QString &text);
    void slotHideStatusLabel();
    void slotChatMessage(const QStringList &fields, bool away);
    void slotParticipantsUnavailable(const QStringList &names);
    void slotMessagesFailed(const QStringList &texts);
    void slotFilesFailed(const QStringList &paths);
    void slotNonBuddyParticipant(const QString &loginId);
    bool askFileOffer(const QString &sender, const QString &fileName, qint64 size);
    QString fitted(const QString &text, const QString &rest) const;
    Buddy *firstParticipant() const;

    std::unique_ptr<Ui::ChatQW> m_pForm;
    ChatSession *m_pSession;
    int m_chatID;
    QMenuBar *m_pMenuBar = nullptr;
    QAction *m_pInviteAction = nullptr;
    QAction *m_pMemoAction = nullptr;
    QAction *m_pFileAction = nullptr;
    QAction *m_pAddBuddyAction = nullptr;
    QAction *m_pLockAction = nullptr;
    QAction *m_pAlwaysTopAction = nullptr;
    QActionGroup *m_pStatusGroup = nullptr;
    QList<QAction *> m_statusActions;
    QTimer *m_pBlinkTimer;
    QTimer *m_pStatusHideTimer = nullptr;
    bool m_blinkPhase = false;
    QString m_caption;
    bool m_askBeforeClosing = false;
    QString m_participantsNotice;
    bool m_participantBlocked = false;
    QString m_ownStatusNote;
    bool m_ownStatusOffline = false;
    bool m_chatting = true;
    int m_saveResult = -1; //!< -1 nobody answered, 0 failed, 1 stored
    QPointer<EmoticonSelector> m_pEmoticonSelector;
    QPointer<AddBuddySelector> m_pBuddySelector;
    KHelpMenu *m_pHelpMenu = nullptr;
};
