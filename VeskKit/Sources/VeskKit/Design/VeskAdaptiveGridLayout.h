#pragma once

#include <QLayout>
#include <QList>

// A grid of as many equal columns as fit the width, each at least
// `minimumColumnWidth` wide (always at least one); items fill their cells
// row by row, in order, each stretched to the cell's width and as tall as
// the tallest item of its row. Items are centred vertically in their row.
class VeskAdaptiveGridLayout : public QLayout {
    Q_OBJECT
public:
    VeskAdaptiveGridLayout(qreal minimumColumnWidth, qreal columnSpacing, qreal rowSpacing,
                           QWidget *parent = nullptr);
    ~VeskAdaptiveGridLayout() override;

    qreal minimumColumnWidth() const { return m_minimumColumnWidth; }
    qreal columnSpacing() const { return m_columnSpacing; }
    qreal rowSpacing() const { return m_rowSpacing; }

    // The number of columns at this width (the margins already taken off).
    static int columnCount(qreal width, qreal minimumColumnWidth, qreal columnSpacing);

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

private:
    QList<QLayoutItem *> visibleItems() const;
    // Lays the items out in the rectangle; only measures when `apply` is false.
    int arrange(const QRect &rect, bool apply) const;

    qreal m_minimumColumnWidth;
    qreal m_columnSpacing;
    qreal m_rowSpacing;
    QList<QLayoutItem *> m_items;
};
