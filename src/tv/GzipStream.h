#pragma once

#include <QByteArray>

#include <functional>
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

    // Hands what the chunk inflates to to out, a bounded piece at a time (a small chunk may
    // inflate to a great deal); false once the data is broken or out returned false.
    bool inflate(const QByteArray& chunk, const std::function<bool(const QByteArray&)>& out);

    static bool looksCompressed(const QByteArray& start);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace koro::tv
