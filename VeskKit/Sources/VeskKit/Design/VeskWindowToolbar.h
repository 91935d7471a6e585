#pragma once

#include <QObject>
#include <QString>

class QWidget;

// The toolbar of a window that draws its own title bar. It holds no items:
// it only makes the titlebar row tall enough for a header row to share it
// with the window controls. A window has at most one.
class VeskWindowToolbar : public QObject {
    Q_OBJECT
public:
    enum class Style { automatic, unified };

    explicit VeskWindowToolbar(const QString &identifier, QObject *parent = nullptr);

    const QString &identifier() const { return m_identifier; }
    Style style() const { return m_style; }
    void setStyle(Style style) { m_style = style; }
    bool allowsUserCustomization() const { return m_allowsUserCustomization; }
    void setAllowsUserCustomization(bool allows) { m_allowsUserCustomization = allows; }
    bool autosavesConfiguration() const { return m_autosavesConfiguration; }
    void setAutosavesConfiguration(bool autosaves) { m_autosavesConfiguration = autosaves; }
    bool showsIconsOnly() const { return m_showsIconsOnly; }
    void setShowsIconsOnly(bool iconsOnly) { m_showsIconsOnly = iconsOnly; }

    // The window's toolbar, or null.
    static VeskWindowToolbar *of(const QWidget *window);
    // Makes `toolbar` the window's one toolbar (the window takes it), deleting
    // any other; null only removes the present one.
    static void install(QWidget *window, VeskWindowToolbar *toolbar);

    // Height of the titlebar row: the standard unified height with a unified
    // toolbar, a little less with another toolbar, a plain title bar without.
    static int titlebarRowHeight(const QWidget *window);
    // Where the window controls start from the left edge for that row.
    static int controlsLeadingInset(const QWidget *window);

private:
    QString m_identifier;
    Style m_style = Style::automatic;
    bool m_allowsUserCustomization = true;
    bool m_autosavesConfiguration = true;
    bool m_showsIconsOnly = false;
};
