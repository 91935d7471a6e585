#include "VeskKit/Design/VeskFeedbackButton.h"
#include "VeskKit/Design/VeskSymbol.h"
#include "helper_recordingurlopener.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

#include <cmath>
#include <memory>

Q_DECLARE_METATYPE(VeskFeedbackButtonStyle)

namespace {

const VeskAppVersion kVersion(QStringLiteral("2.3.1"), QStringLiteral("77"));

QStringList itemNames(const QUrl &url)
{
    QStringList names;
    for (const auto &[name, value] : QUrlQuery(url).queryItems())
        names.append(name);
    return names;
}

} // namespace

class TestVeskFeedbackButton : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void textsFollowLanguage_data();
    void textsFollowLanguage();
    void clickOpensThePage_data();
    void clickOpensThePage();
    void clickPresentsNothing_data();
    void clickPresentsNothing();
    void compactCapsuleKeepsItsSizeWhenSqueezed();

private:
    QTemporaryDir m_home;
};

void TestVeskFeedbackButton::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
}

void TestVeskFeedbackButton::cleanup()
{
    qunsetenv("QUARNELL_FEEDBACK_BASE_URL");
}

void TestVeskFeedbackButton::textsFollowLanguage_data()
{
    QTest::addColumn<VeskLanguage>("language");
    QTest::addColumn<QString>("help");
    QTest::addColumn<QString>("title");

    QTest::newRow("English") << VeskLanguage(VeskLanguage::en)
                             << "Listening to you — Report a bug or share an idea" << "Send Feedback & Ideas";
    QTest::newRow("Turkish") << VeskLanguage(VeskLanguage::tr) << "Sizi dinliyoruz — Hata bildir veya fikir paylaş"
                             << "Geri Bildirim & Fikir Gönder";
    QTest::newRow("no catalog: English") << VeskLanguage(VeskLanguage::fi)
                                         << "Listening to you — Report a bug or share an idea"
                                         << "Send Feedback & Ideas";
}

void TestVeskFeedbackButton::textsFollowLanguage()
{
    QFETCH(VeskLanguage, language);
    QFETCH(QString, help);
    QFETCH(QString, title);

    VeskFeedbackButton compact(QStringLiteral("VeskZul"), kVersion, VeskFeedbackKind::feature, language,
                               VeskFeedbackButtonStyle::compactIcon, std::nullopt);
    QCOMPARE(compact.button()->toolTip(), help);
    QCOMPARE(compact.button()->accessibleName(), help);
    QVERIFY(compact.button()->text().isEmpty());

    VeskFeedbackButton pill(QStringLiteral("VeskZul"), kVersion, VeskFeedbackKind::feature, language,
                            VeskFeedbackButtonStyle::labeledPill, std::nullopt);
    QCOMPARE(pill.button()->toolTip(), help);
    QCOMPARE(pill.button()->text(), title);
}

void TestVeskFeedbackButton::clickOpensThePage_data()
{
    QTest::addColumn<VeskFeedbackButtonStyle>("style");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QVariant>("override");
    QTest::addColumn<QString>("page"); // without its query; empty: nothing opens

    const QVariant none;
    QTest::newRow("compact, resolved base") << VeskFeedbackButtonStyle::compactIcon << int(VeskFeedbackKind::feature)
                                            << none << "https://env.test/de/feedback";
    QTest::newRow("pill, resolved base") << VeskFeedbackButtonStyle::labeledPill << int(VeskFeedbackKind::feature)
                                         << none << "https://env.test/de/feedback";
    QTest::newRow("compact, trimmed override") << VeskFeedbackButtonStyle::compactIcon << int(VeskFeedbackKind::bug)
                                               << QVariant(" https://o.test// ") << "https://o.test/de/feedback";
    QTest::newRow("pill, override") << VeskFeedbackButtonStyle::labeledPill << int(VeskFeedbackKind::general)
                                    << QVariant("http://o.test") << "http://o.test/de/feedback";
    QTest::newRow("pill, file address refused") << VeskFeedbackButtonStyle::labeledPill
                                                << int(VeskFeedbackKind::feature) << QVariant("file:///tmp") << "";
}

void TestVeskFeedbackButton::clickOpensThePage()
{
    QFETCH(VeskFeedbackButtonStyle, style);
    QFETCH(int, kind);
    QFETCH(QVariant, override);
    QFETCH(QString, page);

    qputenv("QUARNELL_FEEDBACK_BASE_URL", "https://env.test/");
    const std::optional<QString> base = override.isNull() ? std::nullopt : std::optional(override.toString());
    VeskFeedbackButton button(QStringLiteral("Vesk Zul"), kVersion, VeskFeedbackKind(kind), VeskLanguage::de, style,
                              base);
    auto opener = std::make_shared<RecordingUrlOpener>();
    button.setUrlOpener(opener);
    button.show();

    QTest::mouseClick(button.button(), Qt::LeftButton);

    if (page.isEmpty()) {
        QVERIFY(opener->opened.isEmpty());
        return;
    }
    QCOMPARE(opener->opened.size(), 1);
    const QUrl url = opener->opened.constFirst();
    QCOMPARE(url.adjusted(QUrl::RemoveQuery).toString(), page);
    // The style never reaches the page: exactly the page's own items.
    QCOMPARE(itemNames(url), (QStringList{"type", "source", "os", "app", "version"}));
    const QUrlQuery query(url);
    QCOMPARE(query.queryItemValue(QStringLiteral("type")), rawValue(VeskFeedbackKind(kind)));
    QCOMPARE(query.queryItemValue(QStringLiteral("app")), QStringLiteral("veskzul"));
    QCOMPARE(query.queryItemValue(QStringLiteral("version")), QStringLiteral("2.3.1"));
}

void TestVeskFeedbackButton::clickPresentsNothing_data()
{
    QTest::addColumn<VeskFeedbackButtonStyle>("style");
    QTest::newRow("compact") << VeskFeedbackButtonStyle::compactIcon;
    QTest::newRow("pill") << VeskFeedbackButtonStyle::labeledPill;
}

void TestVeskFeedbackButton::clickPresentsNothing()
{
    QFETCH(VeskFeedbackButtonStyle, style);

    QWidget host;
    auto *layout = new QHBoxLayout(&host);
    auto *button = new VeskFeedbackButton(QStringLiteral("VeskZul"), kVersion, VeskFeedbackKind::feature,
                                          VeskLanguage::en, style, std::nullopt);
    layout->addWidget(button);
    auto opener = std::make_shared<RecordingUrlOpener>();
    button->setUrlOpener(opener);
    host.show();
    const QWidgetList before = QApplication::topLevelWidgets();
    const QObjectList children = host.findChildren<QObject *>();

    QTest::mouseClick(button->button(), Qt::LeftButton);
    QTest::mouseClick(button->button(), Qt::LeftButton);

    QCOMPARE(opener->opened.size(), 2);
    QCOMPARE(QApplication::topLevelWidgets(), before);
    QCOMPARE(host.findChildren<QObject *>(), children);
}

void TestVeskFeedbackButton::compactCapsuleKeepsItsSizeWhenSqueezed()
{
    QWidget host;
    auto *layout = new QHBoxLayout(&host);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *button = new VeskFeedbackButton(QStringLiteral("VeskZul"), kVersion, VeskFeedbackKind::feature,
                                          VeskLanguage::en, VeskFeedbackButtonStyle::compactIcon, std::nullopt);
    layout->addWidget(button);
    host.setFixedWidth(8);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));

    const qreal side = VeskSymbol::boxSide(VeskFeedbackButton::compactSymbolPixelSize);
    const QSize expected(int(std::ceil(side + 13)), int(std::ceil(side + 6)));
    QCOMPARE(button->button()->size(), expected);
    QCOMPARE(button->size(), expected);

    // Capsule drawn edge to edge: the middle of the left edge is filled,
    // a corner outside the capsule stays clear.
    QImage image(button->size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    button->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    QVERIFY(qAlpha(image.pixel(1, image.height() / 2)) > 0);
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
}

QTEST_MAIN(TestVeskFeedbackButton)
#include "tst_veskfeedbackbutton.moc"
