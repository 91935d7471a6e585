#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

// Text in one font and colour, limited to a number of lines: it wraps at word
// boundaries up to that many lines and the last line is cut with an ellipsis
// (at its end, or in its middle for names whose end matters). Optionally the
// font first shrinks down to a fraction of its size before anything is cut.
// A text cut short shows whole as the tooltip, unless one was set.
class VeskTextLine : public QWidget {
    Q_OBJECT
public:
    VeskTextLine(const QString &text, const QFont &font, const QColor &colour, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    QFont font() const { return m_font; }
    void setFont(const QFont &font);
    QColor colour() const { return m_colour; }
    void setColour(const QColor &colour);
    int maximumLines() const { return m_maximumLines; }
    void setMaximumLines(int lines);
    Qt::TextElideMode elideMode() const { return m_elideMode; }
    void setElideMode(Qt::TextElideMode mode);
    // 1 (the default) never shrinks.
    qreal minimumScaleFactor() const { return m_minimumScaleFactor; }
    void setMinimumScaleFactor(qreal factor);

    // The lines as drawn at this width, after wrapping, shrinking and cutting.
    QStringList shownLines(qreal width) const;
    // The font as drawn at this width.
    QFont shownFont(qreal width) const;
    // Whether the text is cut at the current width.
    bool isCut() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return m_maximumLines > 1; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QStringList layoutLines(const QFont &font, qreal width) const;
    void changed();
    void refreshToolTip();

    QString m_text;
    QFont m_font;
    QColor m_colour;
    int m_maximumLines = 1;
    Qt::TextElideMode m_elideMode = Qt::ElideRight;
    qreal m_minimumScaleFactor = 1;
    QString m_cutToolTip;
};
