#pragma once

#include "VeskKit/Utilities/VeskAppVersion.h"

#include <QWidget>

// A small capsule naming a version: "v1.4.2", or "v1.4.2 (157)" with the
// build shown.
class VeskVersionBadge : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal horizontalPadding = 7;
    static constexpr qreal verticalPadding = 2.5;

    VeskVersionBadge(const VeskAppVersion &version, bool showBuild, QWidget *parent = nullptr);

    const VeskAppVersion &version() const { return m_version; }
    bool showBuild() const { return m_showBuild; }
    QString text() const;
    static QFont textFont();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    VeskAppVersion m_version;
    bool m_showBuild;
};
