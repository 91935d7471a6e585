#include "VeskKit/Design/VeskVersionBadgeButton.h"

#include "VeskKit/Design/VeskFeedbackButton.h"
#include "VeskKit/Design/VeskVersionAndLogsView.h"
#include "VeskKit/Design/VeskVersionBadge.h"
#include "VeskKit/Localization/VeskText.h"
#include "VeskKit/Utilities/VeskAppLogger.h"

#include <QAbstractButton>
#include <QDialog>
#include <QHBoxLayout>
#include <QPainter>

namespace {

// The badge as a borderless button: the badge draws, the button clicks.
class BadgeButton : public QAbstractButton {
public:
    BadgeButton(const VeskAppVersion &version, bool showBuild)
    {
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        setFocusPolicy(Qt::TabFocus);
        m_badge = new VeskVersionBadge(version, showBuild, this);
        m_badge->setAttribute(Qt::WA_TransparentForMouseEvents);
        setAccessibleName(m_badge->text());
        resize(m_badge->sizeHint());
    }

    VeskVersionBadge *badge() const { return m_badge; }
    QSize sizeHint() const override { return m_badge->sizeHint(); }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void resizeEvent(QResizeEvent *) override { m_badge->setGeometry(rect()); }
    void paintEvent(QPaintEvent *) override {}

private:
    VeskVersionBadge *m_badge;
};

} // namespace

VeskVersionBadgeButton::VeskVersionBadgeButton(const QString &appName, const VeskAppVersion &version,
                                               std::shared_ptr<VeskAppLogger> logger, VeskProductPalette palette,
                                               VeskLanguage language, bool showBuild, bool showFeedbackButton,
                                               QWidget *parent)
    : QWidget(parent),
      m_appName(appName),
      m_version(version),
      m_logger(logger ? std::move(logger) : VeskAppLogger::shared(appName)),
      m_palette(palette),
      m_language(language),
      m_showBuild(showBuild),
      m_showFeedbackButton(showFeedbackButton),
      m_opener(VeskUrlOpener::desktop())
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(5);

    m_badgeButton = new BadgeButton(version, showBuild);
    m_badgeButton->setObjectName(QStringLiteral("badgeButton"));
    m_badgeButton->setToolTip(helpText());
    connect(m_badgeButton, &QAbstractButton::clicked, this, [this] { presentSheet(); });
    layout->addWidget(m_badgeButton, 0, Qt::AlignVCenter);

    if (showFeedbackButton) {
        m_feedbackButton = new VeskFeedbackButton(appName, version, VeskFeedbackKind::feature, language,
                                                  VeskFeedbackButtonStyle::compactIcon, std::nullopt);
        layout->addWidget(m_feedbackButton, 0, Qt::AlignVCenter);
    }
}

VeskVersionBadgeButton::~VeskVersionBadgeButton()
{
    if (m_sheet) {
        disconnect(m_sheet, nullptr, this, nullptr);
        delete m_sheet.data();
    }
}

QString VeskVersionBadgeButton::helpText() const
{
    const QString display = QStringLiteral("v") + m_version.shortVersion + QStringLiteral(" (") +
                            m_version.buildNumber + u')';
    return veskText(QStringLiteral("Version ") + display + QStringLiteral(" — Click to view Release History & Logs"),
                    QStringLiteral("Sürüm ") + display +
                        QStringLiteral(" — Sürüm Geçmişi ve Logları görmek için tıklayın"),
                    m_language);
}

void VeskVersionBadgeButton::setUrlOpener(std::shared_ptr<VeskUrlOpener> opener)
{
    m_opener = opener ? std::move(opener) : VeskUrlOpener::desktop();
    if (m_feedbackButton)
        m_feedbackButton->setUrlOpener(m_opener);
    if (m_panel)
        m_panel->setUrlOpener(m_opener);
}

void VeskVersionBadgeButton::presentSheet()
{
    if (m_sheet) {
        m_sheet->raise();
        m_sheet->activateWindow();
        return;
    }
    auto *sheet = new QDialog(window());
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->setWindowTitle(m_appName);
    sheet->setMinimumSize(sheetMinimumWidth, sheetMinimumHeight);
    auto *layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *panel = new VeskVersionAndLogsView(m_appName, m_version, m_logger, m_palette, m_language, {},
                                             [this] { dismissSheet(); });
    panel->setUrlOpener(m_opener);
    layout->addWidget(panel);
    m_sheet = sheet;
    m_panel = panel;
    // However the sheet goes (close button, Escape, the window manager), the
    // state follows.
    connect(sheet, &QDialog::finished, this, [this] {
        m_sheet = nullptr;
        m_panel = nullptr;
        emit sheetPresentedChanged(false);
    });
    sheet->show();
    emit sheetPresentedChanged(true);
}

void VeskVersionBadgeButton::dismissSheet()
{
    if (m_sheet)
        m_sheet->close();
}
