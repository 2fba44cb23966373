#include "ui/entry_model.h"

#include <QHeaderView>
#include <QTableView>
#include <algorithm>
#include <tuple>

#include "core/calendar.h"
#include "core/entry.h"
#include "platform/qt_text.h"

namespace suelvan {

using platform::Utf8;

void EntryModel::SetReport(std::shared_ptr<const Report> report,
                           std::shared_ptr<const report::NoteFile> notes) {
    beginResetModel();
    report_ = std::move(report);
    notes_ = std::move(notes);
    selection_ = {};
    Fill();
    endResetModel();
}

void EntryModel::Show(const Selection& selection) {
    beginResetModel();
    selection_ = selection;
    Fill();
    endResetModel();
}

const DiaryEntry& EntryModel::EntryAt(int row) const {
    return report_->entries[rows_[static_cast<std::size_t>(row)]];
}

void EntryModel::Fill() {
    rows_.clear();
    if (!report_) return;
    const std::vector<DiaryEntry>& entries = report_->entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (Selects(selection_, entries[i], report_->night)) rows_.push_back(i);
    }
    // The report comes by date and time already.
    if (sortColumn_ != kDate || order_ != Qt::AscendingOrder) Order();
}

int EntryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int EntryModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant EntryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const DiaryEntry& e = EntryAt(index.row());
    if (role == Qt::TextAlignmentRole && (index.column() == kTime || index.column() == kLine)) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    const NightRule& night = report_->night;
    switch (index.column()) {
        case kDate: return Utf8(GermanDate(e.day));
        case kTime: return Utf8(ShortClockText(e.minute));
        case kNight:
            return night.Contains(e.minute) ? Utf8(NightName(night.NightOf(e.day, e.minute))) : QString();
        case kLoudness: return Utf8(kLoudnessSteps[static_cast<std::size_t>(e.level)].caption);
        case kLanding: return e.landing ? QStringLiteral("ja") : QStringLiteral("nein");
        case kNote: return Utf8(report::NoteOf(e, notes_.get()));
        case kLine: return QVariant::fromValue(static_cast<qulonglong>(e.line));
        default: return {};
    }
}

QVariant EntryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const kTitles[] = {"Datum",   "Uhrzeit", "Nacht", "Lautstärke",
                                          "Landung", "Notiz",   "Zeile"};
    return section >= 0 && section < kColumns ? QString::fromUtf8(kTitles[section]) : QVariant();
}

void EntryModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kColumns) return;
    emit layoutAboutToBeChanged();
    sortColumn_ = column;
    order_ = order;
    Order();
    emit layoutChanged();
}

void EntryModel::Order() {
    if (!report_) return;
    const std::vector<DiaryEntry>& entries = report_->entries;
    const NightRule& night = report_->night;
    const int column = sortColumn_;
    const bool ascending = order_ == Qt::AscendingOrder;
    const auto key = [&](std::size_t i) {
        const DiaryEntry& e = entries[i];
        switch (column) {
            case kTime: return std::tuple(int{e.minute}, 0, 0);
            case kNight:
                return night.Contains(e.minute)
                           ? std::tuple(1, night.NightOf(e.day, e.minute), night.SinceStart(e.minute))
                           : std::tuple(0, 0, 0);
            case kLoudness: return std::tuple(int{e.level}, 0, 0);
            case kLanding: return std::tuple(e.landing ? 1 : 0, 0, 0);
            case kLine: return std::tuple(0, 0, 0);  // compared below, as a 64-bit number
            default: return std::tuple(0, 0, 0);     // date: the report's own order
        }
    };
    // Notes are fetched once each, not per comparison.
    std::vector<QString> notes;
    if (column == kNote) {
        notes.resize(entries.size());
        for (const std::size_t i : rows_) notes[i] = Utf8(report::NoteOf(entries[i], notes_.get()));
    }
    // Ties keep date and time order, then the diary's: the report comes in that order.
    std::stable_sort(rows_.begin(), rows_.end(), [&](std::size_t a, std::size_t b) {
        if (column == kNote) {
            const int c = notes[a].compare(notes[b]);
            if (c != 0) return ascending ? c < 0 : c > 0;
        } else if (column == kLine) {
            if (entries[a].line != entries[b].line)
                return ascending ? entries[a].line < entries[b].line : entries[a].line > entries[b].line;
        } else if (key(a) != key(b)) {
            return ascending ? key(a) < key(b) : key(b) < key(a);
        }
        if (column == kDate && !ascending) return a > b;
        return a < b;
    });
}

QTableView* MakeEntryView(EntryModel* model, QWidget* parent) {
    auto* table = new QTableView(parent);
    table->setObjectName(QStringLiteral("tblEintraege"));
    table->setAccessibleName(QStringLiteral("Einträge"));
    table->setModel(model);
    table->setSortingEnabled(true);
    table->sortByColumn(EntryModel::kDate, Qt::AscendingOrder);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setTabKeyNavigation(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    // Widths from the widest texts, not from the rows: sizing to contents measures every
    // row, half a million of them in "Alles".
    QHeaderView* header = table->horizontalHeader();
    header->setStretchLastSection(false);
    const QFontMetrics metrics = table->fontMetrics();
    const int pad = metrics.averageCharWidth() * 3;
    const QString widest[] = {QStringLiteral("30.12.2026"),       QStringLiteral("Uhrzeit"),
                              QStringLiteral("30.11./1.12.2026"), Utf8(kLoudnessSteps[3].caption),
                              QStringLiteral("Landung"),          QString(),
                              QStringLiteral("9999999")};
    for (int column = 0; column < EntryModel::kColumns; ++column) {
        header->resizeSection(column, metrics.horizontalAdvance(widest[column]) + pad);
    }
    header->setSectionResizeMode(EntryModel::kNote, QHeaderView::Stretch);
    return table;
}

}  // namespace suelvan
