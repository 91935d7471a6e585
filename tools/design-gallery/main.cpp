// design-gallery OUT.png — draws the kit components on a palette ground and
// the symbol table (each glyph at two sizes, plus the fallback) into OUT.png.
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskFlowBoxLayout.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassCard.h"
#include "VeskKit/Design/VeskGlassInputField.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskGroundBackground.h"
#include "VeskKit/Design/VeskSymbol.h"
#include "VeskKit/Design/VeskSymbolLabel.h"
#include "VeskKit/Design/VeskToastBanner.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

#include <cstdio>

namespace {

QLabel *caption(const QString &text)
{
    auto *label = new QLabel(text);
    label->setFont(veskSystemFont(11, QFont::DemiBold));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, VeskGlassTokens::textSecondary());
    label->setPalette(p);
    return label;
}

QWidget *symbolSheet()
{
    auto *sheet = new QWidget;
    auto *grid = new VeskFlowBoxLayout(VeskFlowLayout{6, 6}, sheet);
    QStringList names = VeskSymbol::names();
    names.append(QStringLiteral("no.such.symbol"));
    for (const QString &name : names) {
        auto *cell = new QWidget;
        cell->setFixedSize(104, 64);
        auto *column = new QVBoxLayout(cell);
        column->setContentsMargins(2, 2, 2, 2);
        column->setSpacing(2);
        auto *row = new QHBoxLayout;
        row->addStretch();
        row->addWidget(new VeskSymbolLabel(name, 13, QFont::Normal, Qt::white));
        row->addWidget(new VeskSymbolLabel(name, 26, QFont::DemiBold, VeskGlassTokens::textPrimary()));
        row->addStretch();
        column->addLayout(row);
        auto *title = new QLabel(name);
        title->setFont(veskSystemFont(8));
        title->setAlignment(Qt::AlignCenter);
        title->setWordWrap(true);
        QPalette p = title->palette();
        p.setColor(QPalette::WindowText, VeskGlassTokens::textMuted());
        title->setPalette(p);
        column->addWidget(title);
        grid->addWidget(cell);
    }
    return sheet;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: design-gallery OUT.png\n");
        return 2;
    }

    VeskGroundBackground window(VeskProductPalette::deepIndigo);
    auto *page = new QVBoxLayout(&window);
    page->setContentsMargins(22, 22, 22, 22);
    page->setSpacing(14);

    page->addWidget(caption(QStringLiteral("Buttons (primary, glass, glass active, pressed)")));
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addWidget(new VeskButton(VeskPrimaryButtonStyle{}, QStringLiteral("New Note"), QStringLiteral("plus")));
    buttons->addWidget(new VeskButton(VeskGlassButtonStyle{false}, QStringLiteral("Copy with Results"),
                                      QStringLiteral("doc.on.doc")));
    buttons->addWidget(new VeskButton(VeskGlassButtonStyle{true}, QStringLiteral("Pin Sticky"),
                                      QStringLiteral("macwindow.on.rectangle")));
    auto *pin = new VeskButton(VeskGlassButtonStyle{true}, QString(), QStringLiteral("pin.fill"));
    pin->setLabelFont(veskSystemFont(12, QFont::DemiBold));
    pin->setSymbolColor(VeskGlassTokens::warning());
    buttons->addWidget(pin);
    auto *pressedGlass = new VeskButton(VeskGlassButtonStyle{false}, QStringLiteral("Pressed"));
    pressedGlass->setDown(true);
    buttons->addWidget(pressedGlass);
    auto *pressedPrimary = new VeskButton(VeskPrimaryButtonStyle{}, QStringLiteral("Pressed"));
    pressedPrimary->setDown(true);
    buttons->addWidget(pressedPrimary);
    buttons->addStretch();
    page->addLayout(buttons);

    page->addWidget(caption(QStringLiteral("Glass card with input field and flow layout")));
    auto *cardContent = new QWidget;
    auto *cardColumn = new QVBoxLayout(cardContent);
    cardColumn->setContentsMargins(0, 0, 0, 0);
    cardColumn->setSpacing(10);
    auto *field = new QLineEdit;
    field->setPlaceholderText(QStringLiteral("Search notes"));
    field->setText(QStringLiteral("groceries"));
    cardColumn->addWidget(veskGlassInputField(field, 8, 10, 6));
    auto *chips = new QWidget;
    auto *flow = new VeskFlowBoxLayout(VeskFlowLayout{7, 5}, chips);
    for (const char *tag : {"#budget", "#travel", "#groceries", "#work", "#ideas", "#tax-2024", "#home",
                            "#reading-list", "#misc"})
        flow->addWidget(new VeskButton(VeskGlassButtonStyle{false}, QString::fromLatin1(tag)));
    cardColumn->addWidget(chips);
    auto *card = new VeskGlassCard(18, 16, cardContent);
    card->setFixedWidth(400);
    auto *cardRow = new QHBoxLayout;
    cardRow->addWidget(card);
    cardRow->addStretch();
    page->addLayout(cardRow);

    page->addWidget(caption(QStringLiteral("Toasts")));
    auto *toasts = new QHBoxLayout;
    toasts->setSpacing(16);
    toasts->addWidget(new VeskToastBanner(QStringLiteral("Note duplicated."), false));
    toasts->addWidget(new VeskToastBanner(QStringLiteral("Offline mode — using built-in FX rates."), true));
    toasts->addStretch();
    page->addLayout(toasts);

    page->addWidget(caption(QStringLiteral("Symbols (13 px regular, 26 px semibold; last: unknown name)")));
    auto *sheet = symbolSheet();
    sheet->setFixedWidth(1100);
    page->addWidget(sheet);
    page->addStretch();

    window.resize(1150, 100);
    window.resize(1150, window.heightForWidth(1150) > 0 ? window.heightForWidth(1150) : window.sizeHint().height());
    window.show();
    QApplication::processEvents();
    window.resize(window.width(), window.layout()->totalHeightForWidth(window.width()));
    QApplication::processEvents();

    const QPixmap shot = window.grab();
    if (!shot.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
