#pragma once

#include <QByteArray>

#include <memory>

namespace koro::tv {

// Inflates a gzip stream a piece at a time (several members one after another, as gzip
// allows).
class GzipStream {
public:
    GzipStream();
    ~GzipStream();
    GzipStream(const GzipStream&) = delete;
    GzipStream& operator=(const GzipStream&) = delete;

    // What the chunk inflates to; false once the data is broken.
    bool inflate(const QByteArray& chunk, QByteArray& out);

    static bool looksCompressed(const QByteArray& start);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace koro::tv
