// Tells when the diary changed on disk: a recording appends to it, an editor saving
// replaces it. Either way once the writes have settled, and only for the diary: the
// settings saved beside it are no change.
#pragma once

#include <QDateTime>
#include <QObject>
#include <filesystem>
#include <optional>

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
    struct State {
        std::uint64_t device = 0, inode = 0;
        qint64 size = -1;
        QDateTime modified;
        friend bool operator==(const State&, const State&) = default;
    };
    State Now() const;
    void Settled();

    std::filesystem::path diary_;
    State seen_;
    QFileSystemWatcher* watcher_;
    QTimer* settle_;
};

}  // namespace suelvan
