#include "VeskKit/Design/VeskLanguagePicker.h"

#include "VeskKit/Design/VeskChevronControls.h"
#include "VeskKit/Design/VeskLanguagePickerState.h"
#include "VeskKit/Localization/VeskText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

namespace {

const QString kSystemItem = QStringLiteral("system");

} // namespace

VeskLanguagePicker::VeskLanguagePicker(const std::optional<QString> &title, VeskLanguage language, bool showTitle,
                                       OnSelect onSelect, QWidget *parent)
    : QWidget(parent),
      m_givenTitle(title),
      m_language(language),
      m_showTitle(showTitle),
      m_onSelect(std::move(onSelect)),
      m_state(new VeskLanguagePickerState(this)),
      m_titleLabel(new QLabel(this)),
      m_combo(new VeskComboBox(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_titleLabel);
    layout->addWidget(m_combo);
    m_titleLabel->setVisible(showTitle);
    if (!showTitle) {
        m_combo->setMinimumWidth(minimumPickerWidth);
        m_combo->setMaximumWidth(maximumPickerWidth);
        m_combo->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        layout->setAlignment(m_combo, Qt::AlignCenter);
    }
    // Bounded on its own, the picker grows to its longest name (within its
    // bounds) rather than cutting "System Language (…)" short.
    m_combo->setSizeAdjustPolicy(showTitle ? QComboBox::AdjustToMinimumContentsLengthWithIcon
                                           : QComboBox::AdjustToContents);
    m_combo->setMinimumContentsLength(12);
    rebuildItems();
    connect(m_combo, &QComboBox::activated, this, &VeskLanguagePicker::activated);
    connect(m_state, &VeskLanguagePickerState::isFollowingSystemChanged, this, &VeskLanguagePicker::showSelection);
}

void VeskLanguagePicker::setLanguage(VeskLanguage language)
{
    if (language == m_language)
        return;
    m_language = language;
    refreshTexts();
}

VeskLanguageSelection VeskLanguagePicker::selection() const
{
    if (m_state->isFollowingSystem())
        return VeskLanguageSelection::system();
    return VeskLanguageSelection::explicitLanguage(m_language);
}

void VeskLanguagePicker::setSelection(const VeskLanguageSelection &selection)
{
    if (const std::optional<VeskLanguage> language = selection.language())
        chooseLanguage(*m_state, *language, m_onSelect);
    else
        chooseSystem(*m_state, m_onSelect);
    showSelection();
}

QString VeskLanguagePicker::systemLabel(VeskLanguage language)
{
    return veskText(QStringLiteral("System Language"), QStringLiteral("Sistem Dili"), std::nullopt, language) +
           QStringLiteral(" (") + VeskLanguage::systemResolved().nativeName() + QStringLiteral(")");
}

QString VeskLanguagePicker::defaultTitle(VeskLanguage language)
{
    return veskText(QStringLiteral("Language"), QStringLiteral("Dil"), std::nullopt, language);
}

void VeskLanguagePicker::chooseSystem(VeskLanguagePickerState &state, const OnSelect &onSelect)
{
    state.setIsFollowingSystem(true);
    // The owner typically applies the reported language through setCurrent;
    // storing stays suppressed meanwhile so the preference remains "system".
    VeskLanguage::applyFollowSystem([&onSelect] {
        if (onSelect)
            onSelect(VeskLanguage::systemResolved());
    });
}

void VeskLanguagePicker::chooseLanguage(VeskLanguagePickerState &state, VeskLanguage language,
                                        const OnSelect &onSelect)
{
    VeskLanguage::setCurrent(language);
    state.setIsFollowingSystem(false);
    if (onSelect)
        onSelect(language);
}

void VeskLanguagePicker::showEvent(QShowEvent *event)
{
    // A preference changed elsewhere meanwhile shows up here.
    m_state->syncFromDefaults();
    refreshTexts();
    QWidget::showEvent(event);
}

void VeskLanguagePicker::rebuildItems()
{
    {
        const QSignalBlocker blocker(m_combo);
        m_combo->clear();
        m_combo->addItem(systemLabel(m_language), kSystemItem);
        m_combo->insertSeparator(1);
        for (VeskLanguage language : VeskLanguage::sortedCases())
            m_combo->addItem(language.displayName(), language.rawValue());
    }
    refreshTexts();
}

void VeskLanguagePicker::refreshTexts()
{
    // Items keep their places: a choice may arrive while the list is open.
    m_title = m_givenTitle ? *m_givenTitle : defaultTitle(m_language);
    m_titleLabel->setText(m_showTitle ? m_title : QString());
    m_combo->setAccessibleName(m_title);
    m_combo->setItemText(0, systemLabel(m_language));
    showSelection();
}

void VeskLanguagePicker::showSelection()
{
    const VeskLanguageSelection chosen = selection();
    const QString data = chosen.isSystem() ? kSystemItem : chosen.language()->rawValue();
    const QSignalBlocker blocker(m_combo);
    m_combo->setCurrentIndex(m_combo->findData(data));
}

void VeskLanguagePicker::activated(int index)
{
    const QString data = m_combo->itemData(index).toString();
    if (data == kSystemItem) {
        setSelection(VeskLanguageSelection::system());
        return;
    }
    if (const std::optional<VeskLanguage> language = VeskLanguage::fromRawValue(data))
        setSelection(VeskLanguageSelection::explicitLanguage(*language));
}
