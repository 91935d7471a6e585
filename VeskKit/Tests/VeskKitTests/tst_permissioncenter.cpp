#include "VeskKit/System/VeskPermissionCenter.h"

#include <QtTest>

class tst_PermissionCenter : public QObject
{
    Q_OBJECT

private slots:
    void kinds_data();
    void kinds();
    void kindsListInOrder();
    void unknownRawValueMakesNoKind_data();
    void unknownRawValueMakesNoKind();
    void nothingIsGrantedWithoutADisplay();
};

void tst_PermissionCenter::kinds_data()
{
    QTest::addColumn<VeskSystemPermissionKind>("kind");
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("pane");
    QTest::addColumn<int>("length");

    QTest::newRow("accessibility") << VeskSystemPermissionKind::accessibility << "accessibility"
                                   << "Privacy_Accessibility" << 77;
    QTest::newRow("screen recording") << VeskSystemPermissionKind::screenRecording << "screenRecording"
                                      << "Privacy_ScreenCapture" << 77;
    QTest::newRow("system audio") << VeskSystemPermissionKind::systemAudio << "systemAudio"
                                  << "Privacy_AudioCapture" << 76;
}

void tst_PermissionCenter::kinds()
{
    QFETCH(VeskSystemPermissionKind, kind);
    QFETCH(QString, raw);
    QFETCH(QString, pane);
    QFETCH(int, length);

    QCOMPARE(rawValue(kind), raw);
    QCOMPARE(VeskSystemPermissionKindFromRaw(raw), std::optional(kind));
    const auto url = settingsURL(kind);
    QVERIFY(url);
    const QString text = url->toString();
    QCOMPARE(text.size(), length);
    QVERIFY(text.startsWith("x-apple.systempreferences:com.apple.preference.security?"));
    QVERIFY(text.endsWith(pane));
}

void tst_PermissionCenter::kindsListInOrder()
{
    QCOMPARE(allVeskSystemPermissionKinds(),
             (QList<VeskSystemPermissionKind>{VeskSystemPermissionKind::accessibility,
                                              VeskSystemPermissionKind::screenRecording,
                                              VeskSystemPermissionKind::systemAudio}));
}

void tst_PermissionCenter::unknownRawValueMakesNoKind_data()
{
    QTest::addColumn<QString>("raw");
    QTest::newRow("empty") << QString();
    QTest::newRow("capitalised") << QStringLiteral("Accessibility");
    QTest::newRow("other") << QStringLiteral("camera");
}

void tst_PermissionCenter::unknownRawValueMakesNoKind()
{
    QFETCH(QString, raw);
    QCOMPARE(VeskSystemPermissionKindFromRaw(raw), std::nullopt);
}

void tst_PermissionCenter::nothingIsGrantedWithoutADisplay()
{
    const QByteArray saved = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":987");
    const bool accessibility = VeskPermissionCenter::isAccessibilityGranted(true);
    const bool screen = VeskPermissionCenter::isScreenRecordingGranted();
    VeskPermissionCenter::openSystemSettings(VeskSystemPermissionKind::systemAudio);
    qputenv("DISPLAY", saved);
    QVERIFY(!accessibility);
    QVERIFY(!screen);
}

QTEST_MAIN(tst_PermissionCenter)
#include "tst_permissioncenter.moc"
