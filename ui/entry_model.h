// The period's entries as the table shows them, sortable by any column; optionally only
// those of one date, night or hour.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <memory>
#include <optional>
#include <vector>

#include "core/statistics.h"
#include "report/notes.h"

namespace suelvan {

class EntryModel : public QAbstractTableModel {
    Q_OBJECT

   public:
    enum Column { kDate, kTime, kNight, kLoudness, kLanding, kNote, kLine, kColumns };

    using QAbstractTableModel::QAbstractTableModel;
    // `notes`: where the notes the report lacks are fetched from.
    void SetReport(std::shared_ptr<const Report> report,
                   std::shared_ptr<const report::NoteFile> notes = nullptr);
    // Only the entries chosen.
    void Show(const Selection& selection);
    const Selection& Shown() const { return selection_; }
    const DiaryEntry& EntryAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

   private:
    void Fill();
    void Order();  // rows_ by the sort column, without telling the views

    std::shared_ptr<const Report> report_;
    std::shared_ptr<const report::NoteFile> notes_;
    Selection selection_;
    std::vector<std::size_t> rows_;  // into report_->entries, in the shown order
    int sortColumn_ = kDate;
    Qt::SortOrder order_ = Qt::AscendingOrder;
};

// The table of the entries: sortable, a row selected whole, columns wide enough for their
// widest texts.
QTableView* MakeEntryView(EntryModel* model, QWidget* parent);

}  // namespace suelvan
