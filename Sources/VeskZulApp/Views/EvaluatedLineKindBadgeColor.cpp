#include "Views/EvaluatedLineKindBadgeColor.h"

#include "VeskKit/Design/VeskColorHex.h"

QColor badgeColor(EvaluatedLineKind kind)
{
    switch (kind) {
    case EvaluatedLineKind::math: return veskColorFromHex(0x7CA4FF);
    case EvaluatedLineKind::variable: return veskColorFromHex(0xB89CFF);
    case EvaluatedLineKind::percentage: return veskColorFromHex(0xFFB85C);
    case EvaluatedLineKind::currency: return veskColorFromHex(0x47E6C1);
    case EvaluatedLineKind::unit: return veskColorFromHex(0x38E8FF);
    case EvaluatedLineKind::date: return veskColorFromHex(0xF472D0);
    case EvaluatedLineKind::aggregate: return veskColorFromHex(0xFFE066);
    case EvaluatedLineKind::checklist: return veskColorFromHex(0x47E6C1);
    }
    return veskColorFromHex(0x7CA4FF);
}
