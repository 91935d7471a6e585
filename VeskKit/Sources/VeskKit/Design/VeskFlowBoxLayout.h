#pragma once

#include "VeskKit/Design/VeskFlowLayout.h"

#include <QLayout>
#include <QList>

// A QLayout that arranges its widgets with VeskFlowLayout: each item at its
// size hint, wrapping to the layout's width, its height following the width.
class VeskFlowBoxLayout : public QLayout {
    Q_OBJECT
public:
    explicit VeskFlowBoxLayout(VeskFlowLayout flow, QWidget *parent = nullptr);
    ~VeskFlowBoxLayout() override;

    const VeskFlowLayout &flow() const { return m_flow; }
    void setFlow(const VeskFlowLayout &flow);

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
    QList<QSizeF> idealSizes() const;

    VeskFlowLayout m_flow;
    QList<QLayoutItem *> m_items;
};
