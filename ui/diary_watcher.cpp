#include "ui/diary_watcher.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include "platform/file.h"

#include "platform/qt_text.h"

namespace suelvan {

DiaryWatcher::DiaryWatcher(QObject* parent)
    : QObject(parent), watcher_(new QFileSystemWatcher(this)), settle_(new QTimer(this)) {
    settle_->setSingleShot(true);
    settle_->setInterval(250);
    connect(watcher_, &QFileSystemWatcher::fileChanged, settle_, qOverload<>(&QTimer::start));
    connect(watcher_, &QFileSystemWatcher::directoryChanged, settle_, qOverload<>(&QTimer::start));
    connect(settle_, &QTimer::timeout, this, &DiaryWatcher::Settled);
}

DiaryWatcher::State DiaryWatcher::Now() const {
    const QFileInfo info(platform::ToQString(diary_));
    if (!info.exists()) return {};
    const std::optional<platform::FileIdentity> id = platform::IdentityOf(diary_);
    return {id ? id->device : 0, id ? id->inode : 0, info.size(), info.lastModified()};
}

void DiaryWatcher::Settled() {
    const State now = Now();
    if (now == seen_) return;
    seen_ = now;
    emit changed();
}

void DiaryWatcher::Watch(const std::filesystem::path& diary) {
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(diary, ignored);
    diary_ = absolute;
    seen_ = Now();
    const QString file = platform::ToQString(absolute);
    const QString folder = platform::ToQString(absolute.parent_path());
    const QStringList watched = watcher_->files() + watcher_->directories();
    for (const QString& path : watched) {
        if (path != file && path != folder) watcher_->removePath(path);
    }
    if (!watcher_->directories().contains(folder)) watcher_->addPath(folder);
    if (!watcher_->files().contains(file) && std::filesystem::exists(absolute)) watcher_->addPath(file);
}

}  // namespace suelvan
