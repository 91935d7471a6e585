#include "VeskKit/Design/VeskChevronControls.h"

#include <QAbstractItemView>
#include <QStyleOptionComboBox>
#include <QStyleOptionSpinBox>
#include <QtTest>

namespace {

// The look the settings give these controls: a border and a dark fill of
// their own, which is what makes the platform style leave the arrows out.
const QString kSheet = QStringLiteral(
    "QComboBox, QSpinBox { color: white; background: #20264A; border: 1px solid #555A7A; border-radius: 7px; }"
    "QComboBox::drop-down { border: none; width: 16px; }"
    "QSpinBox::up-button, QSpinBox::down-button { border: none; background: transparent; width: 16px; }");

// The brightest grey level inside the area: the fill is dark, the chevron
// light, the disabled chevron in between.
int brightest(const QImage &image, const QRect &area)
{
    int best = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            best = std::max(best, qGray(image.pixel(x, y)));
    return best;
}

QImage rendered(QWidget &widget)
{
    widget.setStyleSheet(kSheet);
    widget.resize(120, 28);
    widget.ensurePolished();
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

class Stepper : public VeskStepper {
public:
    QRect button(QStyle::SubControl control)
    {
        QStyleOptionSpinBox option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_SpinBox, &option, control, this);
    }
};

class ComboBox : public VeskComboBox {
public:
    QRect arrow()
    {
        QStyleOptionComboBox option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
    }
};

} // namespace

class TestVeskChevronControls : public QObject {
    Q_OBJECT
private slots:
    void stepperArrowsShowWhereTheyStep_data();
    void stepperArrowsShowWhereTheyStep();
    void popUpShowsItsArrow();
};

void TestVeskChevronControls::stepperArrowsShowWhereTheyStep_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("upBright");
    QTest::addColumn<bool>("downBright");

    QTest::newRow("between the bounds") << 24 << true << true;
    QTest::newRow("at the top") << 48 << false << true;
    QTest::newRow("at the bottom") << 0 << true << false;
}

void TestVeskChevronControls::stepperArrowsShowWhereTheyStep()
{
    QFETCH(int, value);
    QFETCH(bool, upBright);
    QFETCH(bool, downBright);

    Stepper stepper;
    stepper.setRange(0, 48);
    stepper.setValue(value);
    const QImage image = rendered(stepper);
    const int up = brightest(image, stepper.button(QStyle::SC_SpinBoxUp));
    const int down = brightest(image, stepper.button(QStyle::SC_SpinBoxDown));

    // Every arrow is drawn, well above the border's grey; one that cannot
    // step is drawn dimmer.
    QVERIFY2(up > 125 && down > 125, qPrintable(QString("up %1, down %2").arg(up).arg(down)));
    if (upBright != downBright)
        QVERIFY2(upBright ? up > down + 20 : down > up + 20, qPrintable(QString("up %1, down %2").arg(up).arg(down)));
}

void TestVeskChevronControls::popUpShowsItsArrow()
{
    ComboBox combo;
    combo.addItems({QStringLiteral("TRY"), QStringLiteral("USD")});
    const QImage image = rendered(combo);
    const QRect arrow = combo.arrow();
    QVERIFY(!arrow.isEmpty());
    QVERIFY2(brightest(image, arrow) > 140, qPrintable(QString::number(brightest(image, arrow))));

    // The list of choices is dark glass with light text; the second choice is neither current nor hovered.
    combo.showPopup();
    QVERIFY(QTest::qWaitForWindowExposed(combo.view()->window()));
    const QImage list = combo.view()->viewport()->grab(combo.view()->visualRect(combo.model()->index(1, 0))).toImage();
    QVERIFY2(qGray(list.pixel(list.width() - 3, list.height() / 2)) < 80, "the list's ground is light");
    QVERIFY2(brightest(list, list.rect()) > 200, "the choice's text does not stand out");
    combo.hidePopup();

    combo.setEnabled(false);
    const QImage disabled = rendered(combo);
    QVERIFY(brightest(disabled, arrow) < brightest(image, arrow));
}

QTEST_MAIN(TestVeskChevronControls)
#include "tst_veskchevroncontrols.moc"
