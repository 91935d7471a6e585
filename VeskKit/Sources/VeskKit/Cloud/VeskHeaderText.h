#pragma once

#include <QString>

// Whether the text may stand inside one line of a request's head, or of a
// part's head in a multipart body. A line break there would end the line
// early and let the rest be read as headers of its own, so no control
// character at all is allowed.
bool veskFitsHeaderLine(const QString &text);
