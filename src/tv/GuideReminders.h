#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace koro::tv {

// Reminders set from the guide, kept in the user's folder so they outlive the program. Each
// comes once, when its programme starts; one whose programme ended while the program was not
// running is dropped without a word.
class GuideReminders : public QObject {
    Q_OBJECT
public:
    struct Reminder {
        QString playlist; // source of the playlist the channel belongs to
        QString channelUrl;
        QString channelName;
        QString title;
        qint64 start = 0; // seconds since the epoch
        qint64 stop = 0;
    };
    using Clock = std::function<QDateTime()>;

    static constexpr int CheckMs = 4000;

    GuideReminders(QString path, Clock clock, QObject* parent = nullptr);

    // False, and nothing kept, for a programme that already started (or a duplicate).
    bool add(const Reminder& reminder);
    void cancel(const QString& channelUrl, qint64 start);
    bool has(const QString& channelUrl, qint64 start) const;
    const QList<Reminder>& reminders() const { return m_reminders; }

    // Runs every CheckMs; callable from tests.
    void check();
    QTimer& timer() { return m_timer; }

signals:
    void due(const koro::tv::GuideReminders::Reminder& reminder);
    void changed();

private:
    void save() const;

    QString m_path;
    Clock m_clock;
    QList<Reminder> m_reminders;
    QTimer m_timer;
};

} // namespace koro::tv
