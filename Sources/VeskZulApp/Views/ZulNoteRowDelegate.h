#pragma once

#include <QHash>
#include <QList>
#include <QRectF>
#include <QStyledItemDelegate>

#include <optional>
#include <utility>

class ZulNoteListModel;

// Draws one note of the sidebar: tint dot, title and flag symbols; up to two
// lines of preview; the total and task badges and the time of the last
// change. The selected note is filled with its tint. Rows stand 8 apart.
// A badge too long for its row ends in an ellipsis, never under the time,
// and shows whole as its tooltip.
class ZulNoteRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int rowGap = 8;
    static constexpr qreal padding = 10;
    static constexpr qreal lineSpacing = 6;

    explicit ZulNoteRowDelegate(ZulNoteListModel &model, QObject *parent = nullptr);

    // One text of a row's footer: where it is drawn, what it reads and what
    // it reads whole.
    struct FooterText
    {
        QRectF box;
        QString shown;
        QString text;
    };

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

    // The badges (total, tasks) and the time of a row drawn in `rowRect`,
    // left to right.
    QList<FooterText> footerTexts(int row, const QRectF &rowRect) const;

    // The preview as drawn in a row of that width: at most two lines, the
    // second cut short with an ellipsis when the text goes on.
    QStringList previewLines(const QString &snippet, int rowWidth) const;
    // The two badge texts of a row; empty when the badge is not shown.
    QString totalBadgeText(int row) const;
    QString tasksBadgeText(int row) const;
    QString timeText(int row) const;
    // The flag symbols after the title, in order.
    QStringList flagSymbols(int row) const;

private:
    struct Preview
    {
        QStringList lines;
        // Whether the second line is cut short well before the text ends,
        // so that any text going on the same way shows the same lines.
        bool cutShort = false;
    };
    static Preview layOutPreview(const QString &snippet, int rowWidth);

    ZulNoteListModel &m_model;
    mutable QHash<QString, Preview> m_previewCache;
    mutable int m_previewCacheWidth = -1;
    // Without a preview, with one.
    mutable std::optional<std::pair<int, int>> m_rowHeights;
};
