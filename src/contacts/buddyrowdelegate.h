// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QCache>
#include <QHash>
#include <QPixmap>
#include <QStyledItemDelegate>

class QTextDocument;

//! Draws buddy rows as rich text (status picture, name markup, page icon) and group headers as
//! folder picture plus bold title. Laid-out documents are cached by their HTML, and pictures are
//! loaded once, so a repaint after a presence change costs one small layout at most.
class BuddyRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit BuddyRowDelegate(QObject *parent = nullptr);
    ~BuddyRowDelegate() override;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    //! The height every row gets (uniform rows keep big lists cheap to lay out).
    int rowHeight(const QFont &font) const;
    //! The laid-out document of a buddy cell, as painted.
    QTextDocument *document(const QString &html, const QFont &font) const;
    //! Optional strip drawn behind group headers.
    void setHeaderBackground(const QPixmap &strip);

private:
    mutable QCache<QString, QTextDocument> m_documents;
    mutable QHash<QString, QPixmap> m_pictures;
    QPixmap m_headerStrip;
};
