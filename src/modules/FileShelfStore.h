#pragma once

#include "platform/Clock.h"
#include "platform/Scheduler.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <optional>
#include <vector>

namespace vantrel {

class FileManager;
class SharingService;
class UserDefaults;
class VantrelHaptics;
class Workspace;

// Files parked on the shelf, newest first. The shelf keeps paths only and never touches the
// files; very large files leave by themselves an hour after they were added.
class FileShelfStore : public QObject {
    Q_OBJECT

public:
    static constexpr int kMaximumItems = 10;
    // Larger than 500 MiB: a file of exactly 500 MiB stays.
    static constexpr qint64 kLargeFileBytes = 524'288'001;
    static constexpr double kLargeFileLifetimeSeconds = 3600;

    FileShelfStore(UserDefaults& defaults, const FileManager& files, const Clock& clock, Scheduler& scheduler,
                   Workspace& workspace, SharingService& sharing, VantrelHaptics& haptics,
                   QObject* parent = nullptr);
    ~FileShelfStore() override;

    const QList<QUrl>& items() const { return items_; }
    const std::optional<QString>& shareStatus() const { return shareStatus_; }
    const std::optional<QString>& largeFileNotice() const { return largeFileNotice_; }

    void add(const QList<QUrl>& urls);
    // The notice about large files has been read.
    void clearLargeFileNotice();
    void remove(const QUrl& url);
    void clear();
    void open(const QUrl& url);
    void reveal(const QUrl& url);
    void airDrop(const QList<QUrl>& urls);
    std::optional<WallTime> expiration(const QUrl& url) const;
    // Whether the file is still where it was shelved.
    bool fileExists(const QUrl& url) const;
    // The icon the desktop shows for the file.
    QIcon icon(const QUrl& url) const;
    // A large file that leaves the shelf by itself.
    bool isTemporary(const QUrl& url) const { return expiration(url).has_value(); }

Q_SIGNALS:
    void itemsChanged();
    void shareStatusChanged();
    void largeFileNoticeChanged();
    // The desktop found an icon it was looking up, or found one otherwise: icons shown are asked
    // for again.
    void iconsChanged();

private:
    struct StoredItem {
        QString path;
        // Seconds since 2001-01-01 00:00:00 UTC, the stored form; kept as such so a far-past
        // time read from older data never overflows a clock value.
        double addedAt = 0;
        std::optional<double> expiresAt;
    };

    void load();
    void pruneAndPublish();
    void scheduleExpiryPruning();
    void setShareStatus(const QString& text);
    double nowSeconds() const;

    UserDefaults& defaults_;
    const FileManager& files_;
    const Clock& clock_;
    Scheduler& scheduler_;
    Workspace& workspace_;
    SharingService& sharing_;
    VantrelHaptics& haptics_;

    QList<QUrl> items_;
    std::optional<QString> shareStatus_;
    std::optional<QString> largeFileNotice_;
    std::vector<StoredItem> storedItems_;
    ScheduledTask expiryTimer_;
};

} // namespace vantrel
