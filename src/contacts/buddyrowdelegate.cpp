// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "buddyrowdelegate.h"

#include "buddytreemodel.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>
#include <QUrl>

namespace
{
const QColor s_selection(0xc8, 0xda, 0xea);
const QColor s_headerText(0x22, 0x66, 0x99);
constexpr int s_margin = 4;
constexpr int s_pictureHeight = 18;

//! A cell document that takes its pictures from the delegate's shared cache instead of the disk.
class CellDocument : public QTextDocument
{
public:
    explicit CellDocument(QHash<QString, QPixmap> *pictures)
        : m_pPictures(pictures)
    {
    }

protected:
    QVariant loadResource(int type, const QUrl &name) override
    {
        if (type != QTextDocument::ImageResource) {
            return QTextDocument::loadResource(type, name);
        }
        const QString file = name.isLocalFile() ? name.toLocalFile() : name.toString();
        auto it = m_pPictures->find(file);
        if (it == m_pPictures->end()) {
            it = m_pPictures->insert(file, QPixmap(file));
        }
        return *it;
    }

private:
    QHash<QString, QPixmap> *m_pPictures;
};
}

BuddyRowDelegate::BuddyRowDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
    , m_documents(600)
{
}

BuddyRowDelegate::~BuddyRowDelegate() = default;

void BuddyRowDelegate::setHeaderBackground(const QPixmap &strip)
{
    m_headerStrip = strip;
}

int BuddyRowDelegate::rowHeight(const QFont &font) const
{
    return qMax(QFontMetrics(font).height(), s_pictureHeight) + 6;
}

QTextDocument *BuddyRowDelegate::document(const QString &html, const QFont &font) const
{
    const QString key = font.key() + QLatin1Char('\n') + html;
    if (QTextDocument *doc = m_documents.object(key)) {
        return doc;
    }
    auto *doc = new CellDocument(&m_pictures);
    QFont normal = font;
    normal.setWeight(QFont::Normal);
    doc->setDefaultFont(normal);
    doc->setDocumentMargin(0);
    doc->setDefaultStyleSheet(QStringLiteral("img { vertical-align: middle; }"));
    doc->setHtml(QStringLiteral("<qt><nobr>") + html + QStringLiteral("</nobr></qt>"));
    m_documents.insert(key, doc);
    return doc;
}

void BuddyRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    painter->save();
    const QRect rect = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    if (BuddyTreeModel::isHeader(index)) {
        if (!m_headerStrip.isNull()) {
            painter->drawPixmap(rect, m_headerStrip);
        }
        if (selected) {
            painter->fillRect(rect, s_selection);
        }
        const QPixmap folder = index.data(Qt::DecorationRole).value<QPixmap>();
        int x = rect.left() + s_margin;
        if (!folder.isNull()) {
            painter->drawPixmap(x, rect.top() + (rect.height() - folder.height()) / 2, folder);
            x += folder.width() + s_margin;
        }
        QFont bold = option.font;
        bold.setBold(true);
        painter->setFont(bold);
        painter->setPen(s_headerText);
        const QRect textRect(x, rect.top(), rect.right() - x, rect.height());
        const QString text = QFontMetrics(bold).elidedText(index.data().toString(), Qt::ElideRight, textRect.width());
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, text);
        painter->restore();
        return;
    }
    if (selected) {
        painter->fillRect(rect, s_selection);
    }
    QTextDocument *doc = document(index.data(BuddyTreeModel::HtmlRole).toString(), option.font);
    const QSizeF size = doc->size();
    painter->translate(rect.left() + s_margin, rect.top() + (rect.height() - size.height()) / 2);
    const QRectF clip(0, 0, rect.width() - s_margin, size.height());
    painter->setClipRect(clip);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = option.palette;
    context.palette.setColor(QPalette::Text, Qt::black);
    context.clip = clip;
    doc->documentLayout()->draw(painter, context);
    painter->restore();
}

QSize BuddyRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // Width only matters for the horizontal scroll range; an estimate from the plain text keeps
    // big lists from laying out every document.
    const QFontMetrics metrics(option.font);
    const int width = metrics.horizontalAdvance(index.data().toString()) + 2 * s_pictureHeight + 3 * s_margin;
    return QSize(width, rowHeight(option.font));
}
