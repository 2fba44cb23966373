#include "ui/diary_loader.h"

#include <QtConcurrent/QtConcurrentRun>
#include <new>

namespace suelvan {

DiaryLoad LoadDiary(const std::filesystem::path& diary, const Period& period, const NightRule& night,
                    const std::vector<std::string>& weekdays) {
    try {
        return {report::ReadDiary(diary, period, night, {true, false, false, weekdays, false, true}), {}};
    } catch (const std::exception& failure) {
        return {std::nullopt, QString::fromUtf8(failure.what())};
    }
}

DiaryLoader::DiaryLoader(std::vector<std::string> weekdays, QObject* parent)
    : QObject(parent), weekdays_(std::move(weekdays)), running_(new QFutureWatcher<DiaryLoad>(this)) {}

void DiaryLoader::Take(DiaryLoad load, const Period& period, const NightRule& night) {
    Hold(std::move(load), {period, night, false});
}

void DiaryLoader::Read(const std::filesystem::path& diary, const Period& period, const NightRule& night,
                       bool keepChoice) {
    Run([=, weekdays = weekdays_] { return LoadDiary(diary, period, night, weekdays); },
        {period, night, keepChoice});
}

bool DiaryLoader::Recount(const Period& period, const NightRule& night) {
    const bool sameEntries = error_.isEmpty() && !busy_ && !period.night && !held_.night &&
                             period.from == held_.from && period.to == held_.to;
    if (!sameEntries) return false;
    // On a copy: the window shows the entries held meanwhile.
    Run(
        [held = std::shared_ptr<const Report>(report_), file = file_, info = info_, onward = onward_,
         weekdays = weekdays_, period, night] {
            Report copy = *held;
            report::ReadDiaryResult read;
            read.info = info;
            read.file = file;
            read.report = suelvan::Recount(std::move(copy), period, night);
            read.entriesKept = true;
            read.period = period;
            read.weekdays = weekdays;
            read.onward = onward;
            return DiaryLoad{std::move(read), {}};
        },
        {period, night, false});
    return true;
}

bool DiaryLoader::ReadOn(const std::filesystem::path& diary) {
    // A recording appends a line or two: read here, and counted on into the report held,
    // which is not copied for it. Anything larger is read whole, off this thread.
    constexpr std::uint64_t kMostAppended = 1 << 20;
    if (busy_ || !error_.isEmpty() || !onward_ || !file_) return false;
    const std::uint64_t size = file_->State().size;
    if (size <= info_.bytes || size - info_.bytes > kMostAppended) return false;
    report::ReadDiaryResult held;
    held.info = info_;
    held.file = file_;
    held.entriesKept = true;
    held.period = held_;
    held.weekdays = weekdays_;
    held.onward = onward_;
    held.report = std::move(*report_);
    std::optional<report::ReadDiaryResult> onward;
    try {
        onward = report::ReadOnward(diary, held);
    } catch (const std::exception&) {
        // Read whole, which says what is wrong.
    }
    if (!onward) {
        *report_ = std::move(held.report);  // left as it was
        return false;
    }
    Hold({std::move(onward), {}}, {held_, report_->night, true});
    return true;
}

void DiaryLoader::Run(std::function<DiaryLoad()> job, const Question& question) {
    // A result still to come is dropped: only the latest question is answered. The job
    // running finishes on its own, with nothing of the window.
    running_->disconnect(this);
    running_->deleteLater();
    running_ = new QFutureWatcher<DiaryLoad>(this);
    connect(running_, &QFutureWatcher<DiaryLoad>::finished, this, [this] {
        busy_ = false;
        Hold(running_->result(), asked_);
    });
    asked_ = question;
    busy_ = true;
    emit started();
    running_->setFuture(QtConcurrent::run([job = std::move(job)] {
        try {
            return job();
        } catch (const std::bad_alloc&) {
            return DiaryLoad{std::nullopt,
                             QStringLiteral("Zu wenig Arbeitsspeicher, um das Tagebuch zu zählen.")};
        } catch (const std::exception& failure) {
            return DiaryLoad{std::nullopt, QString::fromUtf8(failure.what())};
        }
    }));
}

void DiaryLoader::Hold(DiaryLoad load, const Question& question) {
    held_ = question.period;
    if (!load.read) {
        error_ = load.error;
        report_ = std::make_shared<Report>();
        report_->night = question.night;
        file_.reset();
        info_ = {};
        onward_.reset();
        notes_.reset();
        emit loaded(false);
        return;
    }
    error_.clear();
    file_ = load.read->file;
    info_ = load.read->info;
    onward_ = load.read->onward;
    notes_ = std::make_shared<report::NoteFile>(file_);
    report_ = std::make_shared<Report>(std::move(load.read->report));
    emit loaded(question.keepChoice);
}

}  // namespace suelvan
