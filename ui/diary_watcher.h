// Tells when the diary changed on disk: a recording appends to it, an editor saving
// replaces it. Either way once the writes have settled.
#pragma once

#include <QObject>
#include <filesystem>

class QFileSystemWatcher;
class QTimer;

namespace suelvan {

class DiaryWatcher : public QObject {
    Q_OBJECT

   public:
    explicit DiaryWatcher(QObject* parent = nullptr);
    // The file, and its folder (a file replaced is a new one to watch).
    void Watch(const std::filesystem::path& diary);

   signals:
    void changed();

   private:
    QFileSystemWatcher* watcher_;
    QTimer* settle_;
};

}  // namespace suelvan
