// The diary as the report window holds it: read and counted off the window's thread,
// counted again for another night rule, read on when it only grew. Only the newest
// question is answered; the window shows whatever comes.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/statistics.h"
#include "report/notes.h"
#include "report/read_diary.h"

namespace suelvan {

// What reading the diary for a period gave: the report, or the message why not.
struct DiaryLoad {
    std::optional<report::ReadDiaryResult> read;
    QString error;
};
// The window holds the period's entries without their notes (it fetches those it shows)
// and needs no hash; the PDF and the CSV read again, whole.
DiaryLoad LoadDiary(const std::filesystem::path& diary, const Period& period, const NightRule& night,
                    const std::vector<std::string>& weekdays);

class DiaryLoader : public QObject {
    Q_OBJECT

   public:
    // `weekdays`: as headers carry them.
    DiaryLoader(std::vector<std::string> weekdays, QObject* parent = nullptr);

    // A reading made elsewhere (the one at start), taken as it is.
    void Take(DiaryLoad load, const Period& period, const NightRule& night);
    // The whole diary, off the window's thread.
    void Read(const std::filesystem::path& diary, const Period& period, const NightRule& night,
              bool keepChoice);
    // The entries held counted again under another rule, off the window's thread; false
    // when they are not those of the period (another one, a reading under way, none).
    bool Recount(const Period& period, const NightRule& night);
    // Only what was appended, here and at once; false when the diary must be read whole.
    bool ReadOn(const std::filesystem::path& diary);

    bool Busy() const { return busy_; }
    // The period asked for last: being read, else held.
    const Period& Asked() const { return busy_ ? asked_.period : held_; }
    const Period& HeldPeriod() const { return held_; }
    std::shared_ptr<const Report> Held() const { return report_; }
    const report::DiaryInfo& Info() const { return info_; }
    std::shared_ptr<const report::NoteFile> Notes() const { return notes_; }
    const QString& Error() const { return error_; }

   signals:
    void started();
    // Another report is held; `keepChoice`: the window keeps the part chosen in it.
    void loaded(bool keepChoice);

   private:
    struct Question {
        Period period;
        NightRule night;
        bool keepChoice = false;
    };
    void Run(std::function<DiaryLoad()> job, const Question& question);
    void Hold(DiaryLoad load, const Question& question);

    std::vector<std::string> weekdays_;
    QFutureWatcher<DiaryLoad>* running_;
    bool busy_ = false;
    Question asked_;

    std::shared_ptr<Report> report_ = std::make_shared<Report>();
    std::shared_ptr<const platform::File> file_;  // the diary as read, for notes
    report::DiaryInfo info_;
    std::optional<report::Onward> onward_;  // where to read on when the diary grows
    std::shared_ptr<const report::NoteFile> notes_;
    Period held_;  // what report_ was read for
    QString error_;
};

}  // namespace suelvan
