#pragma once

#include <QString>
#include <QThread>

namespace koro {

// Fetches one address into one file on a thread of its own, then frees itself. The file is
// replaced only by a complete, non-empty 2xx response of at most MaxFeedBytes: every failure
// leaves the previous file as it was.
class TDownThrd : public QThread {
    Q_OBJECT
public:
    static constexpr int InactivityTimeoutMs = 6000;
    // However the server sends it, a download ends after this.
    static constexpr int TotalTimeoutMs = 30000;

    // Made on the heap and not owned: it deletes itself when its run has ended.
    TDownThrd(QString url, QString fileName);

    // Ends a download that is still running; the file stays as it was.
    void abort();

    // The whole download on the calling thread; returns whether the file was replaced.
    static bool DownloadToFile(const QString& url, const QString& fileName,
                               int totalTimeoutMs = TotalTimeoutMs);

signals:
    // Emitted from the download thread.
    void downloaded(bool replaced);

protected:
    void run() override;

private:
    const QString m_url;
    const QString m_fileName;
};

} // namespace koro
