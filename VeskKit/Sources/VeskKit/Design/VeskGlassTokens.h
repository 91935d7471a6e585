#pragma once

#include <QColor>

// The glass vocabulary drawn over a palette's dark ground: translucent white
// surfaces, borders and text, and three opaque status colours. Each colour is
// built once, on first read, and the same value is returned afterwards.
namespace VeskGlassTokens {

const QColor &surface1();
const QColor &surface2();
const QColor &surface3();
const QColor &borderSubtle();
const QColor &borderStrong();
const QColor &textPrimary();
const QColor &textSecondary();
const QColor &textMuted();
const QColor &success();
const QColor &warning();
const QColor &danger();

} // namespace VeskGlassTokens
