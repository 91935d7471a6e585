#pragma once

#include <QRegularExpression>
#include <QString>

// A regular expression written into the program, compiled once. One that
// does not compile is a fault of the program, not of its input: it stops at
// once, naming the pattern, rather than quietly matching nothing.
QRegularExpression veskCompiledPattern(const QString &pattern, QRegularExpression::PatternOptions options = {});
