#pragma once

#include "VeskKit/Cloud/VeskFeedbackKind.h"
#include "VeskKit/Cloud/VeskFeedbackReceipt.h"
#include "VeskKit/Cloud/VeskFeedbackScreenshot.h"
#include "VeskKit/Cloud/VeskUrlOpener.h"
#include "VeskKit/Design/VeskProductPalette.h"
#include "VeskKit/Localization/VeskLanguage.h"
#include "VeskKit/Utilities/VeskAppVersion.h"

#include <QList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QAbstractButton;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QScrollArea;
class QVBoxLayout;
class VeskButton;

// The in-app feedback form: kind, e-mail, optional name, subject, message and
// up to five screenshots, sent to the maker's feedback service. A delivered
// report gives way to a receipt card; a refused one shows the reason in a
// banner and keeps every input. The form itself checks nothing: the service's
// checks decide. The sheet never closes itself; onClose is the host's. A
// report under way when the sheet goes away is still delivered, and what
// became of it is logged.
class VeskFeedbackSheet : public QWidget {
    Q_OBJECT
public:
    static constexpr int minimumWidth = 560;
    static constexpr int minimumHeight = 540;

    VeskFeedbackSheet(const QString &appName, const VeskAppVersion &version, VeskProductPalette palette,
                      VeskLanguage language, const std::optional<QString> &baseURL, std::function<void()> onClose,
                      QWidget *parent = nullptr);
    ~VeskFeedbackSheet() override;

    const QString &appName() const { return m_appName; }
    const VeskAppVersion &version() const { return m_version; }
    VeskLanguage language() const { return m_language; }

    // Where "Open in Browser" opens the page; the desktop unless replaced.
    void setUrlOpener(std::shared_ptr<VeskUrlOpener> opener);
    // Asks for image files to attach; an empty list means cancelled. A modal
    // file dialog for PNG, JPEG, WebP and GIF files unless replaced.
    void setScreenshotChooser(std::function<QStringList()> chooser);

    // The form's state.
    VeskFeedbackKind kind() const { return m_kind; }
    QString email() const { return m_email; }
    QString senderName() const { return m_senderName; }
    QString subject() const { return m_subject; }
    QString message() const { return m_message; }
    const QList<VeskFeedbackScreenshot> &screenshots() const { return m_screenshots; }
    bool isSubmitting() const { return m_isSubmitting; }
    const std::optional<QString> &errorMessage() const { return m_errorMessage; }
    const std::optional<QString> &statusHint() const { return m_statusHint; }
    const std::optional<VeskFeedbackReceipt> &receipt() const { return m_receipt; }

    // The controls, for hosts that describe them and for tests.
    QAbstractButton *kindTile(VeskFeedbackKind kind) const;
    QLineEdit *emailField() const { return m_emailField; }
    QLineEdit *nameField() const { return m_nameField; }
    QLineEdit *subjectField() const { return m_subjectField; }
    QPlainTextEdit *messageEditor() const { return m_messageEditor; }
    QAbstractButton *pasteButton() const;
    QAbstractButton *chooseButton() const;
    QAbstractButton *openInBrowserButton() const;
    QAbstractButton *sendButton() const { return m_sendButton; }
    // Null without onClose.
    QAbstractButton *closeButton() const { return m_closeButton; }
    // Only while the receipt card shows: "Send Another Note" and (with
    // onClose) "Done".
    QAbstractButton *sendAnotherButton() const { return m_sendAnotherButton; }
    QAbstractButton *doneButton() const { return m_doneButton; }

signals:
    // After every change of the state above.
    void stateChanged();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *makeHeaderRow();
    QWidget *makeComposerForm();
    QWidget *makeKindCard();
    QWidget *makeDetailsCard();
    QWidget *makeScreenshotsCard();
    QWidget *makeActionRow();
    void rebuildReceiptCard();
    void rebuildThumbnails();
    void refresh();

    void selectKind(VeskFeedbackKind kind);
    void submitFeedback();
    void pasteFromClipboard();
    void pickScreenshotsFromDisk();
    void removeScreenshot(const QUuid &id);
    void sendAnotherNote();
    QString text(const QString &en, const QString &tr) const;

    QString m_appName;
    VeskAppVersion m_version;
    VeskProductPalette m_palette;
    VeskLanguage m_language;
    std::optional<QString> m_baseURL;
    std::function<void()> m_onClose;
    std::shared_ptr<VeskUrlOpener> m_opener;
    std::function<QStringList()> m_chooser;

    VeskFeedbackKind m_kind = VeskFeedbackKind::feature;
    QString m_email;
    QString m_senderName;
    QString m_subject;
    QString m_message;
    QList<VeskFeedbackScreenshot> m_screenshots;
    bool m_isSubmitting = false;
    std::optional<QString> m_errorMessage;
    std::optional<QString> m_statusHint;
    std::optional<VeskFeedbackReceipt> m_receipt;

    QWidget *m_form = nullptr;
    QVBoxLayout *m_receiptSlot = nullptr;
    QList<QAbstractButton *> m_kindTiles;
    QLineEdit *m_emailField = nullptr;
    QLineEdit *m_nameField = nullptr;
    QLineEdit *m_subjectField = nullptr;
    QPlainTextEdit *m_messageEditor = nullptr;
    VeskButton *m_pasteButton = nullptr;
    VeskButton *m_chooseButton = nullptr;
    VeskButton *m_openInBrowserButton = nullptr;
    QAbstractButton *m_sendButton = nullptr;
    QAbstractButton *m_closeButton = nullptr;
    QAbstractButton *m_sendAnotherButton = nullptr;
    QAbstractButton *m_doneButton = nullptr;
    QWidget *m_errorBanner = nullptr;
    QLabel *m_errorText = nullptr;
    QLabel *m_statusLabel = nullptr;
    QScrollArea *m_strip = nullptr;
    QHBoxLayout *m_thumbnails = nullptr;
};
