#pragma once

#include <QAccessibleWidget>
#include <QList>
#include <QRect>
#include <QString>

#include <optional>

// One control a widget paints itself (a result badge, a colour dot), as a
// screen reader meets it.
struct VeskAccessiblePart
{
    QAccessible::Role role = QAccessible::StaticText;
    QString name;
    QString description;
    QRect rect; // in the painting widget's coordinates
    // Set for a part that is on or off (a check box, a radio button).
    std::optional<bool> isOn;
    // False while the part is scrolled out of its widget.
    bool isShown = true;
    // True for the part the keyboard is on, in a widget that takes the
    // keyboard as one stop and moves it among its parts itself.
    bool hasKeyboard = false;

    friend bool operator==(const VeskAccessiblePart &, const VeskAccessiblePart &) = default;
};

// Implemented by a widget that paints several controls of its own, so that
// each becomes an object of its own for assistive technology, in the
// widget's order.
class VeskAccessibleParts
{
public:
    virtual ~VeskAccessibleParts() = default;
    virtual int accessiblePartCount() const = 0;
    virtual VeskAccessiblePart accessiblePart(int index) const = 0;
    // What a click on the part does.
    virtual void pressAccessiblePart(int index) = 0;
};

// What assistive technology reads of the kit's and the application's own
// widgets. Qt's bridge knows a painted widget only as an unnamed filler and
// a painted button as a push button without state: this interface gives
// buttons their text or, for an icon, the tooltip's words as name, the role
// their owner chose (check box, radio button, page tab) with its on state,
// windows and notifications their role, and painted parts their own
// objects. It is installed for every such widget; Qt's own widgets keep
// Qt's interfaces.
class VeskAccessibleControl : public QAccessibleWidget
{
public:
    // The role the widget is announced with. Read on every query, so it may
    // be set at any time.
    static void setRole(QWidget *widget, QAccessible::Role role);
    // Whether an on/off control is on; a change is announced. A checkable
    // button without this answers with its checked state.
    static void setOn(QWidget *widget, bool on);
    // Whether a control that folds something away (a panel's collapse
    // button) has it unfolded; a change is announced.
    static void setExpanded(QWidget *widget, bool expanded);
    // Announces what changed among a widget's painted parts (names, states,
    // the keyboard's part, their number) since it was last asked.
    static void partsChanged(QWidget *widget);
    // The same from a widget's focus-in handler: Qt tells the reader that
    // the widget took the keyboard only once the handler has returned, and
    // the part the keyboard lands on has to be told after that.
    static void partsChangedAfterFocus(QWidget *widget);
    // Raises the alert a screen reader speaks, with the widget's name, for
    // a widget on screen whose news changed, and tells the bridge it shows
    // anew.
    static void announce(QWidget *widget);

    explicit VeskAccessibleControl(QWidget *widget);
    ~VeskAccessibleControl() override;

    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    VeskAccessibleParts *parts() const;
    void syncParts();

    mutable QList<QAccessible::Id> m_partIDs;
    QList<VeskAccessiblePart> m_announcedParts;
    // Whether the reader was last told of a part holding the keyboard.
    bool m_keyboardAnnounced = false;
};
