#include "VeskKit/Design/VeskAccessibleControl.h"

#include "VeskKit/Design/VeskAccessiblePicker.h"
#include "VeskKit/Design/VeskChevronControls.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>

#include <algorithm>

namespace {

const char *const kRoleProperty = "veskAccessibleRole";
const char *const kOnProperty = "veskAccessibleOn";
const char *const kExpandedProperty = "veskAccessibleExpanded";

bool isQtClass(const QMetaObject *meta)
{
    const char *name = meta->className();
    return name[0] == 'Q' && name[1] >= 'A' && name[1] <= 'Z';
}

// Buttons and plain widgets of the kit or the application. Subclasses of
// Qt's richer widgets (line edits, lists, combo boxes) keep Qt's interfaces,
// which already read them fully.
bool isOwnPaintedWidget(const QMetaObject *meta)
{
    const QMetaObject *qtClass = meta;
    while (qtClass && !isQtClass(qtClass))
        qtClass = qtClass->superClass();
    if (qtClass == &QAbstractButton::staticMetaObject)
        return true; // Qt's own buttons all have classes below it
    return qtClass == &QWidget::staticMetaObject && qtClass != meta;
}

bool isOnOffRole(QAccessible::Role role)
{
    return role == QAccessible::CheckBox || role == QAccessible::RadioButton;
}

// One painted part as an object of its own. It has no QObject: its owner
// widget's interface creates it, keeps its id and deletes it.
class PartInterface : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    PartInterface(QWidget *owner, int index) : m_owner(owner), m_index(index) {}

    bool isValid() const override
    {
        const VeskAccessibleParts *parts = provider();
        return parts && m_index < parts->accessiblePartCount();
    }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_owner ? m_owner->window()->windowHandle() : nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_owner); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    void setText(QAccessible::Text, const QString &) override {}

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        if (t == QAccessible::Name)
            return part().name;
        if (t == QAccessible::Description)
            return part().description;
        return {};
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect local = part().rect;
        return QRect(m_owner->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::Role role() const override { return isValid() ? part().role : QAccessible::NoRole; }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invisible = true;
            return state;
        }
        const VeskAccessiblePart shown = part();
        state.invisible = !m_owner->isVisible();
        state.offscreen = !shown.isShown;
        state.focusable = shown.hasKeyboard;
        state.focused = shown.hasKeyboard;
        if (shown.isOn) {
            state.checkable = true;
            state.checked = *shown.isOn;
        }
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }
    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction() && isValid())
            provider()->pressAccessiblePart(m_index);
    }

private:
    VeskAccessibleParts *provider() const
    {
        return m_owner ? dynamic_cast<VeskAccessibleParts *>(m_owner.data()) : nullptr;
    }
    VeskAccessiblePart part() const { return provider()->accessiblePart(m_index); }

    QPointer<QWidget> m_owner;
    int m_index;
};

QAccessibleInterface *ownInterfaceFactory(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    // Decided once, for the most derived class; its ancestors' names come
    // here too and go on to Qt's interfaces.
    if (!widget || className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    if (auto *picker = qobject_cast<VeskComboBox *>(widget))
        return new VeskAccessiblePicker(picker);
    if (dynamic_cast<VeskAccessibleParts *>(widget) || isOwnPaintedWidget(object->metaObject()) ||
        widget->property(kRoleProperty).isValid())
        return new VeskAccessibleControl(widget);
    return nullptr;
}

void installOwnInterfaceFactory()
{
    QAccessible::installFactory(ownInterfaceFactory);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installOwnInterfaceFactory)

void VeskAccessibleControl::setRole(QWidget *widget, QAccessible::Role role)
{
    // The newest factory is asked first, and Qt's own for its widgets came
    // after this one: a role chosen for one of Qt's classes (a stack) would
    // never be asked for.
    [[maybe_unused]] static const bool askedFirst = [] {
        QAccessible::removeFactory(ownInterfaceFactory);
        QAccessible::installFactory(ownInterfaceFactory);
        return true;
    }();
    widget->setProperty(kRoleProperty, int(role));
    // A widget's interface is made as the widget is, while a reader listens,
    // before its role could be chosen: that one of Qt's gives way to ours.
    QAccessibleInterface *made = QAccessible::queryAccessibleInterface(widget);
    if (made && !dynamic_cast<VeskAccessibleControl *>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void VeskAccessibleControl::setOn(QWidget *widget, bool on)
{
    const QVariant was = widget->property(kOnProperty);
    if (was.isValid() && was.toBool() == on)
        return;
    widget->setProperty(kOnProperty, on);
    // A control out of sight (in a window away, on a page not shown) is
    // read afresh when it shows; telling of it now only crowds the reader.
    if (!QAccessible::isActive() || !widget->isVisible())
        return;
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    if (!iface)
        return;
    if (iface->role() == QAccessible::PageTab) {
        QAccessibleEvent selection(iface, QAccessible::Selection);
        QAccessible::updateAccessibility(&selection);
        return;
    }
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(iface, changed);
    QAccessible::updateAccessibility(&event);
}

void VeskAccessibleControl::setExpanded(QWidget *widget, bool expanded)
{
    const QVariant was = widget->property(kExpandedProperty);
    if (was.isValid() && was.toBool() == expanded)
        return;
    widget->setProperty(kExpandedProperty, expanded);
    if (!was.isValid() || !QAccessible::isActive())
        return;
    QAccessible::State changed;
    changed.expanded = true;
    changed.collapsed = true;
    QAccessibleStateChangeEvent event(widget, changed);
    QAccessible::updateAccessibility(&event);
}

void VeskAccessibleControl::partsChanged(QWidget *widget)
{
    // Only a reader that is listening needs the parts worked out.
    if (!QAccessible::isActive())
        return;
    if (auto *iface = dynamic_cast<VeskAccessibleControl *>(QAccessible::queryAccessibleInterface(widget)))
        iface->syncParts();
}

void VeskAccessibleControl::partsChangedAfterFocus(QWidget *widget)
{
    if (!QAccessible::isActive())
        return;
    QMetaObject::invokeMethod(
        widget,
        [widget] {
            // Told again even when nothing changed since: the reader has
            // moved on to the widget itself meanwhile.
            if (auto *iface = dynamic_cast<VeskAccessibleControl *>(QAccessible::queryAccessibleInterface(widget))) {
                iface->m_keyboardAnnounced = false;
                iface->syncParts();
            }
        },
        Qt::QueuedConnection);
}

void VeskAccessibleControl::announce(QWidget *widget)
{
    // Qt's bridge to AT-SPI passes no alert on; what a screen reader speaks
    // there is a notification that starts showing.
    QAccessibleEvent alert(widget, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    QAccessibleEvent shown(widget, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

VeskAccessibleControl::VeskAccessibleControl(QWidget *widget) : QAccessibleWidget(widget) {}

VeskAccessibleControl::~VeskAccessibleControl()
{
    for (const QAccessible::Id id : std::as_const(m_partIDs)) {
        if (id)
            QAccessible::deleteAccessibleInterface(id);
    }
}

VeskAccessibleParts *VeskAccessibleControl::parts() const
{
    return dynamic_cast<VeskAccessibleParts *>(widget());
}

QAccessible::Role VeskAccessibleControl::role() const
{
    const QVariant chosen = widget()->property(kRoleProperty);
    if (chosen.isValid())
        return QAccessible::Role(chosen.toInt());
    if (auto *button = qobject_cast<const QAbstractButton *>(widget()))
        return button->isCheckable() ? QAccessible::CheckBox : QAccessible::Button;
    return QAccessibleWidget::role();
}

QAccessible::State VeskAccessibleControl::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    const auto *button = qobject_cast<const QAbstractButton *>(widget());
    if (button && button->isDown())
        state.pressed = true;
    const QVariant chosen = widget()->property(kOnProperty);
    const bool on = chosen.isValid() ? chosen.toBool() : button && button->isChecked();
    const QAccessible::Role shownRole = role();
    if (isOnOffRole(shownRole)) {
        state.checkable = true;
        state.checked = on;
    } else if (shownRole == QAccessible::PageTab) {
        state.selectable = true;
        state.selected = on;
    }
    const QVariant expanded = widget()->property(kExpandedProperty);
    if (expanded.isValid()) {
        state.expandable = true;
        state.expanded = expanded.toBool();
        state.collapsed = !expanded.toBool();
    }
    return state;
}

QString VeskAccessibleControl::text(QAccessible::Text t) const
{
    const auto *button = qobject_cast<const QAbstractButton *>(widget());
    const QString own = QAccessibleWidget::text(t);
    if (t == QAccessible::Name && own.isEmpty() && button) {
        // An icon button's words are its tooltip's.
        const QString label = button->text();
        return label.isEmpty() ? button->toolTip() : label;
    }
    if (t == QAccessible::Description && button && own == text(QAccessible::Name))
        return {};
    return own;
}

int VeskAccessibleControl::childCount() const
{
    if (const VeskAccessibleParts *painted = parts())
        return painted->accessiblePartCount();
    return QAccessibleWidget::childCount();
}

QAccessibleInterface *VeskAccessibleControl::child(int index) const
{
    VeskAccessibleParts *painted = parts();
    if (!painted)
        return QAccessibleWidget::child(index);
    if (index < 0 || index >= painted->accessiblePartCount())
        return nullptr;
    // One object per place, kept for as long as the place exists, so a
    // reader holding it sees its name change rather than a new object.
    if (m_partIDs.size() <= index)
        m_partIDs.resize(index + 1, 0);
    if (!m_partIDs[index])
        m_partIDs[index] = QAccessible::registerAccessibleInterface(new PartInterface(widget(), index));
    return QAccessible::accessibleInterface(m_partIDs[index]);
}

int VeskAccessibleControl::indexOfChild(const QAccessibleInterface *child) const
{
    if (!parts())
        return QAccessibleWidget::indexOfChild(child);
    for (qsizetype i = 0; i < m_partIDs.size(); ++i) {
        if (m_partIDs[i] && QAccessible::accessibleInterface(m_partIDs[i]) == child)
            return int(i);
    }
    return -1;
}

QAccessibleInterface *VeskAccessibleControl::childAt(int x, int y) const
{
    const VeskAccessibleParts *painted = parts();
    if (!painted)
        return QAccessibleWidget::childAt(x, y);
    const QPoint local = widget()->mapFromGlobal(QPoint(x, y));
    for (int i = 0; i < painted->accessiblePartCount(); ++i) {
        const VeskAccessiblePart part = painted->accessiblePart(i);
        if (part.isShown && part.rect.contains(local))
            return child(i);
    }
    return nullptr;
}

QStringList VeskAccessibleControl::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    if (qobject_cast<const QAbstractButton *>(widget()) && role() != QAccessible::StaticText)
        names.prepend(pressAction());
    return names;
}

void VeskAccessibleControl::doAction(const QString &actionName)
{
    auto *button = qobject_cast<QAbstractButton *>(widget());
    if (button && actionName == pressAction())
        button->click();
    else
        QAccessibleWidget::doAction(actionName);
}

void VeskAccessibleControl::syncParts()
{
    const VeskAccessibleParts *painted = parts();
    if (!painted)
        return;
    const int count = painted->accessiblePartCount();
    QList<VeskAccessiblePart> now;
    now.reserve(count);
    for (int i = 0; i < count; ++i)
        now.append(painted->accessiblePart(i));
    // Only objects a reader was given need telling.
    const qsizetype known = std::min({m_partIDs.size(), m_announcedParts.size(), now.size()});
    for (qsizetype i = 0; i < known; ++i) {
        QAccessibleInterface *part = m_partIDs[i] ? QAccessible::accessibleInterface(m_partIDs[i]) : nullptr;
        if (!part)
            continue;
        const VeskAccessiblePart &before = m_announcedParts[i];
        if (before.name != now[i].name || before.description != now[i].description) {
            QAccessibleEvent renamed(part, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&renamed);
        }
        if (before.isOn != now[i].isOn) {
            QAccessible::State changed;
            changed.checked = true;
            QAccessibleStateChangeEvent flipped(part, changed);
            QAccessible::updateAccessibility(&flipped);
        }
    }
    // A reader follows the keyboard from part to part by this event alone;
    // the widget itself keeps Qt's focus throughout. The part is made for
    // the reader if it never asked for it.
    const auto keyboard =
        std::find_if(now.cbegin(), now.cend(), [](const VeskAccessiblePart &part) { return part.hasKeyboard; });
    const qsizetype keyboardIndex = keyboard == now.cend() ? -1 : keyboard - now.cbegin();
    const bool keyboardMoved = keyboardIndex >= 0 &&
                               (!m_keyboardAnnounced || keyboardIndex >= m_announcedParts.size() ||
                                !m_announcedParts[keyboardIndex].hasKeyboard);
    if (keyboardMoved) {
        if (QAccessibleInterface *part = child(int(keyboardIndex))) {
            QAccessibleEvent moved(part, QAccessible::Focus);
            QAccessible::updateAccessibility(&moved);
        }
    }
    m_keyboardAnnounced = keyboardIndex >= 0;
    // A reader that was never given a part has none to forget.
    const bool given = std::any_of(m_partIDs.cbegin(), m_partIDs.cend(), [](QAccessible::Id id) { return id != 0; });
    while (m_partIDs.size() > count) {
        if (const QAccessible::Id id = m_partIDs.takeLast()) {
            QAccessibleEvent gone(QAccessible::accessibleInterface(id), QAccessible::ObjectDestroyed);
            QAccessible::updateAccessibility(&gone);
            QAccessible::deleteAccessibleInterface(id);
        }
    }
    if (count != int(m_announcedParts.size()) && given) {
        QAccessibleEvent reordered(const_cast<VeskAccessibleControl *>(this), QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reordered);
    }
    m_announcedParts = std::move(now);
}
