#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// Decoder for LZFSE streams: a sequence of blocks (stored, LZVN-compressed or
// FSE-compressed), closed by an end-of-stream block. Only whole buffers are
// decoded; nothing is streamed.
namespace LzfseDecoder {

// Catalog-sized data never comes near this; it keeps a hostile header from
// asking for gigabytes.
inline constexpr qsizetype defaultMaxOutputSize = 64 * 1024 * 1024;

// The decoded bytes, or nullopt when the stream is malformed, truncated, uses a
// block kind this decoder does not read, or would decode to more than
// maxOutputSize bytes. Never reads outside `stream`, and its work grows with
// the size of `stream` and of the output, never beyond: a block whose
// commands or literals outnumber the bytes it declares is malformed.
std::optional<QByteArray> decode(QByteArrayView stream,
                                 qsizetype maxOutputSize = defaultMaxOutputSize);

} // namespace LzfseDecoder
