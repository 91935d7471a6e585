#pragma once

#include <QWidget>

// Gives a text field the glass look: no bezel, the system font at 12.5 px in
// textPrimary, inset by the paddings, on a surface2 rounded rectangle with a
// one-pixel borderSubtle inner border. The look does not change with focus.
// Works on a QLineEdit (text margins) and on any other widget (contents
// margins). Returns the same field.
QWidget *veskGlassInputFieldApply(QWidget *field, qreal cornerRadius, qreal horizontalPadding,
                                  qreal verticalPadding);

template <class Field>
Field *veskGlassInputField(Field *field, qreal cornerRadius, qreal horizontalPadding, qreal verticalPadding)
{
    veskGlassInputFieldApply(field, cornerRadius, horizontalPadding, verticalPadding);
    return field;
}
