#pragma once

#include "platform/Workspace.h"
#include "support/CallLog.h"

#include <QStringList>
#include <map>
#include <vector>

namespace vantrel::test {

// Records what would have been opened, revealed or launched. Applications are registered by
// the test; any other path is no application.
class RecordingWorkspace final : public Workspace {
public:
    bool open(const QUrl& url) override {
        opened.push_back(url);
        if (log) log->add(QStringLiteral("workspace.open ") + url.toString());
        return openSucceeds;
    }
    void reveal(const QString& path) override { revealed.append(path); }
    std::optional<ApplicationInfo> applicationInfo(const QString& path) const override {
        auto it = applications.find(path);
        if (it == applications.end()) return std::nullopt;
        return it->second;
    }
    bool launchApplication(const QString& path) override {
        launched.append(path);
        return applications.count(path) != 0;
    }
    QIcon iconForFile(const QString& path) const override {
        iconRequests.append(path);
        const auto it = icons.find(path);
        return it == icons.end() ? QIcon() : it->second;
    }

    std::vector<InstalledApplication> installedApplications() const override {
        std::vector<InstalledApplication> listed;
        for (const auto& [path, info] : applications)
            if (info.shown) listed.push_back({path, info.name, iconForFile(path)});
        return listed;
    }

    CallLog* log = nullptr; // when set, receives every open
    std::map<QString, ApplicationInfo> applications;
    // The icons of files, by path; any other file has none.
    std::map<QString, QIcon> icons;
    bool openSucceeds = true;
    std::vector<QUrl> opened;
    QStringList revealed;
    QStringList launched;
    mutable QStringList iconRequests;
};

} // namespace vantrel::test
