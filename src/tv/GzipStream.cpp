#include "tv/GzipStream.h"

#include <zlib.h>

namespace koro::tv {

struct GzipStream::State {
    z_stream stream{};
    bool ok = false;
    bool ended = false; // a member ended; more input starts the next one
};

GzipStream::GzipStream()
    : m_state(std::make_unique<State>()) {
    // 15 + 16: the gzip wrapper only.
    m_state->ok = inflateInit2(&m_state->stream, 15 + 16) == Z_OK;
}

GzipStream::~GzipStream() {
    inflateEnd(&m_state->stream);
}

bool GzipStream::looksCompressed(const QByteArray& start) {
    return start.size() >= 2 && uchar(start[0]) == 0x1f && uchar(start[1]) == 0x8b;
}

bool GzipStream::inflate(const QByteArray& chunk,
                         const std::function<bool(const QByteArray&)>& out) {
    State& s = *m_state;
    if (!s.ok)
        return false;
    z_stream& z = s.stream;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(chunk.constData()));
    z.avail_in = uInt(chunk.size());
    char buffer[64 * 1024];
    while (true) {
        if (s.ended) {
            // Padding after the last member is not another member.
            if (z.avail_in == 0 || *z.next_in != 0x1f)
                return true;
            if (inflateReset(&z) != Z_OK)
                return s.ok = false;
            s.ended = false;
        }
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        const int result = ::inflate(&z, Z_NO_FLUSH);
        const qsizetype produced = qsizetype(sizeof buffer - z.avail_out);
        if (produced > 0 && !out(QByteArray(buffer, produced)))
            return false;
        if (result == Z_STREAM_END) {
            s.ended = true;
            continue;
        }
        if (result == Z_BUF_ERROR) // nothing more to do until more input comes
            return true;
        if (result != Z_OK)
            return s.ok = false;
        if (z.avail_in == 0 && z.avail_out != 0)
            return true;
    }
}

} // namespace koro::tv
