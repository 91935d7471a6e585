#pragma once

#include <QList>
#include <QObject>
#include <QString>

// The editor's line geometry, shared by its text view (which writes it) and
// its side columns (which place their rows by it), plus the half-typed text
// of the header's new-tag field. Every setter announces a change only when
// the value really changed, so a column repaints only when it must.
class EditorLayoutMetrics : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QList<qreal> lineTopY READ lineTopY NOTIFY lineTopYChanged)
    Q_PROPERTY(qreal lineHeight READ lineHeight NOTIFY lineHeightChanged)
    Q_PROPERTY(qreal scrollOffsetY READ scrollOffsetY NOTIFY scrollOffsetYChanged)
    Q_PROPERTY(int logicalLineCount READ logicalLineCount NOTIFY logicalLineCountChanged)
    Q_PROPERTY(QString newTagInput READ newTagInput WRITE setNewTagInput NOTIFY newTagInputChanged)

public:
    // The row height assumed before the text view has measured anything.
    static constexpr qreal defaultLineHeight = 22;
    // The text's top inset: a line without a measured top is placed as if
    // every line above it took one row below this inset.
    static constexpr qreal topInset = 14;

    explicit EditorLayoutMetrics(QObject *parent = nullptr);

    // Entry i is the top of logical line i's first row, in the text's own
    // coordinates (the inset included); lines may be missing at the end.
    const QList<qreal> &lineTopY() const { return m_lineTopY; }
    qreal lineHeight() const { return m_lineHeight; }
    qreal scrollOffsetY() const { return m_scrollOffsetY; }
    int logicalLineCount() const { return m_logicalLineCount; }
    const QString &newTagInput() const { return m_newTagInput; }

    void setLineTopY(const QList<qreal> &tops);
    void setLineHeight(qreal height);
    void setScrollOffsetY(qreal offset);
    // Clamped to at least 1.
    void setLogicalLineCount(int count);
    void setNewTagInput(const QString &text);

    // Where a row for line `index` begins on screen: its measured top, or
    // the unwrapped estimate when it has none, minus the scroll offset.
    qreal top(qsizetype index) const;
    qreal y(qsizetype index) const { return top(index) - m_scrollOffsetY; }

signals:
    void lineTopYChanged();
    void lineHeightChanged();
    void scrollOffsetYChanged();
    void logicalLineCountChanged();
    void newTagInputChanged();

private:
    QList<qreal> m_lineTopY;
    qreal m_lineHeight = defaultLineHeight;
    qreal m_scrollOffsetY = 0;
    int m_logicalLineCount = 1;
    QString m_newTagInput;
};
