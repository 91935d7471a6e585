#include "VeskKit/Utilities/VeskCompiledPattern.h"

QRegularExpression veskCompiledPattern(const QString &pattern, QRegularExpression::PatternOptions options)
{
    QRegularExpression expression(pattern, options);
    if (!expression.isValid())
        qFatal("invalid pattern %s: %s", qUtf8Printable(pattern), qUtf8Printable(expression.errorString()));
    return expression;
}
