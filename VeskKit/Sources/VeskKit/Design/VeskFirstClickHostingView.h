#pragma once

#include <QWidget>

// Hosts content in a floating window. A first click into an inactive window
// reaches the content (Qt delivers it as any other press) and a press never
// moves the window: only panels that track drags themselves move.
class VeskFirstClickHostingView : public QWidget {
    Q_OBJECT
public:
    explicit VeskFirstClickHostingView(QWidget *rootView, QWidget *parent = nullptr);

    QWidget *rootView() const { return m_rootView; }

private:
    QWidget *m_rootView;
};
