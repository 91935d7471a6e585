#pragma once

#include "Models/ZulNoteTint.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QUuid>

// One note in the drawer's chip strip: a dot in the note's tint and its
// display title in a capsule, brighter while it is the selected note.
class EdgeDrawerNoteChip : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr qreal dotSide = 6;
    static constexpr qreal spacing = 5;
    static constexpr qreal horizontalPadding = 9;
    static constexpr qreal verticalPadding = 4.5;
    static constexpr qreal fontPixelSize = 11;

    EdgeDrawerNoteChip(const QUuid &noteID, const QString &title, ZulNoteTint tint, bool selected,
                       QWidget *parent = nullptr);

    const QUuid &noteID() const { return m_noteID; }
    // Shows the note's title, tint and selection as they now are.
    void setLook(const QString &title, ZulNoteTint tint, bool selected);
    // Makes the chip another note's, as the strip reuses it while it scrolls.
    void setNote(const QUuid &noteID, const QString &title, ZulNoteTint tint, bool selected);
    ZulNoteTint tint() const { return m_tint; }
    bool isSelected() const { return m_selected; }
    QColor titleColour() const;
    QColor fillColour() const;
    QColor borderColour() const;
    QFont titleFont() const;

    // What a chip shows of a title, in which font, and how wide that makes
    // it: the strip places chips it has not made by these.
    static QString shownTitle(const QString &title);
    static QFont titleFont(bool selected);
    static int widthFor(const QFontMetricsF &metrics, const QString &shownTitle);
    static int heightFor(const QFontMetricsF &metrics);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QUuid m_noteID;
    ZulNoteTint m_tint;
    bool m_selected;
};
