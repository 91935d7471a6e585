#pragma once

#include <QWidget>

// A short message in a dark capsule with a status symbol: a green check for
// news, an amber triangle for an error. It has no timer and no close control:
// its owner shows it, changes its text and removes it.
class VeskToastBanner : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal itemSpacing = 8;
    static constexpr qreal horizontalPadding = 16;
    static constexpr qreal verticalPadding = 10;
    static constexpr qreal fillOpacity = 0.84;
    static constexpr qreal shadowOpacity = 0.35;
    static constexpr qreal shadowBlurRadius = 12;
    static constexpr qreal shadowOffsetY = 4;

    VeskToastBanner(const QString &message, bool isError, QWidget *parent = nullptr);

    QString message() const { return m_message; }
    void setMessage(const QString &message);
    bool isError() const { return m_isError; }
    void setIsError(bool isError);
    // The whole banner, shadow included, at this opacity (0 to 1); for its
    // owner's fade in and out.
    qreal opacity() const;
    void setOpacity(qreal opacity);

    QString symbolName() const;
    QColor symbolColor() const;
    QFont messageFont() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    class FadingShadow;

    qreal symbolSide() const;

    FadingShadow *m_shadow;

    QString m_message;
    bool m_isError;
};
