#include "VeskKit/Design/VeskActivitySpinner.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskCapsuleBadge.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskOffloadProgressBanner.h"
#include "VeskKit/Design/VeskProgressTrack.h"
#include "VeskKit/Design/VeskSymbolLabel.h"
#include "VeskKit/Design/VeskTextLine.h"

#include <QLayout>
#include <QTest>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

using StepState = VeskOffloadProgressBanner::StepState;
Q_DECLARE_METATYPE(StepState)

namespace {

VeskMirrelOffloadLiveProgress record(bool running, bool completed, qint64 step, double fraction,
                                     const QString &pressure = QStringLiteral("normal"))
{
    VeskMirrelOffloadLiveProgress progress(QDateTime::currentDateTimeUtc(), running, completed, step, 4, 0,
                                           QStringLiteral("Freezing idle apps"), QStringLiteral("Pasifler donduruluyor"),
                                           QStringLiteral("Safari, Mail"), QStringLiteral("Safari, Posta"), 1'500'000'000,
                                           4'000'000'000, {}, pressure);
    // Set after construction: the banner must cope with values the
    // initialiser would have brought into range, as files may hold them.
    progress.fractionCompleted = fraction;
    return progress;
}

QString textOf(const QWidget &banner, const char *name)
{
    if (const auto *line = banner.findChild<VeskTextLine *>(QLatin1String(name)))
        return line->text();
    if (const auto *badge = banner.findChild<VeskCapsuleBadge *>(QLatin1String(name)))
        return badge->text();
    return QStringLiteral("<absent>");
}

} // namespace

class TestOffloadProgressBanner : public QObject
{
    Q_OBJECT

private slots:
    void accentColour_data();
    void accentColour();
    void stepsAndBadge_data();
    void stepsAndBadge();
    void percentage_data();
    void percentage();
    void barFill_data();
    void barFill();
    void byteCounter_data();
    void byteCounter();
    void detailAndLayout_data();
    void detailAndLayout();
    void buttons_data();
    void buttons();
    void newRecordRebuilds();
    void keepsItsHeightInATallHost();
};

void TestOffloadProgressBanner::accentColour_data()
{
    QTest::addColumn<bool>("completed");
    QTest::addColumn<QString>("pressure");
    QTest::addColumn<QColor>("accent");

    QTest::newRow("normal pressure keeps the violet") << false << "normal" << VeskOffloadProgressBanner::violet();
    QTest::newRow("unknown word keeps the violet") << false << "Critical" << VeskOffloadProgressBanner::violet();
    QTest::newRow("critical is danger") << false << "critical" << VeskGlassTokens::danger();
    QTest::newRow("warning is amber") << false << "warning" << VeskGlassTokens::warning();
    QTest::newRow("a finished run is success even under pressure") << true << "critical" << VeskGlassTokens::success();
}

void TestOffloadProgressBanner::accentColour()
{
    QFETCH(bool, completed);
    QFETCH(QString, pressure);
    QFETCH(QColor, accent);
    const VeskOffloadProgressBanner banner(record(!completed, completed, 2, 0.5, pressure), VeskLanguage::en, false,
                                           {}, {});
    QCOMPARE(banner.accentColor(), accent);
    QCOMPARE(banner.findChild<VeskCapsuleBadge *>("stepBadge")->look().foreground, accent);
    QCOMPARE(banner.findChild<VeskTextLine *>("percentage")->colour(), accent);
    QCOMPARE(banner.findChild<VeskProgressTrack *>("progressBar")->fillEnd(), accent);
    if (!completed) {
        // The current step follows the accent, the finished one stays green.
        QCOMPARE(banner.findChild<VeskCapsuleBadge *>("stepPill2")->look().foreground, accent);
        QCOMPARE(banner.findChild<VeskCapsuleBadge *>("stepPill1")->look().foreground, VeskGlassTokens::success());
    }
}

void TestOffloadProgressBanner::stepsAndBadge_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("completed");
    QTest::addColumn<qint64>("step");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("badge");
    QTest::addColumn<QList<StepState>>("pills");
    QTest::addColumn<bool>("spinner");

    QTest::newRow("running at step 2")
        << true << false << qint64(2) << int(VeskLanguage::en) << "STEP 2/4"
        << QList<StepState>{StepState::done, StepState::current, StepState::pending, StepState::pending} << true;
    QTest::newRow("running at step 2, Turkish")
        << true << false << qint64(2) << int(VeskLanguage::tr) << "ADIM 2/4"
        << QList<StepState>{StepState::done, StepState::current, StepState::pending, StepState::pending} << true;
    QTest::newRow("finished summary")
        << false << true << qint64(4) << int(VeskLanguage::en) << "DONE"
        << QList<StepState>{StepState::done, StepState::done, StepState::done, StepState::done} << false;
    QTest::newRow("finished summary, Turkish")
        << false << true << qint64(4) << int(VeskLanguage::tr) << "TAMAMLANDI"
        << QList<StepState>{StepState::done, StepState::done, StepState::done, StepState::done} << false;
    QTest::newRow("summary still reporting itself running")
        << true << true << qint64(3) << int(VeskLanguage::en) << "DONE"
        << QList<StepState>{StepState::done, StepState::done, StepState::doneAndCurrent, StepState::done} << true;
    QTest::newRow("stopped before the end")
        << false << false << qint64(3) << int(VeskLanguage::en) << "STEP 3/4"
        << QList<StepState>{StepState::done, StepState::done, StepState::pending, StepState::pending} << false;
}

void TestOffloadProgressBanner::stepsAndBadge()
{
    QFETCH(bool, running);
    QFETCH(bool, completed);
    QFETCH(qint64, step);
    QFETCH(int, language);
    QFETCH(QString, badge);
    QFETCH(QList<StepState>, pills);
    QFETCH(bool, spinner);
    const VeskOffloadProgressBanner banner(record(running, completed, step, 0.5),
                                           VeskLanguage(VeskLanguage::Value(language)), false, {}, {});
    QCOMPARE(banner.stepBadgeText(), badge);
    QCOMPARE(textOf(banner, "stepBadge"), badge);
    QCOMPARE(banner.findChild<VeskActivitySpinner *>("spinner") != nullptr, spinner);
    const auto *seal = banner.findChild<VeskSymbolLabel *>("seal");
    QCOMPARE(seal != nullptr, !spinner);
    if (seal)
        QCOMPARE(seal->colour(), VeskGlassTokens::success());
    for (int index = 1; index <= 4; ++index) {
        QCOMPARE(banner.stepState(index), pills.at(index - 1));
        const auto *pill = banner.findChild<VeskCapsuleBadge *>(QStringLiteral("stepPill%1").arg(index));
        QVERIFY(pill);
        QCOMPARE(pill->text(),
                 VeskOffloadProgressBanner::stepTitle(index, VeskLanguage(VeskLanguage::Value(language))));
        const StepState state = pills.at(index - 1);
        const QString symbol = state == StepState::pending   ? QStringLiteral("circle")
                               : state == StepState::current ? QStringLiteral("bolt.circle.fill")
                                                             : QStringLiteral("checkmark.circle.fill");
        QCOMPARE(pill->look().symbol, symbol);
        const qreal opacity = state == StepState::pending ? 0.06 : state == StepState::done ? 0.14 : 0.22;
        QVERIFY(qAbs(pill->look().fill.alphaF() - pill->look().foreground.alphaF() * opacity) < 0.01);
        QCOMPARE(pill->look().textFont.weight(), state == StepState::pending ? QFont::Normal : QFont::DemiBold);
    }
    QCOMPARE(VeskOffloadProgressBanner::stepTitle(4, VeskLanguage::tr), QStringLiteral("4. İade & Sonuç"));
}

void TestOffloadProgressBanner::percentage_data()
{
    QTest::addColumn<double>("fraction");
    QTest::addColumn<QString>("shown");

    QTest::newRow("half") << 0.5 << "50%";
    QTest::newRow("half a percent rounds away from zero") << 0.125 << "13%";
    QTest::newRow("just below a half") << 0.1249 << "12%";
    QTest::newRow("nothing yet") << 0.0 << "0%";
    QTest::newRow("past the end is not clamped") << 1.37 << "137%";
    QTest::newRow("negative rounds away from zero") << -0.005 << "-1%";
    QTest::newRow("not a number shows none") << std::numeric_limits<double>::quiet_NaN() << "<absent>";
    QTest::newRow("infinity shows none") << std::numeric_limits<double>::infinity() << "<absent>";
    QTest::newRow("too large to count shows none") << 1e300 << "<absent>";
}

void TestOffloadProgressBanner::percentage()
{
    QFETCH(double, fraction);
    QFETCH(QString, shown);
    const VeskOffloadProgressBanner banner(record(true, false, 1, fraction), VeskLanguage::en, false, {}, {});
    QCOMPARE(textOf(banner, "percentage"), shown);
}

void TestOffloadProgressBanner::barFill_data()
{
    QTest::addColumn<double>("fraction");
    QTest::addColumn<qreal>("fill");

    QTest::newRow("nothing draws no fill") << 0.0 << qreal(0);
    QTest::newRow("a started run shows a sliver") << 0.001 << qreal(6);
    QTest::newRow("a quarter") << 0.25 << qreal(100);
    QTest::newRow("done fills the track") << 1.0 << qreal(400);
    QTest::newRow("past the end runs past the track") << 1.5 << qreal(600);
    QTest::newRow("negative draws none") << -0.3 << qreal(0);
    QTest::newRow("not a number draws none") << std::numeric_limits<double>::quiet_NaN() << qreal(0);
    QTest::newRow("infinity fills the track") << std::numeric_limits<double>::infinity() << qreal(400);
}

void TestOffloadProgressBanner::barFill()
{
    QFETCH(double, fraction);
    QFETCH(qreal, fill);
    QCOMPARE(VeskProgressTrack::fillWidth(fraction, 400, 6), fill);

    VeskOffloadProgressBanner banner(record(true, false, 1, fraction), VeskLanguage::en, false, {}, {});
    banner.resize(428, 160);
    banner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&banner));
    const auto *bar = banner.findChild<VeskProgressTrack *>("progressBar");
    QCOMPARE(bar->height(), 7);
    QCOMPARE(bar->width(), 400);
    QCOMPARE(bar->fillWidth(), fill);
    // The banner's own drawing must survive the odd values too.
    QVERIFY(!banner.grab().isNull());
}

void TestOffloadProgressBanner::byteCounter_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<qint64>("target");
    QTest::addColumn<QString>("shown");

    QTest::newRow("running with a target") << true << qint64(4'000'000'000) << "1.50 GB / 4.00 GB";
    QTest::newRow("one byte of target is enough") << true << qint64(1) << "1.50 GB / 1 B";
    QTest::newRow("no target") << true << qint64(0) << "<absent>";
    QTest::newRow("no longer running") << false << qint64(4'000'000'000) << "<absent>";
}

void TestOffloadProgressBanner::byteCounter()
{
    QFETCH(bool, running);
    QFETCH(qint64, target);
    QFETCH(QString, shown);
    VeskMirrelOffloadLiveProgress progress = record(running, false, 2, 0.4);
    progress.targetBytes = target;
    const VeskOffloadProgressBanner banner(progress, VeskLanguage::en, false, {}, {});
    QCOMPARE(textOf(banner, "byteCounter"), shown);
}

void TestOffloadProgressBanner::detailAndLayout_data()
{
    QTest::addColumn<bool>("compact");
    QTest::addColumn<QString>("detailEN");
    QTest::addColumn<QString>("detailTR");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<int>("lines");

    QTest::newRow("full, one line") << false << "Safari, Mail" << "Safari, Posta" << int(VeskLanguage::en)
                                    << "Safari, Mail" << 1;
    QTest::newRow("compact, two lines") << true << "Safari, Mail" << "Safari, Posta" << int(VeskLanguage::tr)
                                        << "Safari, Posta" << 2;
    QTest::newRow("empty Turkish falls back to English") << false << "Swapping" << "" << int(VeskLanguage::tr)
                                                         << "Swapping" << 1;
    QTest::newRow("empty detail hides the line") << true << "" << "" << int(VeskLanguage::en) << "<absent>" << 0;
}

void TestOffloadProgressBanner::detailAndLayout()
{
    QFETCH(bool, compact);
    QFETCH(QString, detailEN);
    QFETCH(QString, detailTR);
    QFETCH(int, language);
    QFETCH(QString, detail);
    QFETCH(int, lines);
    VeskMirrelOffloadLiveProgress progress = record(true, false, 2, 0.4);
    progress.detailEN = detailEN;
    progress.detailTR = detailTR;
    const VeskOffloadProgressBanner banner(progress, VeskLanguage(VeskLanguage::Value(language)), compact, {}, {});
    QCOMPARE(textOf(banner, "detail"), detail);
    if (const auto *line = banner.findChild<VeskTextLine *>("detail"))
        QCOMPARE(line->maximumLines(), lines);
    QCOMPARE(banner.findChild<QWidget *>("stepPills") != nullptr, !compact);
    QCOMPARE(banner.findChild<VeskProgressTrack *>("progressBar")->height(), compact ? 5 : 7);
    QCOMPARE(banner.layout()->contentsMargins(), compact ? QMargins(10, 8, 10, 8) : QMargins(14, 10, 14, 10));
}

void TestOffloadProgressBanner::buttons_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("withCancel");
    QTest::addColumn<bool>("withDismiss");
    QTest::addColumn<QString>("button");

    QTest::newRow("running with cancel") << true << true << true << "cancelButton";
    QTest::newRow("running without cancel") << true << false << true << "";
    QTest::newRow("finished with dismiss") << false << true << true << "dismissButton";
    QTest::newRow("finished without dismiss") << false << true << false << "";
}

void TestOffloadProgressBanner::buttons()
{
    QFETCH(bool, running);
    QFETCH(bool, withCancel);
    QFETCH(bool, withDismiss);
    QFETCH(QString, button);
    int cancelled = 0;
    int dismissed = 0;
    std::function<void()> onCancel;
    std::function<void()> onDismiss;
    if (withCancel)
        onCancel = [&] { ++cancelled; };
    if (withDismiss)
        onDismiss = [&] { ++dismissed; };
    VeskOffloadProgressBanner banner(record(running, !running, running ? 2 : 4, 0.5), VeskLanguage::tr, false,
                                     onCancel, onDismiss);
    banner.resize(520, 160);
    banner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&banner));
    const auto *cancel = banner.findChild<QAbstractButton *>("cancelButton");
    const auto *dismiss = banner.findChild<QAbstractButton *>("dismissButton");
    QCOMPARE(cancel != nullptr, button == QLatin1String("cancelButton"));
    QCOMPARE(dismiss != nullptr, button == QLatin1String("dismissButton"));
    if (button.isEmpty())
        return;
    auto *pressed = banner.findChild<QAbstractButton *>(button);
    if (cancel)
        QCOMPARE(pressed->text(), QStringLiteral("İptal"));
    QTest::mouseClick(pressed, Qt::LeftButton, {}, pressed->rect().center());
    QCOMPARE(cancelled, cancel ? 1 : 0);
    QCOMPARE(dismissed, dismiss ? 1 : 0);
}

void TestOffloadProgressBanner::newRecordRebuilds()
{
    VeskOffloadProgressBanner banner(record(true, false, 1, 0.1), VeskLanguage::en, false, {}, {});
    QCOMPARE(textOf(banner, "stepBadge"), QStringLiteral("STEP 1/4"));
    banner.setProgress(record(false, true, 4, 1.0));
    QCOMPARE(textOf(banner, "stepBadge"), QStringLiteral("DONE"));
    QCOMPARE(textOf(banner, "percentage"), QStringLiteral("100%"));
    QCOMPARE(banner.findChildren<VeskCapsuleBadge *>("stepBadge").size(), 1);
    QVERIFY(!banner.findChild<VeskActivitySpinner *>("spinner"));
}

void TestOffloadProgressBanner::keepsItsHeightInATallHost()
{
    QWidget host;
    auto *column = new QVBoxLayout(&host);
    auto *banner = new VeskOffloadProgressBanner(record(true, false, 2, 0.5), VeskLanguage::en, false, {}, {});
    column->addWidget(banner);
    host.resize(600, 900);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QTRY_COMPARE(banner->height(), banner->heightForWidth(banner->width()));
    // Narrower, the step pills wrap onto more rows and the banner grows.
    const int wide = banner->height();
    host.resize(220, 900);
    QTRY_VERIFY(banner->height() > wide);
    QTRY_VERIFY2(banner->height() == banner->heightForWidth(banner->width()),
             qPrintable(QStringLiteral("%1 != %2").arg(banner->height()).arg(banner->heightForWidth(banner->width()))));
}

QTEST_MAIN(TestOffloadProgressBanner)
#include "tst_offloadprogressbanner.moc"
